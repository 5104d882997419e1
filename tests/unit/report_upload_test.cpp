// Upload > All Tag Reports and Upload > Selected Tag Reports against a
// scripted calibrator: the text upload of a basic calibrator line by line,
// the field upload of a full one through a small fake calibrator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <utility>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <fstream>

#include "link/frame.h"
#include "records/records_settings.h"
#include "reports/report_upload.h"
#include "shell/program.h"
#include "support/link_rig.h"

namespace {

const std::string OPERATION_FAILED = "Operation not successfully completed.  Try again.";
const std::string NO_RESPONSE =
    "Calibrator failed to respond during the operation.\nCheck calibrator power status and communications "
    "cables.\nTry operation again.";
const std::string DOCUMENT_MODE = "Exit DOCUMENT mode and repeat operation";
const std::string NO_TAGS_AVAILABLE = "No Tags are available in the calibrator";
const std::string NO_SELECTION = "No Tag ID's have been selected.";
const std::string UNSAVED = "Report data has NOT been saved and will be lost if you continue.  Continue?";
const std::string CANCELLED = "User cancelled tag upload.";
const std::string NO_CALIBRATED = "No calibrated tags are selected or available.";
const std::string NOT_CALIBRATED_QUESTION = "Some tags are NOT calibrated and will NOT be uploaded.  Continue?";
const std::string CRITICAL = "Critical uploaded data was invalid.  Try again.";
const std::string CONFIGURED_TEXT = "Configured to upload reports in TEXT format via port COM1";
const std::string SEPARATOR = "------------------------------";

const std::string LEVEL_1 = "NORVA,TQ740,0,2.10\r";

bool starts_with(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The status texts of the upload itself, in order.
std::vector<std::string> upload_statuses(const std::vector<std::string>& statuses) {
    std::vector<std::string> out;
    for (const auto& s : statuses)
        if (starts_with(s, "Uploading reports")) out.push_back(s);
    return out;
}

struct Upload_fixture {
    Upload_fixture() { program.session.clock_check_enabled = false; }

    // Shows lines in the Tag ID list and selects some of them.
    void show_tags(std::vector<std::string> lines, std::vector<int> selected) {
        rig.ui.set_tag_list(lines);
        rig.ui.selection = std::move(selected);
    }

    // After a failed upload nothing is kept and nothing stays locked.
    void expect_discarded() {
        EXPECT_TRUE(program.reports.empty());
        EXPECT_TRUE(rig.ui.reports.empty());
        EXPECT_EQ(rig.ui.reports_caption, "Reports");
        EXPECT_FALSE(program.reports.reports_unsaved);
        EXPECT_EQ(rig.ui.beeps, 0);
        EXPECT_EQ(rig.ui.status(), CONFIGURED_TEXT);
        EXPECT_TRUE(rig.ui.menus_enabled);
        EXPECT_FALSE(program.busy);
        EXPECT_FALSE(program.operation_running);
        EXPECT_FALSE(rig.ui.cancel_window_open);
        EXPECT_FALSE(program.link.cancel_requested());
        EXPECT_FALSE(program.link.port_open());
    }

    test::Link_rig rig;
    shell::Program program{rig.ui, rig.port, rig.clock, [] { return std::string(test::Link_rig::DEVICE); }};
};

// ---- Capability level 1: the calibrator renders the reports ----

struct Message {
    ui::Caption caption;
    std::string text;
};

struct Text_case {
    const char* name;
    bool all;
    int format;                      // 0 CSV, 1 TEXT
    std::string company;
    std::vector<std::string> shown;  // Tag ID list lines (selected mode: all selected)
    std::vector<std::pair<std::string, std::string>> script;  // command, reply bytes
    std::vector<Message> messages;
    std::vector<std::string> reports;
    std::vector<std::string> progress;                    // upload status texts, in order
    std::optional<std::vector<std::string>> tag_list;     // Tag ID list afterwards, when refreshed
};

const std::string ALL_WAIT = "Uploading reports for all calibrated Tags.  Please wait.";
const std::string SELECTED_WAIT = "Uploading reports for selected calibrated Tags.  Please wait.";
std::string all_progress(int i, int n) {
    return "Uploading reports for all calibrated Tags:  " + std::to_string(i) + " of " + std::to_string(n) + ".";
}
std::string selected_progress(int i, int n) {
    return "Uploading reports for selected calibrated Tags:  " + std::to_string(i) + " of " + std::to_string(n) +
           ".";
}

TEST(Text_upload, flows) {
    const std::string two_reports = "Tag ID: PUMP-1\rRow A\rTag ID: TT-204\rRow B\r<Complete>\r";
    const std::vector<Text_case> cases = {
        {"all_complete_with_trailing_space_is_refused", true, 1, "", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete> \r"}},
         {{ui::Caption::error, OPERATION_FAILED}}, {}, {ALL_WAIT}, {}},
        {"all_two_reports_with_company", true, 1, "ACME", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAGS?", "PUMP-1\rTT-204\rFT-9\r<End>\r"},
          {"TAG_SEND_ALL", two_reports}},
         {},
         {"Company Name: ACME", "", "Tag ID: PUMP-1", "Row A", SEPARATOR, "", "Company Name: ACME", "",
          "Tag ID: TT-204", "Row B"},
         {ALL_WAIT, all_progress(1, 3), all_progress(2, 3)}, {}},
        {"all_two_reports_without_company", true, 1, "", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAGS?", "PUMP-1\rTT-204\r<End>\r"},
          {"TAG_SEND_ALL", two_reports}},
         {}, {"Tag ID: PUMP-1", "Row A", SEPARATOR, "", "Tag ID: TT-204", "Row B"},
         {ALL_WAIT, all_progress(1, 2), all_progress(2, 2)}, {}},
        {"all_csv_quoted_and_any_case", true, 0, "ACME", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_CSV", "<Complete>\r"}, {"TAGS?", "A\rB\r<End>\r"},
          {"TAG_SEND_ALL", "\"Tag ID:\",\"A\"\r\"x\"\r\"TAG id:\",\"B\"\r<Complete>\r"}},
         {},
         {"\"Company Name:\",\"ACME\"", "", "\"Tag ID:\",\"A\"", "\"x\"", SEPARATOR, "", "\"Company Name:\",\"ACME\"",
          "", "\"TAG id:\",\"B\""},
         {ALL_WAIT, all_progress(1, 2), all_progress(2, 2)}, {}},
        {"all_lines_before_the_first_report_have_no_company_line", true, 1, "ACME", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAGS?", "A\r<End>\r"},
          {"TAG_SEND_ALL", "Header\r Tag ID: A\rTag ID: A\r<Complete>\r"}},
         {}, {"Header", " Tag ID: A", "Company Name: ACME", "", "Tag ID: A"}, {ALL_WAIT, all_progress(1, 1)}, {}},
        {"all_nothing_before_the_closing_line", true, 1, "ACME", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAGS?", "<No tags available>\r"},
          {"TAG_SEND_ALL", "<No tags available>\r"}},
         {{ui::Caption::information, NO_TAGS_AVAILABLE}}, {}, {ALL_WAIT}, {}},
        {"all_reply_cut_off_mid_report", true, 1, "", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAGS?", "A\r<End>\r"},
          {"TAG_SEND_ALL", "Tag ID: A\rRow wi"}},
         {{ui::Caption::error, NO_RESPONSE}}, {}, {ALL_WAIT, all_progress(1, 1)}, {}},
        {"all_error_line_after_reports_fails_and_keeps_nothing", true, 1, "", {},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAGS?", "PUMP-1\rTT-204\r<End>\r"},
          {"TAG_SEND_ALL", "Tag ID: PUMP-1\rRow A\rTag ID: TT-204\r<Error 5>\r"}},
         {{ui::Caption::error, "5 - Tag position does not match previous commands."}}, {},
         {ALL_WAIT, all_progress(1, 2), all_progress(2, 2)}, {}},
        {"selected_error_line_after_the_first_report_fails_and_keeps_nothing", false, 1, "", {"PUMP-1", "TT-204"},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"},
          {"TAG_SEND PUMP-1", "Tag ID: PUMP-1\rRow A\r<Complete>\r"},
          {"TAG_SEND TT-204", "Tag ID: TT-204\r<Error 31>\r"}},
         {{ui::Caption::error, "Unknown error code 31 returned."}}, {},
         {SELECTED_WAIT, selected_progress(1, 2), selected_progress(2, 2)}, {}},
        {"selected_complete_with_trailing_space_is_accepted", false, 1, "", {"PUMP-1"},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete> \r"},
          {"TAG_SEND PUMP-1", "Tag ID: PUMP-1\rRow A\r<Complete>\r"}},
         {}, {"Tag ID: PUMP-1", "Row A"}, {SELECTED_WAIT, selected_progress(1, 1)}, {}},
        {"selected_two_entries_with_company", false, 1, "ACME", {"PUMP-1", "TT-204"},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"},
          {"TAG_SEND PUMP-1", "Tag ID: PUMP-1\rRow A\r<Complete>\r"},
          {"TAG_SEND TT-204", "Tag ID: TT-204\rRow B\r<Complete>\r"}},
         {},
         {"Company Name: ACME", "", "Tag ID: PUMP-1", "Row A", SEPARATOR, "", "Company Name: ACME", "",
          "Tag ID: TT-204", "Row B"},
         {SELECTED_WAIT, selected_progress(1, 2), selected_progress(2, 2)}, {}},
        {"selected_tag_not_found_refreshes_the_tag_list", false, 1, "", {"PUMP-1", "old-7"},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"},
          {"TAG_SEND PUMP-1", "Tag ID: PUMP-1\rRow A\r<Complete>\r"},
          {"TAG_SEND old-7", "<Tag [OLD-7] not found>\r"}, {"*IDN?", LEVEL_1}, {"TAGS?", "PUMP-1\rTT-204\r<End>\r"}},
         {{ui::Caption::error, "Tag 'old-7' not found in calibrator"}}, {},
         {SELECTED_WAIT, selected_progress(1, 2)}, std::vector<std::string>{"PUMP-1", "TT-204"}},
        {"selected_no_report_refreshes_the_tag_list", false, 1, "", {"PUMP-1"},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"}, {"TAG_SEND PUMP-1", "<Tag not calibrated>\r"},
          {"*IDN?", LEVEL_1}, {"TAGS?", "<No tags available>\r"}},
         {{ui::Caption::information, NO_TAGS_AVAILABLE}, {ui::Caption::information, NO_TAGS_AVAILABLE}}, {},
         {SELECTED_WAIT}, std::vector<std::string>{}},
        {"selected_no_space_reply", false, 1, "", {"PUMP-1"},
         {{"*IDN?", LEVEL_1}, {"REPORT_TXT", "<Complete>\r"},
          {"TAG_SEND PUMP-1", "<No space between command and parameter>\r"}},
         {{ui::Caption::error, OPERATION_FAILED}}, {}, {SELECTED_WAIT}, {}},
        {"selected_layout_refused", false, 0, "", {"PUMP-1"},
         {{"*IDN?", LEVEL_1}, {"REPORT_CSV", "<Invalid command>\r"}},
         {{ui::Caption::error, OPERATION_FAILED}}, {}, {SELECTED_WAIT}, {}},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Upload_fixture f;
        f.program.settings.format = c.format;
        f.program.settings.company = c.company;
        std::vector<int> all_rows(c.shown.size());
        for (size_t i = 0; i < all_rows.size(); ++i) all_rows[i] = static_cast<int>(i);
        f.show_tags(c.shown, all_rows);
        for (const auto& [command, reply] : c.script) f.rig.port.expect(command).reply(reply);
        for (const auto& m : c.messages) f.rig.ui.expect_message(m.text, m.caption, ui::Buttons::ok);

        if (c.all)
            reports::upload_all_reports(f.program);
        else
            reports::upload_selected_reports(f.program);

        EXPECT_EQ(f.program.reports.lines(), c.reports);
        EXPECT_EQ(f.rig.ui.reports, c.reports);
        const bool uploaded = !c.reports.empty();
        EXPECT_EQ(f.program.reports.reports_unsaved, uploaded);
        EXPECT_EQ(f.rig.ui.reports_caption, uploaded ? "Reports - Uploaded from Calibrator" : "Reports");
        EXPECT_EQ(f.program.reports.displayed_format,
                  c.format ? reports::Report_format::text : reports::Report_format::csv);
        EXPECT_EQ(upload_statuses(f.rig.ui.statuses), c.progress);
        EXPECT_EQ(f.rig.ui.status(), c.format ? CONFIGURED_TEXT
                                              : "Configured to upload reports in CSV format via port COM1");
        // The text upload locks nothing.
        EXPECT_TRUE(f.rig.ui.menu_changes.empty());
        EXPECT_EQ(f.rig.ui.cancel_caption, "");
        EXPECT_FALSE(f.program.link.port_open());
        if (c.tag_list) {
            EXPECT_EQ(f.rig.ui.tag_list, *c.tag_list);
        }
        const int refresh_beeps = c.tag_list && !c.tag_list->empty() ? 1 : 0;
        EXPECT_EQ(f.rig.ui.beeps, (uploaded ? 1 : 0) + refresh_beeps);
    }
}

