// The checksum frame of the framed protocol, both directions.
#include <gtest/gtest.h>

#include <cstdio>

#include "link/frame.h"

namespace {

// text followed by the three-digit sum of its character codes modulo 1000
// (no case folding: the reply side).
std::string with_sum(const std::string& text) {
    unsigned sum = 0;
    for (unsigned char c : text) sum += c;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03u", sum % 1000);
    return text + digits;
}

TEST(Frame_command, worked_examples) {
    EXPECT_EQ(comm::framed_command_text("TAG_DNLD 0"), "TAG_DNLD 0[16879");
    EXPECT_EQ(comm::framed_command_text("TAG_UPLD 68 1"), "TAG_UPLD 68 1[19044");
}

TEST(Frame_command, lower_case_carries_the_same_checksum) {
    EXPECT_EQ(comm::framed_command_text("tag_dnld 0"), "tag_dnld 0[16879");
    EXPECT_EQ(comm::framed_command_text("Tag_Upld 68 1"), "Tag_Upld 68 1[19044");
}

// Sums worked out by hand, since the simulator checks frames with this same
// code: a fault in the folding would pass every exchange with it.
TEST(Frame_command, folds_every_lower_case_letter_and_nothing_else) {
    struct Case {
        const char* command;
        const char* framed;
    };
    const Case cases[] = {
        // 'Z' 90 + '[' 91 + '0' 48 + '7' 55 = 284
        {"z", "z[07284"},
        // TAG_DNLD 1 3 = 801, F U Z Z Y = 424, "[24" = 193: 1418
        {"TAG_DNLD 1 3 fuzzy", "TAG_DNLD 1 3 fuzzy[24418"},
        // 65 + ... + 90 = 2015, "[32" = 192: 2207
        {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmnopqrstuvwxyz[32207"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ[32207"},
        // the neighbours of a and z stay as they are: 96 + 123 + "[08" 195 = 414
        {"`{", "`{[08414"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(comm::framed_command_text(c.command), c.framed) << c.command;
        std::string received = c.framed;
        EXPECT_TRUE(comm::check_command_frame(received)) << c.framed;
        EXPECT_EQ(received, c.command);
    }
}

TEST(Frame_command, length_has_two_digits_at_least) {
    // "X" + "[07" : 'X' 88 + '[' 91 + '0' 48 + '7' 55 = 282
    EXPECT_EQ(comm::framed_command_text("X"), "X[07282");
    EXPECT_EQ(comm::framed_command_text(""), "[06193");  // 91 + 48 + 54
}

TEST(Frame_command, only_under_the_framed_protocol) {
    std::string command = "TAG_DNLD 0";
    comm::frame_command(command, false);
    EXPECT_EQ(command, "TAG_DNLD 0");
    comm::frame_command(command, true);
    EXPECT_EQ(command, "TAG_DNLD 0[16879");
}

TEST(Frame_command, calibrator_side_checks_and_strips_it) {
    for (std::string framed : {"TAG_DNLD 0[16879", "tag_dnld 0[16879", "TAG_UPLD 68 1[19044"}) {
        std::string command = framed;
        EXPECT_TRUE(comm::check_command_frame(command)) << framed;
        EXPECT_EQ(command, framed.substr(0, framed.size() - 6));
    }
    for (std::string damaged : {"TAG_DNLD 0[16878", "TAG_DNLD 0[16880", "TAG_DNLD 0[15879", "TAG_DNLD 0[17879",
                                "TAG_DNLD 0", "TAG_DNLD 0[1x879", ""}) {
        std::string command = damaged;
        EXPECT_FALSE(comm::check_command_frame(command)) << damaged;
    }
}

struct Reply_case {
    const char* name;
    std::string reply;
    int field;
    bool valid;
    std::string value;  // the buffer afterwards
};

class Reply_frame_test : public ::testing::TestWithParam<Reply_case> {};

TEST_P(Reply_frame_test, checks_and_strips_the_frame) {
    const Reply_case& c = GetParam();
    std::string reply = c.reply;
    EXPECT_EQ(comm::check_response_frame(reply, c.field, true), c.valid);
    EXPECT_EQ(reply, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Reply_frame_test,
    ::testing::Values(
        Reply_case{"free_space_example", "50 1[10370", -1, true, "50 1"},
        Reply_case{"field_68_example", "2[10068396", 68, true, "2"},
        Reply_case{"field_zero_means_no_field", "50 1[10370", 0, true, "50 1"},
        Reply_case{"other_field_number", "2[10068396", 69, false, "2"},
        Reply_case{"field_reply_read_as_plain", "2[10068396", -1, false, "2[10068396"},
        Reply_case{"plain_reply_read_as_field", "50 1[10370", 68, false, "50 1[10370"},
        Reply_case{"checksum_one_high", "50 1[10371", -1, false, "50 1"},
        Reply_case{"checksum_one_low", "50 1[10369", -1, false, "50 1"},
        Reply_case{"length_one_high", with_sum("50 1[11"), -1, false, "50 1"},
        Reply_case{"length_one_low", with_sum("50 1[09"), -1, false, "50 1"},
        Reply_case{"field_length_one_high", with_sum("2[11068"), 68, false, "2"},
        Reply_case{"no_case_folding_on_replies", with_sum("ab[08"), -1, true, "ab"},
        Reply_case{"folded_checksum_rejected", "ab[08" + std::to_string((65 + 66 + 91 + 48 + 56) % 1000), -1, false,
                   "ab"},
        Reply_case{"no_bracket", "50 1 10370", -1, false, "50 1 10370"},
        Reply_case{"too_short", "[10", -1, false, "[10"},
        Reply_case{"empty", "", -1, false, ""},
        Reply_case{"non_digit_length", with_sum("50 1[1x"), -1, false, "50 1"},
        Reply_case{"empty_value", with_sum("[06"), -1, true, ""},
        Reply_case{"error_line_with_frame", comm::frame_reply("<Error 15>", 129), 129, true, "<Error 15>"},
        Reply_case{"error_99_with_correct_frame", comm::frame_reply("<Error 99>", -1), -1, false,
                   comm::frame_reply("<Error 99>", -1)},
        Reply_case{"error_98_with_correct_frame", comm::frame_reply("<Error 98>", 68), 68, false,
                   comm::frame_reply("<Error 98>", 68)},
        Reply_case{"error_97_with_more_text", comm::frame_reply("<Error 97> bad", -1), -1, false,
                   comm::frame_reply("<Error 97> bad", -1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reply_frame, unframed_protocol_takes_the_reply_as_it_is) {
    for (std::string reply : {"50 1", "<Error 99>", "50 1[10371", ""}) {
        std::string buffer = reply;
        EXPECT_TRUE(comm::check_response_frame(buffer, -1, false));
        EXPECT_TRUE(comm::check_response_frame(buffer, 68, false));
        EXPECT_EQ(buffer, reply);
    }
}

TEST(Reply_frame, calibrator_side_builds_the_worked_examples) {
    EXPECT_EQ(comm::frame_reply("50 1", -1), "50 1[10370");
    EXPECT_EQ(comm::frame_reply("2", 68), "2[10068396");
    // And every framed reply it builds passes the check.
    for (const std::string value : {"", "0 -1", "PUMP-1", "2024/06/15 12:00:00"}) {
        for (int field : {-1, 1, 68, 129}) {
            std::string reply = comm::frame_reply(value, field);
            EXPECT_TRUE(comm::check_response_frame(reply, field, true)) << value << " " << field;
            EXPECT_EQ(reply, value);
        }
    }
}

}  // namespace
