// The simulator's state file and its command-line options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_tags.h"
#include "options.h"
#include "tag_store.h"

namespace {

TEST(Sim_state, demo_tags_survive_a_round_trip_through_the_state_file) {
    sim::Tag_store demo;
    sim::load_demo_tags(demo);
    sim::Tag_record odd;
    odd.set(1, "  two  spaces ");  // values keep their spaces
    odd.set(7, "");
    odd.set(sim::STATE_FIELD, "1");
    demo.put(50, odd);
    std::string text = sim::serialize_state(demo);

    sim::Tag_store loaded;
    std::string error;
    ASSERT_TRUE(sim::parse_state(text, loaded, error)) << error;
    for (int p = 1; p <= sim::MAX_TAGS; ++p)
        for (int f = 1; f <= sim::LAST_TAG_FIELD; ++f)
            ASSERT_EQ(loaded.at(p).field(f), demo.at(p).field(f)) << p << " " << f;
    EXPECT_EQ(sim::serialize_state(loaded), text);
}

struct Bad_state {
    const char* text;
    const char* error;
};

TEST(Sim_state, a_damaged_state_file_is_refused_whole) {
    const std::vector<Bad_state> cases = {
        {"", "the file is empty"},
        {"something else\n", "line 1: not a simulator state file"},
        {"TQ740-SIM-STATE 1\n1 68 1\n51 1 X\n", "line 3: expected \"position field value\""},
        {"TQ740-SIM-STATE 1\n1 129 X\n", "line 2: expected \"position field value\""},
        {"TQ740-SIM-STATE 1\n1 1\n", "line 2: expected \"position field value\""},
        {"TQ740-SIM-STATE 1\nx 1 A\n", "line 2: expected \"position field value\""},
    };
    for (const auto& c : cases) {
        sim::Tag_store store;
        sim::load_demo_tags(store);
        std::string error;
        EXPECT_FALSE(sim::parse_state(c.text, store, error)) << c.text;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(store.at(17).tag_id(), "TT-204");  // untouched
    }
}

TEST(Sim_state, store_positions_and_lookup) {
    sim::Tag_store store;
    EXPECT_EQ(store.next_free(), 1);
    for (int p = 1; p <= sim::MAX_TAGS; ++p) {
        sim::Tag_record tag;
        tag.set(1, "T" + std::to_string(p));
        tag.set(sim::STATE_FIELD, "1");
        store.put(p, tag);
    }
    EXPECT_EQ(store.free_count(), 0);
    EXPECT_EQ(store.next_free(), -1);
    EXPECT_EQ(store.find("t17"), 17);
    store.clear(17);
    EXPECT_EQ(store.next_free(), 17);
    EXPECT_EQ(store.find("T17"), 0);
    EXPECT_FALSE(store.in_use(0));
    EXPECT_FALSE(store.in_use(51));
}

TEST(Sim_state, leading_int_follows_the_decimal_integer_rule) {
    EXPECT_EQ(sim::leading_int("  -12abc"), -12);
    EXPECT_EQ(sim::leading_int("NONE"), 0);
    EXPECT_EQ(sim::leading_int("+7"), 7);
    EXPECT_EQ(sim::leading_int(""), 0);
}

struct Options_case {
    std::vector<std::string> args;
    bool ok;
    std::string error_start = "";
};

TEST(Sim_options, options_are_checked_before_anything_runs) {
    const std::vector<Options_case> cases = {
        {{}, true},
        {{"--demo", "--port", "1", "--state", "/tmp/x"}, true},
        {{"--port=8", "--baud=9600"}, true},
        {{"--port", "9"}, false, "option --port: expected a whole number from 1 to 8"},
        {{"--port"}, false, "option --port needs a value"},
        {{"--port", "1", "--link", "/tmp/l"}, false, "--port and --link exclude each other"},
        {{"--drop-reply-every", "0"}, false, "option --drop-reply-every: expected"},
        {{"--error-on-field", "21"}, false, "option --error-on-field: expected FIELD:CODE"},
        {{"--error-on-field", "130:11"}, false, "option --error-on-field: expected FIELD:CODE"},
        {{"--demo=yes"}, false, "option --demo takes no value"},
        {{"--bogus"}, false, "unknown option \"--bogus\""},
        {{"--clock-offset", "-3600"}, true},
        {{"--clock-offset", "1h"}, false, "option --clock-offset: expected"},
    };
    for (const auto& c : cases) {
        sim::Sim_options options;
        std::string error;
        EXPECT_EQ(sim::parse_options(c.args, options, error), c.ok) << (c.args.empty() ? "" : c.args[0]);
        if (!c.ok) {
            EXPECT_EQ(error.rfind(c.error_start, 0), 0u) << error;
        }
    }
}

TEST(Sim_options, every_option_reaches_its_setting) {
    sim::Sim_options options;
    std::string error;
    ASSERT_TRUE(sim::parse_options(
        {"--identity", "TALMONT,X,0,1.00", "--serial", "42", "--clock-offset", "-900", "--demo",
         "--calibrate-downloads", "--state", "s", "--document-mode", "--silent", "--drop-reply-every", "3",
         "--corrupt-frame-every", "4", "--no-cr-every", "5", "--lf-instead-of-cr", "--reply-delay-ms", "250",
         "--error-on-field", "21:11", "--error-on-field=68:16", "--baud", "9600", "--log", "--link", "/tmp/COM1"},
        options, error))
        << error;
    EXPECT_EQ(options.engine.identity, "TALMONT,X,0,1.00");
    EXPECT_EQ(options.engine.serial, "42");
    EXPECT_EQ(options.engine.clock_offset, -900);
    EXPECT_TRUE(options.demo && options.engine.calibrate_downloads && options.log);
    EXPECT_EQ(options.state_file, "s");
    const sim::Fault_options& f = options.engine.faults;
    EXPECT_TRUE(f.document_mode && f.silent && f.lf_instead_of_cr);
    EXPECT_EQ(f.drop_reply_every, 3);
    EXPECT_EQ(f.corrupt_frame_every, 4);
    EXPECT_EQ(f.no_cr_every, 5);
    EXPECT_EQ(f.error_on_field, (std::map<int, int>{{21, 11}, {68, 16}}));
    EXPECT_EQ(options.timing.reply_delay_ms, 250);
    EXPECT_EQ(options.timing.baud, 9600);
    EXPECT_EQ(options.link, "/tmp/COM1");
}

}  // namespace
