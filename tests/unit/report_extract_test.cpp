// Extraction of a tag configuration from a report: the round trip through
// the program's own TXT and CSV layouts for every signal description, the
// texts a report cannot carry, the awkward sections, the limits, the
// editor's checks, and the command over a scripted ui.
#include <gtest/gtest.h>
#include <sys/file.h>

#include <QTemporaryDir>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <map>
#include <unistd.h>

#include "download/report_extract.h"
#include "reports/report_files.h"
#include "reports/report_layout.h"
#include "resources/download_strings.h"
#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "support/scripted_ui.h"
#include "tags/tag_editor.h"

namespace {

namespace f = reports::fields;
using reports::Field_table;
using reports::Report_format;
using Lines = std::vector<std::string>;

// ---- Making reports ----

struct Signal_case {
    const char* name;
    std::array<const char*, 4> input;   // type, units, curve, cold junction
    float amplitude;
    tags::Fixed_type fixed;
    float fixed_value;
    std::array<const char*, 4> output;  // type, units, curve, wires or cold junction
    bool tolerance;
};

Field_table configuration(const Signal_case& c) {
    tags::Tag_editor_values v;
    v.tag_id = c.name;
    std::tie(v.manufacturer, v.model, v.serial_number, v.technician, v.temperature, v.humidity, v.other) =
        std::tuple("Halvard", "M-2", "SN 77", "J. Okafor", "21 C", "45 %", "bench 4");
    std::tie(v.input_type, v.input_units, v.input_curve, v.input_cold_junction) =
        std::tuple(c.input[0], c.input[1], c.input[2], c.input[3]);
    std::tie(v.output_type, v.output_units, v.output_curve, v.output_auxiliary) =
        std::tuple(c.output[0], c.output[1], c.output[2], c.output[3]);
    v.amplitude = c.amplitude;
    v.fixed_type = c.fixed;
    v.fixed_value = c.fixed_value;
    v.tolerance_state = c.tolerance ? tags::Tolerance_state::enabled : tags::Tolerance_state::disabled;
    std::tie(v.tolerance, v.input_low, v.input_high, v.output_low, v.output_high) =
        std::tuple(0.25f, -10.0f, 150.5f, 4.0f, 20.0f);
    v.points_used = 4;
    for (int k = 1; k <= 4; ++k) v.point(k) = -10.0f + 40.0f * static_cast<float>(k - 1);
    Field_table record;
    tags::editor_to_record(v, record);
    return record;
}

// The lines of a calibrated tag's report, as an upload renders it: the
// calibrator keeps a disabled tolerance as "NONE".
Lines report_of(Field_table config, Report_format format, int index, const std::string& company = "") {
    if (config.field_text(f::tolerance).empty()) config.store_field(f::tolerance, reports::none_marker);
    return reports::report_lines(config, format, company, index);
}

// Reports one after another, as a merged upload saves them.
Lines joined(std::initializer_list<Lines> reports) {
    Lines lines;
    for (const auto& report : reports) lines.insert(lines.end(), report.begin(), report.end());
    return lines;
}

bool locked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    const bool refused = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return refused;
}

class Report_files {
public:
    std::string write(const Lines& lines, const std::string& name = "report.txt") {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream out(path, std::ios::binary);
        for (const auto& line : lines) out << line << "\r\n";
        return path;
    }

private:
    QTemporaryDir dir_;
};

// Both passes and the section reader over a file; tag `which` of the index.
Field_table extract(const std::string& path, std::size_t which = 0) {
    download::Open_report file;
    std::string reason;
    EXPECT_TRUE(file.open(path, reason)) << reason;
    download::Tag_index index;
    EXPECT_TRUE(download::index_report(file, index, reason));
    Field_table record;
    if (which >= index.tags().size()) return record;
    Lines section;
    EXPECT_TRUE(download::read_section(file, index.tags()[which], section, reason));
    download::parse_report_section(section, record);
    return record;
}

const Signal_case next_tag = {"NEXT", {"Volts", "V", "", ""}, 5, {}, 0, {"Volts", "V", "", ""}, true};

// ---- Round trip: every signal description of the layouts ----

