// The identity and clock checks and the Calibrator Identity command.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "link/checks.h"
#include "link/frame.h"
#include "support/link_rig.h"

namespace {

using comm::Result_code;
using test::Link_rig;

const std::string NO_RESPONSE =
    "Calibrator failed to respond during the operation.\nCheck calibrator power status and communications "
    "cables.\nTry operation again.";
const std::string NOT_IDENTITY =
    "Response received was not valid for a device identity request.  Check COM port setting.  Device connected "
    "may be a modem or other non-calibrator device.";
const std::string NOT_SUPPORTED = "Calibrator is not supported.";
const std::string CLOCK_FAILED = "Time and date verification failed.  Try operation again.";
const std::string DISABLE_CHECK = "Disable time synchronization check for the remainder of this session?";
const std::string VERIFYING_IDENTITY = "Verifying calibrator type and version.  Please wait.";
const std::string VERIFYING_CLOCK = "Verifying calibrator time and date.  Please wait.";
const std::string REFRESHED = "<configured format and port>";

// Runs a test under a fixed time zone and puts the old one back afterwards.
class Time_zone {
public:
    explicit Time_zone(const char* tz) {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~Time_zone() {
        if (had_) ::setenv("TZ", old_.c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool had_ = false;
    std::string old_;
};

class Check_test : public ::testing::Test {
protected:
    Check_test() {
        session.refresh_status_line = [this] { rig.ui.set_status(REFRESHED); };
    }

    Link_rig rig;
    comm::Calibrator_session session{rig.link};
};

// ---- query_identity ----

struct Identity_case {
    const char* name;
    std::string reply;  // bytes sent back to "*IDN?"
    Result_code expected;
    std::string manufacturer, model;
    int major, minor;
    std::string suffix;
    int reopens;
};

TEST_F(Check_test, query_identity_parses_and_rejects) {
    const std::vector<Identity_case> cases = {
        {"level_1", "NORVA,TQ740,0,2.10\r", comm::RESULT_OK, "NORVA", "TQ740", 2, 10, "", 0},
        {"suffix", "NORVA,TQ740,0,3.00-B\r", comm::RESULT_OK, "NORVA", "TQ740", 3, 0, "-B", 0},
        {"long_suffix", "HALDEN,PXT2600,77A,12.345-rc-1\r", comm::RESULT_OK, "HALDEN", "PXT2600", 12, 345, "-rc-1", 0},
        {"no_major_digits", "A,B,C,.5\r", comm::RESULT_OK, "A", "B", 0, 5, "", 0},
        {"empty_fields", ",,,1.\r", comm::RESULT_OK, "", "", 1, 0, "", 0},
        {"modem_ok", "OK\r", comm::RESULT_NOT_IDENTITY, "", "", 0, 0, "", 1},
        {"no_third_comma", "NORVA,TQ740,0 2.10\r", comm::RESULT_NOT_IDENTITY, "", "", 0, 0, "", 1},
        {"no_point", "NORVA,TQ740,0,210\r", comm::RESULT_NOT_IDENTITY, "", "", 0, 0, "", 1},
        {"letters_after_minor", "NORVA,TQ740,0,3.05B\r", comm::RESULT_NOT_IDENTITY, "", "", 0, 0, "", 1},
        {"unterminated_accepted", "NORVA,TQ740,0,2.10", comm::RESULT_OK, "NORVA", "TQ740", 2, 10, "", 0},
        {"unterminated_with_suffix", "NORVA,TQ740,0,3.01-X", comm::RESULT_OK, "NORVA", "TQ740", 3, 1, "-X", 0},
        {"unterminated_serial_5", "NORVA,TQ740,5,2.10", comm::RESULT_PARTIAL, "", "", 0, 0, "", 1},
        {"unterminated_one_minor_digit", "NORVA,TQ740,0,2.1", comm::RESULT_PARTIAL, "", "", 0, 0, "", 1},
        {"unterminated_modem", "OK", comm::RESULT_PARTIAL, "", "", 0, 0, "", 1},
        {"document_mode", "<Exit DOCUMENT mode>\r", comm::RESULT_DOCUMENT_MODE, "", "", 0, 0, "", 0},
        {"lf", "NORVA,TQ740,0,2.10\n", comm::RESULT_BAD_LINE, "", "", 0, 0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Link_rig r;
        ASSERT_TRUE(r.link.open_port());
        r.port.expect("*IDN?").reply(c.reply);
        comm::Calibrator_identity identity{"old", "old", 9, 9, "-old", "SN-1"};
        EXPECT_EQ(comm::query_identity(r.link, identity), c.expected);
        EXPECT_EQ(identity.manufacturer, c.manufacturer);
        EXPECT_EQ(identity.model, c.model);
        EXPECT_EQ(identity.firmware_major, c.major);
        EXPECT_EQ(identity.firmware_minor, c.minor);
        EXPECT_EQ(identity.firmware_suffix, c.suffix);
        EXPECT_EQ(identity.serial_number, "SN-1");  // only the serial number query sets it
        EXPECT_EQ(r.port.closes(), c.reopens);
        EXPECT_TRUE(r.link.port_open());
    }
}

TEST_F(Check_test, query_identity_silence_is_no_response) {
    ASSERT_TRUE(rig.link.open_port());
    rig.port.expect_silence("*IDN?", 4);
    EXPECT_EQ(comm::query_identity(rig.link, session.identity), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(rig.port.closes(), 0);
}

// ---- identity_check ----

struct Check_case {
    const char* name;
    std::string reply;
    bool passes;
    int level;
    bool framed;
    std::string message;  // "" = none
};

TEST_F(Check_test, identity_check_classifies_the_calibrator) {
    const std::vector<Check_case> cases = {
        {"norva_2", "NORVA,TQ740,0,2.10\r", true, 1, false, ""},
        {"norva_3", "NORVA,TQ740,0,3.00-B\r", true, 2, true, ""},
        {"norva_1", "NORVA,TQ740,0,1.90\r", false, 0, false, NOT_SUPPORTED},
        {"talmont_any", "TALMONT,anything,0,1.00\r", true, 2, false, ""},
        {"talmont_0", "TALMONT,X,0,0.00\r", true, 2, false, ""},
        {"exact_model", "NORVA,TQ740-X,0,3.00\r", false, 0, false, NOT_SUPPORTED},
        {"case_sensitive", "norva,TQ740,0,3.00\r", false, 0, false, NOT_SUPPORTED},
        {"halden_50", "HALDEN,PXT2600-50,0,4.01\r", true, 2, true, ""},
        {"halden", "HALDEN,PXT2600,0,2.00\r", true, 1, false, ""},
        {"kiro", "KIRO,615-50K,0,2.99\r", true, 1, false, ""},
        {"kiro_615k", "KIRO,615K,0,3.00\r", true, 2, true, ""},
        {"fenworth_qk", "FENWORTH,QK-LOG,0,3.10\r", true, 2, true, ""},
        {"fenworth_vr", "FENWORTH,VR330LOG,0,2.00\r", true, 1, false, ""},
        {"cross_model", "KIRO,TQ740,0,3.00\r", false, 0, false, NOT_SUPPORTED},
        {"other_maker", "ACME,TQ740,0,3.00\r", false, 0, false, NOT_SUPPORTED},
        {"modem", "OK\r", false, 0, false, NOT_IDENTITY},
        {"document_mode", "<Exit DOCUMENT mode>\r", false, 0, false, "Exit DOCUMENT mode and repeat operation"},
        {"unterminated_serial_5", "NORVA,TQ740,5,2.10", false, 0, false, NO_RESPONSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Link_rig r;
        comm::Calibrator_session s{r.link, [&] { r.ui.set_status(REFRESHED); }};
        s.capability = {2, 50, true};  // left over from an earlier check
        r.port.expect("*IDN?").reply(c.reply);
        if (!c.message.empty()) r.ui.expect_error(c.message);
        EXPECT_EQ(comm::identity_check(s), c.passes);
        EXPECT_EQ(s.capability.level, c.level);
        EXPECT_EQ(s.capability.framed, c.framed);
        EXPECT_EQ(s.capability.maximum_tags, 50);
        EXPECT_FALSE(r.link.port_open());
        EXPECT_FALSE(r.ui.wait_cursor);
        EXPECT_EQ(r.ui.wait_cursor_ons, 1);
        EXPECT_EQ(r.ui.statuses, (std::vector<std::string>{VERIFYING_IDENTITY, REFRESHED}));
    }
}

TEST_F(Check_test, modem_reply_reopens_the_port_and_closes_it_before_the_message) {
    rig.port.expect("*IDN?").reply("OK\r");
    rig.ui.expect_error(NOT_IDENTITY);
    rig.ui.on_message = [&](const test::Shown_message&) {
        EXPECT_FALSE(rig.link.port_open());
        EXPECT_EQ(rig.port.opens(), 2);
        EXPECT_EQ(rig.port.closes(), 2);
    };
    EXPECT_FALSE(comm::identity_check(session));
}

TEST_F(Check_test, identity_check_stops_when_the_port_does_not_open) {
    rig.port.fail_opens(1);
    rig.ui.expect_error(test::Link_rig::OPEN_REFUSED);
    EXPECT_FALSE(comm::identity_check(session));
    EXPECT_TRUE(rig.ui.statuses.empty());
    EXPECT_EQ(rig.ui.wait_cursor_ons, 0);
}

TEST_F(Check_test, identity_check_silence) {
    rig.port.expect_silence("*IDN?", 4);
    rig.ui.expect_error(NO_RESPONSE);
    EXPECT_FALSE(comm::identity_check(session));
}

// ---- clock_check ----

// The calibrator's clock reply for a moment, in local time.
std::string clock_reply(std::time_t when) {
    std::tm t{};
    ::localtime_r(&when, &t);
    char text[96];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %2d:%02d:%02d\r", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

class Clock_check_test : public Check_test {
protected:
    Time_zone utc{"UTC0"};
    // The fake clock starts at 2024-06-15 12:00:00 UTC.
    const std::time_t now = rig.clock.now();
    const std::string question_ahead =
        "Calibrator time (2024/06/15 12:15:01) more than 15 minutes different from PC time (2024/06/15 12:00:00).  "
        "Update calibrator time?";
};

TEST_F(Clock_check_test, within_fifteen_minutes_asks_nothing) {
    for (int offset : {0, 899, -899, 900, -900}) {
        SCOPED_TRACE(offset);
        rig.port.expect("GET_CLOCK").reply(clock_reply(now - offset));
        EXPECT_TRUE(comm::clock_check(session));
        EXPECT_TRUE(session.last_clock.valid);
        EXPECT_EQ(session.last_clock.difference, offset);
        EXPECT_FALSE(rig.link.port_open());
    }
    EXPECT_TRUE(rig.ui.messages.empty());
    EXPECT_EQ(rig.ui.statuses.front(), VERIFYING_CLOCK);
    EXPECT_EQ(rig.ui.statuses.back(), REFRESHED);
}

TEST_F(Clock_check_test, ahead_by_15_minutes_1_second_asks_no_no_keeps_the_check) {
    rig.port.expect("GET_CLOCK").reply("2024/06/15 12:15:01\r");
    rig.ui.expect_question(question_ahead, ui::Answer::no, ui::Buttons::yes_no);
    rig.ui.expect_question(DISABLE_CHECK, ui::Answer::no, ui::Buttons::yes_no);
    EXPECT_TRUE(comm::clock_check(session));
    EXPECT_TRUE(session.clock_check_enabled);
    EXPECT_EQ(session.last_clock.difference, -901);

    // The question comes again with the next operation.
    rig.port.expect("GET_CLOCK").reply("2024/06/15 12:15:01\r");
    rig.ui.expect_question(question_ahead, ui::Answer::no, ui::Buttons::yes_no);
    rig.ui.expect_question(DISABLE_CHECK, ui::Answer::no, ui::Buttons::yes_no);
    EXPECT_TRUE(comm::clock_check(session));
}

TEST_F(Clock_check_test, no_then_yes_stops_all_further_clock_checks) {
    rig.port.expect("GET_CLOCK").reply("2024/06/15 12:15:01\r");
    rig.ui.expect_question(question_ahead, ui::Answer::no, ui::Buttons::yes_no);
    rig.ui.expect_question(DISABLE_CHECK, ui::Answer::yes, ui::Buttons::yes_no);
    EXPECT_TRUE(comm::clock_check(session));
    EXPECT_FALSE(session.clock_check_enabled);

    const int opens = rig.port.opens();
    const auto statuses = rig.ui.statuses.size();
    EXPECT_TRUE(comm::clock_check(session));
    EXPECT_EQ(rig.port.opens(), opens);  // no port activity at all
    EXPECT_EQ(rig.ui.statuses.size(), statuses);
}

TEST_F(Clock_check_test, behind_with_a_single_digit_hour_and_yes_sets_the_clock) {
    rig.port.expect("GET_CLOCK").reply("2024/06/15  9:05:00\r");
    rig.ui.expect_question(
        "Calibrator time (2024/06/15 9:05:00) more than 15 minutes different from PC time (2024/06/15 12:00:00).  "
        "Update calibrator time?",
        ui::Answer::yes, ui::Buttons::yes_no);
    // The PC's time is read again for the command: a second has passed meanwhile.
    rig.ui.on_message = [&](const test::Shown_message&) { rig.clock.advance_ms(1000); };
    rig.port.expect("SET_CLOCK 2024 6 15 12 0 1").reply("<Complete>\r");
    EXPECT_TRUE(comm::clock_check(session));
    EXPECT_TRUE(session.clock_check_enabled);
    EXPECT_EQ(session.last_clock.difference, 2 * 3600 + 55 * 60);
    EXPECT_FALSE(rig.link.port_open());
}

TEST_F(Clock_check_test, date_or_time_invalid_fails_the_check) {
    rig.port.expect("GET_CLOCK").reply("2024/06/15 12:15:01\r");
    rig.ui.expect_question(question_ahead, ui::Answer::yes, ui::Buttons::yes_no);
    rig.port.expect("SET_CLOCK 2024 6 15 12 0 0").reply("<Date or time invalid>\r");
    rig.ui.expect_error(CLOCK_FAILED);
    EXPECT_FALSE(comm::clock_check(session));
    EXPECT_EQ(rig.port.closes(), 1);  // a single attempt, no reopening
}

TEST_F(Clock_check_test, unreadable_clock_fails_the_check) {
    for (int i = 0; i < 3; ++i) rig.port.expect("GET_CLOCK").reply("2024-06-15 12:00:00\r");
    rig.ui.expect_error(CLOCK_FAILED);
    EXPECT_FALSE(comm::clock_check(session));
    EXPECT_FALSE(session.last_clock.valid);
    EXPECT_FALSE(rig.link.port_open());
}

TEST_F(Clock_check_test, silence_and_document_mode) {
    rig.port.expect_silence("GET_CLOCK", 4);
    rig.ui.expect_error(NO_RESPONSE);
    EXPECT_FALSE(comm::clock_check(session));
    rig.port.expect("GET_CLOCK").reply("<Exit DOCUMENT mode>\r");
    rig.ui.expect_error("Exit DOCUMENT mode and repeat operation");
    EXPECT_FALSE(comm::clock_check(session));
}

TEST_F(Clock_check_test, absurd_calibrator_date_is_asked_about) {
    rig.port.expect("GET_CLOCK").reply("0000/00/00 00:00:00\r");
    rig.ui.expect_question(
        "Calibrator time (   0/00/00 0:00:00) more than 15 minutes different from PC time (2024/06/15 12:00:00).  "
        "Update calibrator time?",
        ui::Answer::no, ui::Buttons::yes_no);
    rig.ui.expect_question(DISABLE_CHECK, ui::Answer::no, ui::Buttons::yes_no);
    EXPECT_TRUE(comm::clock_check(session));
}

TEST_F(Clock_check_test, open_failure) {
    rig.port.fail_opens(1);
    rig.ui.expect_error(test::Link_rig::OPEN_REFUSED);
    EXPECT_FALSE(comm::clock_check(session));
}

TEST(Clock_difference, calibrator_keeps_the_pcs_daylight_saving_state) {
    Time_zone cet("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::time_t summer = 1718452800;  // 2024-06-15 12:00:00 UTC = 14:00 CEST
    EXPECT_EQ(comm::clock_difference(summer, {2024, 6, 15, 14, 0, 0}), 0);
    // A winter date read in summer is taken as summer time too.
    EXPECT_EQ(comm::clock_difference(summer, {2024, 1, 15, 14, 0, 0}), 152LL * 86400);
    const std::time_t winter = 1705320000;  // 2024-01-15 12:00:00 UTC = 13:00 CET
    EXPECT_EQ(comm::clock_difference(winter, {2024, 1, 15, 13, 0, 0}), 0);
    EXPECT_EQ(comm::clock_difference(winter, {2024, 1, 15, 13, 15, 0}), -900);
    const comm::Clock_reading local = comm::local_reading(summer);
    EXPECT_EQ(local.hour, 14);
    EXPECT_EQ(local.month, 6);
}

TEST(Clock_difference, reply_positions) {
    const comm::Clock_reading r = comm::parse_clock_reading("2031/12/31  7:08:09");
    EXPECT_EQ(r.year, 2031);
    EXPECT_EQ(r.month, 12);
    EXPECT_EQ(r.day, 31);
    EXPECT_EQ(r.hour, 7);
    EXPECT_EQ(r.minute, 8);
    EXPECT_EQ(r.second, 9);
}

// ---- query_serial and Upload > Calibrator Identity ----

TEST_F(Check_test, unframed_serial_number_failure_leaves_it_empty) {
    ASSERT_TRUE(rig.link.open_port());
    session.identity.serial_number = "old";
    for (int i = 0; i < 3; ++i) rig.port.expect("GET_SN").reply("12");
    EXPECT_EQ(comm::query_serial(rig.link, {1, 50, false}, session.identity), comm::RESULT_INVALID);
    EXPECT_EQ(session.identity.serial_number, "");
}

TEST_F(Check_test, identity_command_level_1_uses_get_sn) {
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,2.10\r");
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,2.10\r");
    rig.port.expect("GET_SN").reply("SN 0042\r");
    EXPECT_TRUE(comm::calibrator_identity_command(session));
    ASSERT_EQ(rig.ui.identities.size(), 1u);
    EXPECT_EQ(rig.ui.identities[0].manufacturer, "NORVA");
    EXPECT_EQ(rig.ui.identities[0].model, "TQ740");
    EXPECT_EQ(rig.ui.identities[0].serial_number, "SN 0042");
    EXPECT_EQ(rig.ui.identities[0].firmware, "2.10");
    EXPECT_EQ(rig.ui.statuses, (std::vector<std::string>{VERIFYING_IDENTITY, REFRESHED,
                                                         "Uploading calibrator identification.  Please wait.",
                                                         REFRESHED}));
    EXPECT_EQ(rig.port.opens(), 2);
    EXPECT_FALSE(rig.link.port_open());
    EXPECT_FALSE(rig.ui.wait_cursor);
}

TEST_F(Check_test, identity_command_framed_reads_field_129) {
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,3.05-B\r");
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,3.05-B\r");
    rig.port.expect(comm::framed_command_text("TAG_UPLD 129 1")).reply(comm::frame_reply("A-77", 129) + "\r");
    EXPECT_TRUE(comm::calibrator_identity_command(session));
    ASSERT_EQ(rig.ui.identities.size(), 1u);
    EXPECT_EQ(rig.ui.identities[0].serial_number, "A-77");
    EXPECT_EQ(rig.ui.identities[0].firmware, "3.05-B");
}

TEST_F(Check_test, identity_command_talmont_unframed) {
    rig.port.expect("*IDN?").reply("TALMONT,T9,0,1.07\r");
    rig.port.expect("*IDN?").reply("TALMONT,T9,0,1.07\r");
    rig.port.expect("GET_SN").reply("T-1\r");
    EXPECT_TRUE(comm::calibrator_identity_command(session));
    EXPECT_EQ(rig.ui.identities.at(0).firmware, "1.07");
}

TEST_F(Check_test, identity_command_serial_error_line_is_shown_as_no_response) {
    rig.ui.set_tag_list({" 3 U PUMP-1"});
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,3.00\r");
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,3.00\r");
    rig.port.expect(comm::framed_command_text("TAG_UPLD 129 1")).reply(comm::frame_reply("<Error 15>", 129) + "\r");
    rig.ui.expect_error(NO_RESPONSE);
    EXPECT_FALSE(comm::calibrator_identity_command(session));
    EXPECT_TRUE(rig.ui.identities.empty());
    EXPECT_TRUE(rig.ui.tag_list.empty());
    EXPECT_EQ(rig.ui.status(), REFRESHED);
}

TEST_F(Check_test, identity_command_second_query_not_an_identity) {
    int emptied = 0;
    session.empty_tag_list = [&] { ++emptied; };
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,2.10\r");
    rig.port.expect("*IDN?").reply("OK\r");
    rig.ui.expect_error(NOT_IDENTITY);
    EXPECT_FALSE(comm::calibrator_identity_command(session));
    EXPECT_EQ(emptied, 1);
    EXPECT_EQ(rig.ui.tag_list_sets, 0);
}

TEST_F(Check_test, identity_command_stops_after_a_failed_check) {
    rig.ui.set_tag_list({" 3 U PUMP-1"});
    rig.port.expect("*IDN?").reply("NORVA,TQ740,0,1.00\r");
    rig.ui.expect_error(NOT_SUPPORTED);
    EXPECT_FALSE(comm::calibrator_identity_command(session));
    EXPECT_EQ(rig.port.opens(), 1);
    EXPECT_EQ(rig.ui.tag_list.size(), 1u);  // the list stays as it was
    EXPECT_EQ(rig.ui.status(), REFRESHED);
}

}  // namespace
