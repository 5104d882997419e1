// tq740-cli's calibrator commands against tq740-sim over a pseudo-terminal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "processes.h"

namespace {

using e2e::Run_result;

class Cli_commands : public ::testing::Test {
protected:
    Run_result cli(const e2e::Sim_process& sim, std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", sim.device()});
        return e2e::run_program(TQ740_CLI, args, home_.path);
    }
    e2e::Temp_dir home_;
};

TEST_F(Cli_commands, identify_prints_identity_capability_and_framing) {
    struct Case {
        const char* identity;
        const char* expected;
    };
    const Case cases[] = {
        {"NORVA,TQ740,0,3.05-B",
         "Manufacturer: NORVA\nModel: TQ740\nSerial Number: 1234567\nFirmware Version: 3.05-B\nCapability: 2\n"
         "Framed: yes\n"},
        {"NORVA,TQ740,0,2.10",
         "Manufacturer: NORVA\nModel: TQ740\nSerial Number: 1234567\nFirmware Version: 2.10\nCapability: 1\n"
         "Framed: no\n"},
        {"TALMONT,TC-9,0,1.00",
         "Manufacturer: TALMONT\nModel: TC-9\nSerial Number: 1234567\nFirmware Version: 1.00\nCapability: 2\n"
         "Framed: no\n"},
    };
    for (const auto& c : cases) {
        e2e::Sim_process sim({"--identity", c.identity});
        ASSERT_FALSE(sim.device().empty());
        const Run_result r = cli(sim, {"identify"});
        EXPECT_EQ(r.output, c.expected) << c.identity << "\n" << r.errors;
        EXPECT_EQ(r.status, 0) << c.identity;
    }
}

TEST_F(Cli_commands, an_unsupported_calibrator_is_refused_with_the_programs_message) {
    e2e::Sim_process sim({"--identity", "NORVA,TQ740-X,0,3.00"});
    const Run_result r = cli(sim, {"tags"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.output, "");
    EXPECT_NE(r.errors.find("ERROR: Calibrator is not supported."), std::string::npos) << r.errors;
}

TEST_F(Cli_commands, tags_then_erase_one_entry_and_then_all) {
    e2e::Sim_process sim({"--demo"});
    Run_result tags = cli(sim, {"tags"});
    ASSERT_EQ(tags.output.rfind(" 3 U PUMP-1\n 5 C PT-101\n", 0), 0u) << tags.output << tags.errors;
    EXPECT_NE(tags.output.find("17 C TT-204\n"), std::string::npos);

    // Without --yes the question is answered No and nothing is erased.
    Run_result declined = cli(sim, {"erase", "17 C TT-204"});
    EXPECT_NE(declined.errors.find("CONFIRMATION: Data for the selected tags"), std::string::npos);
    EXPECT_EQ(cli(sim, {"tags"}).output, tags.output);

    Run_result erased = cli(sim, {"erase", "--yes", "17 C TT-204", "--no-clock-check"});
    EXPECT_EQ(erased.status, 0) << erased.errors;
    const std::string after = cli(sim, {"tags"}).output;
    EXPECT_EQ(after.find("TT-204"), std::string::npos);
    EXPECT_NE(after.find(" 3 U PUMP-1"), std::string::npos);

    Run_result missing = cli(sim, {"--yes", "erase", "17 C TT-204"});
    EXPECT_NE(missing.errors.find("ERROR: Tag 'TT-204' not found in calibrator"), std::string::npos);
    EXPECT_NE(missing.status, 0);

    EXPECT_EQ(cli(sim, {"--yes", "erase", "--all"}).status, 0);
    Run_result empty = cli(sim, {"tags"});
    EXPECT_EQ(empty.output, "");
    EXPECT_NE(empty.errors.find("INFORMATION: No Tags are available in the calibrator"), std::string::npos);
}

TEST_F(Cli_commands, clock_sets_the_calibrator_only_with_yes) {
    e2e::Sim_process sim({"--clock-offset", "3600"});
    Run_result asked = cli(sim, {"clock"});
    EXPECT_NE(asked.errors.find("more than 15 minutes different from PC time"), std::string::npos) << asked.errors;
    EXPECT_NE(asked.output.find("Difference: -3600 s"), std::string::npos) << asked.output;

    EXPECT_EQ(cli(sim, {"clock", "--yes"}).status, 0);
    Run_result after = cli(sim, {"clock"});
    EXPECT_EQ(after.errors.find("more than 15 minutes"), std::string::npos) << after.errors;
    EXPECT_EQ(after.status, 0);
}

}  // namespace