TEST(Extract_round_trip, every_signal_description_comes_back_from_txt_and_csv) {
    using tags::Fixed_type;
    const Signal_case cases[] = {
        {"TC-RTD", {"Thermocouple", "DegC", "K", "CJC ON"}, 5, {}, 0, {"RTD", "DegC", "P100-385", "3W"}, true},
        {"RTD-TC", {"RTD", "DegF", "Cu 10", ""}, 5, {}, 0, {"Thermocouple", "mV", "mV", "CJC OFF"}, true},
        {"MA-LOOP", {"Milliamp", "mA", "", ""}, 5, {}, 0, {"Milliamp Loop", "mA", "", ""}, true},
        {"SIM-V", {"Milliamp 2W SIM", "mA", "", ""}, 5, {}, 0, {"Volts", "V", "", ""}, false},
        {"V-MA", {"Volts", "V", "", ""}, 5, {}, 0, {"Milliamp", "mA", "", ""}, true},
        {"FREQ", {"Frequency", "kHz", "", ""}, 7.5f, {}, 0, {"Frequency", "Hz", "", ""}, true},
        {"PULSE-N", {"Pulse", "CPM", "", ""}, 2, Fixed_type::counts, 1000, {"Manual", "cnt", "", ""}, true},
        {"PULSE-F", {"Pulse", "Hz", "", ""}, 20, Fixed_type::frequency, 10, {"Pressure", "psi", "", ""}, true},
        {"PRESS", {"Pressure", "inH2O 4C", "", ""}, 5, {}, 0, {"Pressure", "bar", "", ""}, false},
        {"MANUAL", {"Manual", "rev", "", ""}, 5, {}, 0, {"Manual", "%", "", ""}, true},
        {"RTD-NI", {"RTD", "Ohms", "Ohms", ""}, 5, {}, 0, {"RTD", "DegC", "Ni 120", "4W"}, true},
    };
    Report_files files;
    for (const auto& c : cases) {
        for (const auto format : {Report_format::text, Report_format::csv}) {
            SCOPED_TRACE(std::string(c.name) + (format == Report_format::csv ? " csv" : " txt"));
            // Between two other reports.
            const Lines lines = joined({report_of(configuration(next_tag), format, 0, "Acme"),
                                        report_of(configuration(c), format, 1, "Acme"),
                                        report_of(configuration(next_tag), format, 2, "Acme")});
            // What the editor saves from it without a page visited.
            Field_table saved;
            tags::editor_to_record(tags::record_to_editor(extract(files.write(lines), 1)), saved);
            const Field_table expected = configuration(c);
            for (int field = 1; field <= f::last_tag_field; ++field)
                EXPECT_EQ(saved.field_text(field), expected.field_text(field)) << "field " << field;
        }
    }
}

// Texts holding what separates values (a comma, a double quote, leading
// spaces) cannot come back whole; every other text and choice does.
TEST(Extract_round_trip, texts_holding_separators_come_back_cut) {
    const struct {
        int field;
        const char* written;
        const char* read;
    } cases[] = {
        {f::other, "lab 3, bench 2", "lab 3"},
        {f::manufacturer, "\"Acme\" Inc", "Acme"},
        {f::technician, "  J. Doe", "J. Doe"},
        {f::serial_number, "A\"7", "A"},
    };
    Report_files files;
    for (const auto& c : cases) {
        for (const auto format : {Report_format::text, Report_format::csv}) {
            Field_table config = configuration(next_tag);
            config.store_field(c.field, c.written);
            EXPECT_EQ(extract(files.write(report_of(config, format, 0))).field_text(c.field), c.read) << c.written;
        }
    }
}

// ---- The awkward sections ----

struct Section_case {
    const char* name;
    Signal_case tag;
    int points;
    std::function<void(Lines&)> edit;            // changes the rendered TXT report
    std::map<int, std::string> fields;           // fields expected, "" included
};

void replace_line(Lines& lines, const std::string& from, const std::string& to) {
    for (auto& line : lines)
        if (line.rfind(from, 0) == 0) line = to;
}

