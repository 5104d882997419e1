// The command transaction: time-outs, re-sends, line endings and result codes,
// against a scripted port on a fake clock.
#include <gtest/gtest.h>

#include <functional>

#include "link/serial_link.h"
#include "resources/link_strings.h"
#include "resources/strings.h"
#include "support/link_rig.h"

namespace {

using comm::Result_code;
using test::Link_rig;

constexpr int CAPACITY = comm::REPLY_CAPACITY;

// Milliseconds since the rig's clock started.
std::int64_t elapsed(const Link_rig& rig, std::int64_t start_ms) { return rig.clock.now_ms() - start_ms; }

class Serial_link_test : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.link.open_port()); }

    // Sends command and reads one line with re-sends allowed.
    Result_code ask(const std::string& command, bool allow_resend = true) {
        rig.link.send_command(command);
        return rig.link.receive_line(line, CAPACITY, allow_resend);
    }

    Link_rig rig;
    std::string line;
};

// ---- Line endings and content ----

struct Line_case {
    const char* name;
    std::string reply;        // bytes the calibrator sends
    Result_code expected;
    std::string expected_line;
};

class Reply_line_test : public Serial_link_test, public ::testing::WithParamInterface<Line_case> {};

TEST_P(Reply_line_test, gives_the_result_and_text_of_the_line) {
    const Line_case& c = GetParam();
    rig.port.expect("CMD").reply(c.reply);
    EXPECT_EQ(ask("CMD"), c.expected);
    EXPECT_EQ(line, c.expected_line);
    EXPECT_EQ(rig.port.count_writes("CMD"), 1);
}

const std::string fifty_nine(59, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, Reply_line_test,
    ::testing::Values(
        Line_case{"plain", "50 1\r", comm::RESULT_OK, "50 1"},
        Line_case{"document_mode", "<Exit DOCUMENT mode>\r", comm::RESULT_DOCUMENT_MODE, "<Exit DOCUMENT mode>"},
        Line_case{"document_mode_with_more", "<Exit DOCUMENT mode>.\r", comm::RESULT_OK, "<Exit DOCUMENT mode>."},
        Line_case{"document_mode_lower_case", "<exit document mode>\r", comm::RESULT_OK, "<exit document mode>"},
        Line_case{"lf_instead_of_cr", "abc\n", comm::RESULT_BAD_LINE, "abc"},
        Line_case{"cr_lf", "abc\r\n", comm::RESULT_OK, "abc"},
        Line_case{"cr_alone", "\r", comm::RESULT_OK, ""},
        Line_case{"tab_ends_the_line", "ab\tc\r", comm::RESULT_BAD_LINE, "ab"},
        Line_case{"del_ends_the_line", "ab\x7f" "c\r", comm::RESULT_BAD_LINE, "ab"},
        Line_case{"bit7_cleared", "\xC1\xE2\r", comm::RESULT_OK, "Ab"},
        Line_case{"cr_with_bit7_ends_the_line", "ok\x8D", comm::RESULT_OK, "ok"},
        Line_case{"0xff_is_del", "ok\xFF", comm::RESULT_BAD_LINE, "ok"},
        Line_case{"nul_ends_the_line", std::string("ok\0\r", 4), comm::RESULT_BAD_LINE, "ok"},
        Line_case{"fifty_nine_characters", fifty_nine + "\r", comm::RESULT_OK, fifty_nine},
        Line_case{"sixty_characters", fifty_nine + "y\r", comm::RESULT_BAD_LINE, fifty_nine},
        Line_case{"sixty_without_cr", fifty_nine + "y", comm::RESULT_BAD_LINE, fifty_nine}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Serial_link_test, line_is_cut_at_the_capacity_given) {
    rig.port.expect("CMD").reply("abcdef\r");
    rig.link.send_command("CMD");
    EXPECT_EQ(rig.link.receive_line(line, 4, true), comm::RESULT_BAD_LINE);
    EXPECT_EQ(line, "abc");
}

TEST_F(Serial_link_test, lf_after_cr_fails_a_further_read_at_once) {
    rig.port.expect("CMD").reply("abc\r\n");
    ASSERT_EQ(ask("CMD"), comm::RESULT_OK);
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_BAD_LINE);
    EXPECT_EQ(line, "");
    EXPECT_EQ(elapsed(rig, start), 0);
}

