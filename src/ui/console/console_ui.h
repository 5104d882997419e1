// The user interface of the command-line program: messages and progress
// texts on standard error, questions answered from the --yes flag, lists
// kept in memory for the command to print or write.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace ui::console {

class Console_ui : public Ui {
public:
    explicit Console_ui(bool answer_yes, std::FILE* messages = stderr);

    Answer message(const std::string& text, Caption caption, Buttons buttons) override;
    void set_status(const std::string& text) override;
    void set_wait_cursor(bool) override {}
    void beep() override {}
    bool pump_events() override;
    std::optional<std::string> pick_file(const File_request& request) override;
    void set_tag_list(const std::vector<std::string>& lines) override { tag_lines_ = lines; }
    std::vector<int> selected_tags() override { return selection_; }
    std::string tag_line(int index) override;
    void append_report_lines(const std::vector<std::string>& lines) override;
    void clear_reports() override { report_lines_.clear(); }
    void set_reports_caption(const std::string& caption) override { reports_caption_ = caption; }
    void set_reports_extent(int) override {}
    void set_menus_enabled(bool) override {}
    void set_check_marks(bool, int) override {}
    void show_cancel_window(const std::string&, std::function<void()> on_cancel) override;
    void close_cancel_window() override { on_cancel_ = nullptr; }
    void set_cancel_progress(int done, int total, const std::string& text) override;
    std::optional<std::string> ask_company_name(const std::string&) override { return std::nullopt; }
    void show_about() override {}
    void show_identity(const Identity_values& values) override { identity_ = values; }
    void show_help(int) override {}
    void close_help() override {}
    // Printing goes to the printer print_with makes (none: as if cancelled);
    // a display lists its lines on standard output and, with a printer,
    // presses Print.
    std::unique_ptr<Print_job> choose_printer() override { return printer_ ? printer_() : nullptr; }
    void show_display(const std::string& caption, const std::vector<std::string>& lines,
                      const std::function<bool()>& on_print) override;
    void print_with(std::function<std::unique_ptr<Print_job>()> printer) { printer_ = std::move(printer); }
    // The group download: the members named by choose_members take the place
    // of the selection dialog (asked once: a second showing is a Cancel); the
    // status rows go to the messages as they change, the summary to standard
    // output.
    std::optional<std::vector<int>> select_download_members(const std::string& caption,
                                                            const std::vector<std::string>& items) override;
    void show_status_window(const std::string& caption, const std::vector<std::string>& rows,
                            std::function<void()> on_cancel) override;
    void set_status_row(int row, const std::string& text) override;
    void close_status_window() override { on_cancel_ = nullptr; }
    void show_summary(const std::vector<std::string>& lines) override;
    // The tag editor is a desktop window: here it says so and stays closed
    // (tq740-cli tag make makes tag files from the command line).
    bool run_tag_sheet(const std::string& title, tags::Tag_sheet& sheet) override;
    // Records > Database... too: here it says where the database is named instead.
    bool run_database_dialog(records::Database_choice& choice) override;

    // What the command reads back or prepares.
    const std::vector<std::string>& tag_lines() const { return tag_lines_; }
    void select_tags(std::vector<int> rows) { selection_ = std::move(rows); }
    const std::vector<std::string>& report_lines() const { return report_lines_; }
    const std::string& reports_caption() const { return reports_caption_; }
    const Identity_values& identity() const { return identity_; }
    // The paths the file pickers answer with, in the order they are asked.
    void answer_file_pickers_with(std::vector<std::string> paths) { picks_ = std::move(paths); }
    // The members the selection dialog answers with (all when empty).
    void choose_members(std::vector<std::string> names) { chosen_members_ = std::move(names); }
    // The number of messages with caption "ERROR" or "FATAL ERROR" shown.
    int error_count() const { return errors_; }
    // Questions answered No: those ending in "Continue?" (a No to one of
    // them ends its command), and all questions (the clock ones included).
    int continue_declined() const { return continue_declined_; }
    int questions_declined() const { return questions_declined_; }

    // Set from the SIGINT handler (so it must be lock-free): the next event
    // pump presses the cancel window's button, if one is up, and ends the
    // wait for the calibrator as cancelled.
    static std::atomic<bool> interrupted;
    static_assert(std::atomic<bool>::is_always_lock_free);

private:
    bool answer_yes_;
    std::FILE* out_;
    std::vector<std::string> tag_lines_;
    std::vector<int> selection_;
    std::vector<std::string> report_lines_;
    std::string reports_caption_;
    std::string last_status_;
    Identity_values identity_;
    std::vector<std::string> picks_;
    std::function<void()> on_cancel_;
    std::function<std::unique_ptr<Print_job>()> printer_;
    int errors_ = 0;
    std::vector<std::string> chosen_members_;
    bool members_chosen_ = false;
    int continue_declined_ = 0;
    int questions_declined_ = 0;
};

// The caption text a message box shows: "ERROR", "CONFIRMATION", ...
std::string caption_text(Caption caption);

}  // namespace ui::console
