// The command transactions: accepted replies, attempts and reopenings,
// against a scripted port on a fake clock.
#include <gtest/gtest.h>

#include <functional>

#include "link/frame.h"
#include "link/transactions.h"
#include "resources/strings.h"
#include "support/link_rig.h"

namespace {

using comm::Result_code;
using test::Link_rig;

const std::string NO_RESPONSE =
    "Calibrator failed to respond during the operation.\nCheck calibrator power status and communications "
    "cables.\nTry operation again.";
const std::string OPERATION_FAILED = "Operation not successfully completed.  Try again.";

const comm::Capability UNFRAMED{2, 50, false};
const comm::Capability FRAMED{2, 50, true};

// One case of a transaction: the bytes sent back to each send of the
// command, and what the transaction makes of them.
struct Attempts_case {
    const char* name;
    std::vector<std::string> replies;  // one per send; every one must be used
    Result_code expected;
    std::string expected_reply;        // the reply buffer afterwards
    int reopens;                       // closes and reopens of the port
};

// Runs each case on a fresh rig with the port open: the command must go out
// once per reply, then transaction(rig, reply) must give the expected result.
void run_cases(const std::string& command, const std::vector<Attempts_case>& cases,
               const std::function<Result_code(Link_rig&, std::string&)>& transaction) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Link_rig rig;
        ASSERT_TRUE(rig.link.open_port());
        for (const auto& reply : c.replies) rig.port.expect(command).reply(reply);
        std::string reply;
        EXPECT_EQ(transaction(rig, reply), c.expected);
        EXPECT_EQ(reply, c.expected_reply);
        EXPECT_EQ(rig.port.closes(), c.reopens);
        EXPECT_EQ(rig.port.opens(), 1 + c.reopens);
        EXPECT_TRUE(rig.link.port_open());
    }
}

// ---- Erase ----

TEST(Erase_all_tags, replies_and_attempts) {
    run_cases("TAG_CLEAR_ALL",
              {
                  {"complete", {"<Complete>\r"}, comm::RESULT_OK, "<Complete>", 0},
                  {"no_tags", {"<No tags available>\r"}, comm::RESULT_OK, "<No tags available>", 0},
                  {"third_attempt", {"<Compl\r", "?\r", "<Complete>\r"}, comm::RESULT_OK, "<Complete>", 2},
                  {"three_unexpected", {"<Error 3>\r", "x\r", "<complete>\r"}, comm::RESULT_INVALID, "<complete>", 3},
                  {"partial_complete", {"<Complete>"}, comm::RESULT_OK, "<Complete>", 0},
                  {"partial_other", {"<Comp"}, comm::RESULT_PARTIAL, "<Comp", 0},
                  {"document_mode", {"<Exit DOCUMENT mode>\r"}, comm::RESULT_DOCUMENT_MODE, "<Exit DOCUMENT mode>", 0},
                  {"lf", {"<Complete>\n"}, comm::RESULT_BAD_LINE, "<Complete>", 0},
                  {"bad_line_after_a_rejected_one", {"x\r", "<Complete>\n"}, comm::RESULT_BAD_LINE, "<Complete>", 1},
              },
              [](Link_rig& rig, std::string& reply) { return comm::erase_all_tags(rig.link, reply); });
}

