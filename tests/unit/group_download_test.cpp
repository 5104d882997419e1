// Download > Group against a small framed calibrator: the choice of members,
// the status rows, what stops the run and what does not, and the scrolling
// of the status list.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>

#include "download/group_download.h"
#include "link/frame.h"
#include "link/transactions.h"
#include "resources/download_strings.h"
#include "resources/link_strings.h"
#include "resources/strings.h"
#include "support/link_rig.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const fs::path EXAMPLES = fs::path(__FILE__).parent_path() / "../../examples/tags";
const Names FIVE = {"FT-610.utg", "LT-510.utg", "PT-201.utg", "TT-101.utg", "VT-410.utg"};

std::string framed(const std::string& value) { return comm::frame_reply(value, -1) + "\r"; }

// A level 2 calibrator with the framed protocol and a folder holding the
// group file "g.ugp" of the given members (copies of the example tags).
// query answers each "TAG_DNLD 0" (counted from 1); field answers each field
// command of the member being sent (its index in the group, from the Tag ID
// of its field 1) and that member's attempt (counted by its sends of field 1).
struct Group_fixture {
    QTemporaryDir temp;
    fs::path folder{temp.path().toStdString()};
    test::Link_rig rig;
    shell::Program program{rig.ui, rig.port, rig.clock, [] { return std::string(test::Link_rig::DEVICE); }};
    std::function<std::string(int query)> query = [](int) { return framed("50 1"); };
    std::function<std::string(int member, int field, int attempt)> field = [](int, int, int) {
        return framed("<Complete>");
    };
    int queries = 0;
    int member = -1;
    std::map<int, int> attempts;   // by member
    std::map<std::string, int> member_of_id;

    explicit Group_fixture(const Names& members) {
        program.session.clock_check_enabled = false;
        program.settings.tag_config_directory = folder.string();
        std::ofstream group(folder / "g.ugp", std::ios::binary);
        group << "TQ740-SW group configuration file v2.00\r\n";
        for (std::size_t i = 0; i < members.size(); ++i) {
            // Each member a tag of its own: the example's ID with the member's number.
            std::ifstream in(EXAMPLES / (fs::exists(EXAMPLES / members[i]) ? members[i] : "TT-101.utg"));
            std::ofstream out(folder / members[i], std::ios::binary);
            std::string line;
            for (int n = 0; std::getline(in, line); ++n) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (n == 1) {
                    line += "-" + std::to_string(i);
                    member_of_id[line.substr(3)] = static_cast<int>(i);
                }
                out << line << "\r\n";
            }
            group << members[i] << "\r\n";
        }
        rig.ui.status_metrics = {1000, 10};
        rig.port.set_responder([this](const std::string& written) { return answer(written); });
        rig.ui.expect_file((folder / "g.ugp").string(),
                           [](const ui::File_request& r) { EXPECT_EQ(r.title, "Select the group to download"); });
    }
    std::string answer(const std::string& written) {
        if (written == "*IDN?\r") return "NORVA,TQ740,0,3.00\r";
        std::string command = written.substr(0, written.size() - 1);
        EXPECT_TRUE(comm::check_command_frame(command)) << written;
        if (command == "TAG_DNLD 0") return query(++queries);
        int f = 0, p = 0, used = 0;
        EXPECT_EQ(std::sscanf(command.c_str(), "TAG_DNLD %d %d %n", &f, &p, &used), 2) << command;
        if (f == 1) {
            member = member_of_id.at(command.substr(used));
            ++attempts[member];
        }
        return field(member, f, attempts[member]);
    }
    download::Group_download_outcome run() { return download::download_group_command(program); }
    Names rows(const Names& states, const Names& names) const {
        Names out;
        for (std::size_t i = 0; i < names.size(); ++i) out.push_back(states[i] + names[i]);
        return out;
    }
};

const std::string PENDING = "Pending    ", LOADED = "Loaded     ", FAILED = "FAILED     ";

