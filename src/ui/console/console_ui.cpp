#include "ui/console/console_ui.h"

#include <algorithm>

#include "resources/database_dialog_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace ui::console {

std::atomic<bool> Console_ui::interrupted{false};

std::string caption_text(Caption caption) {
    switch (caption) {
    case Caption::error: return res::str(res::IDS_CAPTION_ERROR);
    case Caption::confirmation: return res::str(res::IDS_CAPTION_CONFIRMATION);
    case Caption::information: return res::str(res::IDS_CAPTION_INFORMATION);
    case Caption::warning: return res::str(res::IDS_CAPTION_WARNING);
    case Caption::fatal_error: return res::str(res::IDS_CAPTION_FATAL_ERROR);
    }
    return {};
}

Console_ui::Console_ui(bool answer_yes, std::FILE* messages) : answer_yes_(answer_yes), out_(messages) {}

Answer Console_ui::message(const std::string& text, Caption caption, Buttons buttons) {
    std::fprintf(out_, "%s: %s\n", caption_text(caption).c_str(), text.c_str());
    if (caption == Caption::error || caption == Caption::fatal_error) ++errors_;
    const bool continue_question = buttons == Buttons::yes_no_exclamation || buttons == Buttons::yes_no_continue;
    if (continue_question || buttons == Buttons::yes_no) {
        const Answer answer = answer_yes_ ? Answer::yes : Answer::no;
        if (answer == Answer::no) {
            ++questions_declined_;
            if (continue_question) ++continue_declined_;
        }
        std::fprintf(out_, "  -> %s\n", res::str(answer == Answer::yes ? res::IDS_BUTTON_YES : res::IDS_BUTTON_NO).c_str());
        std::fflush(out_);
        return answer;
    }
    std::fflush(out_);
    return Answer::ok;
}

void Console_ui::set_status(const std::string& text) {
    if (text == last_status_) return;
    last_status_ = text;
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

bool Console_ui::pump_events() {
    if (!interrupted.exchange(false)) return false;
    // Ctrl+C acts as the cancel window's button when one is up, else as a
    // quit request; either way the wait ends cancelled.
    if (on_cancel_) on_cancel_();
    return true;
}

std::optional<std::string> Console_ui::pick_file(const File_request&) {
    if (picks_.empty()) return std::nullopt;
    std::string path = picks_.front();
    picks_.erase(picks_.begin());
    return path;
}

std::string Console_ui::tag_line(int index) {
    if (index < 0 || index >= static_cast<int>(tag_lines_.size())) return {};
    return tag_lines_[static_cast<size_t>(index)];
}

void Console_ui::append_report_lines(const std::vector<std::string>& lines) {
    report_lines_.insert(report_lines_.end(), lines.begin(), lines.end());
}

void Console_ui::set_cancel_progress(int, int, const std::string& text) {
    // The bar has no place on a terminal; its text goes out as a status line
    // (on standard error, and only when it changes, as status lines do).
    if (on_cancel_) set_status(text);
}

void Console_ui::show_cancel_window(const std::string&, std::function<void()> on_cancel) {
    on_cancel_ = std::move(on_cancel);
}

bool Console_ui::run_tag_sheet(const std::string& title, tags::Tag_sheet&) {
    message(title + ": the tag editor needs the desktop program; use tq740-cli tag make.", Caption::error,
            Buttons::ok);
    return false;
}

bool Console_ui::run_database_dialog(records::Database_choice&) {
    message(res::str(res::IDS_DB_NEEDS_DESKTOP), Caption::error, Buttons::ok);
    return false;
}

std::optional<std::vector<int>> Console_ui::select_download_members(const std::string&,
                                                                    const std::vector<std::string>& items) {
    // The same choice again would only meet the same refusal.
    if (members_chosen_) return std::nullopt;
    members_chosen_ = true;
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(items.size()); ++row) {
        const std::string& item = items[static_cast<size_t>(row)];
        if (chosen_members_.empty() ||
            std::find(chosen_members_.begin(), chosen_members_.end(), item) != chosen_members_.end())
            rows.push_back(row);
    }
    return rows;
}

void Console_ui::show_status_window(const std::string&, const std::vector<std::string>& rows,
                                    std::function<void()> on_cancel) {
    on_cancel_ = std::move(on_cancel);
    for (const auto& row : rows) std::fprintf(out_, "%s\n", row.c_str());
    std::fflush(out_);
}

void Console_ui::set_status_row(int, const std::string& text) {
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

void Console_ui::show_summary(const std::vector<std::string>& lines) {
    for (const auto& line : lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void Console_ui::show_display(const std::string&, const std::vector<std::string>& lines,
                              const std::function<bool()>& on_print) {
    for (const auto& line : lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (printer_) on_print();
}

}  // namespace ui::console