TEST(Text_upload, a_report_stream_is_bounded_and_nothing_of_a_longer_one_is_kept) {
    // Exactly max_uploaded_report_lines report lines are an upload; one more
    // line fails it, whether the stream would have ended or not.
    for (int lines : {reports::max_uploaded_report_lines, reports::max_uploaded_report_lines + 1}) {
        SCOPED_TRACE(lines);
        Upload_fixture f;
        f.rig.port.expect("*IDN?").reply(LEVEL_1);
        f.rig.port.expect("REPORT_TXT").reply("<Complete>\r");
        f.rig.port.expect("TAGS?").reply("A\r<End>\r");
        // In pieces a millisecond apart, so the scripted port looks at little at a time.
        auto& stream = f.rig.port.expect("TAG_SEND_ALL").reply("Tag ID: A\r");
        std::string piece;
        for (int i = 1; i < lines; ++i) {
            piece += "Row\r";
            if (i % 100 == 0) stream.reply(std::exchange(piece, ""), 1);
        }
        stream.reply(piece + "<Complete>\r", 1);
        const bool refused = lines > reports::max_uploaded_report_lines;
        if (refused) f.rig.ui.expect_error(OPERATION_FAILED);
        reports::upload_all_reports(f.program);
        if (refused)
            f.expect_discarded();
        else
            EXPECT_EQ(f.program.reports.lines().size(), static_cast<size_t>(lines));
        f.rig.ui.verify();
    }
}