TEST(Group_download, at_most_the_free_spaces_are_chosen_while_the_port_is_closed) {
    Group_fixture f(FIVE);
    f.query = [](int) { return framed("3 1"); };
    f.rig.ui.expect_selection(std::vector<int>{0, 1, 2, 3});
    f.rig.ui.expect_error("Too many tags have been selected for download.  Only 3 spaces are available in the calibrator.");
    f.rig.ui.expect_selection(std::vector<int>{});
    f.rig.ui.expect_error("No tags have been selected for download.");
    f.rig.ui.expect_selection(std::vector<int>{1, 3, 4});   // exactly as many as free
    f.rig.ui.on_message = [&f](const test::Shown_message&) { EXPECT_FALSE(f.program.link.port_open()); };
    const auto outcome = f.run();

    EXPECT_EQ(outcome.chosen, 3);
    EXPECT_EQ(outcome.loaded, 3);
    ASSERT_EQ(f.rig.ui.selections.size(), 3u);
    EXPECT_EQ(f.rig.ui.selections[0].caption, "Select up to 3 tags from group for download.");
    EXPECT_EQ(f.rig.ui.selections[2].items, FIVE);
    EXPECT_EQ(f.rig.ui.status_caption, "Download status display, press Cancel to stop download");
    EXPECT_EQ(f.rig.ui.summaries.at(0), (Names{"Loaded     LT-510.utg", "Loaded     TT-101.utg", "Loaded     VT-410.utg"}));
    EXPECT_EQ(f.rig.ui.statuses.at(f.rig.ui.statuses.size() - 2), "Downloading Tags:  3 of 3");
    EXPECT_EQ(f.program.group_members, f.rig.ui.summaries.at(0));
    EXPECT_EQ(f.rig.ui.status_row_changes.front(), "Loading >  LT-510.utg");
    EXPECT_EQ(f.queries, 4);   // the first, then one per member
    EXPECT_EQ(f.rig.ui.beeps, 1);
    EXPECT_FALSE(f.rig.ui.status_window_open);
    EXPECT_EQ(f.rig.ui.menu_changes, (std::vector<bool>{false, true}));
    EXPECT_FALSE(f.program.operation_running);
    EXPECT_EQ(f.rig.ui.status(), "Configured to upload reports in TEXT format via port COM1");
}

TEST(Group_download, a_deleted_member_is_asked_about_and_left_out_of_the_choice) {
    const std::string question = res::str(res::IDS_MEMBERS_MISSING);
    for (const ui::Answer answer : {ui::Answer::yes, ui::Answer::no}) {
        Group_fixture f(FIVE);
        fs::remove(f.folder / "PT-201.utg");
        fs::rename(f.folder / "TT-101.utg", f.folder / "tt-101.UTG");   // found ignoring case
        f.rig.ui.expect_message(question, ui::Caption::error, ui::Buttons::yes_no_continue, answer);
        if (answer == ui::Answer::yes) f.rig.ui.expect_selection(std::nullopt);
        EXPECT_EQ(f.run().chosen, 0);
        if (answer == ui::Answer::yes) {
            EXPECT_EQ(f.rig.ui.selections.at(0).items, (Names{"FT-610.utg", "LT-510.utg", "TT-101.utg", "VT-410.utg"}));
        }
        EXPECT_TRUE(f.attempts.empty());
    }
}