TEST_F(Serial_link_test, next_command_discards_what_is_left_of_a_reply) {
    rig.port.expect("FIRST").reply(fifty_nine + "TAIL\r\n");
    ASSERT_EQ(ask("FIRST"), comm::RESULT_BAD_LINE);
    rig.port.expect("SECOND").reply("fresh\r");
    EXPECT_EQ(ask("SECOND"), comm::RESULT_OK);
    EXPECT_EQ(line, "fresh");
    EXPECT_EQ(rig.port.purges(), 2);
}

TEST_F(Serial_link_test, further_lines_of_a_reply_are_read_without_sending) {
    rig.port.expect("TAGS?").reply("A\rB\r<End>\r");
    ASSERT_EQ(ask("TAGS?"), comm::RESULT_OK);
    EXPECT_EQ(line, "A");
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_OK);
    EXPECT_EQ(line, "B");
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_OK);
    EXPECT_EQ(line, "<End>");
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

// ---- pending_command ----

TEST_F(Serial_link_test, pending_command_lives_from_send_to_the_end_of_the_next_read) {
    EXPECT_EQ(rig.link.pending_command(), "");
    rig.port.expect("GET_SN").reply("123\r");
    rig.link.send_command("GET_SN");
    EXPECT_EQ(rig.link.pending_command(), "GET_SN\r");
    EXPECT_EQ(rig.port.writes().back(), "GET_SN\r");
    ASSERT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_OK);
    EXPECT_EQ(rig.link.pending_command(), "");
}

TEST_F(Serial_link_test, pending_command_is_emptied_by_a_failed_read_too) {
    rig.port.expect_silence("X", 4);
    EXPECT_EQ(ask("X"), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(rig.link.pending_command(), "");
}

// ---- Silence, re-sends and time-outs ----

TEST_F(Serial_link_test, silence_sends_the_command_four_times_then_no_response) {
    rig.port.expect_silence("GET_CLOCK", 4);
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("GET_CLOCK"), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(line, "");
    // One re-send each time the seconds clock has moved on by 2, then 2 more seconds.
    const auto& times = rig.port.write_times_ms();
    ASSERT_EQ(times.size(), 4u);
    EXPECT_EQ(times[0] - start, 0);
    EXPECT_EQ(times[1] - start, 2000);
    EXPECT_EQ(times[2] - start, 4000);
    EXPECT_EQ(times[3] - start, 6000);
    EXPECT_EQ(elapsed(rig, start), 8000);
    // Re-sends are written as they are: no discard between them.
    EXPECT_EQ(rig.port.purges(), 1);
}

TEST_F(Serial_link_test, silence_without_resend_gives_up_after_two_seconds) {
    rig.port.expect("GET_CLOCK");
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("GET_CLOCK", false), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(elapsed(rig, start), 2000);
}

TEST_F(Serial_link_test, reply_after_the_first_resend_is_taken) {
    rig.port.expect("GET_SN");
    rig.port.expect("GET_SN").reply("A12\r", 300);
    EXPECT_EQ(ask("GET_SN"), comm::RESULT_OK);
    EXPECT_EQ(line, "A12");
    EXPECT_EQ(rig.port.writes().size(), 2u);
}

TEST_F(Serial_link_test, slow_first_byte_within_two_seconds_needs_no_resend) {
    rig.port.expect("GET_SN").reply("A12\r", 1900);
    EXPECT_EQ(ask("GET_SN"), comm::RESULT_OK);
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

TEST_F(Serial_link_test, data_is_seen_the_moment_it_arrives) {
    rig.port.expect("GET_SN").reply("A12\r", 1234);
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("GET_SN"), comm::RESULT_OK);
    EXPECT_EQ(elapsed(rig, start), 1234);
}

TEST_F(Serial_link_test, text_without_cr_is_partial_after_four_seconds_of_silence) {
    rig.port.expect("TAG_UPLD 68 1").reply("PUMP");
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("TAG_UPLD 68 1"), comm::RESULT_PARTIAL);
    EXPECT_EQ(line, "PUMP");
    EXPECT_EQ(elapsed(rig, start), 4000);
    EXPECT_EQ(rig.port.writes().size(), 1u);  // once a byte came, no re-send
}