TEST(Text_upload, progress_goes_to_the_cancel_window_too) {
    Upload_fixture f;
    f.rig.port.expect("*IDN?").reply(LEVEL_1);
    f.rig.port.expect("REPORT_TXT").reply("<Complete>\r");
    f.rig.port.expect("TAGS?").reply("A\rB\rC\r<End>\r");
    f.rig.port.expect("TAG_SEND_ALL").reply("Tag ID: A\rTag ID: B\r<Complete>\r");
    reports::upload_all_reports(f.program);
    using P = test::Scripted_ui::Progress;
    EXPECT_EQ(f.rig.ui.progress, (std::vector<P>{{1, 3, all_progress(1, 3)}, {2, 3, all_progress(2, 3)}}));
}

// ---- Start of both commands ----

TEST(Upload_start, nothing_selected_asks_nothing_and_sends_nothing) {
    Upload_fixture f;
    f.program.reports.reports_unsaved = true;
    f.show_tags({"PUMP-1"}, {});
    f.rig.ui.expect_error(NO_SELECTION);
    reports::upload_selected_reports(f.program);
    EXPECT_TRUE(f.rig.port.writes().empty());
    EXPECT_TRUE(f.program.reports.reports_unsaved);
}

TEST(Upload_start, unsaved_reports_kept_when_the_answer_is_no) {
    Upload_fixture f;
    f.program.reports.add_report_line("Tag ID: KEEP");
    f.program.reports.reports_unsaved = true;
    f.rig.ui.expect_question(UNSAVED, ui::Answer::no);
    reports::upload_all_reports(f.program);
    EXPECT_TRUE(f.rig.port.writes().empty());
    EXPECT_EQ(f.program.reports.lines(), std::vector<std::string>{"Tag ID: KEEP"});
    EXPECT_TRUE(f.program.reports.reports_unsaved);
}

