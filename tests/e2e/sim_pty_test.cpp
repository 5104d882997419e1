// tq740-sim as a process, over a real pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "link/frame.h"
#include "processes.h"

namespace {

using e2e::Clock;
using e2e::elapsed_ms;
using e2e::Sim_process;
using e2e::Temp_dir;

std::vector<std::string> files_in(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

// The program's end of the line: the pty slave in raw mode.
class Port {
public:
    explicit Port(const std::string& device) {
        fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return;
        termios t {};
        ::tcgetattr(fd_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd_, TCSANOW, &t);
    }
    ~Port() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool is_open() const { return fd_ >= 0; }

    void send(const std::string& command) {
        ::tcflush(fd_, TCIOFLUSH);
        std::string line = command + "\r";
        ASSERT_EQ(::write(fd_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    // Reads until lines CRs have come or timeout_ms passed; returns what came.
    std::string read_lines(int lines, int timeout_ms) {
        std::string received;
        int crs = 0;
        auto start = Clock::now();
        while (crs < lines && elapsed_ms(start) < timeout_ms) {
            pollfd p {fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            char buffer[256];
            ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                received += buffer[i];
                crs += buffer[i] == '\r' ? 1 : 0;
            }
        }
        return received;
    }
    std::string ask(const std::string& command, int lines = 1) {
        send(command);
        return read_lines(lines, 3000);
    }

private:
    int fd_ = -1;
};

TEST(Sim_e2e, prints_its_device_first_and_answers_identity_over_the_pty) {
    Sim_process sim({"--serial", "7654321"});
    ASSERT_EQ(sim.first_line().rfind("device: /dev/pts/", 0), 0u) << sim.first_line();
    Port port(sim.device());
    ASSERT_TRUE(port.is_open());
    EXPECT_EQ(port.ask("*IDN?"), "NORVA,TQ740,0,3.00\r");
    EXPECT_EQ(port.ask("GET_SN"), "7654321\r");
    EXPECT_EQ(sim.stop(), 0);
}

TEST(Sim_e2e, framed_field_upload_and_a_damaged_frame) {
    Sim_process sim({"--demo"});
    Port port(sim.device());
    ASSERT_TRUE(port.is_open());
    std::string reply = port.ask(comm::framed_command_text("TAG_UPLD 1 17"));
    ASSERT_FALSE(reply.empty());
    reply.pop_back();  // CR
    ASSERT_TRUE(comm::check_response_frame(reply, 1, true)) << reply;
    EXPECT_EQ(reply, "TT-204");

    std::string damaged = comm::framed_command_text("TAG_UPLD 1 17");
    damaged.back() = damaged.back() == '0' ? '1' : '0';
    EXPECT_EQ(port.ask(damaged), comm::frame_reply("<Error 99>", -1) + "\r");
    EXPECT_EQ(port.ask("TAG_DNLD 0[16879"), "37 1[10375\r");
}

TEST(Sim_e2e, survives_the_port_being_closed_and_opened_between_operations) {
    Sim_process sim({});
    for (int round = 0; round < 3; ++round) {
        Port port(sim.device());
        ASSERT_TRUE(port.is_open());
        EXPECT_EQ(port.ask("GET_SN"), "1234567\r") << round;
    }
}

TEST(Sim_e2e, a_command_in_pieces_is_answered_once_whole) {
    Sim_process sim({});
    int fd = ::open(sim.device().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t {};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);
    ASSERT_EQ(::write(fd, "GET", 3), 3);
    ::poll(nullptr, 0, 100);
    ASSERT_EQ(::write(fd, "_SN\r", 4), 4);
    std::string received;
    auto start = Clock::now();
    while (received.find('\r') == std::string::npos && elapsed_ms(start) < 3000) {
        pollfd p {fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buffer[64];
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) received.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    EXPECT_EQ(received, "1234567\r");
}

TEST(Sim_e2e, silent_simulator_answers_nothing) {
    Sim_process sim({"--silent"});
    Port port(sim.device());
    port.send("*IDN?");
    EXPECT_EQ(port.read_lines(1, 600), "");
}

TEST(Sim_e2e, baud_pacing_makes_a_long_reply_take_its_line_time) {
    Sim_process sim({"--demo", "--baud", "9600"});
    Port port(sim.device());
    auto start = Clock::now();
    std::string tags = port.ask("TAGS?", 14);
    const int took = elapsed_ms(start);
    // 13 tag lines and the closing line: 14 x 12 bytes = 168 bytes, about 175 ms.
    EXPECT_EQ(tags.substr(tags.size() - 11), "<Complete>\r");
    EXPECT_GE(took, static_cast<int>((tags.size() + 6) * 10 * 1000 / 9600) - 5);
}

TEST(Sim_e2e, link_is_made_and_removed_on_exit) {
    Temp_dir dir;
    const std::string link = dir.path + "/COM5";
    {
        Sim_process sim({"--link", link});
        ASSERT_EQ(sim.read_stdout_line(2000), "link: " + link);
        char target[256] = {};
        ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
        EXPECT_EQ(std::string(target), sim.device());
        Port port(link);
        EXPECT_EQ(port.ask("GET_SN"), "1234567\r");
        EXPECT_EQ(sim.stop(), 0);
    }
    struct stat info {};
    EXPECT_NE(::lstat(link.c_str(), &info), 0);
}

TEST(Sim_e2e, port_option_maps_comn_in_the_application_data_folder) {
    Temp_dir dir;
    Sim_process sim({"--port", "3"}, dir.path);
    const std::string link = dir.path + "/NORVATQ740/COM3";
    EXPECT_EQ(sim.read_stdout_line(2000), "link: " + link);
    Port port(link);
    ASSERT_TRUE(port.is_open());
    EXPECT_EQ(port.ask("*IDN?"), "NORVA,TQ740,0,3.00\r");
    EXPECT_EQ(sim.stop(), 0);
    struct stat info {};
    EXPECT_NE(::lstat(link.c_str(), &info), 0);
}

TEST(Sim_e2e, a_users_own_port_mapping_is_never_overwritten) {
    Temp_dir dir;
    const std::string link = dir.path + "/COM1";
    ASSERT_EQ(::symlink("/dev/ttyUSB0", link.c_str()), 0);
    Sim_process sim({"--link", link});
    EXPECT_EQ(sim.device(), "");
    EXPECT_EQ(sim.stop(), 1);
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), "/dev/ttyUSB0");
}

TEST(Sim_e2e, state_file_keeps_the_tags_between_runs) {
    Temp_dir dir;
    const std::string state = dir.path + "/simulator-state";
    {
        Sim_process sim({"--demo", "--state", state});
        Port port(sim.device());
        EXPECT_EQ(port.ask("TAG_CLEAR PUMP-1"), "<Complete>\r");
        EXPECT_EQ(port.ask("TAG_DNLD 0[16879"), comm::frame_reply("38 1", -1) + "\r");
        EXPECT_EQ(sim.stop(), 0);
    }
    {
        // --demo does not override a state that exists.
        Sim_process sim({"--demo", "--state", state});
        Port port(sim.device());
        EXPECT_EQ(port.ask("TAG_DNLD 0[16879"), comm::frame_reply("38 1", -1) + "\r");
        EXPECT_EQ(port.ask("TAG_CLEAR PUMP-1"), "<Tag [PUMP-1] not found>\r");
    }
    // Written through a temporary file that does not stay behind.
    EXPECT_EQ(files_in(dir.path), std::vector<std::string>{"simulator-state"});
    // A damaged state file stops the simulator rather than being overwritten.
    { std::ofstream(state) << "garbage\n"; }
    Sim_process broken({"--state", state});
    EXPECT_EQ(broken.device(), "");
    EXPECT_EQ(broken.stop(), 2);
    std::ifstream file(state);
    std::stringstream content;
    content << file.rdbuf();
    EXPECT_EQ(content.str(), "garbage\n");
}

}  // namespace
