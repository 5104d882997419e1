// tq740-cli download against tq740-sim: every example tag file goes in and
// the tag list shows it; a tag the calibrator refuses prints the refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "processes.h"

namespace {

namespace fs = std::filesystem;
using e2e::Run_result;

const fs::path EXAMPLES = fs::path(__FILE__).parent_path() / "../../examples/tags";
const std::string REFUSED = (EXAMPLES / "refused-long-tag-id.utg").string();

Run_result cli(const e2e::Sim_process& sim, const e2e::Temp_dir& home, std::vector<std::string> args) {
    args.insert(args.begin(), {"--device", sim.device()});
    return e2e::run_program(TQ740_CLI, args, home.path);
}

TEST(Download, every_example_goes_in_and_the_tag_list_shows_it_not_calibrated) {
    e2e::Temp_dir home;
    e2e::Sim_process sim({});
    ASSERT_FALSE(sim.device().empty());
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(EXAMPLES))
        if (entry.path().extension() == ".utg" && entry.path() != fs::path(REFUSED)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 12u);

    std::vector<std::string> args{"download"};
    args.insert(args.end(), files.begin(), files.end());
    const Run_result r = cli(sim, home, args);
    ASSERT_EQ(r.status, 0) << r.errors;
    std::string expected, listed;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string position = std::to_string(i + 1);
        expected += "Loaded " + files[i] + " at position " + position + "\n";
        listed += std::string(position.size() < 2 ? " " : "") + position + " U " + fs::path(files[i]).stem().string() +
                  "\n";
    }
    EXPECT_EQ(r.output, expected);
    EXPECT_EQ(cli(sim, home, {"tags"}).output, listed);
}

TEST(Download, a_refused_tag_prints_the_refusal_and_the_run_fails) {
    e2e::Temp_dir home;
    e2e::Sim_process sim({});
    const std::string accepted = (EXAMPLES / "TT-101.utg").string();
    const Run_result r = cli(sim, home, {"download", REFUSED, accepted});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.output, "FAILED " + REFUSED + "\nLoaded " + accepted + " at position 1\n");
    EXPECT_NE(r.errors.find("ERROR: 6 - Data value is too long, or contains invalid characters.\n"
                            "Tag: refused-long-tag-id.utg\nField: Tag ID\n"),
              std::string::npos)
        << r.errors;
}

}  // namespace
