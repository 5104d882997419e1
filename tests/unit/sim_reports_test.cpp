// The simulated level 1 calibrator's own reports: REPORT_TXT / REPORT_CSV,
// TAG_SEND_ALL and TAG_SEND id, in-process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_tags.h"
#include "engine.h"
#include "link/capability.h"
#include "reports/field_table.h"
#include "reports/report_layout.h"

namespace {

const std::string LEVEL_1 = "NORVA,TQ740,0,2.10";

sim::Tag_record make_tag(const std::vector<std::pair<int, std::string>>& fields) {
    sim::Tag_record tag;
    for (const auto& [field, value] : fields) tag.set(field, value);
    return tag;
}

// A calibrated thermocouple transmitter with two points, one failing As Found.
sim::Tag_record thermocouple_tag() {
    return make_tag({{1, "TT-1"}, {2, "Veyra"}, {3, "SN-1"}, {4, "Tech"}, {5, "21 C"}, {6, "45 %"}, {7, "Bench"},
                     {8, "TX-5"}, {9, "Thermocouple"}, {10, "DegC"}, {11, "K"}, {12, "CJC ON"}, {16, "Milliamp"},
                     {17, "mA"}, {20, "0.250"}, {21, "0.0000"}, {22, "400.0000"}, {23, "4.0000"}, {24, "20.0000"},
                     {25, "2"}, {26, "0.0000"}, {27, "400.0000"}, {47, "4.0130"}, {48, "20.2000"}, {68, "2"},
                     {72, "0"}, {73, "0"}, {74, "0"}, {75, "0"}, {76, "0"}, {77, "0.0000"}, {78, "400.0000"},
                     {98, "4.0030"}, {99, "19.9970"}, {119, "2025"}, {120, "3"}, {121, "5"}, {122, "13"},
                     {123, "30"}, {124, "15"}, {125, "2024"}, {126, "9"}, {127, "16"}, {128, "0"}});
}

// A calibrated pressure transmitter with tolerance testing disabled and a
// pressure module without a calibration date.
sim::Tag_record pressure_tag() {
    return make_tag({{1, "PT-9"}, {2, "Kestrel"}, {3, "P9-1"}, {4, "Tech"}, {5, "20 C"}, {6, "40 %"}, {8, "PT-9X"},
                     {9, "Pressure"}, {10, "psi"}, {16, "Milliamp"}, {17, "mA"}, {20, "NONE"}, {25, "1"},
                     {26, "50.0000"}, {47, "12.0100"}, {68, "2"}, {69, "700P07"}, {70, "G"}, {71, "100"},
                     {72, "2024"}, {73, "5"}, {74, "0"}, {75, "0"}, {76, "0"}, {77, "50.0000"}, {98, "11.9990"},
                     {119, "2025"}, {120, "3"}, {121, "6"}, {122, "9"}, {123, "5"}, {124, "0"}, {125, "2024"},
                     {126, "9"}, {127, "16"}, {128, "0"}});
}

// The same tag, downloaded but not calibrated.
sim::Tag_record not_calibrated_tag() {
    sim::Tag_record tag = thermocouple_tag();
    tag.set(1, "TT-2");
    tag.set(68, "1");
    return tag;
}

// The signature and comments block that closes every report.
std::vector<std::string> closing_lines(bool csv) {
    const std::string pad = csv ? "\"                     \"" : "                     ";
    const std::string rule = "______________________________";
    std::vector<std::string> lines;
    auto pads = [&](int n) { lines.insert(lines.end(), n, pad); };
    pads(4);
    lines.push_back(csv ? "\"Technician Signature\",\"" + rule + "\"" : "Technician Signature " + rule);
    pads(4);
    lines.push_back(csv ? "\"Approval Signature\",\"" + rule + "\"" : "Approval Signature   " + rule);
    pads(4);
    lines.push_back(csv ? "\"Date\",\"" + rule + "\"" : "Date                 " + rule);
    pads(1);
    lines.push_back(csv ? "\"Comments:\"" : "Comments:");
    pads(15);
    return lines;
}

std::vector<std::string> with_closing(std::vector<std::string> lines, bool csv) {
    for (auto& line : closing_lines(csv)) lines.push_back(line);
    return lines;
}

const std::vector<std::string> THERMOCOUPLE_TXT = with_closing({
    "Tag ID: TT-1",
    "Calibrated: 2025/03/05 13:30:15",
    "Manufacturer:  Veyra",
    "Model Number:  TX-5",
    "Serial Number: SN-1",
    "Technician: Tech",
    "Ambient conditions:",
    "   Temperature: 21 C",
    "   Humidity:    45 %",
    "Other information: Bench",
    "Tolerance: 0.250%",
    "Instrument:",
    "   Input type:  Thermocouple K, DegC",
    "      CJC ON",
    "      Range:   0.0000 to 400.0000",
    "   Output type: Milliamp, mA",
    "      Range:   4.0000 to  20.0000",
    "Calibrator: NORVA TQ740 S/N 1234567",
    "   Last Cal.: 2024/09/16",
    "",
    "As Found Data",
    "Point       DegC         mA  % Error",
    "  1       0.0000     4.0130    0.081  Pass",
    "  2     400.0000    20.2000    1.250  Fail",
    "",
    "As Left Data",
    "Point       DegC         mA  % Error",
    "  1       0.0000     4.0030    0.019  Pass",
    "  2     400.0000    19.9970   -0.019  Pass",
}, false);

const std::vector<std::string> PRESSURE_TXT = with_closing({
    "Tag ID: PT-9",
    "Calibrated: 2025/03/06 9:05:00",
    "Manufacturer:  Kestrel",
    "Model Number:  PT-9X",
    "Serial Number: P9-1",
    "Technician: Tech",
    "Ambient conditions:",
    "   Temperature: 20 C",
    "   Humidity:    40 %",
    "Other information: ",
    "Tolerance: None",
    "Instrument:",
    "   Input type:  Pressure, psi",
    "          700P07 No Cal avl",
    "      100 psi G",
    "   Output type: Milliamp, mA",
    "Calibrator: NORVA TQ740 S/N 1234567",
    "   Last Cal.: 2024/09/16",
    "",
    "As Found Data",
    "Point        psi         mA",
    "  1      50.0000    12.0100  ",
    "",
    "As Left Data",
    "Point        psi         mA",
    "  1      50.0000    11.9990  ",
}, false);

const std::vector<std::string> PRESSURE_CSV = with_closing({
    "\"Tag ID:\",\"PT-9\"",
    "\"Calibrated:\",\"2025/03/06 9:05:00\"",
    "\"Manufacturer:\",\"Kestrel\"",
    "\"Model Number:\",\"PT-9X\"",
    "\"Serial Number:\",\"P9-1\"",
    "\"Technician:\",\"Tech\"",
    "\"Ambient conditions:\"",
    "\"Temperature:\",\"20 C\"",
    "\"Humidity:\",\"40 %\"",
    "\"Other information:\",\"\"",
    "\"Tolerance:\",\"None\"",
    "\"Instrument:\"",
    "\"Input type:\",\"Pressure, psi\"",
    "\"    700P07 No Cal avl\"",
    "\"100 psi G\"",
    "\"Output type:\",\"Milliamp, mA\"",
    "\"Calibrator:\",\"NORVA TQ740 S/N 1234567\"",
    "\"Last Cal.:\",\"2024/09/16\"",
    "",
    "\"As Found Data\"",
    "\"Point\",\"psi\",\"mA\"",
    "\"1\",\"50.0000\",\"12.0100\",",
    "",
    "\"As Left Data\"",
    "\"Point\",\"psi\",\"mA\"",
    "\"1\",\"50.0000\",\"11.9990\",",
}, true);

// The reply bytes of report lines and a closing line, each ended by CR.
std::string reply_of(const std::vector<std::vector<std::string>>& reports, const std::string& closing) {
    std::string bytes;
    for (const auto& report : reports)
        for (const auto& line : report) bytes += line + "\r";
    return bytes + closing + "\r";
}

// The reply split into its lines (each ended by CR).
std::vector<std::string> reply_lines(const std::string& reply) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t cr = reply.find('\r'); cr != std::string::npos; cr = reply.find('\r', start)) {
        lines.push_back(reply.substr(start, cr - start));
        start = cr + 1;
    }
    EXPECT_EQ(start, reply.size()) << "reply does not end with CR";
    return lines;
}