TEST(Group_download, failures_of_a_member_fail_its_row_and_stop_the_run_only_when_the_next_would_fail_too) {
    struct Case {
        const char* name;
        std::function<std::string(int member, int field, int attempt)> field;
        std::string message;
        Names states;
        int loaded;
        std::string reason, current_tag;   // after the FAILED row of the summary; the tag file current at the end
        const char* gone = "";             // a member file deleted once the members are chosen
    };
    const Case cases[] = {
        {"a refused field of the first",
         [](int m, int f, int) { return framed(m == 0 && f == 21 ? "<Error 11>" : "<Complete>"); },
         "11 - Numeric data value is out of range for this field.\nTag: FT-610.utg\nField: Instrument Input Range Low",
         {FAILED, LOADED, LOADED, LOADED}, 3,
         "11 - Numeric data value is out of range for this field.  Field: Instrument Input Range Low", "TT-101.utg"},
        {"silence at field 10 of the second",
         [](int m, int f, int) { return m == 1 && f == 10 ? std::string() : framed("<Complete>"); },
         res::str(res::IDS_NO_RESPONSE), {LOADED, FAILED, PENDING, PENDING}, 1,
         "Calibrator failed to respond during the operation.", "LT-510.utg"},
        {"DOCUMENT mode at the third",
         [](int m, int, int) { return m == 2 ? std::string("<Exit DOCUMENT mode>\r") : framed("<Complete>"); },
         res::str(res::IDS_EXIT_DOCUMENT_MODE), {LOADED, LOADED, FAILED, PENDING}, 2,
         "Exit DOCUMENT mode and repeat operation", "PT-201.utg"},
        {"the fourth's file gone", [](int, int, int) { return framed("<Complete>"); }, "File Open Error",
         {LOADED, LOADED, LOADED, FAILED}, 3, "File Open Error", "PT-201.utg", "TT-101.utg"},
    };
    const Names four(FIVE.begin(), FIVE.begin() + 4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Group_fixture f(four);
        f.field = c.field;
        f.query = [&](int n) {
            if (n == 2 && *c.gone) fs::remove(f.folder / c.gone);   // at the first member's query
            return framed("50 1");
        };
        f.rig.ui.expect_selection(std::vector<int>{0, 1, 2, 3});
        f.rig.ui.expect_error(c.message);
        EXPECT_EQ(f.run().loaded, c.loaded);
        Names summary = f.rows(c.states, four);
        for (auto& row : summary) row += row.starts_with(FAILED) ? "  (" + c.reason + ")" : "";
        EXPECT_EQ(f.rig.ui.summaries.at(0), summary);
        EXPECT_EQ(f.program.current_tag_file_name, c.current_tag);
        EXPECT_EQ(f.rig.ui.beeps, 1);
    }
}

TEST(Group_download, cancel_during_the_second_of_four_leaves_the_rest_pending) {
    const Names four(FIVE.begin(), FIVE.begin() + 4);
    Group_fixture f(four);
    f.field = [](int m, int field, int) { return m == 1 && field == 12 ? std::string() : framed("<Complete>"); };
    f.rig.ui.on_pump = [&f] {
        if (f.member == 1 && f.rig.ui.status_cancel) f.rig.ui.status_cancel();
        return false;
    };
    f.rig.ui.expect_selection(std::vector<int>{0, 1, 2, 3});
    f.rig.ui.expect_error("User cancelled tag download.");
    EXPECT_EQ(f.run().loaded, 1);
    EXPECT_EQ(f.rig.ui.summaries.at(0).at(1), "FAILED     LT-510.utg  (User cancelled tag download.)");
    EXPECT_EQ(f.attempts[1], 1);
    EXPECT_EQ(f.rig.ui.beeps, 1);
    EXPECT_FALSE(f.program.link.cancel_requested());
}

TEST(Group_download, the_status_list_scrolls_to_keep_the_current_row_in_sight) {
    Names members;
    for (int i = 0; i < 13; ++i) members.push_back("T" + std::string(1, static_cast<char>('a' + i)) + ".utg");
    Group_fixture f(members);
    f.rig.ui.status_metrics = {105, 10};   // 10.5 rows: 9 rows before the list scrolls
    std::vector<int> all;
    for (int i = 0; i < 13; ++i) all.push_back(i);
    f.rig.ui.expect_selection(all);
    EXPECT_EQ(f.run().loaded, 13);
    EXPECT_EQ(f.rig.ui.status_top_rows, (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(download::scroll_free_rows({0, 0}), std::numeric_limits<int>::max());
}

}  // namespace
