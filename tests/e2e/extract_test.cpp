// tq740-cli extract against reports the simulator rendered: every example tag
// goes into the simulator, is calibrated there, comes back as a TXT and a CSV
// report, and is extracted from each into a tag file equal to the one the
// simulator was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "processes.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;
using e2e::Run_result;

const fs::path EXAMPLES = fs::path(__FILE__).parent_path() / "../../examples/tags";

std::vector<fs::path> example_tags() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(EXAMPLES))
        if (entry.path().extension() == ".utg" && entry.path().stem() != "refused-long-tag-id")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(Extract, every_tag_of_an_uploaded_report_extracts_to_the_tag_file_the_simulator_holds) {
    e2e::Temp_dir home;
    e2e::Sim_process sim({"--calibrate-downloads"});
    ASSERT_FALSE(sim.device().empty());
    auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", sim.device(), "--no-clock-check", "--yes"});
        return e2e::run_program(TQ740_CLI, args, home.path);
    };
    const std::vector<fs::path> tags = example_tags();
    ASSERT_GE(tags.size(), 12u);
    std::vector<std::string> download{"download"};
    for (const auto& tag : tags) download.push_back(tag.string());
    const Run_result loaded = cli(download);
    ASSERT_EQ(loaded.status, 0) << loaded.errors;

    for (const std::string format : {"txt", "csv"}) {
        SCOPED_TRACE(format);
        const std::string report = home.path + "/reports." + format;
        const Run_result upload = cli({"upload", format == "txt" ? "--text" : "--csv", "-o", report});
        ASSERT_EQ(upload.status, 0) << upload.errors;
        for (const auto& tag : tags) {
            SCOPED_TRACE(tag.stem().string());
            const std::string out = home.path + "/" + tag.stem().string() + "." + format + ".utg";
            const Run_result r = cli({"extract", report, "--tag", tag.stem().string(), "-o", out});
            ASSERT_EQ(r.status, 0) << r.errors;
            EXPECT_EQ(r.output, out + "\n");
            EXPECT_EQ(test::file_bytes(out), test::file_bytes(tag));
        }
    }
}

TEST(Extract, a_report_of_several_tags_lists_them_and_asks_for_one) {
    e2e::Temp_dir home;
    e2e::Sim_process sim({"--demo"});
    ASSERT_FALSE(sim.device().empty());
    const std::string report = home.path + "/demo.txt";
    const Run_result upload = e2e::run_program(
        TQ740_CLI, {"--device", sim.device(), "--no-clock-check", "--yes", "upload", "--text", "-o", report},
        home.path);
    ASSERT_EQ(upload.status, 0) << upload.errors;

    const Run_result listed = e2e::run_program(TQ740_CLI, {"extract", report}, home.path);
    EXPECT_EQ(listed.status, 64);
    EXPECT_EQ(listed.output.substr(0, 7), "PT-101\n") << listed.output;
    EXPECT_NE(listed.errors.find("choose one with --tag ID"), std::string::npos) << listed.errors;

    const Run_result shown = e2e::run_program(TQ740_CLI, {"extract", report, "--tag", "PT-101"}, home.path);
    EXPECT_EQ(shown.status, 0) << shown.errors;
    EXPECT_EQ(shown.output.substr(0, 10), " 1 PT-101\n");
    EXPECT_EQ(std::count(shown.output.begin(), shown.output.end(), '\n'), 46);

    // Without its range lines the first tag's input range reads "ERROR":
    // named, and nothing is written.
    std::string text = test::file_bytes(report);
    for (int side = 0; side < 2; ++side) {
        const std::size_t range = text.find("      Range:");
        ASSERT_NE(range, std::string::npos);
        text.erase(range, text.find('\n', range) + 1 - range);
    }
    const std::string damaged = home.path + "/damaged.txt", out = home.path + "/PT-101.utg";
    std::ofstream(damaged, std::ios::binary) << text;
    const Run_result refused = e2e::run_program(TQ740_CLI, {"extract", damaged, "--tag", "PT-101", "-o", out}, home.path);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find("Instrument Input Range High holds \"ERROR\" in the report: no file written"),
              std::string::npos)
        << refused.errors;
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
