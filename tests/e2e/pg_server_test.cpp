// The private PostgreSQL server of the tests: a killed server keeps its
// committed rows, its address reads as the records' own, and neither the
// destructor nor a killed test process leaves a server or a folder behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "processes.h"
#include "records/database_location.h"
#include "support/pg_server.h"

namespace {

bool process_alive(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    return std::getline(stat, line) && line.find(") Z") == std::string::npos;
}

// Waits up to timeout_ms for the process to end and the folder to go.
bool gone_within(int pid, const std::string& folder, int timeout_ms) {
    const auto start = e2e::Clock::now();
    while (process_alive(pid) || std::filesystem::exists(folder)) {
        if (e2e::elapsed_ms(start) > timeout_ms) return false;
        ::poll(nullptr, 0, 50);
    }
    return true;
}

TEST(Pg_server, keeps_committed_rows_through_a_kill_and_leaves_nothing_behind) {
    int pid = -1;
    std::string folder;
    {
        test::Pg_server server;
        ASSERT_TRUE(server.start()) << server.reason();
        ASSERT_TRUE(server.create_database("records")) << server.reason();
        ASSERT_TRUE(server.sql("records", "CREATE TABLE t (v text); INSERT INTO t VALUES ('kept');")) << server.reason();
        ASSERT_TRUE(server.kill()) << server.reason();
        EXPECT_EQ(server.postmaster_pid(), -1);
        ASSERT_TRUE(server.restart()) << server.reason();
        std::string rows;
        ASSERT_TRUE(server.sql("records", "SELECT v FROM t; SELECT count(*) FROM t;", &rows)) << server.reason();
        EXPECT_EQ(rows, "kept\n1");

        pid = server.postmaster_pid();
        folder = server.socket_folder();
        ASSERT_GT(pid, 0);
        // As root, the server runs as nobody; otherwise as the test's user.
        struct stat owner {};
        ASSERT_EQ(::stat(("/proc/" + std::to_string(pid)).c_str(), &owner), 0);
        EXPECT_EQ(owner.st_uid, ::geteuid() == 0 ? ::getpwnam("nobody")->pw_uid : ::geteuid());

        const auto location = records::parse_location(server.url("records", "tq740_pw"));
        ASSERT_TRUE(location.ok) << location.error;
        EXPECT_EQ(location.location.host, folder);
        EXPECT_EQ(location.location.port, 5432);
        EXPECT_EQ(location.location.user, "tq740_pw");
        EXPECT_EQ(location.location.database, "records");
    }
    EXPECT_TRUE(gone_within(pid, folder, 0)) << "server " << pid << " or folder " << folder << " left behind";
}

// A test process killed (as by a ctest time-out) before its destructors ran.
TEST(Pg_server, a_killed_test_process_leaves_nothing_behind) {
    int report[2];
    ASSERT_EQ(::pipe2(report, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        auto* server = new test::Pg_server;
        const std::string started = server->start() ? std::to_string(server->postmaster_pid()) + " " +
                                                          server->socket_folder() + "\n"
                                                    : "failed " + server->reason() + "\n";
        [[maybe_unused]] const ssize_t written = ::write(report[1], started.data(), started.size());
        ::raise(SIGKILL);
    }
    ::close(report[1]);
    std::string started;
    char c;
    pollfd line {report[0], POLLIN, 0};
    while (::poll(&line, 1, 30000) == 1 && ::read(report[0], &c, 1) == 1 && c != '\n') started += c;
    ::close(report[0]);
    ::waitpid(child, nullptr, 0);
    int pid = -1;
    char folder[200] = "";
    ASSERT_EQ(std::sscanf(started.c_str(), "%d %199s", &pid, folder), 2) << started;
    EXPECT_TRUE(gone_within(pid, folder, 10000)) << "server " << pid << " or folder " << folder << " left behind";
}

}  // namespace
