// The calibration records on a PostgreSQL server the test starts itself:
// four importers at once, copies both ways, the server killed during an
// import and down during an upload, and the logins it refuses.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>
#include <tuple>

#include "processes.h"
#include "support/pg_server.h"
#include "support/test_files.h"

namespace {

using e2e::Run_result;

// `files` report files of `per_file` reports each (the worked example, each
// report with a tag of its own); their paths.
std::vector<std::string> write_report_files(const std::string& folder, int files, int per_file) {
    static const std::string worked =
        test::file_bytes(std::filesystem::path(TQ740_SOURCE_DIR) / "tests/unit/golden/worked_example.txt");
    std::filesystem::create_directories(folder);
    std::vector<std::string> paths;
    for (int r = 0; r < files * per_file; ++r) {
        if (r % per_file == 0) paths.push_back(folder + "/r" + std::to_string(r / per_file) + ".txt");
        std::string report = worked;
        report.replace(report.find("TT-101"), 6, "BT-" + std::to_string(r));
        std::ofstream(paths.back(), std::ios::binary | std::ios::app)
            << (r % per_file ? "------------------------------\n\n" : "") << report;
    }
    return paths;
}

// tq740-cli on a records database with its own settings (PGPASSWORD set
// when given), ended after 60 s should it hang.
Run_result cli(const std::string& home, const std::string& database, std::vector<std::string> args,
               const std::string& password = "") {
    args.insert(args.begin(), {"--records", database});
    e2e::Run_extras extras;
    extras.in_child = [password] {
        ::alarm(60);
        if (!password.empty()) ::setenv("PGPASSWORD", password.c_str(), 1);
    };
    return e2e::run_program(TQ740_CLI, args, home, extras);
}

long long count_of(test::Pg_server& server, const std::string& database) {
    std::string out;
    return server.sql(database, "SELECT COUNT(*) FROM calibrations", &out) ? std::stoll(out) : -1;
}

TEST(Records_server, four_importers_copies_both_ways_a_killed_server_and_logins) {
    e2e::Temp_dir home;
    test::Pg_server server;
    ASSERT_TRUE(server.start()) << server.reason();
    ASSERT_TRUE(server.create_database("plant") && server.create_database("second")) << server.reason();
    const std::vector<std::string> files = write_report_files(home.path, 500, 1);

    // Four importers of the same 500 files, each in its own order.
    std::vector<std::future<Run_result>> importers;
    for (int k = 0; k < 4; ++k) {
        std::vector<std::string> args = {"records", "import"};
        std::rotate_copy(files.begin(), files.begin() + k * 125, files.end(), std::back_inserter(args));
        importers.push_back(std::async(std::launch::async, [&home, &server, args] { return cli(home.path, server.url("plant"), args); }));
    }
    // Each calibration recorded by exactly one of them.
    int recorded = 0;
    for (auto& importer : importers) {
        const Run_result r = importer.get();
        EXPECT_EQ(r.status, 0) << r.errors;
        for (std::size_t at = 0; (at = r.output.find(": 1 recorded, 0 already recorded\n", at)) != std::string::npos; ++at)
            ++recorded;
    }
    EXPECT_EQ(recorded, 500);

    // Server to file, again (nothing doubled), file to another server
    // database, file to itself (refused): then three databases with the same
    // records, chains intact, and the same content hashes (equal exports).
    const std::string file = home.path + "/laptop.sqlite";
    const std::tuple<std::string, std::string, std::string> copies[] = {
        {server.url("plant"), file, "500 copied, 0 already recorded\n"},
        {server.url("plant"), file, "0 copied, 500 already recorded\n"},
        {file, server.url("second"), "500 copied, 0 already recorded\n"},
        {file, file, ""}};
    for (const auto& [from, to, printed] : copies) {
        const Run_result r = cli(home.path, from, {"records", "copy", "--to", to});
        EXPECT_EQ(r.output, printed) << from << " -> " << to << ": " << r.errors;
        EXPECT_EQ(r.status, printed.empty() ? 1 : 0);
    }
    std::string exports[3];
    const std::string databases[3] = {server.url("plant"), file, server.url("second")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cli(home.path, databases[i], {"records", "verify"}).output, "500 records, chain intact\n") << databases[i];
        const std::string csv = home.path + "/export" + std::to_string(i) + ".csv";
        ASSERT_EQ(cli(home.path, databases[i], {"records", "export", "--csv", csv}).status, 0);
        exports[i] = test::file_bytes(csv);
    }
    EXPECT_TRUE(exports[1] == exports[0] && exports[2] == exports[0]);