TEST(Upload_start, failed_identity_check_leaves_an_empty_list) {
    Upload_fixture f;
    f.program.reports.add_report_line("Tag ID: OLD");
    f.rig.port.expect("*IDN?").reply("NORVA,TQ740,0,1.90\r");
    f.rig.ui.expect_error("Calibrator is not supported.");
    reports::upload_all_reports(f.program);
    EXPECT_EQ(f.rig.port.writes().size(), 1u);
    f.expect_discarded();
}

// ---- Capability level 2: field by field ----

using Tag_fields = std::map<int, std::string>;

// A calibrated tag of n points on a 0..100 to 4..20 instrument with 0.5 %
// tolerance; point k reads 50 in and 12 + k/10 out, so point 1 is the
// worked example (0.625 %, Fail).
Tag_fields calibrated_tag(const std::string& id, int n, int state = 2) {
    Tag_fields t = {{1, id},        {2, "MAKER"},   {3, "SN-1"},  {4, "JD"},   {5, "21C"},    {6, "40%"},
                    {7, ""},        {8, "M-7"},     {9, "Current"}, {10, "mA"}, {16, "Current"}, {17, "mA"},
                    {20, "0.500"},  {21, "0"},      {22, "100"},  {23, "4"},   {24, "20"},    {25, std::to_string(n)},
                    {68, std::to_string(state)},
                    {119, "2024"},  {120, "6"},     {121, "15"},  {122, "9"},  {123, "5"},    {124, "0"},
                    {125, "2024"},  {126, "1"},     {127, "2"}};
    for (int k = 1; k <= n; ++k) {
        char out[16];
        std::snprintf(out, sizeof out, "%d.%d00", 12 + k / 10, k % 10);
        t[25 + k] = "50.000";
        t[46 + k] = out;
        t[76 + k] = "50.000";
        t[97 + k] = "12.000";
    }
    return t;
}

// A calibrator that answers the commands of a field upload from a map of
// tags.  intercept, when set, may answer a command (seen without its frame)
// in its own way.
struct Fake_calibrator {
    std::string identity = "NORVA,TQ740,0,3.00";
    bool framed = true;
    std::string serial = "1234567";
    std::map<int, Tag_fields> tags;  // by position
    std::function<std::optional<std::string>(const std::string& command)> intercept;
    std::vector<std::string> commands;  // every command, without frame