TEST(Erase_all_tags, silence_is_no_response_without_reopening) {
    Link_rig rig;
    ASSERT_TRUE(rig.link.open_port());
    rig.port.expect_silence("TAG_CLEAR_ALL", 4);  // the first send and three re-sends
    std::string reply;
    EXPECT_EQ(comm::erase_all_tags(rig.link, reply), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(rig.port.closes(), 0);
}

TEST(Erase_tag, replies_and_attempts) {
    const std::string not_found = "<Tag [PUMP1] not found>";
    run_cases("TAG_CLEAR pump1",
              {
                  {"complete", {"<Complete>\r"}, comm::RESULT_OK, "<Complete>", 0},
                  {"not_found_first_attempt", {not_found + "\r"}, comm::RESULT_OK, not_found, 0},
                  {"not_found_after_a_damaged_reply", {"<Compl#te>\r", not_found + "\r"}, comm::RESULT_OK,
                   "<Complete>", 1},
                  {"not_found_on_the_third", {"a\r", "b\r", not_found + "\r"}, comm::RESULT_OK, "<Complete>", 2},
                  {"no_space", {"<No space between command and parameter>\r"}, comm::RESULT_OK,
                   "<No space between command and parameter>", 0},
                  {"other_tag_not_found", {"<Tag [PUMP2] not found>\r", "<Tag [PUMP2] not found>\r", "x\r"},
                   comm::RESULT_INVALID, "x", 3},
                  {"lower_case_id_is_not_the_not_found_line", {"<Tag [pump1] not found>\r", "<Complete>\r"},
                   comm::RESULT_OK, "<Complete>", 1},
                  {"partial_not_found", {not_found}, comm::RESULT_OK, not_found, 0},
                  {"partial_not_found_later", {"?\r", not_found}, comm::RESULT_OK, "<Complete>", 1},
                  {"partial_other", {"<Tag"}, comm::RESULT_PARTIAL, "<Tag", 0},
                  {"document_mode", {"<Exit DOCUMENT mode>\r"}, comm::RESULT_DOCUMENT_MODE, "<Exit DOCUMENT mode>", 0},
              },
              [](Link_rig& rig, std::string& reply) { return comm::erase_tag(rig.link, "pump1", reply); });
}

TEST(Erase_tag, not_found_text_has_the_id_in_capitals) {
    EXPECT_EQ(comm::tag_not_found_text("pump-1a"), "<Tag [PUMP-1A] not found>");
    EXPECT_EQ(comm::tag_not_found_text("TT 204"), "<Tag [TT 204] not found>");
}

// ---- Clock ----

TEST(Read_clock, replies_and_attempts) {
    const std::string hyphens = "2024-06-15 12:00:00\r";
    run_cases("GET_CLOCK",
              {
                  {"plain", {"2024/06/15 12:00:00\r"}, comm::RESULT_OK, "2024/06/15 12:00:00", 0},
                  {"hour_with_a_space", {"2024/06/15  9:05:00\r"}, comm::RESULT_OK, "2024/06/15  9:05:00", 0},
                  {"hyphens_three_times", {hyphens, hyphens, hyphens}, comm::RESULT_INVALID, "2024-06-15 12:00:00", 3},
                  {"hyphens_then_good", {hyphens, "2024/06/15 12:00:01\r"}, comm::RESULT_OK, "2024/06/15 12:00:01", 1},
                  {"partial_is_recovered", {"2024/06/15 12:00:00", "2024/06/15 12:00:00\r"}, comm::RESULT_OK,
                   "2024/06/15 12:00:00", 1},
                  {"three_partials", {"2024", "2024", "2024"}, comm::RESULT_INVALID, "2024", 3},
                  {"document_mode", {"<Exit DOCUMENT mode>\r"}, comm::RESULT_DOCUMENT_MODE, "<Exit DOCUMENT mode>", 0},
              },
              [](Link_rig& rig, std::string& reply) { return comm::read_clock(rig.link, reply); });
}

TEST(Read_clock, reply_form) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"2024/06/15 12:00:00", true},  {"2024/06/15  9:05:00", true},   {"0000/00/00 00:00:00", true},
        {"2024/06/15 12:00:0", false},  {"2024/06/15 12:00:000", false}, {"2024/06/15 1 :00:00", false},
        {" 024/06/15 12:00:00", false}, {"2024/06/15T12:00:00", false},  {"2024/06/15 12-00:00", false},
        {"2024/06/15 12:00.00", false}, {"2024/6/15 12:00:00 ", false},  {"", false},
    };
    for (const auto& [line, valid] : cases) EXPECT_EQ(comm::valid_clock_reply(line), valid) << line;
}

TEST(Write_clock, command_text) {
    EXPECT_EQ(comm::set_clock_command(2024, 6, 15, 9, 5, 0), "SET_CLOCK 2024 6 15 9 5 0");
    EXPECT_EQ(comm::set_clock_command(2031, 12, 31, 23, 59, 59), "SET_CLOCK 2031 12 31 23 59 59");
}