TEST(Extract_section, the_edge_cases_read_as_the_rows_say) {
    using tags::Fixed_type;
    const Signal_case volts = {"FT-101", {"Volts", "V", "", ""}, 5, {}, 0, {"Volts", "V", "", ""}, true};
    Signal_case no_tolerance = volts;
    no_tolerance.tolerance = false;
    const Section_case cases[] = {
        {"no space after the label", volts, 4, [](Lines& l) { replace_line(l, "Tag ID: ", "Tag ID:FT-101"); },
         {{f::tag_id, "FT-101"}}},
        {"no Other information line", volts, 4,
         [](Lines& l) { std::erase_if(l, [](const std::string& s) { return s.rfind("Other", 0) == 0; }); },
         {{f::other, "ERROR"}, {f::model, "M-2"}}},
        {"five points", volts, 5, {},
         {{f::point_count, "5"}, {26, "-10.0000"}, {30, "150.0000"}, {31, ""}, {46, ""}}},
        {"thermocouple in, RTD out",
         {"TC", {"Thermocouple", "DegC", "K", "CJC ON"}, 5, {}, 0, {"RTD", "DegC", "P100-385", "3W"}, true}, 4, {},
         {{9, "Thermocouple"}, {11, "K"}, {10, "DegC"}, {12, "CJC ON"}, {16, "RTD"}, {17, "DegC"},
          {18, "P100-385"}, {19, "3W"}}},
        {"pulse with a fixed frequency",
         {"P", {"Pulse", "Hz", "", ""}, 5, Fixed_type::frequency, 10, {"Volts", "V", "", ""}, true}, 4, {},
         {{f::input_units, "Hz"}, {f::pulse_fixed_type, "Freq"}, {f::pulse_fixed_value, "10.0"}, {13, "5.0"}}},
        {"tolerance None", no_tolerance, 4, {}, {{20, ""}, {21, ""}, {22, ""}, {23, ""}, {24, ""}}},
        {"tolerance keeps its sign", volts, 4, {}, {{20, "0.250%"}, {21, "-10.0000"}, {24, "20.0000"}}},
    };
    Report_files files;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Field_table config = configuration(c.tag);
        config.store_field(f::point_count, std::to_string(c.points));
        config.store_field(30, "150.0000");
        Lines lines = report_of(config, Report_format::text, 0);
        if (c.edit) c.edit(lines);
        const Field_table record = extract(files.write(lines));
        for (const auto& [field, text] : c.fields) EXPECT_EQ(record.field_text(field), text) << "field " << field;
    }
    EXPECT_EQ(tags::record_to_editor(Field_table{}).tolerance_state, tags::Tolerance_state::disabled);
    // The list shows what follows the label's next character.
    EXPECT_EQ(download::listed_tag_id("Tag ID:FT-101"), "T-101");
}

// ---- Limits ----

TEST(Extract_limits, lists_sections_points_and_values_are_cut_without_overflow) {
    download::Tag_index index;
    index.take("\"Tag ID:\",\"" + std::string(30, 'Q') + "\"");
    for (int i = 0; i < 250; ++i) index.take("Tag ID: T" + std::to_string(i));
    ASSERT_EQ(index.tags().size(), download::max_report_tags);
    EXPECT_EQ(index.tags_found(), 251u);   // the report says how many it holds
    EXPECT_EQ(index.tags()[0].id, std::string(19, 'Q'));
    EXPECT_EQ(index.tags()[199].line, 199);

    download::Section_collector collector(1);
    bool more = true;
    for (int i = 0; i < 300 && more; ++i) more = collector.take(i == 0 ? "before" : "line");
    EXPECT_EQ(collector.lines().size(), download::max_section_lines);

    // An As Left line 30 lines after As Found: 27 rows, but only 21 point
    // fields; the readings after them stay as they were.
    Lines section = {"Tag ID: " + std::string(150, 'x'), "As Found Data", "Point"};
    for (int k = 1; k <= 27; ++k) section.push_back(" " + std::to_string(k) + "    " + std::to_string(k * 10));
    section.push_back("");
    section.push_back("As Left Data");
    Field_table record;
    record.store_field(47, "reading");
    download::parse_report_section(section, record);
    EXPECT_EQ(record.field_text(f::point_count), "27");
    EXPECT_EQ(record.field_text(46), "210");
    EXPECT_EQ(record.field_text(47), "reading");
    EXPECT_EQ(record.field_text(f::tag_id).size(), reports::max_field_chars);
}

// ---- The editor's checks over the report's own texts ----

TEST(Extract_checks, a_number_the_report_did_not_give_names_its_field) {
    const struct {
        int field;
        const char* text;
        int failing;
        const char* message;
    } cases[] = {
        {0, "", 0, nullptr},
        {f::input_low, "ERROR", f::input_low, "Please enter a number."},
        {f::tolerance, "101.000%", f::tolerance, "Please enter a number between 0 and 100."},
        {f::point_count, "-3", f::point_count, "Please enter an integer between 1 and 21."},
        {27, "ERROR", 27, "Please enter a number."},
        {f::other, "ERROR", 0, nullptr},           // a text: kept as it is
    };
    for (const auto& c : cases) {
        Field_table record = configuration(next_tag);
        if (c.field) record.store_field(c.field, c.text);
        test::Scripted_ui ui;
        if (c.message) ui.expect_error(c.message);
        EXPECT_EQ(download::check_extracted_record(record, ui), c.failing) << c.field;
    }
}