    std::string reply(const std::string& value, int field) const {
        return (framed ? comm::frame_reply(value, field) : value) + "\r";
    }

    std::string answer(const std::string& written) {
        std::string command = written.substr(0, written.size() - 1);
        if (command.rfind("TAG_", 0) == 0 && framed && !comm::check_command_frame(command)) {
            ADD_FAILURE() << "unframed command " << command;
            return "";
        }
        commands.push_back(command);
        if (intercept)
            if (auto special = intercept(command)) return *special;
        if (command == "*IDN?") return identity + "\r";
        if (command == "GET_SN") return serial + "\r";
        if (command == "TAGS?") {
            std::string lines;
            for (const auto& [position, t] : tags) {
                char entry[80];
                std::snprintf(entry, sizeof entry, "%2i %s %s\r", position, t.at(68) == "1" ? "U" : "C",
                              t.at(1).c_str());
                lines += entry;
            }
            return lines + "<End>\r";
        }
        if (command == "TAG_DNLD 0") {
            int next = 1;
            while (tags.count(next)) ++next;
            return reply(std::to_string(50 - static_cast<int>(tags.size())) + " " + std::to_string(next), -1);
        }
        int field = 0, position = 0;
        if (std::sscanf(command.c_str(), "TAG_UPLD %d %d", &field, &position) == 2) {
            if (field == 129) return reply(serial, field);
            auto t = tags.find(position);
            if (t == tags.end()) return reply(field == 68 ? "0" : "<Error 16>", field);  // 68: empty position
            auto v = t->second.find(field);
            return reply(v == t->second.end() ? "" : v->second, field);
        }
        ADD_FAILURE() << "unexpected command " << command;
        return "";
    }

    // The field requests of a tag position made by the upload itself: those
    // after the serial number query (field 129 of position 1) that follows
    // the tag list.
    std::vector<int> upload_requests(int position) const {
        std::vector<int> out;
        auto c = std::find(commands.begin(), commands.end(), "TAG_UPLD 129 1");
        if (c == commands.end()) return out;
        for (++c; c != commands.end(); ++c) {
            int field = 0, p = 0;
            if (std::sscanf(c->c_str(), "TAG_UPLD %d %d", &field, &p) == 2 && p == position) out.push_back(field);
        }
        return out;
    }
};

struct Field_fixture : Upload_fixture {
    Field_fixture() {
        rig.port.set_responder([this](const std::string& written) { return calibrator.answer(written); });
    }
    Fake_calibrator calibrator;
};

std::vector<int> plan(int n) { return reports::tag_request_plan(n); }

TEST(Field_upload, two_tags_uploaded_rendered_and_marked_unsaved) {
    Field_fixture f;
    f.calibrator.tags = {{3, calibrated_tag("PUMP-1", 2)}, {17, calibrated_tag("TT-204", 3)}};
    reports::upload_all_reports(f.program);

    const auto& lines = f.program.reports.lines();
    EXPECT_EQ(f.rig.ui.reports, lines);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Tag ID: PUMP-1");
    const auto second = std::find(lines.begin(), lines.end(), "Tag ID: TT-204");
    ASSERT_NE(second, lines.end());
    ASSERT_GE(second - lines.begin(), 2);
    EXPECT_EQ(*(second - 2), SEPARATOR);
    EXPECT_EQ(*(second - 1), "");
    // The calibrator line of every report carries the identity and the serial number read at the start.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Calibrator: NORVA TQ740 S/N 1234567"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  1       50.000     12.100    0.625  Fail"), 2);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  3       50.000     12.300    1.875  Fail"), 1);

    // Exactly the request plan of each tag, and nothing for field 129 per tag.
    EXPECT_EQ(f.calibrator.upload_requests(3), plan(2));
    EXPECT_EQ(f.calibrator.upload_requests(17), plan(3));
    EXPECT_EQ(f.program.fields.field_text(129), "1234567");

    EXPECT_EQ(upload_statuses(f.rig.ui.statuses), (std::vector<std::string>{ALL_WAIT, all_progress(1, 2),
                                                                             all_progress(2, 2)}));
    using P = test::Scripted_ui::Progress;
    EXPECT_EQ(f.rig.ui.progress, (std::vector<P>{{1, 2, all_progress(1, 2)}, {2, 2, all_progress(2, 2)}}));
    EXPECT_TRUE(f.program.reports.reports_unsaved);
    EXPECT_EQ(f.rig.ui.reports_caption, "Reports - Uploaded from Calibrator");
    EXPECT_EQ(f.rig.ui.beeps, 1);
    EXPECT_EQ(f.rig.ui.cancel_caption, "Cancel Tag Upload");
    EXPECT_FALSE(f.rig.ui.cancel_window_open);
    EXPECT_EQ(f.rig.ui.menu_changes, (std::vector<bool>{false, true}));
    EXPECT_FALSE(f.program.operation_running);
    EXPECT_FALSE(f.program.link.port_open());
    EXPECT_EQ(f.rig.ui.status(), CONFIGURED_TEXT);
}

