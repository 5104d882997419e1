// tq740-cli send against tq740-sim: the program's own transaction over a real
// pseudo-terminal.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "link/frame.h"
#include "processes.h"

namespace {

using e2e::Run_result;

class Sim_cli : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tq740-sim-cli-XXXXXX";
        config_home_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::system(("rm -rf '" + config_home_ + "'").c_str()); }

    Run_result send(const e2e::Sim_process& sim, std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", sim.device(), "send"});
        return e2e::run_program(TQ740_CLI, args, config_home_);
    }

    std::string config_home_;
};

TEST_F(Sim_cli, identity_framed_upload_damaged_frame_and_silence) {
    e2e::Sim_process sim({"--demo"});
    ASSERT_FALSE(sim.device().empty());

    Run_result identity = send(sim, {"*IDN?"});
    EXPECT_EQ(identity.output, "0\tNORVA,TQ740,0,3.00\n");
    EXPECT_EQ(identity.status, 0);

    // The send command passes the text as it is: the frame is built here.
    Run_result field = send(sim, {comm::framed_command_text("TAG_UPLD 68 17")});
    EXPECT_EQ(field.output, "0\t" + comm::frame_reply("2", 68) + "\n");
    EXPECT_EQ(field.status, 0);

    std::string damaged = comm::framed_command_text("TAG_UPLD 68 17");
    damaged.back() = damaged.back() == '0' ? '1' : '0';
    Run_result refused = send(sim, {damaged});
    EXPECT_EQ(refused.output, "0\t" + comm::frame_reply("<Error 99>", -1) + "\n");

    Run_result tags = send(sim, {"--lines", "14", "TAGS?"});
    EXPECT_EQ(tags.output.rfind("0\t 3 U PUMP-1\n0\t 5 C PT-101\n", 0), 0u) << tags.output;
    EXPECT_NE(tags.output.find("0\t<Complete>\n"), std::string::npos);
}

TEST_F(Sim_cli, a_silent_calibrator_ends_in_no_response_after_the_resends) {
    e2e::Sim_process sim({"--silent"});
    ASSERT_FALSE(sim.device().empty());
    auto start = std::chrono::steady_clock::now();
    Run_result silent = send(sim, {"*IDN?"});
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(silent.output, "2\t\n");
    EXPECT_EQ(silent.status, 2);
    EXPECT_GE(seconds, 6);  // three re-sends two clock seconds apart
    EXPECT_LT(silent.cpu_seconds, 0.5);  // the wait sleeps on the port instead of spinning
}

TEST_F(Sim_cli, a_reply_without_cr_is_partial_and_document_mode_is_recognised) {
    e2e::Sim_process partial({"--no-cr-every", "1"});
    Run_result no_cr = send(partial, {"GET_SN"});
    EXPECT_EQ(no_cr.output, "3\t1234567\n");
    EXPECT_EQ(no_cr.status, 3);

    e2e::Sim_process busy({"--document-mode"});
    Run_result document = send(busy, {"*IDN?"});
    EXPECT_EQ(document.output, "4\t<Exit DOCUMENT mode>\n");
    EXPECT_EQ(document.status, 4);
}

}  // namespace