TEST_F(Serial_link_test, slow_characters_keep_the_line_alive) {
    rig.port.expect("CMD").reply("a").reply("b", 3500).reply("c", 3500).reply("\r", 3500);
    EXPECT_EQ(ask("CMD"), comm::RESULT_OK);
    EXPECT_EQ(line, "abc");
}

TEST_F(Serial_link_test, further_line_that_never_comes_is_no_response_after_four_seconds) {
    rig.port.expect("TAGS?").reply("A\r");
    ASSERT_EQ(ask("TAGS?"), comm::RESULT_OK);
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(elapsed(rig, start), 4000);
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

TEST_F(Serial_link_test, loop_held_up_by_a_dialog_does_not_count_against_the_calibrator) {
    rig.port.expect_silence("X", 4);
    bool first = true;
    rig.ui.on_pump = [&] {
        if (first) rig.clock.advance_ms(10000);  // a modal dialog open for ten seconds
        first = false;
        return false;
    };
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("X"), comm::RESULT_NO_RESPONSE);
    const auto& times = rig.port.write_times_ms();
    ASSERT_EQ(times.size(), 4u);
    EXPECT_EQ(times[1] - start, 12000);
    EXPECT_EQ(elapsed(rig, start), 18000);
}

TEST_F(Serial_link_test, hold_up_after_a_character_does_not_end_the_line) {
    rig.port.expect("X").reply("ab").reply("c\r", 9000);
    int pumps = 0;
    rig.ui.on_pump = [&] {
        // A long hold-up just after the first characters were read.
        if (++pumps == 3) rig.clock.advance_ms(6000);
        return false;
    };
    EXPECT_EQ(ask("X"), comm::RESULT_OK);
    EXPECT_EQ(line, "abc");
}

TEST_F(Serial_link_test, failed_writes_clear_the_error_and_time_out) {
    rig.port.fail_writes(true);
    EXPECT_EQ(ask("X"), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(rig.port.writes().size(), 4u);
    EXPECT_EQ(rig.port.error_clears(), 4);  // the first write and three re-sends
    EXPECT_EQ(rig.port.transmit_waits(), 0);
}

TEST_F(Serial_link_test, hung_up_line_ends_in_the_time_out) {
    rig.port.hang_up();
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("X"), comm::RESULT_NO_RESPONSE);
    EXPECT_EQ(elapsed(rig, start), 8000);
    // Each poll waited its full interval: about 400 polls, not a spin.
    EXPECT_LE(rig.ui.pumps, 8000 / comm::Serial_link::POLL_INTERVAL_MS + 1);
    EXPECT_GT(rig.port.error_clears(), 0);
}

// ---- Whole-line delivery ----

// The same reply gives the same result, text and timing whether the port
// delivers whole lines or every byte.
struct Timing_case {
    const char* name;
    std::function<void(Link_rig&)> script;
    int start_offset_ms;      // where in the second the command goes out
    Result_code expected;
    std::string expected_line;
    std::int64_t expected_ms;
    std::size_t expected_writes;
    // A broken line with no line end after it is seen at the first tick of
    // the seconds clock when whole lines are delivered (-1: no difference).
    std::int64_t whole_lines_ms = -1;
};

class Delivery_timing_test : public ::testing::TestWithParam<Timing_case> {};