TEST(Field_upload, menus_locked_and_exit_refused_while_it_runs) {
    Field_fixture f;
    f.calibrator.tags = {{1, calibrated_tag("A", 1)}};
    bool checked = false;
    f.calibrator.intercept = [&](const std::string& command) -> std::optional<std::string> {
        if (command == "TAG_UPLD 1 1") {
            EXPECT_TRUE(f.program.busy);
            EXPECT_TRUE(f.program.operation_running);
            EXPECT_FALSE(f.rig.ui.menus_enabled);
            EXPECT_TRUE(f.rig.ui.cancel_window_open);
            checked = true;
        }
        return std::nullopt;
    };
    reports::upload_all_reports(f.program);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(f.program.reports.reports_unsaved);
}

TEST(Field_upload, csv_layout_and_company_follow_the_settings) {
    Field_fixture f;
    f.program.settings.format = 0;
    f.program.settings.company = "ACME";
    f.calibrator.tags = {{5, calibrated_tag("FT-9", 1)}};
    reports::upload_all_reports(f.program);
    const auto& lines = f.program.reports.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "\"Company Name:\",\"ACME\"");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "\"Tag ID:\",\"FT-9\"");
    EXPECT_EQ(f.program.reports.displayed_format, reports::Report_format::csv);
}

// A successful upload is recorded once it has ended, before its reports can
// be saved; a failure to record says why and keeps them listed, unsaved; a
// failed upload records nothing.
TEST(Field_upload, the_reports_are_recorded_and_a_failure_to_record_keeps_them_unsaved) {
    static int argc = 1;
    static char name[] = "report_upload_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);  // the SQL driver is a plugin
    QTemporaryDir dir;
    const std::string database = dir.filePath("records.sqlite").toStdString();
    struct Row {
        const char* name;
        bool garbage_database;
        bool upload_fails;
        std::string status;
    };
    const Row rows[] = {
        {"first upload", false, false, "Recorded 2 calibrations (0 already recorded)"},
        {"the same again", false, false, "Recorded 0 calibrations (2 already recorded)"},
        {"a failed upload", false, true, CONFIGURED_TEXT},
        {"not a database", true, false, CONFIGURED_TEXT},
    };
    for (const Row& row : rows) {
        Field_fixture f;
        f.calibrator.tags = {{3, calibrated_tag("PUMP-1", 2)}, {17, calibrated_tag("TT-204", 3)}};
        int recordings = 0;
        f.program.record_upload = [&] {
            ++recordings;
            records::record_uploaded_reports(f.program, database);
        };
        if (row.upload_fails) {
            f.calibrator.intercept = [&f](const std::string& command) -> std::optional<std::string> {
                if (command == "TAG_UPLD 10 17") return f.calibrator.reply("<Error 16>", 10);
                return std::nullopt;
            };
            f.rig.ui.expect_error("16 - Tag position is not in use.");
        }
        if (row.garbage_database) {
            std::ofstream(database) << std::string(4096, 'x');
            f.rig.ui.expect_error("The uploaded reports were not recorded.\nCannot open the records database " +
                                  database + ": file is not a database\nThey stay in the Reports list, unsaved.");
        }
        reports::upload_all_reports(f.program);
        EXPECT_EQ(recordings, row.upload_fails ? 0 : 1) << row.name;
        EXPECT_EQ(f.rig.ui.status(), row.status) << row.name;
        EXPECT_EQ(f.program.reports.reports_unsaved, !row.upload_fails) << row.name;
        EXPECT_EQ(f.program.reports.empty(), row.upload_fails) << row.name;
    }
}

TEST(Field_upload, selected_lines_pick_calibrated_tags_ignoring_case) {
    Field_fixture f;
    f.calibrator.tags = {{1, calibrated_tag("PUMP-1", 1)}, {2, calibrated_tag("FT-9", 1)},
                         {3, calibrated_tag("TT-204", 2)}};
    f.show_tags({" 1 C PUMP-1", " 2 C FT-9", " 3 c tt-204"}, {2});
    reports::upload_selected_reports(f.program);
    EXPECT_TRUE(f.calibrator.upload_requests(1).empty());
    EXPECT_TRUE(f.calibrator.upload_requests(2).empty());
    EXPECT_EQ(f.calibrator.upload_requests(3), plan(2));
    const auto& lines = f.program.reports.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Tag ID: TT-204");
    EXPECT_EQ(upload_statuses(f.rig.ui.statuses),
              (std::vector<std::string>{SELECTED_WAIT, selected_progress(1, 1)}));
}