// ---- The command ----

struct Command_rig {
    test::Scripted_ui ui;
    Field_table record;
    std::string tag_folder = "/tags", current = "old.utg", directory = "/reports", stored;
    int refreshes = 0;
    download::Extract_context context{{ui, record, tag_folder, {}, current, [this] { ++refreshes; }},
                                      directory,
                                      [this](const std::string& d) { stored = d; }};
};

TEST(Extract_command, a_report_of_three_tags_lists_them_and_the_choice_opens_in_the_editor_locked) {
    Report_files files;
    Signal_case a = next_tag, b = next_tag, c = next_tag;
    std::tie(a.name, b.name, c.name) = std::tuple("A-1", "B-2", "C-3");
    const std::string path = files.write(joined({report_of(configuration(a), Report_format::csv, 0),
                                                  report_of(configuration(b), Report_format::csv, 1),
                                                  report_of(configuration(c), Report_format::csv, 2)}),
                                         "three.csv");
    const std::string saved = path + ".utg";
    Command_rig rig;
    rig.ui.expect_file(path, [&](const ui::File_request& r) {
        EXPECT_EQ(r.title, res::str(res::IDS_SELECT_REPORT_FOR_EXTRACTION));
        EXPECT_EQ(r.initial_folder, "/reports");
        EXPECT_TRUE(r.must_exist);
    });
    rig.ui.expect_extract_choice(1);
    rig.ui.expect_tag_sheet(res::str(res::IDS_EDIT_EXTRACTED_TAG), [&](tags::Tag_sheet& sheet) {
        EXPECT_EQ(sheet.values().tag_id, "B-2");
        EXPECT_TRUE(locked(path));  // held by the command until the editor closes
        return sheet.ok();
    });
    rig.ui.expect_file(saved);
    download::extract_from_report_command(rig.context);

    ASSERT_EQ(rig.ui.extract_choices.size(), 1u);
    EXPECT_EQ(rig.ui.extract_choices[0].caption, res::str(res::IDS_EXTRACT_DIALOG_CAPTION));
    EXPECT_EQ(rig.ui.extract_choices[0].items, (Lines{"A-1", "B-2", "C-3"}));
    EXPECT_EQ(rig.stored, rig.directory);
    EXPECT_EQ(rig.current, "old.utg");
    EXPECT_FALSE(rig.ui.wait_cursor);
    EXPECT_GE(rig.refreshes, 1);
    Field_table written;
    std::string reason;
    EXPECT_EQ(tags::read_tag_file(saved, written, reason), tags::File_read::ok);
    EXPECT_EQ(written.field_text(f::tag_id), "B-2");
    EXPECT_FALSE(locked(path));
}

TEST(Extract_command, one_tag_asks_nothing_and_no_choice_or_no_file_says_so) {
    Report_files files;
    const std::string one = files.write(report_of(configuration(next_tag), Report_format::text, 0));
    const std::string none = files.write({"nothing here"}, "none.txt");
    {
        Command_rig rig;
        rig.ui.expect_file(one);
        rig.ui.expect_tag_sheet(res::str(res::IDS_EDIT_EXTRACTED_TAG), [](tags::Tag_sheet&) { return false; });
        download::extract_from_report_command(rig.context);
        EXPECT_TRUE(rig.ui.extract_choices.empty());
        EXPECT_EQ(rig.record.field_text(f::tag_id), "NEXT");
    }
    {
        Command_rig rig;
        rig.ui.expect_file(none);
        rig.ui.expect_extract_choice(-1);
        rig.ui.expect_information(res::str(res::IDS_NO_TAG_SELECTED_FOR_EXTRACTION));
        download::extract_from_report_command(rig.context);
        EXPECT_EQ(rig.ui.extract_choices.at(0).items, Lines{});
    }
    {
        Command_rig rig;
        rig.ui.expect_file(one + ".missing");
        rig.ui.expect_error(res::str(res::IDS_FILE_OPEN_ERROR));
        download::extract_from_report_command(rig.context);
        EXPECT_EQ(rig.directory, reports::folder_of(one));
    }
    {
        Command_rig rig;
        rig.ui.expect_file(std::nullopt);
        download::extract_from_report_command(rig.context);
        EXPECT_EQ(rig.directory, "/reports");
    }
}

}  // namespace
