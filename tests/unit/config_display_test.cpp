// Configure > Tag/Group > Display/Print: the display lines of tag
// configurations, their pages, and the command over a scripted ui.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "download/config_display.h"
#include "reports/field_table.h"
#include "support/fake_clock.h"
#include "support/scripted_port.h"
#include "support/scripted_ui.h"

using Lines = std::vector<std::string>;
using Changes = std::vector<std::pair<int, std::string>>;

namespace {

// The thermocouple transmitter of the tag file example: input K type with
// cold junction, output 4..20 mA, tolerance 0.5 %, five points.
reports::Field_table example_tag(const Changes& changes = {}) {
    reports::Field_table t;
    const Changes base = {
        {1, "TT-101"}, {2, "Maker"}, {3, "SN1234"}, {4, "Tech"}, {5, "21C"}, {6, "40%"}, {7, ""},
        {8, "Model-7"}, {9, "Thermocouple"}, {10, "DegC"}, {11, "K"}, {12, "CJC ON"}, {16, "Milliamp"},
        {17, "mA"}, {20, "0.500"}, {21, "0.0000"}, {22, "100.0000"}, {23, "4.0000"}, {24, "20.0000"},
        {25, "5"}, {26, "0.0000"}, {27, "25.0000"}, {28, "50.0000"}, {29, "75.0000"}, {30, "100.0000"}};
    for (const auto& [field, text] : base) t.store_field(field, text);
    for (const auto& [field, text] : changes) t.store_field(field, text);
    return t;
}

// A label padded to 22 characters, a space, the value.
std::string shown(std::string label, const std::string& value) {
    label.resize(22, ' ');
    return label + " " + value;
}

}  // namespace

TEST(Display_lines, label_every_field_of_the_example_tag) {
    const Lines expected = {
        "Tag ID:                TT-101",   // 15 spaces fill the label, one separates: the value in column 24
        shown("Manufacturer:", "Maker"),
        shown("Model:", "Model-7"),
        shown("Serial Number:", "SN1234"),
        shown("Technician:", "Tech"),
        shown("Temperature:", "21C"),
        shown("Humidity:", "40%"),
        shown("Other:", ""),
        "Instrument Input:",
        shown("    Type:", "Thermocouple"),
        shown("    Units:", "DegC"),
        shown("    Curve:", "K"),
        shown("    Cold Junction:", "CJC ON"),
        "Instrument Output:",
        shown("    Type:", "Milliamp"),
        shown("    Units:", "mA"),
        shown("Error Tolerance:", "0.500"),
        shown("Input Range Low:", "0.0000"),
        shown("Input Range High:", "100.0000"),
        shown("Output Range Low:", "4.0000"),
        shown("Output Range High:", "20.0000"),
        shown("Number of points:", "5"),
        shown(" 1:", "0.0000"),
        shown(" 2:", "25.0000"),
        shown(" 3:", "50.0000"),
        shown(" 4:", "75.0000"),
        shown(" 5:", "100.0000"),
    };
    EXPECT_EQ(download::tag_display_lines(example_tag()), expected);
}