TEST(Field_upload, unframed_value_without_cr_is_stored) {
    Field_fixture f;
    f.calibrator.identity = "TALMONT,TX-5,0,1.00";
    f.calibrator.framed = false;
    f.calibrator.tags = {{4, calibrated_tag("PT-3", 1)}};
    f.calibrator.intercept = [](const std::string& command) -> std::optional<std::string> {
        if (command == "TAG_UPLD 8 4") return std::string("M-77");  // falls silent without CR
        return std::nullopt;
    };
    reports::upload_all_reports(f.program);
    const auto& lines = f.program.reports.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Model Number:  M-77"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Calibrator: TALMONT TX-5 S/N 1234567"), lines.end());
    EXPECT_EQ(f.calibrator.commands.front(), "*IDN?");
    EXPECT_EQ(f.calibrator.commands[1], "TAGS?");
    EXPECT_EQ(f.calibrator.commands[2], "GET_SN");
    EXPECT_TRUE(f.program.reports.reports_unsaved);
}

// The failures of a field upload: each shows its messages and ends with an
// empty, unsaved list and nothing locked.
struct Failure_case {
    const char* name;
    std::map<int, Tag_fields> tags;
    std::vector<int> selected;  // Tag ID list lines selected; empty: All Tag Reports
    std::function<void(Field_fixture&)> arrange;
    std::vector<Message> messages;
    ui::Answer answer;          // to the not-calibrated question, when asked
    std::function<void(Field_fixture&)> check;
};

std::map<int, Tag_fields> three_calibrated_one_not() {
    return {{1, calibrated_tag("A", 2)}, {2, calibrated_tag("B", 2)}, {3, calibrated_tag("C", 2)},
            {4, calibrated_tag("D", 2, 1)}};
}

