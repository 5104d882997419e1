// The simulator's serial line: command assembly, reply timing, line pacing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line_session.h"

namespace {

struct Session_rig {
    explicit Session_rig(sim::Timing_options timing = {}, sim::Engine_config config = {})
        : engine(std::move(config), time), session(engine, timing, [this](std::string_view e) { log.emplace_back(e); }) {}

    sim::Manual_time_source time;
    sim::Engine engine;
    std::vector<std::string> log;
    sim::Line_session session;
};

TEST(Sim_line_session, a_command_may_arrive_in_pieces) {
    Session_rig rig;
    rig.session.receive("*ID", 0);
    EXPECT_EQ(rig.session.next_due_us(), -1);
    rig.session.receive("N?", 10);
    EXPECT_EQ(rig.session.next_due_us(), -1);
    rig.session.receive("\r", 20);
    EXPECT_EQ(rig.session.take_due(20), "NORVA,TQ740,0,3.00\r");
    EXPECT_EQ(rig.session.next_due_us(), -1);
}

TEST(Sim_line_session, line_feeds_between_commands_are_ignored_and_commands_queue_in_order) {
    Session_rig rig;
    rig.session.receive("GET_SN\r\n*IDN?\r\n", 0);
    EXPECT_EQ(rig.session.take_due(0), "1234567\rNORVA,TQ740,0,3.00\r");
}

TEST(Sim_line_session, reply_delay_holds_the_reply_back) {
    Session_rig rig({0, 250});
    rig.session.receive("GET_SN\r", 1000);
    EXPECT_EQ(rig.session.next_due_us(), 251000);
    EXPECT_EQ(rig.session.take_due(250999), "");
    EXPECT_EQ(rig.session.take_due(251000), "1234567\r");
}

TEST(Sim_line_session, baud_pacing_accounts_the_command_then_sends_one_byte_per_ten_bit_times) {
    Session_rig rig({9600, 0});
    // "GET_SN\r" is 7 bytes: 7 x 1041.67 us = 7291.67 us on the line.
    rig.session.receive("GET_SN\r", 0);
    // First reply byte complete one byte time after the command.
    EXPECT_EQ(rig.session.next_due_us(), 8334);
    EXPECT_EQ(rig.session.take_due(8333), "");
    EXPECT_EQ(rig.session.take_due(8334), "1");
    EXPECT_EQ(rig.session.take_due(9374), "");
    EXPECT_EQ(rig.session.take_due(9375), "2");
    // The 8-byte reply is fully out 15 byte times after the command began.
    EXPECT_EQ(rig.session.take_due(15624), "34567");
    EXPECT_EQ(rig.session.take_due(15625), "\r");
}

TEST(Sim_line_session, baud_pacing_counts_command_bytes_that_came_earlier) {
    Session_rig rig({9600, 0});
    // The first half of the command came long before; only the bytes of the
    // second piece still occupy the line when it arrives.
    rig.session.receive("GET", 0);
    rig.session.receive("_SN\r", 100000);
    EXPECT_EQ(rig.session.next_due_us(), 100000 + 5 * 1041667 / 1000 + 1);
}

TEST(Sim_line_session, an_overlong_line_is_not_executed) {
    Session_rig rig;
    std::string line = "TAG_CLEAR " + std::string(300, 'A');
    rig.session.receive(line + "\r", 0);
    EXPECT_EQ(rig.session.take_due(0), "<Invalid command>\r");
    rig.session.receive("GET_SN\r", 0);  // the next line is whole again
    EXPECT_EQ(rig.session.take_due(0), "1234567\r");
}

TEST(Sim_line_session, log_shows_commands_and_replies_with_control_characters_escaped) {
    sim::Engine_config config;
    config.faults.drop_reply_every = 2;
    Session_rig rig({}, config);
    rig.session.receive("GET_SN\r", 0);
    rig.session.receive("GET\tSN\r", 0);
    EXPECT_EQ(rig.log, (std::vector<std::string>{"> GET_SN", "< 1234567\\r", "> GET\\tSN", "< (no reply)"}));
}

TEST(Sim_line_session, escape_control_covers_every_byte_class) {
    EXPECT_EQ(sim::escape_control(std::string("a\r\n\t\\\x01\x7f\xff", 8)), "a\\r\\n\\t\\\\\\x01\\x7F\\xFF");
}

}  // namespace
