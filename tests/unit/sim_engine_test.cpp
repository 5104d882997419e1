// The simulated calibrator, command by command, in-process.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "demo_tags.h"
#include "download_checks.h"
#include "engine.h"
#include "link/frame.h"

namespace {

// A tag configuration the calibrator accepts: a thermocouple transmitter.
std::vector<std::string> valid_tag(const std::string& id) {
    std::vector<std::string> f(47);
    f[1] = id;
    f[2] = "Veyra";
    f[3] = "SN-1";
    f[4] = "Tech";
    f[9] = "Thermocouple";
    f[10] = "DegC";
    f[11] = "K";
    f[12] = "CJC ON";
    f[16] = "Milliamp";
    f[17] = "mA";
    f[20] = "0.250";
    f[21] = "0.0000";
    f[22] = "400.0000";
    f[23] = "4.0000";
    f[24] = "20.0000";
    f[25] = "3";
    f[26] = "0.0000";
    f[27] = "200.0000";
    f[28] = "400.0000";
    return f;
}

struct Rig {
    explicit Rig(sim::Engine_config config = {}) : engine(std::move(config), time) {}

    std::string ask(const std::string& line) { return engine.handle_line(line); }
    // Sends the command in its frame, as the program does.
    std::string ask_framed(const std::string& command) { return ask(comm::framed_command_text(command)); }
    // The bare value of a framed single-line reply; "FRAME ERROR" when its
    // frame does not check.
    std::string value(const std::string& command, int field = -1) {
        std::string reply = ask_framed(command);
        if (reply.empty() || reply.back() != '\r') return "NO CR: " + reply;
        reply.pop_back();
        return comm::check_response_frame(reply, field, true) ? reply : "FRAME ERROR";
    }
    std::string download_field(int field, int position, const std::string& text) {
        return value("TAG_DNLD " + std::to_string(field) + " " + std::to_string(position) + " " + text);
    }
    // Downloads a whole tag; returns the first reply that is not <Complete>.
    std::string download(const std::vector<std::string>& fields, int position) {
        for (int f = 1; f <= 46; ++f) {
            std::string reply = download_field(f, position, fields[f]);
            if (reply != "<Complete>") return "field " + std::to_string(f) + ": " + reply;
        }
        return "<Complete>";
    }