struct Rig {
    explicit Rig(const std::string& identity = LEVEL_1, const std::string& serial = "1234567")
        : engine(config(identity, serial), time) {}

    static sim::Engine_config config(const std::string& identity, const std::string& serial) {
        sim::Engine_config c;
        c.identity = identity;
        c.serial = serial;
        return c;
    }
    // Positions 2 (not calibrated), 4 and 9.
    void load_three() {
        engine.tags().put(9, pressure_tag());
        engine.tags().put(2, not_calibrated_tag());
        engine.tags().put(4, thermocouple_tag());
    }
    std::string ask(const std::string& line) { return engine.handle_line(line); }

    sim::Manual_time_source time;
    sim::Engine engine;
};

TEST(Sim_reports, report_txt_then_tag_send_all_sends_every_calibrated_tag_in_position_order) {
    Rig rig;
    rig.load_three();
    EXPECT_EQ(rig.ask("REPORT_TXT"), "<Complete>\r");
    EXPECT_EQ(rig.ask("TAG_SEND_ALL"), reply_of({THERMOCOUPLE_TXT, PRESSURE_TXT}, "<Complete>"));
}

TEST(Sim_reports, the_layout_stays_as_chosen_until_the_next_report_command) {
    Rig rig;
    rig.load_three();
    // The calibrator starts with the text layout.
    EXPECT_EQ(rig.ask("TAG_SEND PT-9"), reply_of({PRESSURE_TXT}, "<Complete>"));
    EXPECT_EQ(rig.ask("REPORT_CSV"), "<Complete>\r");
    EXPECT_EQ(rig.ask("TAG_SEND PT-9"), reply_of({PRESSURE_CSV}, "<Complete>"));
    EXPECT_EQ(rig.ask("TAG_SEND_ALL").find("\"Tag ID:\",\"TT-1\"\r"), 0u);
    EXPECT_EQ(rig.ask("report_txt"), "<Complete>\r");
    EXPECT_EQ(rig.ask("TAG_SEND PT-9"), reply_of({PRESSURE_TXT}, "<Complete>"));
}