TEST(Write_clock, replies_and_attempts) {
    const std::string command = "SET_CLOCK 2024 6 15 9 5 0";
    run_cases(command,
              {
                  {"complete", {"<Complete>\r"}, comm::RESULT_OK, "<Complete>", 0},
                  {"date_invalid_after_one_attempt", {"<Date or time invalid>\r"}, comm::RESULT_INVALID,
                   "<Date or time invalid>", 0},
                  {"partial_date_invalid", {"<Date or time invalid>"}, comm::RESULT_INVALID, "<Date or time invalid>",
                   0},
                  {"three_unexpected", {"a\r", "b\r", "c\r"}, comm::RESULT_INVALID, "c", 3},
                  {"unexpected_then_complete", {"a\r", "<Complete>\r"}, comm::RESULT_OK, "<Complete>", 1},
                  {"partial_complete", {"<Complete>"}, comm::RESULT_OK, "<Complete>", 0},
                  {"partial_other", {"<Comp"}, comm::RESULT_PARTIAL, "<Comp", 0},
              },
              [&](Link_rig& rig, std::string& reply) { return comm::write_clock(rig.link, command, reply); });
}

// ---- Serial number ----

TEST(Read_serial, replies_and_attempts) {
    run_cases("GET_SN",
              {
                  {"plain", {"SN 4711-A\r"}, comm::RESULT_OK, "SN 4711-A", 0},
                  {"empty_line", {"\r"}, comm::RESULT_OK, "", 0},
                  {"partial_then_good", {"SN 47", "SN 4711\r"}, comm::RESULT_OK, "SN 4711", 1},
                  {"three_partials", {"S", "S", "S"}, comm::RESULT_INVALID, "S", 3},
                  {"too_long", {std::string(60, '9') + "\r"}, comm::RESULT_BAD_LINE, std::string(59, '9'), 0},
              },
              [](Link_rig& rig, std::string& reply) { return comm::read_serial(rig.link, reply); });
}

// ---- Free space ----

struct Free_space_case {
    const char* name;
    comm::Capability capability;
    std::vector<std::string> replies;
    Result_code expected;
    int free_spaces;
    int next_position;
    int reopens;
};

TEST(Query_free_space, replies_and_attempts) {
    const std::string framed = comm::framed_command_text("TAG_DNLD 0");
    auto f = [](const std::string& value) { return comm::frame_reply(value, -1) + "\r"; };
    const std::vector<Free_space_case> cases = {
        {"framed_example", FRAMED, {"50 1[10370\r"}, comm::RESULT_OK, 50, 1, 0},
        {"no_room", FRAMED, {f("0 -1")}, comm::RESULT_OK, 0, -1, 0},
        {"full_but_position", FRAMED, {f("0 7")}, comm::RESULT_OK, 0, 7, 0},
        {"more_than_the_maximum_then_good", FRAMED, {f("51 3"), f("49 2")}, comm::RESULT_OK, 49, 2, 1},
        {"more_than_the_maximum_three_times", FRAMED, {f("51 3"), f("51 3"), f("51 3")}, comm::RESULT_INVALID, 0, -1,
         3},
        {"position_zero", FRAMED, {f("5 0"), f("5 51"), f("5 -2")}, comm::RESULT_INVALID, 0, -1, 3},
        {"negative_free_spaces", FRAMED, {f("-1 3"), f("3 3")}, comm::RESULT_OK, 3, 3, 1},
        {"error_line", FRAMED, {f("<Error 3>"), f("50 1")}, comm::RESULT_OK, 50, 1, 1},
        {"no_space", FRAMED, {f("50"), f("50 50")}, comm::RESULT_OK, 50, 50, 1},
        {"bad_checksum_keeps_the_port", FRAMED, {"50 1[10371\r", "50 1[10369\r", "50 1[10370\r"}, comm::RESULT_OK, 50,
         1, 0},
        {"bad_frames_only", FRAMED, {"50 1\r", "50 1[10371\r", f("<Error 99>")}, comm::RESULT_INVALID, 0, -1, 0},
        {"partial_with_good_frame", FRAMED, {"50 1[10370"}, comm::RESULT_OK, 50, 1, 0},
        {"document_mode", FRAMED, {"<Exit DOCUMENT mode>\r"}, comm::RESULT_DOCUMENT_MODE, 0, -1, 0},
        {"unframed", UNFRAMED, {"12 7\r"}, comm::RESULT_OK, 12, 7, 0},
        {"unframed_partial", UNFRAMED, {"12 7"}, comm::RESULT_OK, 12, 7, 0},
        {"unframed_error_99_is_just_unexpected", UNFRAMED, {"<Error 99>\r", "1 1\r"}, comm::RESULT_OK, 1, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Link_rig rig;
        ASSERT_TRUE(rig.link.open_port());
        const std::string command = c.capability.framed ? framed : "TAG_DNLD 0";
        for (const auto& reply : c.replies) rig.port.expect(command).reply(reply);
        int free_spaces = 99, next_position = 99;
        EXPECT_EQ(comm::query_free_space(rig.link, c.capability, free_spaces, next_position), c.expected);
        EXPECT_EQ(free_spaces, c.free_spaces);
        EXPECT_EQ(next_position, c.next_position);
        EXPECT_EQ(rig.port.closes(), c.reopens);
    }
}

// ---- Field upload ----

class Upload_field_test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.link.open_port()); }

    bool upload(const comm::Capability& capability, int field, bool quiet) {
        return comm::upload_field(rig.link, capability, success, field, 1, quiet, result, value);
    }

    Link_rig rig;
    bool success = true;
    Result_code result = comm::RESULT_INVALID;
    std::string value = "NONE";
};