    sim::Manual_time_source time;
    sim::Engine engine;
};

sim::Engine_config with_identity(const std::string& identity) {
    sim::Engine_config config;
    config.identity = identity;
    return config;
}

TEST(Sim_engine, worked_examples_of_the_frame_hold) {
    Rig rig;
    // An empty calibrator answers the free-space query with 50 free, next 1.
    EXPECT_EQ(rig.ask("TAG_DNLD 0[16879"), "50 1[10370\r");
    ASSERT_EQ(rig.download(valid_tag("TT-101"), 1), "<Complete>");
    sim::Tag_record tag = rig.engine.tags().at(1);
    tag.set(sim::STATE_FIELD, "2");
    rig.engine.tags().put(1, tag);
    EXPECT_EQ(rig.ask("TAG_UPLD 68 1[19044"), "2[10068396\r");
    // Lower-case command letters count as capitals in the checksum.
    EXPECT_EQ(rig.ask("tag_upld 68 1[19044"), "2[10068396\r");
}

TEST(Sim_engine, damaged_command_frames_are_answered_with_error_99_in_a_frame) {
    const std::vector<std::string> damaged = {
        "TAG_DNLD 0[16878",     // checksum off by one
        "TAG_DNLD 0[17879",     // stated length wrong
        "TAG_DNLD 0",           // no frame at all
        "TAG_UPLD 68 1[1904",   // frame cut short
        "TAG_UPLD 68 1]19044",  // no "["
    };
    for (const auto& line : damaged) {
        Rig rig;
        std::string reply = rig.ask(line);
        EXPECT_EQ(reply, comm::frame_reply("<Error 99>", -1) + "\r") << line;
        EXPECT_EQ(rig.engine.tags().count(), 0);
    }
}

struct Identity_case {
    const char* identity;
    bool framed;
    const char* tag_line;  // the TAGS? line of PUMP-1 at position 3, not calibrated
};

TEST(Sim_engine, identity_decides_framing_and_tag_list_form_like_the_program) {
    const std::vector<Identity_case> cases = {
        {"NORVA,TQ740,0,3.00", true, " 3 U PUMP-1"},
        {"NORVA,TQ740,0,3.05-B", true, " 3 U PUMP-1"},
        {"KIRO,615-50K,0,4.10", true, " 3 U PUMP-1"},
        {"NORVA,TQ740,0,2.10", false, "PUMP-1"},
        {"TALMONT,ANY,0,1.00", false, " 3 U PUMP-1"},
        {"NORVA,TQ740-X,0,3.00", false, "PUMP-1"},  // not supported
        {"OK", false, "PUMP-1"},                     // a modem
    };
    for (const auto& c : cases) {
        Rig rig(with_identity(c.identity));
        EXPECT_EQ(rig.ask("*IDN?"), std::string(c.identity) + "\r");
        EXPECT_EQ(rig.engine.capability().framed, c.framed) << c.identity;
        const std::string query = c.framed ? comm::framed_command_text("TAG_DNLD 0") : "TAG_DNLD 0";
        const std::string expected = c.framed ? comm::frame_reply("50 1", -1) : "50 1";
        EXPECT_EQ(rig.ask(query), expected + "\r") << c.identity;

        sim::load_demo_tags(rig.engine.tags());
        std::string tags = rig.ask("TAGS?");
        EXPECT_EQ(tags.substr(0, tags.find('\r')), c.tag_line) << c.identity;
        EXPECT_EQ(tags.substr(tags.size() - 11), "<Complete>\r");
    }
}

TEST(Sim_engine, level_2_tag_lines_mark_calibrated_tags_and_keep_position_order) {
    Rig rig(with_identity("TALMONT,X,0,1.00"));
    sim::load_demo_tags(rig.engine.tags());
    std::string tags = rig.ask("TAGS?");
    EXPECT_NE(tags.find("\r17 C TT-204\r"), std::string::npos) << tags;
    EXPECT_LT(tags.find(" 3 U PUMP-1"), tags.find("17 C TT-204"));
}

TEST(Sim_engine, serial_number_by_command_and_as_field_129_of_an_empty_calibrator) {
    sim::Engine_config config;
    config.serial = "9876543";
    Rig rig(config);
    EXPECT_EQ(rig.ask("GET_SN"), "9876543\r");
    EXPECT_EQ(rig.value("TAG_UPLD 129 1", 129), "9876543");
}

std::time_t local_time(int year, int month, int day, int hour, int minute, int second) {
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(Sim_engine, clock_reads_host_time_plus_offset_with_a_space_for_a_one_digit_hour) {
    sim::Engine_config config;
    config.clock_offset = 3600;
    Rig rig(config);
    rig.time.set_wall(local_time(2024, 6, 15, 6, 7, 8));
    EXPECT_EQ(rig.ask("GET_CLOCK"), "2024/06/15  7:07:08\r");
    rig.time.set_wall(local_time(2024, 6, 15, 13, 0, 59));
    EXPECT_EQ(rig.ask("get_clock"), "2024/06/15 14:00:59\r");
}

TEST(Sim_engine, set_clock_moves_the_calibrator_clock_and_refuses_impossible_dates) {
    Rig rig;
    rig.time.set_wall(local_time(2024, 6, 15, 12, 0, 0));
    EXPECT_EQ(rig.ask("SET_CLOCK 2024 2 29 23 59 58"), "<Complete>\r");
    EXPECT_EQ(rig.ask("GET_CLOCK"), "2024/02/29 23:59:58\r");
    rig.time.set_wall(rig.time.wall_now() + 2);
    EXPECT_EQ(rig.ask("GET_CLOCK"), "2024/03/01  0:00:00\r");

    const std::vector<std::string> impossible = {
        "SET_CLOCK 2023 2 29 1 0 0", "SET_CLOCK 2024 4 31 1 0 0", "SET_CLOCK 2024 13 1 1 0 0",
        "SET_CLOCK 2024 0 1 1 0 0",  "SET_CLOCK 2024 1 1 24 0 0", "SET_CLOCK 2024 1 1 1 60 0",
        "SET_CLOCK 2024 1 1 1 0 60", "SET_CLOCK 2024 1 1 1 0",    "SET_CLOCK 2024 1 1 1 0 0 0",
        "SET_CLOCK 2024 1 x 1 0 0",  "SET_CLOCK",                 "SET_CLOCK 1999 1 1 1 0 0",
    };
    for (const auto& command : impossible) EXPECT_EQ(rig.ask(command), "<Date or time invalid>\r") << command;
    EXPECT_EQ(rig.ask("GET_CLOCK"), "2024/03/01  0:00:00\r");  // unchanged
}

TEST(Sim_engine, empty_calibrator_reports_no_tags) {
    Rig rig;
    EXPECT_EQ(rig.ask("TAGS?"), "<No tags available>\r");
    EXPECT_EQ(rig.ask("TAG_CLEAR_ALL"), "<No tags available>\r");
    EXPECT_EQ(rig.ask("TAG_SEND_ALL"), "<No tags available>\r");
    EXPECT_EQ(rig.value("TAG_UPLD 68 50", 68), "0");
    EXPECT_EQ(rig.value("TAG_UPLD 1 50", 1), "<Error 16>");
}

TEST(Sim_engine, clear_all_erases_every_tag) {
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    const auto before = rig.engine.change_count();
    EXPECT_EQ(rig.ask("TAG_CLEAR_ALL"), "<Complete>\r");
    EXPECT_EQ(rig.engine.tags().count(), 0);
    EXPECT_GT(rig.engine.change_count(), before);
    EXPECT_EQ(rig.value("TAG_DNLD 0"), "50 1");
}

struct Clear_case {
    const char* command;
    const char* reply;
    bool erased;
};

TEST(Sim_engine, clear_one_tag_finds_ids_without_regard_to_case) {
    const std::vector<Clear_case> cases = {
        {"TAG_CLEAR PUMP-1", "<Complete>", true},
        {"TAG_CLEAR pump-1", "<Complete>", true},
        {"tag_clear Pump-1", "<Complete>", true},
        {"TAG_CLEARPUMP-1", "<No space between command and parameter>", false},
        {"TAG_CLEAR", "<No space between command and parameter>", false},
        {"TAG_CLEAR pump-9", "<Tag [PUMP-9] not found>", false},
        {"TAG_CLEAR  PUMP-1", "<Tag [ PUMP-1] not found>", false},
    };
    for (const auto& c : cases) {
        Rig rig;
        sim::load_demo_tags(rig.engine.tags());
        EXPECT_EQ(rig.ask(c.command), std::string(c.reply) + "\r") << c.command;
        EXPECT_EQ(rig.engine.tags().in_use(3), !c.erased) << c.command;
        EXPECT_TRUE(rig.engine.tags().in_use(17)) << c.command;
    }
}

TEST(Sim_engine, download_of_a_whole_tag_stores_it_at_the_free_position) {
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    EXPECT_EQ(rig.value("TAG_DNLD 0"), "37 1");
    std::vector<std::string> tag = valid_tag("tt-101");
    tag[20] = tag[21] = tag[22] = tag[23] = tag[24] = "";  // tolerance disabled
    tag[9] = "thermocouple";                               // choices ignore case
    tag[12] = "cjc off";
    EXPECT_EQ(rig.download(tag, 1), "<Complete>");
    EXPECT_EQ(rig.value("TAG_DNLD 0"), "36 2");
    EXPECT_EQ(rig.value("TAG_UPLD 68 1", 68), "1");
    EXPECT_EQ(rig.value("TAG_UPLD 1 1", 1), "tt-101");
    EXPECT_EQ(rig.value("TAG_UPLD 9 1", 9), "Thermocouple");
    EXPECT_EQ(rig.value("TAG_UPLD 12 1", 12), "CJC OFF");
    EXPECT_EQ(rig.value("TAG_UPLD 20 1", 20), "NONE");
    EXPECT_EQ(rig.value("TAG_UPLD 27 1", 27), "200.0000");
    EXPECT_EQ(rig.value("TAG_UPLD 7 1", 7), "");
    // The same ID again, in other letters, is a duplicate.
    EXPECT_EQ(rig.download_field(1, 2, "TT-101"), "<Error 7>");
}

struct Sequence_case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> steps;  // command (framed when sent), expected value
};

TEST(Sim_engine, download_sequence_and_position_errors) {
    const std::vector<Sequence_case> cases = {
        {"field 2 without field 1", {{"TAG_DNLD 2 1 x", "<Error 2>"}}},
        {"field skipped", {{"TAG_DNLD 1 1 A", "<Complete>"}, {"TAG_DNLD 3 1 x", "<Error 2>"}}},
        {"field repeated", {{"TAG_DNLD 1 1 A", "<Complete>"}, {"TAG_DNLD 1 1 B", "<Complete>"},
                            {"TAG_DNLD 2 1 m", "<Complete>"}, {"TAG_DNLD 2 1 m", "<Error 2>"}}},
        {"other position", {{"TAG_DNLD 1 1 A", "<Complete>"}, {"TAG_DNLD 2 4 m", "<Error 5>"}}},
        {"position in use", {{"TAG_DNLD 1 3 A", "<Error 4>"}}},
        {"position 0", {{"TAG_DNLD 1 0 A", "<Error 3>"}}},
        {"position 51", {{"TAG_DNLD 1 51 A", "<Error 3>"}}},
        {"position missing", {{"TAG_DNLD 1", "<Error 3>"}}},
        {"position not a number", {{"TAG_DNLD 1 x A", "<Error 3>"}}},
        {"field 47", {{"TAG_DNLD 47 1 A", "<Error 1>"}}},
        {"field 0 with a position", {{"TAG_DNLD 0 1 A", "<Error 1>"}}},
        {"field not a number", {{"TAG_DNLD x 1 A", "<Error 1>"}}},
        {"no space", {{"TAG_DNLD0", "<Error 1>"}}},
        {"restart elsewhere", {{"TAG_DNLD 1 1 A", "<Complete>"}, {"TAG_DNLD 1 2 A", "<Complete>"},
                               {"TAG_DNLD 2 2 m", "<Complete>"}}},
        {"refused value keeps the place", {{"TAG_DNLD 1 1 A", "<Complete>"}, {"TAG_DNLD 2 1 12345678901234567", "<Error 6>"},
                                           {"TAG_DNLD 2 1 m", "<Complete>"}}},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.engine.tags().put(3, [] { sim::Tag_record r; r.set(1, "USED"); r.set(68, "1"); return r; }());
        for (const auto& [command, expected] : c.steps) EXPECT_EQ(rig.value(command), expected) << c.name << ": " << command;
    }
}

TEST(Sim_engine, a_blank_value_may_end_the_command_after_the_position) {
    Rig rig;
    EXPECT_EQ(rig.download_field(1, 1, "A"), "<Complete>");
    EXPECT_EQ(rig.value("TAG_DNLD 2 1 "), "<Complete>");
    EXPECT_EQ(rig.value("TAG_DNLD 3 1"), "<Complete>");
}

TEST(Sim_engine, calibrate_downloads_leaves_a_calibrated_tag_with_readings) {
    sim::Engine_config config;
    config.calibrate_downloads = true;
    Rig rig(config);
    rig.time.set_wall(local_time(2025, 4, 2, 10, 30, 0));
    ASSERT_EQ(rig.download(valid_tag("TT-101"), 1), "<Complete>");
    EXPECT_EQ(rig.value("TAG_UPLD 68 1", 68), "2");
    for (int point = 1; point <= 3; ++point) {
        for (int field : {25 + point, 46 + point, 76 + point, 97 + point}) {
            double value = 0;
            EXPECT_TRUE(sim::parse_strict_float(rig.value("TAG_UPLD " + std::to_string(field) + " 1", field), value))
                << field;
        }
    }
    EXPECT_EQ(rig.value("TAG_UPLD 29 1", 29), "");  // beyond the three points
    EXPECT_EQ(rig.value("TAG_UPLD 119 1", 119), "2025");
    EXPECT_EQ(rig.value("TAG_UPLD 122 1", 122), "10");
    EXPECT_EQ(rig.value("TAG_UPLD 123 1", 123), "30");
}

struct Upload_case {
    const char* command;
    int field;
    const char* value;
};

TEST(Sim_engine, upload_answers_stored_fields_and_refuses_bad_numbers) {
    const std::vector<Upload_case> cases = {
        {"TAG_UPLD 1 17", 1, "TT-204"},
        {"TAG_UPLD 11 17", 11, "K"},
        {"TAG_UPLD 68 17", 68, "2"},
        {"TAG_UPLD 68 3", 68, "1"},
        {"TAG_UPLD 68 4", 68, "0"},
        {"TAG_UPLD 1 4", 1, "<Error 16>"},
        {"TAG_UPLD 68 51", 68, "<Error 16>"},
        {"TAG_UPLD 0 17", -1, "<Error 15>"},
        {"TAG_UPLD 130 17", -1, "<Error 15>"},
        {"TAG_UPLD x 17", -1, "<Error 15>"},
        {"TAG_UPLD 1", 1, "<Error 16>"},
        {"TAG_UPLD 14 30", 14, "COUNTS"},
        {"TAG_UPLD 50 17", 50, "16.3120"},
        {"TAG_UPLD 47 26", 47, "UNDER"},
        {"TAG_UPLD 74 8", 74, "0"},
    };
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    for (const auto& c : cases) EXPECT_EQ(rig.value(c.command, c.field), c.value) << c.command;
}

TEST(Sim_engine, report_commands_answer_complete_and_choose_the_layout) {
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    EXPECT_EQ(rig.ask("REPORT_CSV"), "<Complete>\r");
    EXPECT_EQ(rig.engine.report_format(), sim::Report_format::csv);
    EXPECT_EQ(rig.ask("REPORT_TXT"), "<Complete>\r");
    EXPECT_EQ(rig.engine.report_format(), sim::Report_format::text);
    EXPECT_EQ(rig.ask("TAG_SEND_ALL").rfind("Tag ID: PT-101\r", 0), 0u);
    EXPECT_EQ(rig.ask("TAG_SEND tt-204").rfind("Tag ID: TT-204\r", 0), 0u);
    EXPECT_EQ(rig.ask("TAG_SEND nope"), "<Tag [NOPE] not found>\r");
    EXPECT_EQ(rig.ask("TAG_SENDTT-204"), "<No space between command and parameter>\r");
}

// A renderer that writes one line per tag, to see what the engine asks for.
class Id_renderer : public sim::Report_renderer {
public:
    void render(const sim::Tag_record& tag, sim::Report_format format, const sim::Report_context& context,
                std::vector<std::string>& lines) override {
        lines.push_back((format == sim::Report_format::csv ? "\"Tag ID:\"," : "Tag ID: ") + tag.tag_id() + " " +
                        context.serial_number);
    }
};

TEST(Sim_engine, a_plugged_report_renderer_supplies_the_lines_of_calibrated_tags) {
    Rig rig;
    sim::load_demo_tags(rig.engine.tags());
    rig.engine.set_report_renderer(std::make_unique<Id_renderer>());
    std::string all = rig.ask("TAG_SEND_ALL");
    EXPECT_EQ(all.find("PUMP-1"), std::string::npos);  // not calibrated
    EXPECT_EQ(all.rfind("Tag ID: PT-101 1234567\r", 0), 0u);
    EXPECT_EQ(all.substr(all.size() - 11), "<Complete>\r");
    rig.ask("REPORT_CSV");
    EXPECT_EQ(rig.ask("TAG_SEND tt-204"), "\"Tag ID:\",TT-204 1234567\r<Complete>\r");
    EXPECT_EQ(rig.ask("TAG_SEND pump-1"), "<Complete>\r");
}

TEST(Sim_engine, unknown_commands_get_the_invalid_command_line) {
    Rig rig;
    for (const char* line : {"", "HELLO", "*IDN", "TAGS", "TAGS? ", "REPORT_PDF", "GET_SNX"})
        EXPECT_EQ(rig.ask(line), "<Invalid command>\r") << line;
    EXPECT_EQ(rig.engine.handle_overlong_line(), "<Invalid command>\r");
}

// Faults.

TEST(Sim_faults, document_mode_answers_every_command_the_same) {
    sim::Engine_config config;
    config.faults.document_mode = true;
    Rig rig(config);
    for (const char* line : {"*IDN?", "GET_CLOCK", "TAG_DNLD 0[16879", "junk"})
        EXPECT_EQ(rig.ask(line), "<Exit DOCUMENT mode>\r") << line;
}

TEST(Sim_faults, silent_answers_nothing) {
    sim::Engine_config config;
    config.faults.silent = true;
    Rig rig(config);
    EXPECT_EQ(rig.ask("*IDN?"), "");
    EXPECT_EQ(rig.engine.handle_overlong_line(), "");
}

TEST(Sim_faults, every_nth_command_goes_unanswered) {
    sim::Engine_config config;
    config.faults.drop_reply_every = 3;
    Rig rig(config);
    std::vector<bool> answered;
    for (int i = 0; i < 7; ++i) answered.push_back(!rig.ask("GET_SN").empty());
    EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false, true}));
}