TEST(Sim_reports, tag_send_finds_the_tag_whatever_the_case_of_its_id) {
    Rig rig;
    rig.load_three();
    rig.ask("REPORT_CSV");
    const std::string expected = reply_of({PRESSURE_CSV}, "<Complete>");
    for (const char* command : {"TAG_SEND PT-9", "TAG_SEND pt-9", "tag_send Pt-9", "Tag_Send pT-9"})
        EXPECT_EQ(rig.ask(command), expected) << command;
}

TEST(Sim_reports, tag_send_answers_unknown_and_not_calibrated_tags_with_the_closing_line_only) {
    struct Case {
        const char* command;
        const char* reply;
    };
    const Case cases[] = {
        {"TAG_SEND NOPE", "<Tag [NOPE] not found>\r"},
        {"TAG_SEND tt-9x", "<Tag [TT-9X] not found>\r"},
        {"TAG_SEND  PT-9", "<Tag [ PT-9] not found>\r"},  // the ID is everything after one space
        {"TAG_SEND PT-9 ", "<Tag [PT-9 ] not found>\r"},
        {"TAG_SEND ", "<Tag [] not found>\r"},
        {"TAG_SENDPT-9", "<No space between command and parameter>\r"},
        {"TAG_SEND tt-2", "<Complete>\r"},  // stored, not calibrated: no report
    };
    Rig rig;
    rig.load_three();
    for (const auto& c : cases) EXPECT_EQ(rig.ask(c.command), c.reply) << c.command;
}

TEST(Sim_reports, tag_send_all_without_a_calibrated_tag_says_no_tags) {
    Rig rig;
    EXPECT_EQ(rig.ask("TAG_SEND_ALL"), "<No tags available>\r");
    rig.engine.tags().put(2, not_calibrated_tag());
    EXPECT_EQ(rig.ask("TAG_SEND_ALL"), "<No tags available>\r");
}

TEST(Sim_reports, a_reply_line_keeps_printable_text_and_at_most_59_characters) {
    struct Case {
        std::string line;
        std::string sent;
    };
    const Case cases[] = {
        {"", ""},
        {"Tag ID: A", "Tag ID: A"},
        {std::string(59, 'x'), std::string(59, 'x')},
        {std::string(60, 'x'), std::string(59, 'x')},
        {std::string(250, 'y'), std::string(59, 'y')},
        {"a\tb\rc\nd", "a?b?c?d"},
        {"caf\xC3\xA9 \x7F", "caf?? ?"},
    };
    for (const auto& c : cases) EXPECT_EQ(sim::fit_reply_line(c.line), c.sent) << c.line;
}

TEST(Sim_reports, lines_made_too_long_by_the_calibrator_identity_are_cut_to_fit) {
    // A 40-character serial number makes the Calibrator line 78 characters.
    const std::string serial(40, '7');
    Rig rig(LEVEL_1, serial);
    rig.load_three();
    std::vector<std::string> lines = reply_lines(rig.ask("TAG_SEND TT-1"));
    ASSERT_EQ(lines.size(), THERMOCOUPLE_TXT.size() + 1);
    for (size_t i = 0; i < THERMOCOUPLE_TXT.size(); ++i) {
        if (THERMOCOUPLE_TXT[i].rfind("Calibrator:", 0) == 0)
            EXPECT_EQ(lines[i], ("Calibrator: NORVA TQ740 S/N " + serial).substr(0, 59));
        else
            EXPECT_EQ(lines[i], THERMOCOUPLE_TXT[i]);
    }
    EXPECT_EQ(lines.back(), "<Complete>");
}

TEST(Sim_reports, a_not_found_line_for_a_long_id_is_cut_but_still_names_the_tag) {
    Rig rig;
    const std::string id(80, 'q');
    EXPECT_EQ(rig.ask("TAG_SEND " + id), ("<Tag [" + std::string(80, 'Q')).substr(0, 59) + "\r");
}

