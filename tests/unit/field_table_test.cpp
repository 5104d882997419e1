#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "reports/field_table.h"
#include "reports/report_layout.h"
#include "reports/report_list.h"

using reports::Field_table;

namespace {

struct Int_case {
    const char* text;
    int expected;
};

TEST(Decimal_rules, integer_reading) {
    const std::vector<Int_case> cases = {
        {"42", 42},        {"  \t-7xyz", -7},  {"+13", 13},       {"NONE", 0},
        {"", 0},           {"-", 0},           {"12.9", 12},      {" 0021", 21},
        {"- 5", 0},        {"99999999999", INT_MAX},              {"-99999999999", INT_MIN},
        {"2147483647", INT_MAX},               {"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(reports::read_decimal_int(c.text), c.expected) << c.text;
}

struct Real_case {
    const char* text;
    double expected;
};

TEST(Decimal_rules, floating_point_reading) {
    const std::vector<Real_case> cases = {
        {"50.000", 50.0},   {" -0.25", -0.25}, {"+1.5e2x", 150.0}, {"1e", 1.0},     {"1e+", 1.0},
        {".5", 0.5},        {"5.", 5.0},       {".", 0.0},         {"NONE", 0.0},   {"OVER", 0.0},
        {"inf", 0.0},       {"nan", 0.0},      {"0x10", 0.0},      {"", 0.0},       {"12,5", 12.0},
        {"2.5E-3", 0.0025}, {"1e-400", 0.0},   {"-1e-400", -0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(reports::read_decimal_real(c.text), c.expected) << c.text;
    EXPECT_EQ(reports::read_decimal_real("1e400"), HUGE_VAL);
    EXPECT_EQ(reports::read_decimal_real("-0.001e999"), -HUGE_VAL);
    EXPECT_EQ(reports::read_decimal_real("0.000e999"), 0.0);
}

TEST(Decimal_rules, reading_ignores_a_comma_locale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    double value = reports::read_decimal_real("12.5");
    double comma = reports::read_decimal_real("12,5");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(value, 12.5);
    EXPECT_EQ(comma, 12.0);
}

TEST(Field_table, slots_hold_at_most_99_characters_and_stop_at_nul) {
    Field_table table;
    table.store_field(1, std::string(150, 'A'));
    EXPECT_EQ(table.field_text(1), std::string(99, 'A'));
    table.store_field(2, std::string(99, 'B'));
    EXPECT_EQ(table.field_text(2).size(), 99u);
    table.store_field(3, std::string_view("AB\0CD", 5));
    EXPECT_EQ(table.field_text(3), "AB");
    // The neighbours of a long value are untouched.
    EXPECT_EQ(table.field_text(2), std::string(99, 'B'));
}

TEST(Field_table, field_numbers_outside_the_table_are_ignored) {
    Field_table table;
    table.store_field(0, "x");
    table.store_field(134, "x");
    table.store_field(-1, "x");
    EXPECT_EQ(table.field_text(0), "");
    EXPECT_EQ(table.field_text(134), "");
    EXPECT_EQ(table.field_text(-5), "");
    EXPECT_EQ(table.field_int(1000), 0);
    table.store_field(133, "S/N 77");
    EXPECT_EQ(table.field_text(133), "S/N 77");
}

TEST(Field_table, reset_covers_1_to_129_and_keeps_the_identity) {
    Field_table table;
    for (int f = 1; f <= 133; ++f) table.store_field(f, "v" + std::to_string(f));
    table.reset_tag_fields();
    for (int f = 1; f <= 129; ++f) EXPECT_EQ(table.field_text(f), "NONE") << f;
    for (int f = 130; f <= 133; ++f) EXPECT_EQ(table.field_text(f), "v" + std::to_string(f));
    EXPECT_EQ(table.field_text(0), "");
}

TEST(Field_table, complete_copies_the_queried_serial_over_field_129) {
    Field_table table;
    table.store_field(133, "123456");
    table.reset_tag_fields();
    table.store_field(129, "answered by the calibrator");
    table.complete_tag_fields();
    EXPECT_EQ(table.field_text(129), "123456");
}

TEST(Field_table, a_second_tag_shows_nothing_of_the_first) {
    Field_table table;
    for (int f : reports::tag_request_plan(21)) table.store_field(f, "first");
    table.reset_tag_fields();
    for (int f : reports::tag_request_plan(2)) table.store_field(f, "second");
    for (int f = 1; f <= 129; ++f) EXPECT_NE(table.field_text(f), "first") << f;
}

std::vector<int> range(int first, int last) {
    std::vector<int> out;
    for (int f = first; f <= last; ++f) out.push_back(f);
    return out;
}

TEST(Request_plan, three_points_cost_56_requests_in_order) {
    std::vector<int> expected;
    for (auto part : {range(1, 25), range(26, 28), range(47, 49), range(68, 76), range(77, 79),
                      range(98, 100), range(119, 128)})
        expected.insert(expected.end(), part.begin(), part.end());
    EXPECT_EQ(reports::tag_request_plan(3), expected);
    EXPECT_EQ(expected.size(), 56u);

    // Fields of the unused points stay "NONE".
    Field_table table;
    table.reset_tag_fields();
    for (int f : expected) table.store_field(f, "1.0");
    for (auto unused : {range(29, 46), range(50, 67), range(80, 97), range(101, 118)})
        for (int f : unused) EXPECT_EQ(table.field_text(f), "NONE") << f;
}

TEST(Request_plan, costs_44_plus_4n_and_never_requests_field_129) {
    for (int n = 1; n <= 21; ++n) {
        auto plan = reports::tag_request_plan(n);
        EXPECT_EQ(plan.size(), static_cast<size_t>(44 + 4 * n)) << n;
        EXPECT_EQ(std::count(plan.begin(), plan.end(), 129), 0);
        EXPECT_EQ(plan.back(), 128);
    }
}

TEST(Request_plan, an_invalid_point_count_stops_after_field_25) {
    Field_table table;
    for (const char* count : {"0", "22", "NONE", "-3", ""}) {
        table.store_field(25, count);
        int n = table.field_int(25);
        EXPECT_FALSE(reports::valid_point_count(n)) << count;
        EXPECT_TRUE(reports::tag_request_tail(n).empty()) << count;
        EXPECT_EQ(reports::tag_request_plan(n), range(1, 25)) << count;
    }
    EXPECT_EQ(reports::tag_request_head(), range(1, 25));
}

// A window that records what the Reports list was told.
class Recording_ui : public ui::Ui {
public:
    std::vector<std::string> lines;
    std::vector<size_t> append_calls;   // lines per append call
    std::string caption;
    int extent = -1;
    int clears = 0;

    ui::Answer message(const std::string&, ui::Caption, ui::Buttons) override { return ui::Answer::ok; }
    void set_status(const std::string&) override {}
    void set_wait_cursor(bool) override {}
    void beep() override {}
    bool pump_events() override { return false; }
    std::optional<std::string> pick_file(const ui::File_request&) override { return std::nullopt; }
    void set_tag_list(const std::vector<std::string>&) override {}
    std::vector<int> selected_tags() override { return {}; }
    std::string tag_line(int) override { return {}; }
    void append_report_lines(const std::vector<std::string>& added) override {
        lines.insert(lines.end(), added.begin(), added.end());
        append_calls.push_back(added.size());
    }
    void clear_reports() override {
        lines.clear();
        ++clears;
    }
    void set_reports_caption(const std::string& text) override { caption = text; }
    void set_reports_extent(int characters) override { extent = characters; }
    void set_menus_enabled(bool) override {}
    void set_check_marks(bool, int) override {}
    void show_cancel_window(const std::string&, std::function<void()>) override {}
    void close_cancel_window() override {}
    void set_cancel_progress(int, int, const std::string&) override {}
    std::optional<std::string> ask_company_name(const std::string&) override { return std::nullopt; }
    void show_about() override {}
    void show_identity(const Identity_values&) override {}
    void show_help(int) override {}
    void close_help() override {}
};

TEST(Report_list, extent_is_four_thirds_of_the_widest_line_of_the_fill) {
    struct Case {
        std::vector<size_t> widths;
        int extent;
    };
    const std::vector<Case> cases = {{{}, 0}, {{1}, 1}, {{2}, 2}, {{3}, 4}, {{10, 50, 20}, 66}, {{60}, 80}};
    for (const auto& c : cases) {
        Recording_ui window;
        reports::Report_list list(window);
        list.start_report_fill();
        for (size_t w : c.widths) list.add_report_line(std::string(w, 'x'));
        list.finish_report_fill();
        EXPECT_EQ(window.extent, c.extent);
        EXPECT_EQ(list.extent(), c.extent);
        EXPECT_EQ(window.lines.size(), c.widths.size());
        // Each line goes to the window at once.
        EXPECT_EQ(window.append_calls, std::vector<size_t>(c.widths.size(), 1));
    }
}

TEST(Report_list, a_new_fill_forgets_the_previous_maximum) {
    Recording_ui window;
    reports::Report_list list(window);
    list.add_report_line(std::string(90, 'x'));
    list.finish_report_fill();
    EXPECT_EQ(window.extent, 120);
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(window.clears, 1);
    list.start_report_fill();
    list.add_report_lines({"abc", "abcdef"});
    list.finish_report_fill();
    EXPECT_EQ(window.extent, 8);
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"abc", "abcdef"}));
    EXPECT_EQ(window.append_calls.back(), 2u);
}

TEST(Report_list, captions_and_state) {
    Recording_ui window;
    reports::Report_list list(window);
    EXPECT_FALSE(list.reports_unsaved);
    EXPECT_EQ(list.displayed_format, reports::Report_format::text);
    list.set_reports_caption(reports::Reports_caption::uploaded);
    EXPECT_EQ(window.caption, "Reports - Uploaded from Calibrator");
    list.set_reports_caption(reports::Reports_caption::read_from_file);
    EXPECT_EQ(window.caption, "Reports - Read from File");
    list.set_reports_caption(reports::Reports_caption::plain);
    EXPECT_EQ(window.caption, "Reports");
    EXPECT_EQ(list.caption(), "Reports");
}

TEST(Report_list, rendering_appends_whole_reports_with_separators) {
    Field_table table;
    table.reset_tag_fields();
    table.store_field(1, "PT-101");
    table.store_field(25, "1");
    Recording_ui window;
    reports::Report_list list(window);
    list.start_report_fill();
    reports::render_text_report(table, "ACME", 0, list);
    size_t first = window.lines.size();
    reports::render_csv_report(table, "ACME", 1, list);
    list.finish_report_fill();
    EXPECT_EQ(window.lines, list.lines());
    EXPECT_EQ(window.lines[0], "Company Name: ACME");
    EXPECT_EQ(window.lines[first], "------------------------------");
    EXPECT_EQ(window.lines[first + 1], "");
    EXPECT_EQ(window.lines[first + 2], "\"Company Name:\",\"ACME\"");
    EXPECT_EQ(window.lines[first + 4], "\"Tag ID:\",\"PT-101\"");
    // Widest line: the CSV technician signature line of 55 characters.
    EXPECT_EQ(window.extent, 55 * 4 / 3);
}

}  // namespace
