// tq740-cli upload against tq740-sim --demo: the same report lines at both
// capability levels, in both layouts, printed or saved as the desktop
// program's file commands save them.
#include <gtest/gtest.h>

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

std::string golden(const std::string& name) {
    return test::file_bytes(fs::path(__FILE__).parent_path() / "golden" / name);
}

// Report lines joined with CR LF, as a report file holds them.
std::string with_crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

class Upload : public ::testing::Test {
protected:
    Run_result cli(const e2e::Sim_process& sim, std::vector<std::string> args) {
        args.insert(args.begin(), {"--device", sim.device(), "--yes", "upload", "--company", "ACME"});
        return e2e::run_program(TQ740_CLI, args, home_.path);
    }
    e2e::Temp_dir home_;
};

TEST_F(Upload, both_levels_give_the_expected_reports_in_both_layouts) {
    struct Case {
        const char* identity;
        const char* layout;
        const char* expected;
    };
    const Case cases[] = {
        {"NORVA,TQ740,0,3.00", "--text", "demo_reports_acme.txt"},
        {"NORVA,TQ740,0,3.00", "--csv", "demo_reports_acme.csv"},
        {"NORVA,TQ740,0,2.10", "--text", "demo_reports_acme.txt"},
        {"NORVA,TQ740,0,2.10", "--csv", "demo_reports_acme.csv"},
    };
    for (const auto& c : cases) {
        e2e::Sim_process sim({"--demo", "--identity", c.identity});
        ASSERT_FALSE(sim.device().empty());
        const Run_result r = cli(sim, {c.layout});
        EXPECT_EQ(r.status, 0) << c.identity << " " << c.layout << "\n" << r.errors;
        EXPECT_EQ(r.output, golden(c.expected)) << c.identity << " " << c.layout;
    }
}

TEST_F(Upload, selected_entries_and_the_single_file_form) {
    e2e::Sim_process sim({"--demo"});
    const fs::path file = fs::path(home_.path) / "reports.txt";
    const Run_result r = cli(sim, {"--select", " 5 C PT-101", "17 C TT-204", "-o", file.string()});
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::string saved = test::file_bytes(file);
    EXPECT_EQ(saved.rfind("Company Name: ACME\r\n\r\nTag ID: PT-101\r\n", 0), 0u);
    EXPECT_NE(saved.find("------------------------------\r\n\r\nCompany Name: ACME\r\n\r\nTag ID: TT-204\r\n"),
              std::string::npos);
    EXPECT_EQ(saved.find("PT-330"), std::string::npos);
}

TEST_F(Upload, separate_files_and_tag_directories_hold_one_report_each) {
    e2e::Sim_process sim({"--demo"});
    const fs::path folder = fs::path(home_.path) / "out";
    fs::create_directories(folder);
    Run_result r = cli(sim, {"--select", " 5 C PT-101", "--separate", folder.string()});
    ASSERT_EQ(r.status, 0) << r.errors;
    std::vector<fs::path> files{fs::directory_iterator(folder), fs::directory_iterator()};
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    // PT-101_YYYY_MM_DD_HH_MM.txt
    EXPECT_EQ(name.rfind("PT-101_", 0), 0u) << name;
    EXPECT_EQ(name.size(), std::string("PT-101_2026_12_07_13_40.txt").size()) << name;
    const std::string text = test::file_bytes(files[0]);
    EXPECT_EQ(text.rfind("Company Name: ACME\r\n\r\nTag ID: PT-101\r\n", 0), 0u);
    EXPECT_EQ(text.find("------"), std::string::npos);

    r = cli(sim, {"--csv", "--select", "17 C TT-204", "--directories", folder.string()});
    ASSERT_EQ(r.status, 0) << r.errors;
    ASSERT_TRUE(fs::is_directory(folder / "TT-204"));
    std::vector<fs::path> in_tag{fs::directory_iterator(folder / "TT-204"), fs::directory_iterator()};
    ASSERT_EQ(in_tag.size(), 1u);
    EXPECT_EQ(in_tag[0].extension(), ".csv");
    EXPECT_EQ(test::file_bytes(in_tag[0]).rfind(with_crlf("\"Company Name:\",\"ACME\"\n\n\"Tag ID:\",\"TT-204\"\n"), 0), 0u);
}

}  // namespace
