// Report layouts checked as whole reports against the expected files in
// golden/ (one line per file line, LF-ended).  TQ740_UPDATE_GOLDEN=1 rewrites
// them from the current output; read the diff before keeping it.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "reports/field_table.h"
#include "reports/report_layout.h"

using reports::Field_table;
using reports::Report_format;

namespace {

using Changes = std::vector<std::pair<int, std::string>>;

// A calibrated thermocouple transmitter, 0..100 DegC to 4..20 mA, tolerance
// 0.5 % of span, three points; point 1 of As Found is 50.000 -> 12.100.
Field_table calibrated_tag(const Changes& changes = {}) {
    Field_table t;
    t.store_field(130, "NORVA");
    t.store_field(131, "TQ740");
    t.store_field(133, "1234567");
    t.reset_tag_fields();
    const Changes base = {
        {1, "TT-101"}, {2, "Maker"}, {3, "SN1234"}, {4, "J. Smith"}, {5, "21C"}, {6, "40%"},
        {7, "Bench test"}, {8, "Model-7"}, {9, "Thermocouple"}, {10, "DegC"}, {11, "K"}, {12, "CJC ON"},
        {13, ""}, {14, ""}, {15, ""}, {16, "Milliamp"}, {17, "mA"}, {18, ""}, {19, ""}, {20, "0.500"},
        {21, "0.000"}, {22, "100.000"}, {23, "4.000"}, {24, "20.000"}, {25, "3"},
        {26, "50.000"}, {27, "0.000"}, {28, "100.000"}, {47, "12.100"}, {48, "4.000"}, {49, "19.990"},
        {68, "2"}, {69, ""}, {70, ""}, {71, ""}, {72, "0"}, {73, "0"}, {74, "0"}, {75, ""}, {76, ""},
        {77, "50.000"}, {78, "0.000"}, {79, "100.000"}, {98, "12.050"}, {99, "4.002"}, {100, "20.000"},
        {119, "2010"}, {120, "5"}, {121, "7"}, {122, "9"}, {123, "5"}, {124, "3"},
        {125, "2009"}, {126, "11"}, {127, "2"}, {128, ""}};
    for (const auto& [field, text] : base) t.store_field(field, text);
    for (const auto& [field, text] : changes) t.store_field(field, text);
    t.complete_tag_fields();
    return t;
}

std::filesystem::path golden_path(const std::string& name) {
    return std::filesystem::path(__FILE__).parent_path() / "golden" / name;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += line + "\n";
    return out;
}

void expect_golden(const std::string& name, const std::vector<std::string>& lines) {
    const auto path = golden_path(name);
    const std::string actual = joined(lines);
    if (const char* update = std::getenv("TQ740_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "missing expected file " << path;
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str()) << "report differs from " << path;
}

// The lines after a report's last point row: 4 + 1 + 4 + 1 + 4 + 1 + 1 + 1 + 15.
size_t closing_lines(const std::vector<std::string>& lines, int points) {
    auto as_left = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l == "As Left Data" || l == "\"As Left Data\"";
    });
    return static_cast<size_t>(lines.end() - as_left) - 2 - static_cast<size_t>(points);
}

struct Golden_case {
    const char* file;
    Report_format format;
    const char* company;
    int index;
    Changes changes;
};

const Report_format TXT = Report_format::text;
const Report_format CSV = Report_format::csv;

const Changes tolerance_none = {{20, "NONE"}};
const Changes rtd_both = {{9, "RTD"}, {10, "DegC"}, {11, "PT385"}, {12, "3W"},
                          {16, "RTD"}, {17, "Ohms"}, {18, "PT385"}, {19, "3W"}};
const Changes frequency_both = {{9, "Frequency"}, {10, "Hz"}, {11, ""}, {12, ""}, {13, "5.0"},
                                {16, "Frequency"}, {17, "CPM"}};
const Changes pulse_counts = {{9, "Pulse"}, {10, "CPM"}, {11, ""}, {12, ""}, {13, "2.0"},
                              {14, "COUNTS"}, {15, "1000"}};