TEST_F(Upload_field_test, unframed_value) {
    rig.port.expect("TAG_UPLD 68 1").reply("PUMP-1\r");
    EXPECT_TRUE(upload(UNFRAMED, 68, false));
    EXPECT_TRUE(success);
    EXPECT_EQ(result, comm::RESULT_OK);
    EXPECT_EQ(value, "PUMP-1");
}

TEST_F(Upload_field_test, framed_value_worked_example) {
    rig.port.expect("TAG_UPLD 68 1[19044").reply("2[10068396\r");
    EXPECT_TRUE(upload(FRAMED, 68, false));
    EXPECT_EQ(value, "2");
}

TEST_F(Upload_field_test, partial_reply_counts_when_its_frame_is_right) {
    rig.port.expect(comm::framed_command_text("TAG_UPLD 129 1")).reply(comm::frame_reply("SN-77", 129));
    EXPECT_TRUE(upload(FRAMED, 129, true));
    EXPECT_EQ(value, "SN-77");
}

TEST_F(Upload_field_test, unframed_partial_reply_counts) {
    rig.port.expect("TAG_UPLD 1 1").reply("TT-204");
    EXPECT_TRUE(upload(UNFRAMED, 1, false));
    EXPECT_EQ(value, "TT-204");
}

TEST_F(Upload_field_test, wrong_field_number_four_sends_and_four_reopenings) {
    const std::string command = comm::framed_command_text("TAG_UPLD 68 1");
    for (int i = 0; i < 4; ++i) rig.port.expect(command).reply(comm::frame_reply("2", 69) + "\r");
    rig.ui.expect_error(OPERATION_FAILED);
    EXPECT_FALSE(upload(FRAMED, 68, false));
    EXPECT_FALSE(success);
    EXPECT_EQ(result, comm::RESULT_INVALID);
    EXPECT_EQ(value, "NONE");
    EXPECT_EQ(rig.port.closes(), 4);
    EXPECT_TRUE(rig.link.port_open());
}

TEST_F(Upload_field_test, good_reply_on_the_fourth_send) {
    const std::string command = comm::framed_command_text("TAG_UPLD 68 1");
    rig.port.expect(command).reply("2[10068397\r");
    rig.port.expect(command).reply("2[10068396\n");
    rig.port.expect(command).reply("2[10068");
    rig.port.expect(command).reply("2[10068396\r");
    EXPECT_TRUE(upload(FRAMED, 68, false));
    EXPECT_EQ(value, "2");
    EXPECT_EQ(rig.port.closes(), 3);
}