TEST_P(Delivery_timing_test, is_the_same_for_whole_lines_and_single_bytes) {
    const Timing_case& c = GetParam();
    for (bool whole_lines : {true, false}) {
        SCOPED_TRACE(whole_lines ? "whole lines" : "single bytes");
        Link_rig rig;
        if (!whole_lines) rig.port.refuse_whole_lines();
        ASSERT_TRUE(rig.link.open_port());
        rig.clock.advance_ms(c.start_offset_ms);
        c.script(rig);
        const auto start = rig.clock.now_ms();
        rig.link.send_command("CMD");
        std::string line;
        EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), c.expected);
        EXPECT_EQ(line, c.expected_line);
        EXPECT_EQ(elapsed(rig, start), whole_lines && c.whole_lines_ms >= 0 ? c.whole_lines_ms : c.expected_ms);
        EXPECT_EQ(rig.port.writes().size(), c.expected_writes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Timing, Delivery_timing_test,
    ::testing::Values(
        Timing_case{"line_at_once", [](Link_rig& r) { r.port.expect("CMD").reply("50 1\r", 30); }, 0,
                    comm::RESULT_OK, "50 1", 30, 1},
        Timing_case{"partial_line", [](Link_rig& r) { r.port.expect("CMD").reply("PUMP", 200); }, 300,
                    comm::RESULT_PARTIAL, "PUMP", 3700, 1},
        Timing_case{"gap_of_1500_ms_inside_a_line",
                    [](Link_rig& r) { r.port.expect("CMD").reply("AB", 100).reply("CD\r", 1500); }, 600,
                    comm::RESULT_OK, "ABCD", 1600, 1},
        Timing_case{"nul_mid_line", [](Link_rig& r) { r.port.expect("CMD").reply(std::string("ok\0rest\r", 8)); },
                    0, comm::RESULT_BAD_LINE, "ok", 0, 1},
        Timing_case{"control_character_mid_line_without_line_end",
                    [](Link_rig& r) { r.port.expect("CMD").reply("ok\x01rest"); }, 500, comm::RESULT_BAD_LINE, "ok",
                    0, 1, 500},
        Timing_case{"lf_ends_the_line", [](Link_rig& r) { r.port.expect("CMD").reply("abc\n"); }, 0,
                    comm::RESULT_BAD_LINE, "abc", 0, 1},
        Timing_case{"over_long_line", [](Link_rig& r) { r.port.expect("CMD").reply(fifty_nine + "yz\r"); }, 0,
                    comm::RESULT_BAD_LINE, fifty_nine, 0, 1},
        Timing_case{"over_long_line_without_line_end",
                    [](Link_rig& r) { r.port.expect("CMD").reply(fifty_nine + "yz", 100); }, 200,
                    comm::RESULT_BAD_LINE, fifty_nine, 100, 1, 800},
        Timing_case{"silence", [](Link_rig& r) { r.port.expect_silence("CMD", 4); }, 700,
                    comm::RESULT_NO_RESPONSE, "", 7300, 4},
        Timing_case{"reply_after_a_resend",
                    [](Link_rig& r) {
                        r.port.expect("CMD");
                        r.port.expect("CMD").reply("late\r", 400);
                    },
                    100, comm::RESULT_OK, "late", 2300, 2},
        // A dialog holds the loop from 0.95 s to 2.05 s: the seconds clock
        // jumps by two, so the wait starts again and the re-send comes two
        // seconds after the hold-up, not at once.
        Timing_case{"hold_up_of_just_over_a_second",
                    [](Link_rig& r) {
                        r.port.expect("CMD");
                        r.port.expect("CMD").reply("ok\r");
                        r.ui.on_pump = [&r, first = true]() mutable {
                            if (first) r.clock.advance_ms(1100);
                            first = false;
                            return false;
                        };
                    },
                    950, comm::RESULT_OK, "ok", 3060, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Whole_line_delivery, wakes_once_per_line_not_once_per_byte) {
    std::string reply;
    Link_rig rig;
    ASSERT_TRUE(rig.link.open_port());
    auto& exchange = rig.port.expect("TAGS?");
    for (char c : std::string("17 C TT-204\r")) exchange.reply(std::string(1, c), 1);
    rig.link.send_command("TAGS?");
    std::string line;
    ASSERT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_OK);
    EXPECT_EQ(line, "17 C TT-204");
    EXPECT_EQ(rig.port.waits(), 1);
}

TEST(Whole_line_delivery, a_line_held_back_at_the_first_tick_is_not_lost) {
    // The line is still incomplete when the second ends: it is read byte by
    // byte from there, and the bytes held back come first, in order.
    Link_rig rig;
    ASSERT_TRUE(rig.link.open_port());
    rig.port.expect("CMD").reply("AB", 200).reply("CD", 900).reply("\r", 500);
    rig.link.send_command("CMD");
    std::string line;
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_OK);
    EXPECT_EQ(line, "ABCD");
    EXPECT_FALSE(rig.port.whole_lines());
}

