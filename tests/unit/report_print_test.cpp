// The report page layout: which lines land on which page at which y, over
// reports made by the layouts (golden/worked_example.*), and File > Print and
// Print Setup around it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "reports/report_files.h"
#include "reports/report_layout.h"
#include "reports/report_print.h"
#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "support/scripted_ui.h"

using reports::Page_geometry;
using Lines = std::vector<std::string>;

namespace {

// One report of 3 points: header lines 0..3 (company, empty, Tag ID,
// Calibrated), then 61 lines; its last 32 lines are the signature blocks
// (pads 33..36 + Technician 37, pads 38..41 + Approval 42, pads 43..46 +
// Date 47), a pad and the comments block (Comments: 49, pads 50..64).
Lines golden_report(const std::string& name) {
    std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "golden" / name);
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Reports joined as one upload joins them: a separator and an empty line between.
Lines joined(const std::vector<Lines>& reports) {
    Lines all;
    for (const Lines& report : reports) {
        if (!all.empty()) {
            all.emplace_back(reports::report_separator);
            all.emplace_back("");
        }
        all.insert(all.end(), report.begin(), report.end());
    }
    return all;
}

std::vector<ui::Printed_page> pages_of(const Lines& lines, const Page_geometry& g) {
    std::vector<ui::Printed_page> pages;
    reports::lay_out_report_pages(lines, g, [&](const ui::Printed_page& p) {
        pages.push_back(p);
        return true;
    });
    return pages;
}

Lines texts(const ui::Printed_page& page) {
    Lines out;
    for (const auto& row : page.rows) out.push_back(row.text);
    return out;
}

const std::string text_label_1 = std::string(50, ' ') + "Page 1";
const std::string text_label_2 = std::string(50, ' ') + "Page 2";

// A page's first rows: the header, the page label, then more.
Lines with_label(Lines header, int page, const Lines& more = {}) {
    header.push_back(std::string(50, ' ') + "Page " + std::to_string(page));
    header.insert(header.end(), more.begin(), more.end());
    return header;
}
Lines with_csv_label(Lines header, int page, const Lines& more = {}) {
    header.push_back("\"Page " + std::to_string(page) + "\"");
    header.insert(header.end(), more.begin(), more.end());
    return header;
}

}  // namespace

TEST(Page_geometry, follows_resolution_font_size_and_printable_height) {
    struct Case {
        int resolution, height, font_size;
        Page_geometry expected;
    };
    const std::vector<Case> cases = {
        {600, 6600, 10, {300, 83, 6150}},
        {600, 6600, 16, {300, 133, 6150}},
        {1200, 12744, 9, {600, 150, 11844}},
        {300, 3150, 8, {150, 33, 2925}},
        {301, 1000, 11, {150, 45, 775}},   // odd resolution: every step truncates
    };
    for (const auto& c : cases)
        EXPECT_EQ(reports::page_geometry(c.resolution, c.height, c.font_size), c.expected)
            << c.resolution << " dpi, font " << c.font_size;
}