const Changes pulse_freq = {{9, "Pulse"}, {10, "CPM"}, {11, ""}, {12, ""}, {13, "2.0"},
                            {14, "FREQ"}, {15, "60.0"}};
const Changes pressure_module = {{9, "Pressure"}, {10, "psi"}, {11, ""}, {12, ""}, {69, "PM-12"},
                                 {70, "G"}, {71, "100"}, {72, "2009"}, {73, "3"}, {74, "0"}};
const Changes markers = {{26, "UNDER"}, {48, "OVER"}, {49, "NONE"}, {77, "NONE"}};

std::vector<Golden_case> golden_cases() {
    auto with = [](Changes a, const Changes& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    return {
        {"worked_example.txt", TXT, "ACME", 0, {}},
        {"worked_example.csv", CSV, "ACME", 0, {}},
        {"tolerance_none.txt", TXT, "", 0, tolerance_none},
        {"tolerance_none.csv", CSV, "", 0, tolerance_none},
        // -1.000 reads as T = -1: the same report as "NONE".
        {"tolerance_none.txt", TXT, "", 0, {{20, "-1.000"}}},
        {"tolerance_minus_quarter.txt", TXT, "", 0, {{20, "-0.25"}}},
        {"tolerance_zero.txt", TXT, "", 0, {{20, "0.000"}, {98, "12.00001"}, {99, "4.00002"}}},
        // Separators: index 1 with and without a company.
        {"rtd_both_directions.txt", TXT, "ACME", 1, rtd_both},
        {"frequency_both_directions.txt", TXT, "", 1, frequency_both},
        {"frequency_both_directions.csv", CSV, "", 1, frequency_both},
        {"pulse_counts.txt", TXT, "", 0, pulse_counts},
        {"pulse_fixed_frequency.txt", TXT, "", 0, pulse_freq},
        // The output side reads the same pulse and pressure fields.
        {"pulse_output.txt", TXT, "", 0, with(pulse_freq, {{16, "Pulse"}, {17, "Hz"}})},
        {"pressure_no_cal.txt", TXT, "", 0, pressure_module},
        {"pressure_dated.csv", CSV, "", 0, with(pressure_module, {{74, "15"}, {16, "Pressure"}, {17, "bar"}})},
        {"markers.txt", TXT, "", 0, markers},
        {"markers.csv", CSV, "", 0, markers},
        {"zero_ranges.txt", TXT, "", 0, {{22, "0.000"}, {24, "4.000"}}},
        // A tag of which nothing arrived but its point count: "NONE" texts, zero dates.
        {"undelivered.txt", TXT, "", 0, [] {
             Changes all_none;
             for (int f = 1; f <= 128; ++f) all_none.emplace_back(f, "NONE");
             all_none.emplace_back(25, "2");
             return all_none;
         }()},
    };
}

TEST(Report_layout, whole_reports_match_the_expected_files) {
    for (const auto& c : golden_cases()) {
        SCOPED_TRACE(c.file);
        Field_table table = calibrated_tag(c.changes);
        auto lines = reports::report_lines(table, c.format, c.company, c.index);
        expect_golden(c.file, lines);
        EXPECT_EQ(closing_lines(lines, table.field_int(25)), 32u);
    }
}

TEST(Report_layout, worked_example_rows) {
    Field_table table = calibrated_tag();
    auto text = reports::report_lines(table, TXT, "", 0);
    auto csv = reports::report_lines(table, CSV, "", 0);
    auto row = [](const std::vector<std::string>& lines, const std::string& after) {
        auto it = std::find(lines.begin(), lines.end(), after);
        return it + 2 < lines.end() ? *(it + 2) : std::string();
    };
    EXPECT_EQ(row(text, "As Found Data"), "  1       50.000     12.100    0.625  Fail");
    EXPECT_EQ(row(csv, "\"As Found Data\""), "\"1\",\"50.000\",\"12.100\",\"0.625\",\"Fail\"");
}

TEST(Report_layout, double_quotes_in_values_are_doubled_in_csv_only) {
    Field_table table = calibrated_tag({{1, "PT\"1"}, {2, "3/4\" NPT"}, {10, "in\"H2O"}, {20, "NONE"}});
    auto has = [](const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    const auto csv = reports::report_lines(table, CSV, "ACME \"East\"", 0);
    for (const char* line : {"\"Company Name:\",\"ACME \"\"East\"\"\"", "\"Tag ID:\",\"PT\"\"1\"",
                             "\"Manufacturer:\",\"3/4\"\" NPT\"", "\"Input type:\",\"Thermocouple K, in\"\"H2O\"",
                             "\"Point\",\"in\"\"H2O\",\"mA\"", "\"1\",\"50.000\",\"12.100\","})
        EXPECT_TRUE(has(csv, line)) << line;
    const auto text = reports::report_lines(table, TXT, "ACME \"East\"", 0);
    for (const char* line : {"Company Name: ACME \"East\"", "Tag ID: PT\"1", "Manufacturer:  3/4\" NPT"})
        EXPECT_TRUE(has(text, line)) << line;
}

TEST(Csv_value, doubled_quotes_are_read_as_one_and_the_closing_quote_ends_the_value) {
    struct Case {
        std::string text;  // after the opening quote
        std::string value;
        std::size_t used;
    };
    const std::vector<Case> cases = {
        {"abc\",\"x\"", "abc", 4},      {"a\"\"b\"", "a\"b", 5},  {"\"\"\"\"\"", "\"\"", 5},
        {"\"", "", 1},                 {"", "", 0},                {"no closing quote", "no closing quote", 16},
        {"end\"\"", "end\"", 5},
    };
    for (const auto& c : cases) {
        std::size_t used = 99;
        EXPECT_EQ(reports::read_csv_value(c.text, &used), c.value) << c.text;
        EXPECT_EQ(used, c.used) << c.text;
    }
    for (const std::string value : {"", "plain", "3/4\" NPT", "\"", "\"\"x\"\""})
        EXPECT_EQ(reports::read_csv_value(reports::csv_escaped(value) + "\",\"next\""), value) << value;
}

TEST(Report_layout, numbers_keep_their_decimal_point_under_a_comma_locale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    Field_table table = calibrated_tag();
    auto text = reports::report_lines(table, TXT, "ACME", 0);
    auto csv = reports::report_lines(table, CSV, "ACME", 0);
    std::setlocale(LC_ALL, saved.c_str());
    expect_golden("worked_example.txt", text);
    expect_golden("worked_example.csv", csv);
}

TEST(Report_layout, separator_and_company_lines) {
    Field_table table = calibrated_tag();
    struct Case {
        Report_format format;
        const char* company;
        int index;
        std::vector<std::string> first_lines;
    };
    const std::vector<Case> cases = {
        {TXT, "ACME", 0, {"Company Name: ACME", "", "Tag ID: TT-101"}},
        {TXT, "", 0, {"Tag ID: TT-101"}},
        {TXT, "", 1, {"------------------------------", "", "Tag ID: TT-101"}},
        {CSV, "ACME", 2, {"------------------------------", "", "\"Company Name:\",\"ACME\"", "", "\"Tag ID:\",\"TT-101\""}},
    };
    for (const auto& c : cases) {
        auto lines = reports::report_lines(table, c.format, c.company, c.index);
        ASSERT_GE(lines.size(), c.first_lines.size());
        EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(c.first_lines.size())),
                  c.first_lines);
    }
    // A double quote inside the CSV value is doubled; the comma stays inside the quotes.
    EXPECT_EQ(reports::company_line("A \"B\", C", CSV), "\"Company Name:\",\"A \"\"B\"\", C\"");
}

