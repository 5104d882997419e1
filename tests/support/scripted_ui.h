// A user interface for tests: answers from a queue of expectations and
// records everything the logic shows.
//
//   test::Scripted_ui ui;
//   ui.expect_question(res::str(res::IDS_ERASE_ALL_QUESTION), ui::Answer::yes);
//   ui.expect_error(res::str(res::IDS_NO_RESPONSE));
//   run_the_command(ui, ...);
//   EXPECT_EQ(ui.beeps, 1);
//
// Message boxes and file pickers must be expected, each kind in its own order
// (the order between a message box and a file picker is not checked): a message box
// that differs from the next expectation (text, caption or buttons), one that
// comes when none is expected, and expectations still unused when the object
// is destroyed (or verify() is called) fail the running test.  An unexpected
// question is answered No, an unexpected file picker is cancelled.
// Everything else (status line, lists, cursor, beeps, menus) is only
// recorded, for the test to check.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace test {

// One message box as it was shown, with the answer given.
struct Shown_message {
    std::string text;
    ui::Caption caption;
    ui::Buttons buttons;
    ui::Answer answer;
};

std::string to_string(ui::Caption caption);
std::string to_string(ui::Buttons buttons);

class Scripted_ui : public ui::Ui {
public:
    Scripted_ui() = default;
    ~Scripted_ui() override;

    // Expects the next message box to be exactly this one; answers it.
    void expect_message(std::string text, ui::Caption caption, ui::Buttons buttons,
                        ui::Answer answer = ui::Answer::ok);
    // "ERROR" with OK only.
    void expect_error(std::string text);
    // "INFORMATION" with OK only.
    void expect_information(std::string text);
    // "CONFIRMATION" question; buttons yes_no_exclamation ("Continue?" questions)
    // unless given (yes_no for the clock questions).
    void expect_question(std::string text, ui::Answer answer,
                         ui::Buttons buttons = ui::Buttons::yes_no_exclamation);

    // Expects the next file or folder picker; answers with path (nothing =
    // Cancel).  check, when given, looks at the request.
    void expect_file(std::optional<std::string> path,
                     std::function<void(const ui::File_request&)> check = {});
    // Expects the company name dialog; answers with text (nothing = Cancel).
    void expect_company_name(std::optional<std::string> text);

    // Fails the running test now for every expectation not used, and drops them.
    void verify();
    // Expectations not used yet (messages, pickers, company dialogs).
    std::size_t pending_expectations() const;

    // ---- What was shown (read these in the test) ----
    std::vector<Shown_message> messages;       // every message box, in order
    std::vector<std::string> statuses;         // every status-line text, in order
    std::string status() const { return statuses.empty() ? std::string() : statuses.back(); }
    bool wait_cursor = false;                  // current state
    int wait_cursor_ons = 0;                   // times it was turned on
    int beeps = 0;
    std::vector<std::string> tag_list;         // the Tag ID list as now shown
    int tag_list_sets = 0;                     // times set_tag_list was called
    std::vector<int> selection;                // set by the test: the selected Tag ID lines
    std::vector<std::string> reports;          // the Reports list as now shown
    int report_clears = 0;
    std::string reports_caption;
    int reports_extent = 0;
    bool menus_enabled = true;
    std::vector<bool> menu_changes;            // every set_menus_enabled value
    bool text_format_checked = true;
    int port_checked = 0;
    std::vector<ui::File_request> file_requests;
    bool cancel_window_open = false;
    std::string cancel_caption;
    std::function<void()> cancel_action;       // the Cancel button of the open cancel window
    struct Progress {
        int done, total;
        std::string text;
        bool operator==(const Progress&) const = default;
    };
    std::vector<Progress> progress;            // every set_cancel_progress call, in order
    std::vector<Identity_values> identities;   // every identification dialog shown
    std::vector<int> help_contexts;
    int help_closes = 0;
    int abouts = 0;
    int pumps = 0;                             // pump_events calls
    // Runs on every pump_events (after counting it); returns true to send a
    // quit request.  Tests use it to press Cancel or quit during a wait.
    std::function<bool()> on_pump;
    // Runs as each message box is shown (after it is recorded), to look at
    // the state of things at that moment.
    std::function<void(const Shown_message&)> on_message;

    // ---- ui::Ui ----
    ui::Answer message(const std::string& text, ui::Caption caption, ui::Buttons buttons) override;
    void set_status(const std::string& text) override { statuses.push_back(text); }
    void set_wait_cursor(bool on) override;
    void beep() override { ++beeps; }
    bool pump_events() override;
    std::optional<std::string> pick_file(const ui::File_request& request) override;
    void set_tag_list(const std::vector<std::string>& lines) override;
    std::vector<int> selected_tags() override { return selection; }
    std::string tag_line(int index) override;
    void append_report_lines(const std::vector<std::string>& lines) override;
    void clear_reports() override;
    void set_reports_caption(const std::string& caption) override { reports_caption = caption; }
    void set_reports_extent(int characters) override { reports_extent = characters; }
    void set_menus_enabled(bool enabled) override;
    void set_check_marks(bool text_format, int port) override;
    void show_cancel_window(const std::string& caption, std::function<void()> on_cancel) override;
    void close_cancel_window() override;
    void set_cancel_progress(int done, int total, const std::string& text) override {
        progress.push_back({done, total, text});
    }
    std::optional<std::string> ask_company_name(const std::string& current) override;
    void show_about() override { ++abouts; }
    void show_identity(const Identity_values& values) override { identities.push_back(values); }
    void show_help(int context) override { help_contexts.push_back(context); }
    void close_help() override { ++help_closes; }

private:
    struct Expected_message {
        std::string text;
        ui::Caption caption;
        ui::Buttons buttons;
        ui::Answer answer;
    };
    struct Expected_file {
        std::optional<std::string> path;
        std::function<void(const ui::File_request&)> check;
    };
    std::deque<Expected_message> expected_messages_;
    std::deque<Expected_file> expected_files_;
    std::deque<std::optional<std::string>> expected_company_;
};

}  // namespace test
