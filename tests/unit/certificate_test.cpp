// The calibration certificate's pages: where they break, the table headers
// repeated on the page a table continues on, the closing block kept whole;
// and the dates --calibrated takes.
#include <gtest/gtest.h>

#include "records/certificate.h"

namespace {

records::Recorded_calibration calibration_with(int as_found, int as_left) {
    records::Recorded_calibration r;
    records::Calibration& c = r.calibration;
    c.tag_id = "TT-1";
    c.calibrated = {2024, 2, 29, 9, 5, 3};
    c.input = {"Milliamp", "mA", {}, "4.000", "20.000"};
    c.output = {"Volt", "V", {}, "0.000", "10.000"};
    for (int i = 1; i <= as_found + as_left; ++i)
        (i <= as_found ? c.as_found : c.as_left)
            .push_back({i, "I" + std::to_string(i), "R" + std::to_string(i), 0.1, "0.100", records::Verdict::pass});
    r.sha256 = "ab12";
    return r;
}

// Runs of spaces as one, without leading spaces.
std::string words(const std::string& text) {
    std::string out;
    for (char ch : text)
        if (ch != ' ' || (!out.empty() && out.back() != ' ')) out += ch;
    return out;
}

// A page as "rows: third | fourth | fifth" (the lines after a continued
// page's label and empty line); the first page as its row count.
std::string summary(const ui::Printed_page& page, bool first) {
    std::string text = std::to_string(page.rows.size());
    if (first) return text;
    for (std::size_t i = 2; i < 5 && i < page.rows.size(); ++i)
        text += (i == 2 ? ": " : " | ") + words(page.rows[i].text);
    return text;
}

TEST(Certificate, pages_break_before_the_bottom_limit_repeating_table_headers) {
    // 39 lines besides the points; one pixel a line, so the bottom limit is
    // the number of lines on a page.
    struct Row {
        int as_found, as_left, bottom_limit;
        std::vector<std::string> pages;
    };
    const std::string columns = "Point Input Reading % Error Verdict";
    const Row rows[] = {
        {3, 3, 45, {"45"}},
        {3, 3, 44, {"33", "14: As Found Result: Pass | As Left Result: Pass | Calibration Due: 2025-02-28"}},
        // The header goes with its first row.
        {21, 0, 23,
         {"21", "23: As Found | " + columns + " | 1 I1 R1 0.100 Pass",
          "22: As Found | " + columns + " | 20 I20 R20 0.100 Pass"}},
        {21, 0, 24,
         {"24", "24: As Found | " + columns + " | 2 I2 R2 0.100 Pass", "17: As Left | " + columns + " | "}},
        // The As Left table: continued, or its header moved with its first row.
        {2, 21, 40, {"40", "26: As Left | " + columns + " | 15 I15 R15 0.100 Pass"}},
        {2, 5, 28, {"26", "22: As Left | " + columns + " | 3 I3 R3 0.100 Pass"}},
        {2, 5, 29, {"29", "21: As Left | " + columns + " | 4 I4 R4 0.100 Pass"}},
    };
    for (const Row& row : rows) {
        const auto record = calibration_with(row.as_found, row.as_left);
        const records::Certificate certificate =
            records::make_certificate(record, "ACME", records::certificate_due_date(record.calibration, 365));
        std::vector<std::string> pages;
        const auto sink = [&pages](const ui::Printed_page& page) {
            pages.push_back(summary(page, pages.empty()));
            return true;
        };
        EXPECT_TRUE(records::lay_out_certificate_pages(certificate, {0, 1, row.bottom_limit}, sink));
        EXPECT_EQ(pages, row.pages) << row.as_found << " + " << row.as_left << " points, limit " << row.bottom_limit;
    }
}

TEST(Certificate, the_calibrated_option_takes_real_dates_and_times_only) {
    EXPECT_EQ(records::parse_calibrated("2024-02-29 23:59:59"), (records::Date_time{2024, 2, 29, 23, 59, 59}));
    for (const char* text : {"2023-02-29 12:00:00", "2024-02-29 24:00:00", "2024-12-31 23:59:60", "2024-13-01 00:00:00",
                             "2024-1-31 00:00:00", "2024-01-31T00:00:00", "2024-01-31 00:00:00 ", "+024-01-31 00:00:00",
                             "2024-01-00 00:00:00", ""})
        EXPECT_FALSE(records::parse_calibrated(text)) << text;
}

}  // namespace