// The demonstration tags as a level 1 calibrator reports them: every line fits
// the program's reply buffer, and every signal description appears.
TEST(Sim_reports, demonstration_reports_fit_and_show_every_signal_description) {
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    for (const char* command : {"REPORT_TXT", "REPORT_CSV"}) {
        rig.ask(command);
        for (const std::string& line : reply_lines(rig.ask("TAG_SEND_ALL")))
            EXPECT_LE(line.size(), sim::MAX_REPLY_CHARS) << command << ": " << line;
    }
    rig.ask("REPORT_TXT");
    const std::string all = rig.ask("TAG_SEND_ALL");
    // Each text with the line that must follow it.
    const std::pair<const char*, const char*> expected[] = {
        {"   Input type:  Milliamp, mA\r", "      Range: "},
        {"   Input type:  Milliamp 2W SIM, mA\r", "      Range: "},
        {"   Input type:  Volts, V\r", "      Range: "},
        {"   Input type:  Thermocouple K, DegC\r", "      CJC ON\r"},
        {"   Input type:  RTD P100-392, DegF\r", "      Range: "},
        {"   Input type:  Frequency, Hz\r", "      Level: 5.0 Vpp\r"},
        {"   Input type:  Pulse, Hz\r      Level: 10.0 Vpp\r", "      Fixed: 1000 Cnts\r"},
        {"   Input type:  Pulse, Cnts\r      Level: 5.0 Vpp\r", "      Fixed: 50.0 kHz\r"},
        {"   Input type:  Pressure, psi\r", "      700P07 2024/03/04\r      100 psi G\r"},
        {"   Input type:  Pressure, bar\r", "          700P07 No Cal avl\r      100 psi G\r"},
        {"   Input type:  Manual, DegC\r", "   Output type: "},  // tolerance disabled: no range
        {"   Output type: Milliamp, mA\r", "      Range: "},
        {"   Output type: Milliamp Loop, mA\r", "      Range: "},
        {"   Output type: Volts, V\r", "      Range: "},
        {"   Output type: Thermocouple J, DegC\r", "      CJC ON\r"},
        {"   Output type: RTD 3W P100-385, DegC\r", "      Range: "},
        {"   Output type: Frequency, Hz\r", "      Range: "},  // no Level line for an output
        {"   Output type: Pressure, psi\r", "      700P07 2024/03/12\r      100 psi G\r"},
        {"   Output type: Manual, %\r", "      Range: "},
        {"Tolerance: None\r", "Instrument:\r"},
        {"    OVER  ", ""},
        {"    UNDER  ", ""},
    };
    for (const auto& [text, next] : expected) {
        const std::string both = std::string(text) + next;
        EXPECT_NE(all.find(both), std::string::npos) << both;
    }
    // Not-calibrated tags send no report.
    for (const char* id : {"PUMP-1", "HS-700"}) EXPECT_EQ(all.find(id), std::string::npos) << id;
    EXPECT_EQ(all.substr(all.size() - 11), "<Complete>\r");
}

// A level 1 calibrator's report of a tag equals the program's own rendering
// of the fields it would upload from the same tag with TAG_UPLD.
TEST(Sim_reports, level_1_reports_equal_the_program_rendering_of_the_uploaded_fields) {
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    comm::Calibrator_identity identity;
    ASSERT_TRUE(comm::parse_identity(LEVEL_1, identity));
    int reports = 0;
    for (int p = 1; p <= sim::MAX_TAGS; ++p) {
        const sim::Tag_record& tag = rig.engine.tags().at(p);
        if (!rig.engine.tags().in_use(p) || !tag.calibrated()) continue;
        ++reports;
        reports::Field_table table;
        table.reset_tag_fields();
        table.store_field(reports::fields::calibrator_manufacturer, identity.manufacturer);
        table.store_field(reports::fields::calibrator_model, identity.model);
        std::string serial = rig.ask("GET_SN");
        serial.pop_back();  // CR
        table.store_field(reports::fields::queried_serial, serial);
        for (int field : reports::tag_request_plan(tag.points())) {
            std::string value = rig.ask("TAG_UPLD " + std::to_string(field) + " " + std::to_string(p));
            ASSERT_FALSE(value.empty());
            value.pop_back();  // CR
            table.store_field(field, value);
        }
        table.complete_tag_fields();
        for (auto format : {reports::Report_format::text, reports::Report_format::csv}) {
            rig.ask(format == reports::Report_format::text ? "REPORT_TXT" : "REPORT_CSV");
            std::vector<std::string> expected = reports::report_lines(table, format, "", 0);
            expected.push_back("<Complete>");
            EXPECT_EQ(reply_lines(rig.ask("TAG_SEND " + tag.tag_id())), expected) << tag.tag_id();
        }
    }
    EXPECT_EQ(reports, 11);
}

}  // namespace