TEST(Report_layout, point_rows_never_exceed_21) {
    for (const char* count : {"30", "-2", "NONE"}) {
        Field_table table = calibrated_tag({{25, count}});
        auto lines = reports::report_lines(table, TXT, "", 0);
        int expected_rows = std::string(count) == "30" ? 21 : 0;
        EXPECT_EQ(closing_lines(lines, expected_rows), 32u) << count;
    }
}

struct Point_case {
    Changes ranges;
    const char* x;
    const char* y;
    double tolerance;
    bool pass;
    std::optional<double> error;
};

TEST(Point_result, verdicts_and_errors) {
    const Changes falling = {{23, "20.000"}, {24, "4.000"}};
    const std::vector<Point_case> cases = {
        {{}, "50.000", "12.100", 0.5, false, 0.625},     // worked example
        {{}, "50.000", "12.050", 0.5, true, 0.3125},
        {{}, "50", "20", 50, true, 50.0},                // deviation equal to the allowance passes
        {{}, "50", "12", 0.0, true, 0.0},
        {{}, "50", "12.001", 0.0, false, 0.00625},       // tolerance 0: 0.00001 allowed
        {falling, "50.000", "12.100", 0.5, false, -0.625},  // falling output range flips the sign
        {{}, "NONE", "12", 0.5, false, std::nullopt},
        {{}, "50", "UNDER", 0.5, false, std::nullopt},
        {{}, "OVER", "OVER", 100, false, std::nullopt},
        // A reading that is not a finite decimal number fails without a figure.
        {{}, "none", "4", 0.5, false, std::nullopt},
        {{}, "", "4", 0.5, false, std::nullopt},         // blank reading on a range starting at 0
        {{}, "0", "  ", 0.5, false, std::nullopt},
        {{}, "nan", "12", 0.5, false, std::nullopt},
        {{}, "50", "inf", 100, false, std::nullopt},
        {{}, "50", "12.0abc", 0.5, false, std::nullopt},
        {{}, "1e999", "12", 0.5, false, std::nullopt},   // beyond the double range
        {{}, " 50.0 ", " +1.2e1 ", 0.5, true, 0.0},       // white space around a number is fine
        // Deviation equal to the tolerance in decimal passes despite binary rounding.
        {{}, "50", "12.08", 0.5, true, 0.5},
        {{}, "50", "11.92", 0.5, true, -0.5},
        {{}, "100", "19.92", 0.5, true, -0.5},
        {{}, "50", "12.0800001", 0.5, false, 0.500000625},
        {{{21, "-40"}, {22, "60"}, {23, "0.3"}, {24, "1.1"}}, "20", "0.7808", 0.1, true, 0.1},
        {{{21, "-40"}, {22, "60"}, {23, "0.3"}, {24, "1.1"}}, "20", "0.7792", 0.1, true, -0.1},
        {{{21, "-40"}, {22, "60"}, {23, "0.3"}, {24, "1.1"}}, "20", "0.78081", 0.1, false, 0.10125},
        {{}, "50", "12.00001", 0.0, true, 0.0000625},    // tolerance 0: exactly 0.00001 allowed
        {{{22, "0.000"}}, "0", "4", 0.5, false, std::nullopt},    // zero input range
        {{{24, "4.000"}}, "50", "4", 0.5, false, std::nullopt},   // zero output span
        {{{24, "1e308"}, {23, "-1e308"}}, "50", "0", 0.5, false, std::nullopt},   // overflow
    };
    for (const auto& c : cases) {
        Field_table table = calibrated_tag(c.ranges);
        auto result = reports::point_result(table, c.x, c.y, c.tolerance);
        SCOPED_TRACE(std::string(c.x) + " " + c.y);
        EXPECT_EQ(result.pass, c.pass);
        ASSERT_EQ(result.error_percent.has_value(), c.error.has_value());
        if (c.error) {
            EXPECT_NEAR(*result.error_percent, *c.error, 1e-9);
        }
    }
}

