// The simulated level 1 calibrator's reports over a real pseudo-terminal,
// read by the program's own line reader (tq740-cli send): every line arrives
// whole, with result 0, as the in-process engine renders it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_tags.h"
#include "engine.h"
#include "processes.h"

namespace {

const std::string LEVEL_1 = "NORVA,TQ740,0,2.10";

class Sim_reports_e2e : public ::testing::Test {
protected:
    void SetUp() override { config_home_ = dir_.path; }

    e2e::Run_result send(const e2e::Sim_process& simulator, std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", simulator.device(), "send"});
        return e2e::run_program(TQ740_CLI, args, config_home_);
    }

    // What the send command prints for these reply bytes: "0<TAB>line" each.
    static std::string printed(const std::string& reply) {
        std::string out;
        size_t start = 0;
        for (size_t cr = reply.find('\r'); cr != std::string::npos; cr = reply.find('\r', start)) {
            out += "0\t" + reply.substr(start, cr - start) + "\n";
            start = cr + 1;
        }
        return out;
    }
    static int line_count(const std::string& reply) {
        int n = 0;
        for (char c : reply) n += c == '\r' ? 1 : 0;
        return n;
    }

    e2e::Temp_dir dir_;
    std::string config_home_;
};

TEST_F(Sim_reports_e2e, every_demonstration_report_line_reaches_the_program_whole) {
    e2e::Sim_process simulator({"--demo", "--identity", LEVEL_1});
    ASSERT_FALSE(simulator.device().empty()) << simulator.first_line();

    // The same calibrator in-process gives the expected lines.
    sim::Engine_config config;
    config.identity = LEVEL_1;
    sim::Manual_time_source time;
    sim::Engine reference(config, time);
    sim::load_demo_tags(reference.tags());

    for (const char* layout : {"REPORT_TXT", "REPORT_CSV"}) {
        EXPECT_EQ(send(simulator, {layout}).output, "0\t<Complete>\n") << layout;
        reference.handle_line(layout);
        const std::string expected = reference.handle_line("TAG_SEND_ALL");
        ASSERT_GT(line_count(expected), 11 * 60) << layout;
        e2e::Run_result all = send(simulator, {"--lines", std::to_string(line_count(expected)), "TAG_SEND_ALL"});
        EXPECT_EQ(all.status, 0) << layout << "\n" << all.errors;
        EXPECT_EQ(all.output, printed(expected)) << layout;
    }
}

TEST_F(Sim_reports_e2e, tag_send_names_the_tag_in_any_case_and_refuses_an_unknown_one) {
    e2e::Sim_process simulator({"--demo", "--identity", LEVEL_1});
    ASSERT_FALSE(simulator.device().empty()) << simulator.first_line();

    e2e::Run_result one = send(simulator, {"--lines", "3", "TAG_SEND tt-204"});
    EXPECT_EQ(one.output.rfind("0\tTag ID: TT-204\n0\tCalibrated: 2025/03/05 13:30:15\n0\tManufacturer:  Veyra\n", 0),
              0u)
        << one.output;
    EXPECT_EQ(send(simulator, {"TAG_SEND nope-1"}).output, "0\t<Tag [NOPE-1] not found>\n");
    EXPECT_EQ(send(simulator, {"TAG_SEND pump-1"}).output, "0\t<Complete>\n");  // not calibrated
}

}  // namespace