TEST(Sim_faults, every_nth_framed_reply_has_a_damaged_frame) {
    sim::Engine_config config;
    config.faults.corrupt_frame_every = 2;
    Rig rig(config);
    EXPECT_EQ(rig.value("TAG_DNLD 0"), "50 1");
    EXPECT_EQ(rig.ask("GET_SN"), "1234567\r");  // unframed replies are not counted
    EXPECT_EQ(rig.value("TAG_DNLD 0"), "FRAME ERROR");
    EXPECT_EQ(rig.value("TAG_DNLD 0"), "50 1");
    std::string damaged = rig.ask_framed("TAG_DNLD 0");
    EXPECT_EQ(damaged.substr(0, 7), "50 1[10");
    EXPECT_NE(damaged, "50 1[10370\r");
}

TEST(Sim_faults, every_nth_reply_lacks_its_cr) {
    sim::Engine_config config;
    config.faults.no_cr_every = 2;
    Rig rig(config);
    sim::load_demo_tags(rig.engine.tags());
    EXPECT_EQ(rig.ask("GET_SN"), "1234567\r");
    EXPECT_EQ(rig.ask("GET_SN"), "1234567");
    // A multi-line reply loses the CR of its closing line only.
    rig.ask("GET_SN");
    std::string tags = rig.ask("TAGS?");
    EXPECT_EQ(tags.substr(tags.size() - 11), "\r<Complete>");
}

TEST(Sim_faults, lf_instead_of_cr_ends_every_line_with_lf) {
    sim::Engine_config config;
    config.faults.lf_instead_of_cr = true;
    Rig rig(config);
    EXPECT_EQ(rig.ask("GET_SN"), "1234567\n");
    EXPECT_EQ(rig.ask("TAGS?"), "<No tags available>\n");
}

TEST(Sim_faults, error_on_field_refuses_that_field_in_download_and_upload) {
    sim::Engine_config config;
    config.faults.error_on_field[21] = 11;
    config.faults.error_on_field[68] = 16;
    Rig rig(config);
    EXPECT_EQ(rig.download(valid_tag("TT-101"), 1), "field 21: <Error 11>");
    EXPECT_EQ(rig.value("TAG_UPLD 68 1", 68), "<Error 16>");
    EXPECT_EQ(rig.value("TAG_UPLD 21 1", 21), "<Error 11>");
}

}  // namespace
