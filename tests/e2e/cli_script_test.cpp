// What a script can rely on from tq740-cli against tq740-sim: a question
// answered No exits with the "declined" status, Ctrl+C during a wait cancels
// with the operation's own message, and a file that cannot be saved is
// reported with its path and the system's reason.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "processes.h"
#include "ui/console/cli.h"
#include "support/test_files.h"

namespace {

using e2e::Run_result;

class Cli_script : public ::testing::Test {
protected:
    Run_result cli(const e2e::Sim_process& sim, std::vector<std::string> args, const e2e::Run_extras& extras = {}) {
        args.insert(args.begin(), {"--device", sim.device()});
        return e2e::run_program(TQ740_CLI, args, home_.path, extras);
    }
    std::string path(const std::string& name) const { return home_.path + "/" + name; }
    e2e::Temp_dir home_;
};

TEST_F(Cli_script, a_question_answered_no_exits_with_the_declined_status) {
    const std::string existing = path("reports.txt");
    struct Case {
        std::vector<std::string> sim, args;
        int status;
    };
    const Case cases[] = {
        {{"--demo"}, {"erase", "17 C TT-204"}, ui::console::EXIT_DECLINED},
        {{"--demo"}, {"erase", "--all"}, ui::console::EXIT_DECLINED},
        {{"--clock-offset", "3600"}, {"clock"}, ui::console::EXIT_DECLINED},
        {{"--demo"}, {"upload"}, ui::console::EXIT_DECLINED},  // PUMP-1 is not calibrated
        {{"--demo"}, {"upload", "-o", existing}, ui::console::EXIT_DECLINED},
        // Answered Yes, or nothing to ask: done.
        {{"--clock-offset", "3600"}, {"--yes", "clock"}, 0},
        {{}, {"clock"}, 0},
        {{"--demo"}, {"--yes", "upload", "-o", existing}, 0},
    };
    for (const auto& c : cases) {
        std::ofstream(existing, std::ios::trunc) << "kept\n";
        e2e::Sim_process sim(c.sim);
        ASSERT_FALSE(sim.device().empty());
        const Run_result r = cli(sim, c.args);
        const std::string what = c.args.back() + " " + c.args.front();
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.errors;
        if (c.status == ui::console::EXIT_DECLINED) {
            EXPECT_NE(r.errors.find("  -> No\n"), std::string::npos) << what << "\n" << r.errors;
            EXPECT_EQ(r.errors.find("ERROR"), std::string::npos) << what << "\n" << r.errors;
            EXPECT_EQ(test::file_bytes(existing), "kept\n") << what;
        }
    }
    // The replace question names the file and comes before any upload.
    e2e::Sim_process sim({"--demo"});
    const Run_result r = cli(sim, {"upload", "-o", existing});
    EXPECT_EQ(r.errors, "CONFIRMATION: " + existing +
                            " already exists and will be replaced if you continue.  Continue?\n  -> No\n");
}

// Ctrl+C while the calibrator is awaited: the operation ends at once with its
// own cancel message, or "Cancelled." where it has none, never as a
// calibrator that failed to respond.
TEST_F(Cli_script, ctrl_c_during_a_wait_cancels_the_operation) {
    struct Case {
        std::vector<std::string> sim, args;
        const char* wait_marker;
        const char* message;
    };
    const Case cases[] = {
        {{"--silent"}, {"identify"}, "Verifying calibrator type", "ERROR: Cancelled.\n"},
        {{"--silent"}, {"--yes", "erase", "--all"}, "Verifying calibrator type", "ERROR: Cancelled.\n"},
        {{"--full", "--baud", "9600"}, {"--no-clock-check", "tags"}, "Uploading Tag Identifiers",
         "ERROR: Cancelled.\n"},
        {{"--full", "--baud", "9600"}, {"--no-clock-check", "upload"}, "Tags:  2 of 50.",
         "ERROR: User cancelled tag upload.\n"},
    };
    for (const auto& c : cases) {
        e2e::Sim_process sim(c.sim);
        ASSERT_FALSE(sim.device().empty());
        const Run_result r = cli(sim, c.args, {{}, SIGINT, c.wait_marker});
        const std::string what = c.args.back();
        EXPECT_EQ(r.status, 1) << what << "\n" << r.errors;
        EXPECT_NE(r.errors.find(c.wait_marker), std::string::npos) << what << "\n" << r.errors;
        EXPECT_NE(r.errors.find(c.message), std::string::npos) << what << "\n" << r.errors;
        EXPECT_EQ(r.errors.find("Calibrator failed to respond"), std::string::npos) << what << "\n" << r.errors;
        EXPECT_EQ(r.output, "") << what;
        EXPECT_LT(r.ms_after_signal, 5000) << what;  // at once, however long the way to the wait
    }
}

TEST_F(Cli_script, a_file_that_cannot_be_saved_names_the_path_and_the_reason) {
    e2e::Sim_process sim({"--demo"});
    const std::string unreachable = path("missing/reports.txt");
    const Run_result open_failed = cli(sim, {"--yes", "upload", "-o", unreachable});
    EXPECT_EQ(open_failed.status, 1);
    EXPECT_NE(open_failed.errors.find("ERROR: File Open Error: " + unreachable + "\nNo such file or directory\n"),
              std::string::npos)
        << open_failed.errors;

    // Past the file size limit the write fails and says so; the program is
    // not killed by SIGXFSZ, and nothing is left behind.
    const std::string limited = path("limited.txt");
    e2e::Run_extras small_files;
    small_files.in_child = [] {
        std::signal(SIGXFSZ, SIG_DFL);  // the program must ignore it itself
        const rlimit limit{2000, 2000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    const Run_result too_large = cli(sim, {"--yes", "upload", "-o", limited}, small_files);
    EXPECT_EQ(too_large.status, 1) << "-1: ended by a signal";
    EXPECT_NE(too_large.errors.find("ERROR: File Write Error: " + limited + "\nFile too large\n"), std::string::npos)
        << too_large.errors;
    EXPECT_FALSE(std::ifstream(limited).good());
}

}  // namespace
