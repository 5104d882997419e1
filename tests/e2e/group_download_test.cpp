// tq740-cli group make and download --group against tq740-sim: a group of the
// example tags goes in, the summary names each member, and the tag list
// shows them all.
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

TEST(Group_download, a_group_of_the_example_tags_goes_in_and_the_tag_list_shows_them) {
    e2e::Temp_dir home;
    const fs::path folder = fs::path(home.path) / "tags";
    fs::create_directory(folder);
    std::vector<std::string> args{"group", "make", (folder / "unit.ugp").string()};
    std::vector<std::string> stems;
    for (const auto& entry : fs::directory_iterator(EXAMPLES)) {
        const fs::path tag = entry.path();
        if (tag.extension() != ".utg" || tag.stem() == "refused-long-tag-id") continue;
        // Upper-case names come first in byte order but not in the group's order.
        const std::string name = tag.stem() == "TT-101" ? "tt-101.UTG" : tag.filename().string();
        fs::copy_file(tag, folder / name);
        args.push_back((folder / name).string());
        stems.push_back(tag.stem().string());
    }
    std::sort(stems.begin(), stems.end());
    ASSERT_EQ(e2e::run_program(TQ740_CLI, args, home.path).status, 0);

    e2e::Sim_process sim({});
    ASSERT_FALSE(sim.device().empty());
    const Run_result r =
        e2e::run_program(TQ740_CLI, {"--device", sim.device(), "download", "--group", (folder / "unit.ugp").string()},
                         home.path);
    ASSERT_EQ(r.status, 0) << r.errors;
    std::string summary, listed;
    for (size_t i = 0; i < stems.size(); ++i) {
        const std::string member = stems[i] == "TT-101" ? "tt-101.utg" : stems[i] + ".utg";
        summary += "Loaded     " + member + "\n";
        listed += std::string(i < 9 ? " " : "") + std::to_string(i + 1) + " U " + stems[i] + "\n";
    }
    EXPECT_EQ(r.output, summary);
    EXPECT_NE(r.errors.find("Pending    FQ-710.utg\n"), std::string::npos) << r.errors;
    EXPECT_EQ(e2e::run_program(TQ740_CLI, {"--device", sim.device(), "tags"}, home.path).output, listed);

    // A second time the calibrator refuses every Tag ID already in use.
    const Run_result again = e2e::run_program(
        TQ740_CLI, {"--device", sim.device(), "download", "--group", (folder / "unit.ugp").string(), "--select",
                    "FT-610.utg"},
        home.path);
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.output, "FAILED     FT-610.utg  (7 - Tag identity is already in use, or is blank.  Field: Tag ID)\n");
}

}  // namespace