// ---- Cancel and quit ----

TEST_F(Serial_link_test, cancel_ends_the_wait_at_the_next_poll_and_is_cleared) {
    rig.port.expect("X");
    rig.link.request_cancel();
    EXPECT_TRUE(rig.link.cancel_requested());
    const auto start = rig.clock.now_ms();
    EXPECT_EQ(ask("X"), comm::RESULT_CANCELLED);
    EXPECT_EQ(elapsed(rig, start), 0);
    EXPECT_FALSE(rig.link.cancel_requested());
    EXPECT_EQ(rig.link.pending_command(), "");
}

TEST_F(Serial_link_test, cancel_pressed_in_the_cancel_window_during_the_wait) {
    rig.port.expect_silence("X", 2);
    int pumps = 0;
    rig.ui.on_pump = [&] {
        if (++pumps == 120) rig.link.request_cancel();
        return false;
    };
    EXPECT_EQ(ask("X"), comm::RESULT_CANCELLED);
    EXPECT_EQ(pumps, 120);
    EXPECT_FALSE(rig.link.cancel_requested());
}

TEST_F(Serial_link_test, cancel_wins_over_a_complete_line) {
    rig.port.expect("X").reply("done\r");
    rig.link.request_cancel();
    EXPECT_EQ(ask("X"), comm::RESULT_CANCELLED);
}

TEST_F(Serial_link_test, quit_request_while_waiting_cancels) {
    rig.port.expect("X");
    rig.ui.on_pump = [] { return true; };
    EXPECT_EQ(ask("X"), comm::RESULT_CANCELLED);
    EXPECT_EQ(rig.ui.pumps, 1);
}

// ---- No port ----

TEST(Serial_link_closed, receive_without_a_port_is_port_closed_at_once) {
    Link_rig rig;
    std::string line = "stale";
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_PORT_CLOSED);
    EXPECT_EQ(line, "");
    EXPECT_EQ(rig.ui.pumps, 0);
}

TEST(Serial_link_closed, send_without_a_port_writes_nothing) {
    Link_rig rig;
    rig.link.send_command("X");
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(rig.link.pending_command(), "");
}

TEST(Serial_link_closed, close_is_harmless_when_nothing_is_open) {
    Link_rig rig;
    rig.link.close_port();
    EXPECT_EQ(rig.port.closes(), 0);
    ASSERT_TRUE(rig.link.open_port());
    rig.link.close_port();
    rig.link.close_port();
    EXPECT_EQ(rig.port.closes(), 1);
    EXPECT_FALSE(rig.link.port_open());
}

// ---- Opening the port ----

TEST(Serial_link_open, opens_the_device_named_for_the_port) {
    Link_rig rig;
    EXPECT_TRUE(rig.link.open_port());
    EXPECT_TRUE(rig.link.port_open());
    EXPECT_EQ(rig.port.last_device(), Link_rig::DEVICE);
}

struct Open_case {
    const char* name;
    comm::Open_failure failure;
    int message_id;
    ui::Buttons buttons;
};

class Open_failure_test : public ::testing::TestWithParam<Open_case> {};

