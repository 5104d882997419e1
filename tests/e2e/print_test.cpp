// tq740-cli print and show into PDF files, read back as text with
// pdftotext -layout (poppler-utils).
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "processes.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path source_root = fs::path(__FILE__).parent_path().parent_path().parent_path();
constexpr const char* pdftotext = "/usr/bin/pdftotext";

// The pages of a PDF file as pdftotext lays them out, each as its lines.
std::vector<std::vector<std::string>> pdf_pages(const fs::path& pdf, const std::string& home) {
    const auto text = e2e::run_program(pdftotext, {"-layout", pdf.string(), "-"}, home);
    std::vector<std::vector<std::string>> pages(1);
    std::istringstream in(text.output);
    for (std::string line; std::getline(in, line);) {
        std::size_t feed;
        while ((feed = line.find('\f')) != std::string::npos) {
            pages.back().push_back(line.substr(0, feed));
            pages.emplace_back();
            line.erase(0, feed + 1);
        }
        pages.back().push_back(line);
    }
    while (!pages.empty() && pages.back().size() <= 1 && (pages.back().empty() || pages.back()[0].empty()))
        pages.pop_back();
    return pages;
}

// The lines of a page without the empty ones and without trailing spaces.
std::vector<std::string> filled(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (std::string line : lines) {
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty()) out.push_back(line);
    }
    return out;
}

// Runs of spaces as one: pdftotext guesses the spaces between words.
std::string words(const std::string& line) {
    std::string out;
    for (char c : line)
        if (c != ' ' || (!out.empty() && out.back() != ' ')) out += c;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

std::string trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first);
}

class Cli_print : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(pdftotext)) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    e2e::Run_result cli(const std::vector<std::string>& args) { return e2e::run_program(TQ740_CLI, args, home_.path); }
    fs::path file(const std::string& name) const { return fs::path(home_.path) / name; }
    e2e::Temp_dir home_;
};

}  // namespace

TEST_F(Cli_print, prints_each_report_from_its_header_and_page_1) {
    const fs::path reports = source_root / "tests/e2e/golden/demo_reports_acme.txt";
    const fs::path pdf = file("reports.pdf");
    const auto run = cli({"print", reports.string(), "--pdf", pdf.string(), "--font-size", "12"});
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.errors.find("Printing reports.  Please wait."), std::string::npos);

    const auto pages = pdf_pages(pdf, home_.path);
    ASSERT_FALSE(pages.empty());
    std::vector<std::string> first_tags;
    int page_number = 0;
    for (const auto& page : pages) {
        const auto lines = filled(page);
        ASSERT_GE(lines.size(), 4u);
        // Every page: the company line, the tag and calibration lines, the label.
        EXPECT_EQ(lines[0], "Company Name: ACME");
        EXPECT_EQ(lines[1].rfind("Tag ID: ", 0), 0u) << lines[1];
        EXPECT_EQ(lines[2].rfind("Calibrated: ", 0), 0u) << lines[2];
        // pdftotext guesses the spaces between words, so the label's 50 are
        // only seen as a wide indent.
        EXPECT_GE(lines[3].find_first_not_of(' '), 20u) << lines[3];
        const std::string label = trimmed(lines[3]);
        ASSERT_EQ(label.rfind("Page ", 0), 0u) << lines[3];
        const int number = std::stoi(label.substr(5));
        if (number == 1) first_tags.push_back(lines[1]);
        EXPECT_EQ(number, number == 1 ? 1 : page_number + 1);
        page_number = number;
        for (const auto& line : lines) EXPECT_EQ(line.find("------"), std::string::npos) << "separator printed";
    }
    EXPECT_EQ(first_tags.front(), "Tag ID: PT-101");
    EXPECT_GE(first_tags.size(), 2u);
}

TEST_F(Cli_print, says_why_nothing_was_printed) {
    const fs::path header_only = file("header.txt");
    std::ofstream(header_only, std::ios::binary) << "Company Name: ACME\r\n\r\nTag ID: PT-101\r\n";
    const fs::path tag = source_root / "examples/tags/TT-101.utg";
    const fs::path reports = file("reports.txt");
    fs::copy_file(source_root / "tests/unit/golden/worked_example.txt", reports);
    const std::string too_large = std::generic_category().message(EFBIG);
    const auto write_error = [&](const std::string& pdf) {
        return "ERROR: File Write Error: " + file(pdf).string() + "\n" + too_large + "\nThe file was left as it was.";
    };
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string error;
        rlim_t file_limit = RLIM_INFINITY;   // as ulimit -f: the disk is full past it
    };
    const std::vector<Case> cases = {
        {{"show", tag.string(), "--pdf", file("old.pdf").string()}, 1, write_error("old.pdf"), 4096},
        {{"print", reports.string(), "--pdf", file("old.pdf").string()}, 1, write_error("old.pdf"), 4096},
        {{"print", header_only.string(), "--pdf", file("a.pdf").string()}, 1,
         "ERROR: There are no reports available"},
        {{"print", file("missing.txt").string(), "--pdf", file("b.pdf").string()}, 1, "ERROR: File Open Error"},
        {{"print", header_only.string()}, 64, "print needs report files and --pdf OUT.pdf"},
        {{"print", header_only.string(), "--pdf", file("c.pdf").string(), "--font-size", "13"}, 64,
         "--font-size takes 8, 9, 10, 11, 12, 14 or 16"},
    };
    std::ofstream(file("old.pdf"), std::ios::binary) << "old";
    for (const auto& c : cases) {
        const rlimit limit{c.file_limit, c.file_limit};
        const auto run = e2e::run_program(TQ740_CLI, c.args, home_.path,
                                          {[limit] { ::setrlimit(RLIMIT_FSIZE, &limit); }, 0, ""});
        EXPECT_EQ(run.status, c.status) << c.args[1];
        EXPECT_NE(run.errors.find(c.error), std::string::npos) << run.errors;
        EXPECT_EQ(run.output.find("pages"), std::string::npos) << run.output;
    }
    EXPECT_FALSE(fs::exists(file("a.pdf")));
    EXPECT_EQ(test::file_bytes(file("old.pdf")), "old");
}

TEST_F(Cli_print, show_lists_and_prints_a_tag) {
    const fs::path tag = source_root / "examples/tags/TT-101.utg";
    const auto listed = cli({"show", tag.string()});
    ASSERT_EQ(listed.status, 0) << listed.errors;
    std::istringstream out(listed.output);
    std::vector<std::string> lines;
    for (std::string line; std::getline(out, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Tag ID:                TT-101");
    EXPECT_EQ(lines[2], "Model:                 Model-7");
    EXPECT_EQ(lines[8], "Instrument Input:");
    EXPECT_EQ(lines[9], "    Type:              Thermocouple");

    const fs::path pdf = file("tag.pdf");
    const auto printed = cli({"show", tag.string(), "--pdf", pdf.string()});
    ASSERT_EQ(printed.status, 0) << printed.errors;
    EXPECT_EQ(printed.output, listed.output);
    const auto pages = pdf_pages(pdf, home_.path);
    ASSERT_EQ(pages.size(), 1u);
    const auto page = filled(pages[0]);
    ASSERT_GE(page.size(), 3u);
    EXPECT_EQ(words(page[0]), "Tag Configuration: TT-101.utg Page 1");
    EXPECT_EQ(words(page[1]), "Tag ID: TT-101");
    EXPECT_EQ(words(page[9]), "Instrument Input:");
    EXPECT_EQ(words(page[10]), "Type: Thermocouple");
}