TEST(Report_tolerance, from_field_20) {
    EXPECT_EQ(reports::report_tolerance(calibrated_tag({{20, "NONE"}})), -1.0);
    EXPECT_EQ(reports::report_tolerance(calibrated_tag({{20, "None"}})), 0.0);
    EXPECT_EQ(reports::report_tolerance(calibrated_tag({{20, "-0.25"}})), -0.25);
    EXPECT_EQ(reports::report_tolerance(calibrated_tag({{20, "0.500"}})), 0.5);
}

struct Signal_case {
    tags::Direction direction;
    const char* type;
    const char* units;
    const char* curve;
    const char* auxiliary;
    Changes fields;
    reports::Signal_description expected;
};

TEST(Describe_signal, descriptions_by_type) {
    using tags::Direction;
    const std::vector<Signal_case> cases = {
        {Direction::input, "Thermocouple", "DegC", "K", "CJC ON", {}, {"Thermocouple K", "DegC", "CJC ON", "", "DegC"}},
        {Direction::output, "RTD", "Ohms", "PT385", "3W", {}, {"RTD 3W PT385", "Ohms", "", "", "Ohms"}},
        {Direction::input, "RTD", "Ohms", "PT385", "3W", {}, {"RTD PT385", "Ohms", "", "", "Ohms"}},
        {Direction::input, "Frequency", "Hz", "", "", {{13, "5.0"}}, {"Frequency", "Hz", "Level: 5.0 Vpp", "", "Hz"}},
        {Direction::output, "Frequency", "Hz", "", "", {{13, "5.0"}}, {"Frequency", "Hz", "", "", "Hz"}},
        {Direction::input, "Pulse", "CPM", "", "", {{13, "2.0"}, {14, "COUNTS"}, {15, "100"}},
         {"Pulse", "CPM", "Level: 2.0 Vpp", "Fixed: 100 Cnts", "CPM"}},
        // The fixed type is recognised in any case, as tag files write it.
        {Direction::input, "Pulse", "CPM", "", "", {{13, "2.0"}, {14, "Counts"}, {15, "100"}},
         {"Pulse", "CPM", "Level: 2.0 Vpp", "Fixed: 100 Cnts", "CPM"}},
        {Direction::output, "Pulse", "CPM", "", "", {{13, "2.0"}, {14, "counts"}, {15, "100"}},
         {"Pulse", "CPM", "Level: 2.0 Vpp", "Fixed: 100 Cnts", "CPM"}},
        {Direction::input, "Pulse", "CPM", "", "", {{13, "2.0"}, {14, "FREQUENCY"}, {15, "100"}},
         {"Pulse", "Cnts", "Level: 2.0 Vpp", "Fixed: 100 CPM", "Cnts"}},
        {Direction::input, "Pressure", "psi", "", "", {{69, "PM-12"}, {70, "G"}, {71, "100"}, {74, "0"}},
         {"Pressure", "psi", "     PM-12 No Cal avl", "100 psi G", "psi"}},
        {Direction::output, "Pressure", "bar", "", "",
         {{69, "PM-12"}, {70, "G"}, {71, "100"}, {72, "2009"}, {73, "3"}, {74, "15"}},
         {"Pressure", "bar", "PM-12 2009/03/15", "100 psi G", "bar"}},
        {Direction::input, "thermocouple", "DegC", "K", "CJC ON", {}, {"thermocouple", "DegC", "", "", "DegC"}},
        {Direction::input, "Manual", "gal", "x", "y", {}, {"Manual", "gal", "", "", "gal"}},
    };
    for (const auto& c : cases) {
        Field_table table = calibrated_tag(c.fields);
        auto d = reports::describe_signal(table, c.direction, c.type, c.units, c.curve, c.auxiliary);
        SCOPED_TRACE(c.type);
        EXPECT_EQ(d.description, c.expected.description);
        EXPECT_EQ(d.units_shown, c.expected.units_shown);
        EXPECT_EQ(d.extra_line_1, c.expected.extra_line_1);
        EXPECT_EQ(d.extra_line_2, c.expected.extra_line_2);
        EXPECT_EQ(d.column_units, c.expected.column_units);
    }
}

TEST(Pad_lines, both_layouts) {
    std::vector<std::string> lines;
    reports::add_pad_lines(lines, 2, TXT);
    reports::add_pad_lines(lines, 1, CSV);
    reports::add_pad_lines(lines, 0, CSV);
    EXPECT_EQ(lines, (std::vector<std::string>{std::string(21, ' '), std::string(21, ' '),
                                               "\"" + std::string(21, ' ') + "\""}));
}

}  // namespace