TEST_F(Upload_field_test, silence_on_every_send) {
    rig.port.expect_silence("TAG_UPLD 68 1", 16);  // four sends, each re-sent three times
    rig.ui.expect_error(NO_RESPONSE);
    EXPECT_FALSE(upload(UNFRAMED, 68, false));
    EXPECT_EQ(result, comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(rig.port.closes(), 4);
}

TEST_F(Upload_field_test, error_line_stops_without_retrying) {
    rig.port.expect(comm::framed_command_text("TAG_UPLD 99 1")).reply(comm::frame_reply("<Error 15>", 99) + "\r");
    rig.ui.expect_error("15 - Invalid upload field number.");
    EXPECT_FALSE(upload(FRAMED, 99, false));
    EXPECT_FALSE(success);
    EXPECT_EQ(result, comm::RESULT_OK);
    EXPECT_EQ(value, "NONE");
    EXPECT_EQ(rig.port.closes(), 0);
}

TEST_F(Upload_field_test, unknown_error_code) {
    rig.port.expect("TAG_UPLD 5 1").reply("<Error 42>\r");
    rig.ui.expect_error("Unknown error code 42 returned.");
    EXPECT_FALSE(upload(UNFRAMED, 5, false));
    EXPECT_EQ(result, comm::RESULT_OK);
}

TEST_F(Upload_field_test, quiet_shows_nothing) {
    rig.port.expect("TAG_UPLD 5 1").reply("<Error 1>\r");
    EXPECT_FALSE(upload(UNFRAMED, 5, true));
    EXPECT_FALSE(success);
    EXPECT_TRUE(rig.ui.messages.empty());
}

TEST_F(Upload_field_test, failed_flag_sends_nothing) {
    rig.port.expect("TAG_UPLD 1 1").reply("<Exit DOCUMENT mode>\r");
    rig.ui.expect_error("Exit DOCUMENT mode and repeat operation");
    EXPECT_FALSE(upload(UNFRAMED, 1, false));
    EXPECT_EQ(result, comm::RESULT_DOCUMENT_MODE);
    EXPECT_EQ(rig.port.closes(), 0);
    // The next field of the same tag is not even asked for.
    EXPECT_FALSE(upload(UNFRAMED, 2, false));
    EXPECT_EQ(result, comm::RESULT_OK);
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

TEST_F(Upload_field_test, success_flag_stays_set_across_calls) {
    rig.port.expect("TAG_UPLD 1 1").reply("A\r");
    rig.port.expect("TAG_UPLD 2 1").reply("B\r");
    EXPECT_TRUE(upload(UNFRAMED, 1, false));
    EXPECT_EQ(value, "A");
    EXPECT_TRUE(upload(UNFRAMED, 2, false));
    EXPECT_EQ(value, "B");
    EXPECT_TRUE(success);
}

TEST_F(Upload_field_test, cancel_is_the_users_message) {
    rig.port.expect("TAG_UPLD 1 1");
    rig.link.request_cancel();
    rig.ui.expect_error("User cancelled tag upload.");
    EXPECT_FALSE(upload(UNFRAMED, 1, false));
    EXPECT_EQ(result, comm::RESULT_CANCELLED);
    EXPECT_EQ(rig.port.closes(), 0);
}

TEST_F(Upload_field_test, port_that_cannot_be_reopened_ends_the_upload_with_one_message) {
    // The adapter was pulled: the damaged reply's recovery cannot reopen the
    // port.  One message says why; no further sends, reopens or messages.
    rig.port.expect("TAG_UPLD 1 1").reply("A\n");
    rig.port.fail_opens(10);
    rig.ui.expect_error(test::Link_rig::OPEN_REFUSED);
    EXPECT_FALSE(upload(UNFRAMED, 1, false));
    EXPECT_EQ(rig.port.failed_opens(), 1);
    EXPECT_EQ(result, comm::RESULT_PORT_CLOSED);
    EXPECT_EQ(rig.port.writes().size(), 1u);
    EXPECT_FALSE(rig.link.port_open());
}

// ---- Calibrator error codes ----

TEST(Calibrator_errors, codes_and_messages) {
    EXPECT_TRUE(comm::is_error_line("<Error 3>"));
    EXPECT_FALSE(comm::is_error_line("<Error>"));
    EXPECT_FALSE(comm::is_error_line("<error 3>"));
    EXPECT_EQ(comm::error_code("<Error 3>"), 3);
    EXPECT_EQ(comm::error_code("<Error 17>"), 17);
    EXPECT_EQ(comm::error_code("<Error x>"), 0);

    EXPECT_EQ(comm::calibrator_error_message(1), "1 - Invalid download field number.");
    EXPECT_EQ(comm::calibrator_error_message(17), "17 - Instrument input range is too small, must be >.0001.");
    EXPECT_EQ(comm::calibrator_error_message(18), "18 - Unknown error");
    EXPECT_EQ(comm::calibrator_error_message(25), "25 - Unknown error");
    for (int code : {0, 26, 97, 99, -4})
        EXPECT_EQ(comm::calibrator_error_message(code), "Unknown error code " + std::to_string(code) + " returned.");
}

}  // namespace