TEST(Find_block, finds_the_blocks_of_a_report_in_either_layout) {
    struct Case {
        const char* file;
        std::size_t start;
        const char* label;
        bool forward;
        reports::Block expected;
    };
    const std::vector<Case> cases = {
        {"worked_example.txt", 3, "Technician Sig", false, {33, 5}},
        {"worked_example.txt", 33, "Approval Sig", false, {38, 5}},
        {"worked_example.txt", 38, "Date", false, {43, 5}},
        {"worked_example.txt", 43, "Comments:", true, {49, 16}},
        {"worked_example.csv", 3, "technician sig", false, {33, 5}},   // quoted labels, case ignored
        {"worked_example.csv", 43, "Comments:", true, {49, 16}},
        {"worked_example.txt", 50, "Approval Sig", false, {0, 0}},     // nothing after the start
        {"worked_example.txt", 0, "No such label", true, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reports::find_block(golden_report(c.file), c.start, c.label, c.forward), c.expected)
            << c.file << " " << c.label;

    // The pad lines run to the ends of the list.
    const Lines edges = {"                     ", "Date", "Comments:", "\"                     \""};
    EXPECT_EQ(reports::find_block(edges, 0, "Date", false), (reports::Block{0, 2}));
    EXPECT_EQ(reports::find_block(edges, 0, "Comments:", true), (reports::Block{2, 2}));
}

// What a page must show: its first rows, and the text of its last row.
struct Page_expectation {
    Lines first_rows;
    std::string last_row;
};

struct Layout_case {
    const char* name;
    Lines lines;
    Page_geometry geometry;
    std::vector<Page_expectation> pages;
};

TEST(Report_pages, break_repeat_headers_and_keep_blocks_whole) {
    const Lines txt = golden_report("worked_example.txt");
    const Lines csv = golden_report("worked_example.csv");
    const std::string pad(21, ' ');
    const std::string csv_pad = "\"" + pad + "\"";

    // 600 dpi: m = 300.  Font 8: h = 66; font 16: h = 133.
    const Page_geometry roomy{300, 66, 6150};
    const Page_geometry small_16{300, 133, 3550};
    // Line L of the first page is drawn at y = 366 + 66 L, so line 37
    // (Technician) moves y to 2874; the Approval block (38..42) would end at
    // 3138 and the ordinary break would only come after line 41.
    const Page_geometry approval_moves{300, 66, 3000};
    const Lines txt_header(txt.begin(), txt.begin() + 4);
    const Lines csv_header(csv.begin(), csv.begin() + 4);

    const std::vector<Layout_case> cases = {
        {"one report, one page", txt, roomy,
         {{{"Company Name: ACME", "", "Tag ID: TT-101", "Calibrated: 2010/05/07 9:05:03", text_label_1,
            "Manufacturer:  Maker"},
           pad}}},
        {"two reports: separator and its empty line unprinted", joined({txt, txt}), roomy,
         {{{"Company Name: ACME", "", "Tag ID: TT-101", "Calibrated: 2010/05/07 9:05:03", text_label_1}, pad},
          {{"Company Name: ACME", "", "Tag ID: TT-101", "Calibrated: 2010/05/07 9:05:03", text_label_1}, pad}}},
        // Page 2 ends before the Date block (43..47) and page 3 before the
        // comments block (49..64), which would reach the bottom limit.
        {"font 16 on a small page", txt, small_16,
         {{with_label(txt_header, 1), txt[23]},
          {with_label(txt_header, 2, {txt[24]}), txt[42]},
          {with_label(txt_header, 3, {pad}), pad},
          {with_label(txt_header, 4, {"Comments:"}), pad}}},
        {"the Approval block moves whole", txt, approval_moves,
         {{{"Company Name: ACME"}, "Technician Signature ______________________________"},
          {{"Company Name: ACME", "", "Tag ID: TT-101", "Calibrated: 2010/05/07 9:05:03", text_label_2, pad, pad,
            pad, pad, "Approval Signature   ______________________________"},
           pad}}},
        // After line 41 the Approval block's last line starts at 3138, one
        // pixel above the limit: it stays, and the page ends after it.
        {"a block of exactly the lines left stays on the page", txt, {300, 66, 3139},
         {{{"Company Name: ACME"}, "Approval Signature   ______________________________"},
          {with_label(txt_header, 2, {pad}), pad}}},
        {"CSV labels in quotes", csv, small_16,
         {{with_csv_label(csv_header, 1), csv[23]},
          {with_csv_label(csv_header, 2, {csv[24]}), csv[42]},
          {with_csv_label(csv_header, 3, {csv_pad}), csv_pad},
          {with_csv_label(csv_header, 4, {"\"Comments:\""}), csv_pad}}},
        {"header only: no page", Lines(txt.begin(), txt.begin() + 3), roomy, {}},
        {"a report without Calibrated: heads the next one", joined({{"Tag ID: X", "Note"}, txt}), roomy,
         {{{"Tag ID: X", "Note", std::string(reports::report_separator), "", "Company Name: ACME", "",
            "Tag ID: TT-101", "Calibrated: 2010/05/07 9:05:03", text_label_1, "Manufacturer:  Maker"},
           pad}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pages = pages_of(c.lines, c.geometry);
        ASSERT_EQ(pages.size(), c.pages.size());
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const Lines shown = texts(pages[p]);
            ASSERT_GE(shown.size(), c.pages[p].first_rows.size()) << "page " << p + 1;
            EXPECT_EQ(Lines(shown.begin(), shown.begin() + c.pages[p].first_rows.size()), c.pages[p].first_rows)
                << "page " << p + 1;
            EXPECT_EQ(shown.back(), c.pages[p].last_row) << "page " << p + 1;
            // Rows run down from the top margin one line height apart.
            for (std::size_t r = 0; r < pages[p].rows.size(); ++r)
                EXPECT_EQ(pages[p].rows[r].y, c.geometry.margin + static_cast<int>(r) * c.geometry.line_height)
                    << "page " << p + 1 << " row " << r;
        }
    }
}

TEST(Report_pages, print_every_line_of_a_report_once_and_never_a_separator) {
    const Lines two = joined({golden_report("worked_example.txt"), golden_report("worked_example.csv")});
    for (const Page_geometry& g : {Page_geometry{300, 66, 6150}, Page_geometry{300, 133, 3550},
                                   Page_geometry{300, 133, 1500}}) {
        std::size_t body_rows = 0;
        for (const auto& page : pages_of(two, g))
            for (const auto& row : page.rows) {
                EXPECT_FALSE(reports::is_report_separator(row.text));
                ++body_rows;
            }
        // Each report: 61 body lines once; 4 header lines and a label per page.
        const auto pages = pages_of(two, g).size();
        EXPECT_EQ(body_rows, 2 * 61 + pages * 5) << "bottom limit " << g.bottom_limit;
    }
}

TEST(Report_pages, stop_at_a_page_the_printer_could_not_end) {
    const Lines txt = golden_report("worked_example.txt");
    int pages = 0;
    const bool completed = reports::lay_out_report_pages(txt, {300, 133, 3550}, [&](const ui::Printed_page&) {
        ++pages;
        return false;
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(pages, 1);
}

TEST(File_print, prints_the_reports_list_or_says_why_not) {
    const Lines txt = golden_report("worked_example.txt");
    struct Case {
        const char* name;
        Lines lines;
        bool printer_chosen;
        int fail_page;
        const char* message;   // "" = none
        std::size_t pages;
        bool abandoned;
    };
    const std::vector<Case> cases = {
        {"printed", txt, true, 0, "", 4, false},
        {"empty list", {}, false, 0, "There are no reports available", 0, false},
        {"print dialog cancelled", txt, false, 0, "", 0, false},
        {"document cannot start", txt, true, 1, "Could not generate report", 0, true},
        {"page cannot end", txt, true, 2, "", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Scripted_ui ui;
        test::Recording_print_job::Record record;
        if (!c.lines.empty())
            ui.expect_printer(c.printer_chosen
                                  ? std::make_unique<test::Recording_print_job>(record, 600, 4000, c.fail_page)
                                  : nullptr);
        if (*c.message) ui.expect_error(c.message);
        int refreshes = 0;
        reports::print_reports(ui, c.lines, 16, [&] { ++refreshes; });
        EXPECT_EQ(record.pages.size(), c.pages);
        EXPECT_EQ(record.abandoned, c.abandoned);
        EXPECT_FALSE(ui.wait_cursor);
        if (c.printer_chosen) {
            EXPECT_EQ(ui.statuses.front(), "Printing reports.  Please wait.");
            EXPECT_EQ(refreshes, 1);
            EXPECT_EQ(record.name, "TQ740-SW Reports");
            EXPECT_EQ(record.font_height, 133);
            EXPECT_EQ(record.left_margin, 300);
        }
    }
}