    // The server killed during an import of 40 files of 100 reports into a
    // third database: each file is recorded whole or not at all, and the
    // import says so, in its own words only.
    const std::string third = server.url("third");
    ASSERT_TRUE(server.create_database("third")) << server.reason();
    const std::vector<std::string> batches = write_report_files(home.path + "/batches", 40, 100);
    std::vector<std::string> args = {"records", "import"};
    args.insert(args.end(), batches.begin(), batches.end());
    auto import = std::async(std::launch::async, [&] { return cli(home.path, third, args); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (count_of(server, "third") < 100 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(server.kill()) << server.reason();
    const Run_result killed = import.get();
    EXPECT_EQ(killed.status, 1);
    const auto whole_files = std::count(killed.output.begin(), killed.output.end(), '\n');
    ASSERT_LT(whole_files, 40);
    // The file being written, or the next one when the server died between
    // files (the connection is made again once, and that fails).
    EXPECT_EQ(killed.errors.rfind("ERROR: " + batches.at(static_cast<std::size_t>(whole_files)) + ": Cannot ", 0), 0u)
        << killed.errors;
    EXPECT_NE(killed.errors.find(" the records database " + third + ": "), std::string::npos) << killed.errors;
    EXPECT_TRUE(killed.errors.ends_with("\nERROR: Files not recorded because the records database failed: " +
                                        std::to_string(40 - whole_files - 1) + ".  Import them again later.\n"))
        << killed.errors;

    // While it is down, an upload keeps its reports (saved here with -o),
    // with a message naming the server, though they could not be recorded.
    e2e::Sim_process sim({"--demo"});
    const Run_result upload = cli(home.path, third, {"--device", sim.device(), "--yes", "--no-clock-check", "upload",
                                                     "-o", home.path + "/upload.txt"});
    EXPECT_EQ(upload.status, 1);
    EXPECT_NE(upload.errors.find("The uploaded reports were not recorded.\nCannot open the records database " + third +
                                 ": connection to server on socket"),
              std::string::npos)
        << upload.errors;
    EXPECT_GT(std::filesystem::file_size(home.path + "/upload.txt"), 0u);

    ASSERT_TRUE(server.restart()) << server.reason();
    EXPECT_EQ(cli(home.path, third, {"records", "verify"}).output, std::to_string(whole_files * 100) + " records, chain intact\n");

    // Who may connect (a reader that must give its password, the quality
    // department's, say): the password from PGPASSWORD, never shown; each
    // refusal names the server and the server's reason.
    ASSERT_TRUE(server.sql("plant", "CREATE ROLE tq740_pw LOGIN PASSWORD 'right-secret'; "
                                    "GRANT SELECT ON ALL TABLES IN SCHEMA public TO tq740_pw")) << server.reason();
    const std::string as_pw = server.url("plant", "tq740_pw");
    const std::tuple<std::string, std::string, std::string> logins[] = {  // database, PGPASSWORD, reason ("": in)
        {as_pw, "wrong-secret", "password authentication failed for user \"tq740_pw\""},
        {as_pw, "right-secret", ""},
        {server.url("nosuch"), "", "database \"nosuch\" does not exist"},
    };
    for (const auto& [database, password, reason] : logins) {
        const Run_result r = cli(home.path, database, {"records", "list"}, password);
        EXPECT_EQ(r.status, reason.empty() ? 0 : 1) << database;
        EXPECT_NE(r.errors.find(reason), std::string::npos) << r.errors;
        EXPECT_EQ(r.errors.find("-secret"), std::string::npos) << r.errors;
        const std::string named = reason.empty() ? "" : "ERROR: Cannot open the records database " + database + ": ";
        EXPECT_EQ(r.errors.rfind(named, 0), 0u) << r.errors;  // names the server
    }
}

}  // namespace