TEST(Display_lines, follow_the_types_tolerance_and_point_count) {
    struct Case {
        const char* name;
        Changes changes;
        Lines present;   // lines that must be shown
        Lines absent;    // lines that must not
        std::size_t count;
    };
    const std::string rtd_wires = shown("    Wires:", "3W");
    const std::vector<Case> cases = {
        {"thermocouple input: no amplitude", {}, {shown("    Cold Junction:", "CJC ON")},
         {shown("    Amplitude:", "")}, 27},
        {"volts input: type and units only",
         {{9, "Volts"}, {10, "V"}, {11, ""}, {12, ""}},
         {shown("    Type:", "Volts"), shown("    Units:", "V")},
         {shown("    Curve:", ""), shown("    Cold Junction:", "")}, 25},
        {"pulse input: amplitude and fixed value",
         {{9, "Pulse"}, {10, "Hz"}, {13, "5.0"}, {14, "Counts"}, {15, "12"}},
         {shown("    Amplitude:", "5.0"), shown("    Fixed Parameter:", "Counts"), shown("    Value:", "12")},
         {shown("    Curve:", "K")}, 28},
        {"RTD output: field 19 under Wires",
         {{16, "RTD"}, {17, "Ohms"}, {18, "P100-385"}, {19, "3W"}},
         {shown("    Curve:", "P100-385"), rtd_wires}, {shown("    Cold Junction:", "3W")}, 29},
        {"thermocouple output: field 19 under Cold Junction",
         {{16, "Thermocouple"}, {17, "DegC"}, {18, "J"}, {19, "CJC OFF"}},
         {shown("    Cold Junction:", "CJC OFF")}, {shown("    Wires:", "CJC OFF")}, 29},
        {"types compare exactly", {{9, "thermocouple"}}, {shown("    Type:", "thermocouple")},
         {shown("    Curve:", "K")}, 25},
        {"tolerance disabled: None and no ranges",
         {{20, ""}, {21, "0.0000"}, {22, "100.0000"}, {23, "4.0000"}, {24, "20.0000"}},
         {"Error Tolerance:       None"}, {shown("Input Range Low:", "0.0000")}, 23},
        {"0 points", {{25, "0"}}, {shown("Number of points:", "0")}, {shown(" 1:", "0.0000")}, 22},
        {"22 points", {{25, "22"}}, {shown("Number of points:", "22")}, {shown(" 1:", "0.0000")}, 22},
        {"21 points", {{25, "21"}}, {shown("21:", "")}, {}, 43},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Lines lines = download::tag_display_lines(example_tag(c.changes));
        for (const auto& line : c.present) EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
        for (const auto& line : c.absent) EXPECT_EQ(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
        EXPECT_EQ(lines.size(), c.count);
    }
}

TEST(Display_pages, the_130_line_print_at_600_dpi) {
    Lines lines;
    for (int i = 1; i <= 130; ++i) lines.push_back("line " + std::to_string(i));
    const auto g = reports::page_geometry(600, 6600, 10);
    ASSERT_EQ(g, (reports::Page_geometry{300, 83, 6150}));
    std::vector<ui::Printed_page> pages;
    download::lay_out_display_pages("Tag Configuration:  TT-101.utg", lines, g, [&](const ui::Printed_page& p) {
        pages.push_back(p);
        return true;
    });
    ASSERT_EQ(pages.size(), 2u);
    const std::string header = "Tag Configuration:  TT-101.utg" + std::string(20, ' ') + "Page ";
    EXPECT_EQ(pages[0].rows.front(), (ui::Printed_row{300, header + "1"}));
    EXPECT_EQ(pages[0].rows[1], (ui::Printed_row{466, "line 1"}));
    ASSERT_EQ(pages[0].rows.size(), 70u);   // the header and 69 lines
    EXPECT_EQ(pages[0].rows.back(), (ui::Printed_row{6110, "line 69"}));
    EXPECT_EQ(pages[1].rows.front(), (ui::Printed_row{300, header + "2"}));
    EXPECT_EQ(pages[1].rows[1], (ui::Printed_row{466, "line 70"}));
    EXPECT_EQ(pages[1].rows.size(), 62u);
    pages.clear();   // line 68 ends exactly at the bottom limit: the last of its page
    download::lay_out_display_pages("x", lines, {300, 83, 6110}, [&](const ui::Printed_page& p) { pages.push_back(p); return true; });
    EXPECT_EQ(pages.at(0).rows.back(), (ui::Printed_row{6027, "line 68"}));

    // No lines: no page at all.
    EXPECT_TRUE(download::lay_out_display_pages("x", {}, g, [](const ui::Printed_page&) {
        ADD_FAILURE() << "a page without lines";
        return true;
    }));
}

TEST(Display_window, shows_cut_lines_and_prints_them_under_the_caption) {
    struct Case {
        const char* name;
        bool press_print;
        bool printer_chosen;
        bool closed;
    };
    const std::vector<Case> cases = {
        {"OK", false, false, false},
        {"Print, dialog cancelled: the window stays", true, false, false},
        {"Print: printed, the window closes", true, true, true},
    };
    Lines lines(600, std::string(400, 'x'));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::Scripted_ui ui;
        test::Recording_print_job::Record record;
        ui.expect_display(c.press_print);
        if (c.press_print)
            ui.expect_printer(c.printer_chosen ? std::make_unique<test::Recording_print_job>(record, 600, 6600)
                                               : nullptr);
        download::show_display(ui, std::string(250, 'C'), lines, 10);
        ASSERT_EQ(ui.displays.size(), 1u);
        EXPECT_EQ(ui.displays[0].caption, std::string(203, 'C'));
        EXPECT_EQ(ui.displays[0].lines, Lines(500, std::string(359, 'x')));
        EXPECT_EQ(ui.displays[0].closed_by_print, c.closed);
        EXPECT_EQ(record.pages.size(), c.printer_chosen ? 8u : 0u);   // 500 lines, 69 a page
        if (c.printer_chosen) EXPECT_EQ(record.name, std::string(203, 'C'));
        EXPECT_FALSE(ui.wait_cursor);
    }
}

TEST(Display_command, displays_the_tag_file_picked) {
    const auto folder = std::filesystem::temp_directory_path() / "tq740_display_test";
    std::filesystem::create_directories(folder);
    const auto path = folder / "TT-101.utg";
    {
        std::ofstream out(path, std::ios::binary);
        out << "TQ740-SW tag configuration file v2.00\r\n";
        const auto tag = example_tag();
        for (int field = 1; field <= 46; ++field) {
            char number[4];
            std::snprintf(number, sizeof number, "%2d", field);
            out << number << " " << tag.field_text(field) << "\r\n";
        }
    }
    test::Scripted_ui ui;
    test::Fake_clock clock;
    test::Scripted_port port(clock);
    shell::Program program(ui, port, clock, [] { return std::string("/dev/null"); });
    ui.expect_file(path.string(), [](const ui::File_request& r) { EXPECT_EQ(r.title, "Select the tag to display"); });
    ui.expect_display();
    download::display_tag_command(program);
    ASSERT_EQ(ui.displays.size(), 1u);
    EXPECT_EQ(ui.displays[0].caption, "Tag Configuration:  TT-101.utg");
    EXPECT_EQ(ui.displays[0].lines, download::tag_display_lines(example_tag()));
    EXPECT_EQ(port.opens(), 0);   // a file command never touches the port

    // A cancelled file dialog shows nothing.
    ui.expect_file(std::nullopt);
    download::display_tag_command(program);
    EXPECT_EQ(ui.displays.size(), 1u);
    // A group member whose file is not in the group's folder is marked.
    std::ofstream(folder / "g.ugp") << "TQ740-SW group configuration file v2.00\r\nXX-000.utg\r\ntt-101.utg\r\n";
    ui.expect_file((folder / "g.ugp").string());
    ui.expect_display();
    download::display_group_command(program);
    EXPECT_EQ(ui.displays.at(1).lines, (Lines{"XX-000.utg  (missing)", "tt-101.utg"}));
    std::filesystem::remove_all(folder);
}
