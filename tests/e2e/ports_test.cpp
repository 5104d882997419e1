// tq740-cli ports against the simulator's pseudo-terminal and its COMn link.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "processes.h"

namespace {

TEST(Cli_ports, lists_the_simulator_link_and_maps_a_port_to_its_pty) {
    e2e::Temp_dir config;
    e2e::Sim_process sim({"--demo", "--port", "4"}, config.path);
    ASSERT_FALSE(sim.device().empty());
    const std::string folder = config.path + "/NORVATQ740";

    const e2e::Run_result listed = e2e::run_program(TQ740_CLI, {"ports"}, config.path);
    EXPECT_EQ(listed.status, 0) << listed.errors;
    EXPECT_EQ(listed.output.rfind("Device\tBy-id name\tMaker\tProduct\tSerial number\tMapped to\tAccess\n", 0), 0u);
    EXPECT_NE(listed.output.find("\nCOM4: " + sim.device() + " (set by the simulator or by hand)\n"),
              std::string::npos)
        << listed.output;

    // The simulator's link is not replaced without --yes.
    const e2e::Run_result declined = e2e::run_program(TQ740_CLI, {"ports", "map", "4", "/dev/null"}, config.path);
    EXPECT_EQ(declined.status, 10) << declined.errors;
    EXPECT_EQ(std::filesystem::read_symlink(folder + "/COM4").string(), sim.device());

    // A pseudo-terminal is not in the system's list, but it is a serial
    // device given by its path: COM6 opens it, and the calibrator answers there.
    const e2e::Run_result mapped = e2e::run_program(TQ740_CLI, {"ports", "map", "6", sim.device()}, config.path);
    EXPECT_EQ(mapped.status, 0) << mapped.errors;
    EXPECT_EQ(mapped.output, "COM6 -> " + sim.device() + "\n");
    const e2e::Run_result again = e2e::run_program(TQ740_CLI, {"ports"}, config.path);
    EXPECT_NE(again.output.find("\nCOM6: " + sim.device() + "\n"), std::string::npos) << again.output;
    const e2e::Run_result identity =
        e2e::run_program(TQ740_CLI, {"--port", "6", "--no-clock-check", "identify"}, config.path);
    EXPECT_EQ(identity.status, 0) << identity.errors;
    EXPECT_NE(identity.output.find("Model: TQ740"), std::string::npos) << identity.output;

    const e2e::Run_result wrong = e2e::run_program(TQ740_CLI, {"ports", "map", "9", sim.device()}, config.path);
    EXPECT_EQ(wrong.status, 64);
}

TEST(Cli_ports, the_open_failure_names_the_port_and_its_device) {
    e2e::Temp_dir config;
    std::filesystem::create_directories(config.path + "/NORVATQ740");
    std::filesystem::create_symlink("/dev/tq740-no-such-adapter", config.path + "/NORVATQ740/COM5");
    const e2e::Run_result result =
        e2e::run_program(TQ740_CLI, {"--port", "5", "--no-clock-check", "identify"}, config.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.errors.find("ERROR: Unable to open communications port COM5 (/dev/tq740-no-such-adapter): "
                                 "No such file or directory\n"
                                 "Configure > Serial Adapters... lists the serial devices and maps COM ports to them."),
              std::string::npos)
        << result.errors;
}

}  // namespace
