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
#include <memory>
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

    // Groups.  Expects the next Keep_dialog and answers it.
    void expect_keep(ui::Ui::Keep_answer answer) { expected_keeps_.push_back(answer); }
    // Expects the next Group_dialog: it is displayed (the editor fills its
    // lists), then act plays the user and returns true for OK (it calls
    // editor.accept itself, as the OK button does).
    void expect_group_dialog(std::function<bool(download::Group_editor&)> act) {
        expected_group_dialogs_.push_back(std::move(act));
    }
    // Expects the next Select_dialog; answers with the rows (nothing = Cancel).
    void expect_selection(std::optional<std::vector<int>> rows) { expected_selections_.push_back(std::move(rows)); }

    // Expects the tag editor sheet titled `title`; `user` plays the user on
    // the open sheet and returns true to close it with OK (call sheet.ok()
    // for the checks), false for Cancel.
    void expect_tag_sheet(std::string title, std::function<bool(tags::Tag_sheet&)> user);
    // Expects Point_number_dialog with this prompt; answers k (nothing = Cancel).
    void expect_point_number(std::string prompt, std::optional<int> k);
    // Expects Generate_points_dialog; answers (nothing = Cancel).  check,
    // when given, looks at the proposals.
    void expect_generate(std::optional<ui::Generate_values> answer,
                         std::function<void(const ui::Generate_values&)> check = {});

    // Printing.  Expects the print dialog; answers with job (nullptr = Cancel).
    void expect_printer(std::unique_ptr<ui::Print_job> job) { expected_printers_.push_back(std::move(job)); }
    // Expects the "Select Font Size" dialog; answers with size (nothing = Cancel).
    void expect_font_size(std::optional<int> size) { expected_font_sizes_.push_back(size); }
    // Expects `Display_dialog`; the user presses Print once when press_print
    // is set (the window then stays open only if printing says so), else OK.
    void expect_display(bool press_print = false) { expected_displays_.push_back(press_print); }

    // Expects the Serial Adapters dialog; `user` plays the user on it: it
    // gets the view shown and the Map button (port, row), which returns the
    // view shown after the mapping.
    using Adapters_user = std::function<void(const ui::Adapters_view&,
                                             const std::function<ui::Adapters_view(int, int)>& map)>;
    void expect_serial_adapters(Adapters_user user) { expected_adapters_.push_back(std::move(user)); }
    // Expects the next Extract_dialog; answers with the index (-1 = Cancel).
    void expect_extract_choice(int index) { expected_extract_choices_.push_back(index); }
    // Expects the next several-file picker; answers with paths (nothing = Cancel).
    void expect_files(std::optional<std::vector<std::string>> paths) { expected_file_lists_.push_back(std::move(paths)); }
    // Expects the Calibration Records window; `user` plays the user on it.
    void expect_records_window(std::function<void(records::Records_browser&)> user) {
        expected_records_windows_.push_back(std::move(user));
    }

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
    std::vector<std::string> sheet_titles;     // every tag sheet shown, by title
    int abouts = 0;
    int pumps = 0;                             // pump_events calls
    std::vector<int> font_size_offers;         // the preselected size of every font size dialog
    struct Display_shown {
        std::string caption;
        std::vector<std::string> lines;
        bool closed_by_print = false;          // Print was pressed and closed the window
    };
    std::vector<Display_shown> displays;       // every Display_dialog
    // Groups: what the group dialogs showed.
    std::vector<std::string> keep_texts;       // every Keep_dialog text, in order
    struct Group_lists {
        std::string caption;
        std::vector<std::string> available, in_group;
    };
    std::vector<Group_lists> group_displays;   // the lists of every Group_dialog as displayed
    struct Selection_shown {
        std::string caption;
        std::vector<std::string> items;
    };
    std::vector<Selection_shown> selections;   // every Select_dialog
    bool status_window_open = false;
    std::string status_caption;
    std::vector<std::string> status_rows;      // the status list as now shown
    std::vector<std::string> status_row_changes;  // every row text set, in order
    std::function<void()> status_cancel;       // the Cancel button of the open status window
    ui::Ui::List_metrics status_metrics;       // set by the test: the status list's measures
    std::vector<int> status_top_rows;          // every scroll of the status list
    std::vector<std::vector<std::string>> summaries;
    std::vector<ui::Adapters_view> adapter_views;  // every view the Serial Adapters dialog showed
    std::vector<Selection_shown> extract_choices;  // every Extract_dialog
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
    std::unique_ptr<ui::Print_job> choose_printer() override;
    std::optional<int> ask_font_size(int current) override;
    void show_display(const std::string& caption, const std::vector<std::string>& lines,
                      const std::function<bool()>& on_print) override;
    bool run_tag_sheet(const std::string& title, tags::Tag_sheet& sheet) override;
    std::optional<int> ask_point_number(const std::string& prompt) override;
    std::optional<ui::Generate_values> ask_generate_points(const ui::Generate_values& proposal) override;
    Keep_answer ask_keep(const std::string& caption, const std::string& text) override;
    bool run_group_dialog(download::Group_editor& editor) override;
    std::optional<std::vector<int>> select_download_members(const std::string& caption,
                                                            const std::vector<std::string>& items) override;
    void show_status_window(const std::string& caption, const std::vector<std::string>& rows,
                            std::function<void()> on_cancel) override;
    void set_status_row(int row, const std::string& text) override;
    List_metrics status_list_metrics() override { return status_metrics; }
    void set_status_top_row(int row) override { status_top_rows.push_back(row); }
    void close_status_window() override;
    void show_summary(const std::vector<std::string>& lines) override { summaries.push_back(lines); }
    void show_serial_adapters(const ui::Adapters_view& view,
                              const std::function<ui::Adapters_view(int, int)>& on_map) override;
    int choose_extract_tag(const std::string& caption, const std::vector<std::string>& ids) override;
    std::optional<std::vector<std::string>> pick_files(const ui::File_request& request) override;
    void run_records_window(records::Records_browser& browser) override;
    bool run_database_dialog(records::Database_choice& choice) override;

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
    std::deque<std::unique_ptr<ui::Print_job>> expected_printers_;
    std::deque<std::optional<int>> expected_font_sizes_;
    std::deque<bool> expected_displays_;
    struct Expected_sheet {
        std::string title;
        std::function<bool(tags::Tag_sheet&)> user;
    };
    std::deque<Expected_sheet> expected_sheets_;
    std::deque<std::pair<std::string, std::optional<int>>> expected_point_numbers_;
    struct Expected_generate {
        std::optional<ui::Generate_values> answer;
        std::function<void(const ui::Generate_values&)> check;
    };
    std::deque<Expected_generate> expected_generates_;
    std::deque<ui::Ui::Keep_answer> expected_keeps_;
    std::deque<std::function<bool(download::Group_editor&)>> expected_group_dialogs_;
    std::deque<std::optional<std::vector<int>>> expected_selections_;
    std::deque<Adapters_user> expected_adapters_;
    std::deque<int> expected_extract_choices_;
    std::deque<std::optional<std::vector<std::string>>> expected_file_lists_;
    std::deque<std::function<void(records::Records_browser&)>> expected_records_windows_;
};

// A printer for tests: a given resolution and printable height; records the
// document and its pages, and fails the page numbered fail_page (1 = the
// first, which fails as a document that cannot be started).
class Recording_print_job : public ui::Print_job {
public:
    struct Record {
        std::string name;
        int font_height = 0, left_margin = 0;
        std::vector<ui::Printed_page> pages;
        bool finished = false, abandoned = false;
    };
    Recording_print_job(Record& record, int resolution, int printable_height, int fail_page = 0)
        : record_(record), resolution_(resolution), height_(printable_height), fail_page_(fail_page) {}

    int resolution() const override { return resolution_; }
    int printable_height() const override { return height_; }
    void set_document(const std::string& name, int font_height, int left_margin) override {
        record_.name = name;
        record_.font_height = font_height;
        record_.left_margin = left_margin;
    }
    ui::Page_result print_page(const ui::Printed_page& page) override;
    void finish(bool abandon) override {
        record_.finished = true;
        record_.abandoned = abandon;
    }

private:
    Record& record_;
    int resolution_, height_, fail_page_;
};

}  // namespace test
