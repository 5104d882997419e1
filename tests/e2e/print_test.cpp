// tq740-cli print and show into PDF files, read back as text with
// pdftotext -layout (poppler-utils).
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <cstdio>
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

// records certificate: the later of two calibrations by default, with 21
// points a table at font size 16 runs over a page break and its header opens
// the next page again; the values, the due date and the record's SHA-256 come
// out of pdftotext, the font is embedded; bad input writes nothing.
TEST_F(Cli_print, records_certificate_prints_the_values_and_repeats_table_headers) {
    const std::string worked = test::file_bytes(source_root / "tests/unit/golden/worked_example.txt");
    std::string later = worked;
    later.replace(later.find("2010/05/07"), 10, "2012/02/29");
    std::string points;   // 21 rows "  N     N.000    12.000    0.000  Pass"
    for (int i = 1; i <= 21; ++i)
        points += std::string(i < 10 ? "  " : " ") + std::to_string(i) + std::string(i < 10 ? 8 : 7, ' ') +
                  std::to_string(i) + ".000     12.000    0.000  Pass\n";
    for (const char* table : {"As Found Data\nPoint       DegC         mA  % Error\n",
                              "As Left Data\nPoint       DegC         mA  % Error\n"}) {
        const std::size_t start = later.find(table) + std::string(table).size();
        const std::size_t last_row = later.find("\n  3 ", start) + 1;
        later.replace(start, later.find('\n', last_row) + 1 - start, points);
    }
    const std::string database = file("records.sqlite").string();
    std::ofstream(file("worked.txt")) << worked;
    std::ofstream(file("later.txt")) << later;
    ASSERT_EQ(cli({"--records", database, "records", "import", file("worked.txt"), file("later.txt")}).status, 0);
    fs::create_directories(file("NORVATQ740"));
    std::ofstream(file("NORVATQ740/NORVATQ740.ini")) << "[main]\ncompany=Bench Lab\nfont_size=16\n";

    const fs::path pdf = file("certificate.pdf");
    const auto run = cli({"--records", database, "records", "certificate", "TT-101", "--pdf", pdf.string()});
    ASSERT_EQ(run.status, 0) << run.errors;
    const auto pages = pdf_pages(pdf, home_.path);
    ASSERT_GE(pages.size(), 2u);
    std::string text;
    const std::string columns = "Point Input Reading % Error Verdict";
    int headings = 0;
    for (const auto& page : pages) {
        bool heading_seen = false;
        for (const std::string& line : filled(page)) {
            const std::string w = words(trimmed(line));
            text += w + "\n";
            headings += w == columns;
            heading_seen = heading_seen || w == columns;
            // A point row: "N N.000 12.000 0.000 Pass", only under its heading.
            if (w.ends_with(" 12.000 0.000 Pass")) EXPECT_TRUE(heading_seen) << w;
        }
    }
    EXPECT_GE(headings, 3);
    const auto show = QJsonDocument::fromJson(QByteArray::fromStdString(
        cli({"--records", database, "records", "show", "TT-101", "--json"}).output)).array();
    ASSERT_EQ(show.size(), 2);
    for (const std::string& expected : std::vector<std::string>{
             "Bench Lab\nCalibration Certificate\nTag ID: TT-101\nManufacturer: Maker\nModel Number: Model-7\n",
          "Range: 0.000 to 100.000\nOutput: Milliamp, mA\n", "Tolerance: 0.500%\nReference Standard: NORVA TQ740\n",
          "Serial Number: 1234567\nLast Calibrated: 2009-11-02\nTechnician: J. Smith\n",
          "Calibrated: 2012-02-29 09:05:03\nAmbient Temperature: 21C\nAmbient Humidity: 40%\n",
          "As Found Result: Pass\nAs Left Result: Pass\nCalibration Due: 2013-02-28\n",
          "Record SHA-256:\n" + show[1].toObject()["sha256"].toString().toStdString() + "\n"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin:\n" << text;
    const auto fonts = e2e::run_program("/usr/bin/pdffonts", {pdf.string()}, home_.path).output;
    EXPECT_NE(fonts.find("LiberationMono"), std::string::npos) << fonts;
    // One font (the header, the dashes, its line), embedded: "yes" under "emb".
    ASSERT_EQ(std::count(fonts.begin(), fonts.end(), '\n'), 3) << fonts;
    EXPECT_EQ(fonts.substr(fonts.rfind('\n', fonts.size() - 2) + 1 + fonts.find("emb"), 3), "yes") << fonts;

    // The earlier calibration by its date, due after the tag's own interval;
    // then bad input: nothing written.
    const fs::path earlier = file("earlier.pdf");
    ASSERT_EQ(cli({"--records", database, "records", "interval", "TT-101", "30"}).status, 0);
    ASSERT_EQ(cli({"--records", database, "records", "certificate", "TT-101", "--calibrated", "2010-05-07 09:05:03",
                   "--pdf", earlier.string()}).status, 0);
    const std::string earlier_text =
        words(e2e::run_program(pdftotext, {"-layout", earlier.string(), "-"}, home_.path).output);
    EXPECT_NE(earlier_text.find(show[0].toObject()["sha256"].toString().toStdString()), std::string::npos);
    EXPECT_NE(earlier_text.find("Calibration Due: 2010-06-06"), std::string::npos) << earlier_text;
    struct Row {
        std::vector<std::string> args;
        int status;
        std::string errors;
    };
    const Row rows[] = {
        {{"NO-SUCH"}, 1, "ERROR: Tag NO-SUCH has no calibration recorded.\n"},
        {{"TT-101", "--calibrated", "2010-05-07 09:05:04"}, 1,
         "ERROR: Tag TT-101 has no calibration recorded on 2010-05-07 09:05:04.\n"},
        {{"TT-101", "--calibrated", "2011-02-29 09:05:03"}, 1,
         "ERROR: 2011-02-29 09:05:03 is not a date and time of the form YYYY-MM-DD HH:MM:SS.\n"},
        {{"TT-101", "--calibrated"}, 64, ""},
        {{"TT-101", "--font-size", "13"}, 64, ""},
        {{"TT-101", "TT-102"}, 64, ""},
    };
    const fs::path bad = file("bad.pdf");
    for (const Row& row : rows) {
        std::vector<std::string> args = {"--records", database, "records", "certificate", "--pdf", bad.string()};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto result = cli(args);
        EXPECT_EQ(result.status, row.status) << row.args[0] << result.errors;
        EXPECT_NE(result.errors.find(row.errors), std::string::npos) << result.errors;
        EXPECT_FALSE(fs::exists(bad)) << row.args.back();
    }
}