TEST(Field_upload, failures_discard_everything) {
    const std::vector<Failure_case> cases = {
        {"cancel_during_the_second_of_three_tags",
         {{1, calibrated_tag("A", 2)}, {2, calibrated_tag("B", 2)}, {3, calibrated_tag("C", 2)}}, {},
         [](Field_fixture& f) {
             f.rig.ui.on_pump = [&f] {
                 if (!f.calibrator.commands.empty() && f.calibrator.commands.back() == "TAG_UPLD 20 2" &&
                     f.rig.ui.cancel_action)
                     f.rig.ui.cancel_action();
                 return false;
             };
         },
         {{ui::Caption::error, CANCELLED}}, ui::Answer::yes,
         [](Field_fixture& f) {
             EXPECT_EQ(f.calibrator.upload_requests(1), plan(2));
             const auto second = f.calibrator.upload_requests(2);
             ASSERT_FALSE(second.empty());
             EXPECT_EQ(second.back(), 20);
             EXPECT_TRUE(f.calibrator.upload_requests(3).empty());
             EXPECT_EQ(upload_statuses(f.rig.ui.statuses).back(), all_progress(2, 3));
         }},
        {"error_line_of_code_16",
         {{1, calibrated_tag("A", 2)}}, {},
         [](Field_fixture& f) {
             f.calibrator.intercept = [&f](const std::string& command) -> std::optional<std::string> {
                 if (command == "TAG_UPLD 10 1") return f.calibrator.reply("<Error 16>", 10);
                 return std::nullopt;
             };
         },
         {{ui::Caption::error, "16 - Tag position is not in use."}}, ui::Answer::yes,
         [](Field_fixture& f) {
             // Nothing is requested after the refused field.
             const auto fields = f.calibrator.upload_requests(1);
             EXPECT_EQ(fields.back(), 10);
             EXPECT_EQ(f.rig.port.closes(), 2);  // identity check and the end of the upload
         }},
        {"four_bad_frames_reopen_the_port_four_times",
         {{1, calibrated_tag("A", 2)}}, {},
         [](Field_fixture& f) {
             f.calibrator.intercept = [](const std::string& command) -> std::optional<std::string> {
                 if (command == "TAG_UPLD 5 1") return std::string("21C[12005999\r");
                 return std::nullopt;
             };
         },
         {{ui::Caption::error, OPERATION_FAILED}}, ui::Answer::yes,
         [](Field_fixture& f) {
             EXPECT_EQ(std::count(f.calibrator.commands.begin(), f.calibrator.commands.end(), "TAG_UPLD 5 1"), 4);
             EXPECT_EQ(f.calibrator.upload_requests(1).back(), 5);
             // identity check 1, four recoveries, end of the upload 1
             EXPECT_EQ(f.rig.port.closes(), 6);
             EXPECT_EQ(f.rig.port.opens(), 6);
         }},
        {"not_calibrated_question_answered_no", three_calibrated_one_not(), {}, {},
         {{ui::Caption::confirmation, NOT_CALIBRATED_QUESTION}}, ui::Answer::no,
         [](Field_fixture& f) {
             for (int p = 1; p <= 4; ++p) EXPECT_TRUE(f.calibrator.upload_requests(p).empty());
             EXPECT_EQ(upload_statuses(f.rig.ui.statuses), std::vector<std::string>{ALL_WAIT});
         }},
        {"only_not_calibrated_selected", three_calibrated_one_not(), {3}, {},
         {{ui::Caption::error, NO_CALIBRATED}}, ui::Answer::yes, {}},
        {"no_tags_at_all", {}, {}, {}, {{ui::Caption::error, NO_CALIBRATED}}, ui::Answer::yes,
         [](Field_fixture& f) { EXPECT_EQ(f.calibrator.commands.back(), "TAG_UPLD 129 1"); }},
        {"point_count_22_stops_after_field_25",
         {{1, calibrated_tag("A", 2)}, {2, calibrated_tag("B", 22)}}, {}, {},
         {{ui::Caption::error, CRITICAL}}, ui::Answer::yes,
         [](Field_fixture& f) {
             EXPECT_EQ(f.calibrator.upload_requests(1), plan(2));
             EXPECT_EQ(f.calibrator.upload_requests(2), plan(22));
             EXPECT_EQ(plan(22).size(), 25u);
         }},
        {"serial_number_refused",
         {{1, calibrated_tag("A", 2)}}, {},
         [](Field_fixture& f) {
             f.calibrator.intercept = [&f](const std::string& command) -> std::optional<std::string> {
                 if (command == "TAG_UPLD 129 1") return f.calibrator.reply("<Error 15>", 129);
                 return std::nullopt;
             };
         },
         {{ui::Caption::error, OPERATION_FAILED}}, ui::Answer::yes,
         [](Field_fixture& f) { EXPECT_TRUE(f.calibrator.upload_requests(1).empty()); }},
        {"document_mode_while_reading_the_tag_list",
         {{1, calibrated_tag("A", 2)}}, {},
         [](Field_fixture& f) {
             f.calibrator.intercept = [](const std::string& command) -> std::optional<std::string> {
                 if (command == "TAG_DNLD 0") return std::string("<Exit DOCUMENT mode>\r");
                 return std::nullopt;
             };
         },
         {{ui::Caption::error, DOCUMENT_MODE}}, ui::Answer::yes, {}},
        {"cancel_pressed_during_the_question_does_not_outlive_the_upload", three_calibrated_one_not(), {},
         [](Field_fixture& f) {
             f.rig.ui.on_message = [&f](const test::Shown_message&) {
                 if (f.rig.ui.cancel_action) f.rig.ui.cancel_action();
             };
         },
         {{ui::Caption::confirmation, NOT_CALIBRATED_QUESTION}}, ui::Answer::no, {}},
        {"cancel_pressed_during_the_question_answered_yes_cancels", three_calibrated_one_not(), {},
         [](Field_fixture& f) {
             f.rig.ui.on_message = [&f](const test::Shown_message& m) {
                 if (m.caption == ui::Caption::confirmation && f.rig.ui.cancel_action) f.rig.ui.cancel_action();
             };
         },
         {{ui::Caption::confirmation, NOT_CALIBRATED_QUESTION}, {ui::Caption::error, CANCELLED}}, ui::Answer::yes,
         [](Field_fixture& f) { EXPECT_EQ(f.calibrator.upload_requests(1), std::vector<int>{1}); }},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Field_fixture f;
        f.program.reports.add_report_line("Tag ID: EARLIER");  // discarded at the start
        f.calibrator.tags = c.tags;
        if (!c.selected.empty()) {
            std::vector<std::string> shown;
            for (const auto& [position, t] : c.tags) {
                char entry[80];
                std::snprintf(entry, sizeof entry, "%2i %s %s", position, t.at(68) == "1" ? "U" : "C",
                              t.at(1).c_str());
                shown.push_back(entry);
            }
            f.show_tags(shown, c.selected);
        }
        if (c.arrange) c.arrange(f);
        for (const auto& m : c.messages) {
            const bool question = m.caption == ui::Caption::confirmation;
            f.rig.ui.expect_message(m.text, m.caption, question ? ui::Buttons::yes_no_exclamation : ui::Buttons::ok,
                                    question ? c.answer : ui::Answer::ok);
        }

        if (c.selected.empty())
            reports::upload_all_reports(f.program);
        else
            reports::upload_selected_reports(f.program);

        f.expect_discarded();
        EXPECT_EQ(f.rig.ui.cancel_caption, "Cancel Tag Upload");
        EXPECT_EQ(f.rig.ui.menu_changes, (std::vector<bool>{false, true}));
        if (c.check) c.check(f);
    }
}

}  // namespace