TEST_P(Open_failure_test, shows_the_step_message_with_the_system_reason) {
    const Open_case& c = GetParam();
    Link_rig rig;
    rig.port.fail_opens(1, c.failure, "Permission denied");
    // The first step's failure names the device and where to choose another.
    const std::string text = c.failure == comm::Open_failure::open ? std::string(test::Link_rig::OPEN_REFUSED)
                                                                   : res::str(c.message_id) + ": Permission denied";
    rig.ui.expect_message(text, ui::Caption::error, c.buttons);
    EXPECT_FALSE(rig.link.open_port());
    EXPECT_FALSE(rig.link.port_open());
    std::string line;
    EXPECT_EQ(rig.link.receive_line(line, CAPACITY, true), comm::RESULT_PORT_CLOSED);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, Open_failure_test,
    ::testing::Values(
        Open_case{"open", comm::Open_failure::open, res::IDS_PORT_OPEN_FAILED, ui::Buttons::ok},
        Open_case{"buffers", comm::Open_failure::buffers, res::IDS_PORT_BUFFERS_FAILED, ui::Buttons::ok_information_icon},
        Open_case{"timeouts", comm::Open_failure::timeouts, res::IDS_PORT_TIMEOUTS_FAILED,
                  ui::Buttons::ok_information_icon},
        Open_case{"get_state", comm::Open_failure::get_state, res::IDS_PORT_GET_STATE_FAILED,
                  ui::Buttons::ok_information_icon},
        Open_case{"set_state", comm::Open_failure::set_state, res::IDS_PORT_SET_STATE_FAILED,
                  ui::Buttons::ok_information_icon}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Serial_link_open, open_failure_without_a_reason_shows_the_bare_text) {
    Link_rig rig;
    rig.port.fail_opens(1, comm::Open_failure::open, "");
    rig.ui.expect_error(
        "Unable to open communications port /dev/scripted\n"
        "Configure > Serial Adapters... lists the serial devices and maps COM ports to them.");
    EXPECT_FALSE(rig.link.open_port());
}

// ---- Recovery and standard messages ----

TEST(Serial_link_recover, closes_and_reopens) {
    Link_rig rig;
    ASSERT_TRUE(rig.link.open_port());
    EXPECT_TRUE(comm::recover(rig.link));
    EXPECT_EQ(rig.port.closes(), 1);
    EXPECT_EQ(rig.port.opens(), 2);
    EXPECT_TRUE(rig.link.port_open());
}

TEST(Serial_link_recover, failed_reopening_leaves_no_port) {
    Link_rig rig;
    ASSERT_TRUE(rig.link.open_port());
    rig.port.fail_opens(1);
    rig.ui.expect_error(test::Link_rig::OPEN_REFUSED);
    EXPECT_FALSE(comm::recover(rig.link));
    EXPECT_FALSE(rig.link.port_open());
    EXPECT_TRUE(rig.link.port_lost());
    // The open failure has said why: no second message for the lost port.
    rig.link.show_result_message(comm::RESULT_PORT_CLOSED);
}

TEST(Standard_messages, each_result_has_its_message) {
    const std::string no_response =
        "Calibrator failed to respond during the operation.\nCheck calibrator power status and communications "
        "cables.\nTry operation again.";
    const std::vector<std::pair<Result_code, std::string>> cases = {
        {comm::RESULT_INVALID, "Operation not successfully completed.  Try again."},
        {comm::RESULT_DOCUMENT_MODE, "Exit DOCUMENT mode and repeat operation"},
        {comm::RESULT_NOT_IDENTITY,
         "Response received was not valid for a device identity request.  Check COM port setting.  Device "
         "connected may be a modem or other non-calibrator device."},
        {comm::RESULT_BAD_LINE, no_response},
        {comm::RESULT_NO_RESPONSE, no_response},
        {comm::RESULT_PARTIAL, no_response},
        {comm::RESULT_CANCELLED, "Cancelled."},  // the user ended the wait: nothing failed
        {comm::RESULT_PORT_CLOSED, no_response},
    };
    for (const auto& [result, text] : cases) {
        test::Scripted_ui ui;
        ui.expect_error(text);
        comm::show_result_message(ui, result);
    }
    test::Scripted_ui quiet;
    comm::show_result_message(quiet, comm::RESULT_OK);
    EXPECT_TRUE(quiet.messages.empty());
}

}  // namespace
