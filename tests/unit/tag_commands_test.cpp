// The tag list and the erase commands against a scripted calibrator.
#include <gtest/gtest.h>

#include <map>

#include "link/frame.h"
#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "shell/program.h"
#include "shell/tag_commands.h"
#include "support/link_rig.h"

namespace {

const std::string LEVEL_1 = "NORVA,TQ740,0,2.10\r";
const std::string LEVEL_2 = "NORVA,TQ740,0,3.00\r";

// A program over the rig's port, clock and ui, with the clock check off so
// each test scripts only the identity check and its own commands.
struct Fixture {
    test::Link_rig rig;
    shell::Program program{rig.ui, rig.port, rig.clock, [] { return std::string(test::Link_rig::DEVICE); }};
    Fixture() { program.session.clock_check_enabled = false; }
    void identity(const std::string& reply) { rig.port.expect("*IDN?").reply(reply); }
};

// A framed calibrator holding tags by position: answers TAG_DNLD 0 and TAG_UPLD 68/1.
std::function<std::string(const std::string&)> framed_calibrator(std::map<int, std::pair<int, std::string>> tags) {
    return [tags](const std::string& written) -> std::string {
        std::string command = written.substr(0, written.size() - 1);  // without CR
        if (!comm::check_command_frame(command)) return comm::frame_reply("<Error 99>", -1) + "\r";
        if (command == "TAG_DNLD 0")
            return comm::frame_reply(std::to_string(50 - tags.size()) + " 1", -1) + "\r";
        int field = 0, position = 0;
        if (std::sscanf(command.c_str(), "TAG_UPLD %d %d", &field, &position) != 2) return "<Invalid command>\r";
        const auto it = tags.find(position);
        std::string value = it == tags.end() ? (field == 68 ? "0" : "<Error 16>")
                                             : (field == 68 ? std::to_string(it->second.first) : it->second.second);
        return comm::frame_reply(value, field) + "\r";
    };
}

TEST(Tag_list, framed_entries_carry_position_and_state) {
    Fixture f;
    f.identity(LEVEL_2);
    f.rig.port.set_responder(framed_calibrator({{3, {1, "PUMP-1"}}, {17, {2, "TT-204"}}}));
    shell::upload_tag_ids_command(f.program);
    EXPECT_EQ(f.rig.ui.tag_list, (std::vector<std::string>{" 3 U PUMP-1", "17 C TT-204"}));
    EXPECT_EQ(f.rig.ui.beeps, 1);
    // Positions are read only until both tags are found.
    EXPECT_EQ(f.rig.port.count_writes(comm::framed_command_text("TAG_UPLD 68 18")), 0);
    EXPECT_EQ(f.rig.ui.status(), "Configured to upload reports in TEXT format via port COM1");
}

TEST(Tag_list, an_empty_calibrator_shows_the_information_message) {
    struct Case {
        const char* name;
        std::string identity;
        std::function<void(test::Scripted_port&)> script;
    };
    const Case cases[] = {
        {"TAGS? with the closing line only", LEVEL_1,
         [](test::Scripted_port& p) { p.expect("TAGS?").reply("<No tags available>\r"); }},
        {"framed, 50 free: no field uploaded", LEVEL_2, [](test::Scripted_port& p) { p.set_responder(framed_calibrator({})); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.identity(c.identity);
        c.script(f.rig.port);
        f.rig.ui.expect_information(res::str(res::IDS_NO_TAGS_AVAILABLE));
        shell::upload_tag_ids_command(f.program);
        EXPECT_TRUE(f.rig.ui.tag_list.empty());
        EXPECT_EQ(f.rig.port.count_writes(comm::framed_command_text("TAG_UPLD 68 1")), 0);
    }
}

TEST(Tag_list, tags_lines_are_kept_as_sent_and_a_cut_line_is_retried_after_a_pause) {
    Fixture f;
    f.identity(LEVEL_1);
    f.rig.port.expect("TAGS?").reply("PUMP-1\r").reply("TT-2");  // cut off: no CR
    f.rig.port.expect("TAGS?").reply("PUMP-1\r").reply("TT-204\r").reply("<Complete>\r");
    shell::upload_tag_ids_command(f.program);
    EXPECT_EQ(f.rig.ui.tag_list, (std::vector<std::string>{"PUMP-1", "TT-204"}));
    EXPECT_GE(f.rig.clock.slept_ms(), 2000);
}

TEST(Tag_list, a_line_without_cr_on_all_three_attempts_fails) {
    Fixture f;
    f.identity(LEVEL_1);
    for (int i = 0; i < 3; ++i) f.rig.port.expect("TAGS?").reply("PUMP");
    f.rig.ui.expect_error(res::str(res::IDS_OPERATION_FAILED));
    shell::upload_tag_ids_command(f.program);
    EXPECT_TRUE(f.rig.ui.tag_list.empty());
    EXPECT_GE(f.rig.clock.slept_ms(), 3 * 2000 - 1000);  // about two seconds between attempts
}

TEST(Tag_list, failures_empty_the_list_with_the_standard_message) {
    struct Case {
        std::string reply;
        int message;
    };
    for (const Case& c : {Case{"<Exit DOCUMENT mode>\r", res::IDS_EXIT_DOCUMENT_MODE},
                          Case{"PUMP\n", res::IDS_NO_RESPONSE}}) {
        Fixture f;
        f.identity(LEVEL_1);
        f.rig.port.expect("TAGS?").reply(c.reply);
        f.rig.ui.expect_error(res::str(c.message));
        shell::upload_tag_ids_command(f.program);
        EXPECT_TRUE(f.rig.ui.tag_list.empty()) << c.reply;
    }
}

TEST(Tag_list, a_list_past_its_capacity_is_read_up_to_a_bound_then_refused) {
    // 200 entries are kept; up to MAX_EXTRA_TAG_LIST_LINES more lines are read
    // and dropped; one line more and the whole list is refused.
    for (int extra : {shell::MAX_EXTRA_TAG_LIST_LINES, shell::MAX_EXTRA_TAG_LIST_LINES + 1}) {
        SCOPED_TRACE(extra);
        Fixture f;
        f.identity(LEVEL_1);
        std::string list;
        for (size_t i = 0; i < shell::MAX_TAG_ENTRIES + static_cast<size_t>(extra); ++i)
            list += "T-" + std::to_string(i) + "\r";
        f.rig.port.expect("TAGS?").reply(list + "<End>\r");
        const bool refused = extra > shell::MAX_EXTRA_TAG_LIST_LINES;
        if (refused) f.rig.ui.expect_error(res::str(res::IDS_OPERATION_FAILED));
        shell::upload_tag_ids_command(f.program);
        EXPECT_EQ(f.program.tag_list.size(), refused ? 0u : shell::MAX_TAG_ENTRIES);
        EXPECT_EQ(f.rig.ui.tag_list.size(), refused ? 0u : shell::MAX_TAG_ENTRIES);
        f.rig.ui.verify();
    }
}

TEST(Erase, selected_at_level_2_sends_the_tag_id_without_prefix_then_rereads_the_list) {
    Fixture f;
    f.rig.ui.tag_list = {" 3 U PUMP-1", "17 C TT-204"};
    f.rig.ui.selection = {1};
    f.program.reports.reports_unsaved = true;
    f.rig.ui.expect_question(res::str(res::IDS_ERASE_SELECTED_QUESTION), ui::Answer::yes);
    f.rig.ui.expect_question(res::str(res::IDS_REPORTS_UNSAVED), ui::Answer::yes);
    f.identity(LEVEL_2);
    f.rig.port.expect("TAG_CLEAR TT-204").reply("<Complete>\r");
    f.identity(LEVEL_2);  // the list is read again, checks first
    f.rig.port.set_responder(framed_calibrator({{3, {1, "PUMP-1"}}}));
    shell::erase_selected_command(f.program);
    EXPECT_EQ(f.rig.ui.tag_list, (std::vector<std::string>{" 3 U PUMP-1"}));
    EXPECT_FALSE(f.program.reports.reports_unsaved);
}

TEST(Erase, selected_stops_at_a_tag_the_calibrator_does_not_know) {
    Fixture f;
    f.rig.ui.tag_list = {"PUMP-1", "GONE-7", "TT-204"};
    f.rig.ui.selection = {2, 0, 1};  // taken in ascending order
    f.rig.ui.expect_question(res::str(res::IDS_ERASE_SELECTED_QUESTION), ui::Answer::yes);
    f.identity(LEVEL_1);
    f.rig.port.expect("TAG_CLEAR PUMP-1").reply("<Complete>\r");
    f.rig.port.expect("TAG_CLEAR GONE-7").reply("<Tag [GONE-7] not found>\r");
    f.rig.ui.expect_error("Tag 'GONE-7' not found in calibrator");
    shell::erase_selected_command(f.program);
    EXPECT_EQ(f.rig.port.count_writes("TAG_CLEAR TT-204"), 0);
    EXPECT_TRUE(f.rig.ui.tag_list.empty());
}

TEST(Erase, nothing_happens_without_a_selection_or_a_yes) {
    {
        Fixture f;
        f.rig.ui.expect_error(res::str(res::IDS_NO_TAGS_SELECTED));
        shell::erase_selected_command(f.program);  // no question asked
    }
    {
        Fixture f;
        f.rig.ui.tag_list = {"PUMP-1"};
        f.rig.ui.reports = {"Tag ID: PUMP-1"};
        f.rig.ui.expect_question(res::str(res::IDS_ERASE_ALL_QUESTION), ui::Answer::no);
        shell::erase_all_command(f.program);
        EXPECT_EQ(f.rig.ui.reports, (std::vector<std::string>{"Tag ID: PUMP-1"}));
        EXPECT_EQ(f.rig.ui.tag_list, (std::vector<std::string>{"PUMP-1"}));
        EXPECT_EQ(f.rig.port.opens(), 0);
    }
}

TEST(Erase, all_tags_beeps_and_empties_the_tag_list) {
    Fixture f;
    f.rig.ui.tag_list = {"PUMP-1"};
    f.rig.ui.expect_question(res::str(res::IDS_ERASE_ALL_QUESTION), ui::Answer::yes);
    f.identity(LEVEL_1);
    f.rig.port.expect("TAG_CLEAR_ALL").reply("<No tags available>\r");
    shell::erase_all_command(f.program);
    EXPECT_EQ(f.rig.ui.beeps, 1);
    EXPECT_TRUE(f.rig.ui.tag_list.empty());
    EXPECT_EQ(f.rig.ui.reports_caption, "Reports");
}

}  // namespace
