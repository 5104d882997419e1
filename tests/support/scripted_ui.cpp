#include "support/scripted_ui.h"

#include <gtest/gtest.h>

namespace test {

std::string to_string(ui::Caption caption) {
    switch (caption) {
    case ui::Caption::error: return "ERROR";
    case ui::Caption::confirmation: return "CONFIRMATION";
    case ui::Caption::information: return "INFORMATION";
    case ui::Caption::warning: return "WARNING";
    case ui::Caption::fatal_error: return "FATAL ERROR";
    }
    return "?";
}

std::string to_string(ui::Buttons buttons) {
    switch (buttons) {
    case ui::Buttons::ok: return "ok";
    case ui::Buttons::ok_information_icon: return "ok_information_icon";
    case ui::Buttons::yes_no_exclamation: return "yes_no_exclamation";
    case ui::Buttons::yes_no: return "yes_no";
    }
    return "?";
}

Scripted_ui::~Scripted_ui() { verify(); }

void Scripted_ui::expect_message(std::string text, ui::Caption caption, ui::Buttons buttons, ui::Answer answer) {
    expected_messages_.push_back({std::move(text), caption, buttons, answer});
}

void Scripted_ui::expect_error(std::string text) {
    expect_message(std::move(text), ui::Caption::error, ui::Buttons::ok);
}

void Scripted_ui::expect_information(std::string text) {
    expect_message(std::move(text), ui::Caption::information, ui::Buttons::ok);
}

void Scripted_ui::expect_question(std::string text, ui::Answer answer, ui::Buttons buttons) {
    expect_message(std::move(text), ui::Caption::confirmation, buttons, answer);
}

void Scripted_ui::expect_file(std::optional<std::string> path, std::function<void(const ui::File_request&)> check) {
    expected_files_.push_back({std::move(path), std::move(check)});
}

void Scripted_ui::expect_company_name(std::optional<std::string> text) { expected_company_.push_back(std::move(text)); }

std::size_t Scripted_ui::pending_expectations() const {
    return expected_messages_.size() + expected_files_.size() + expected_company_.size();
}

void Scripted_ui::verify() {
    for (const auto& m : expected_messages_)
        ADD_FAILURE() << "Scripted_ui: expected message never shown: " << to_string(m.caption) << " \"" << m.text
                      << "\"";
    for (const auto& f : expected_files_)
        ADD_FAILURE() << "Scripted_ui: expected file picker never shown (answer \"" << f.path.value_or("<cancel>")
                      << "\")";
    for (const auto& c : expected_company_)
        ADD_FAILURE() << "Scripted_ui: expected company name dialog never shown (answer \""
                      << c.value_or("<cancel>") << "\")";
    expected_messages_.clear();
    expected_files_.clear();
    expected_company_.clear();
}

ui::Answer Scripted_ui::message(const std::string& text, ui::Caption caption, ui::Buttons buttons) {
    const bool question = buttons == ui::Buttons::yes_no || buttons == ui::Buttons::yes_no_exclamation;
    ui::Answer answer = question ? ui::Answer::no : ui::Answer::ok;
    if (expected_messages_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected message " << to_string(caption) << " (" << to_string(buttons)
                      << "): \"" << text << "\"";
    } else {
        Expected_message expected = std::move(expected_messages_.front());
        expected_messages_.pop_front();
        EXPECT_EQ(expected.text, text) << "Scripted_ui: message #" << messages.size() + 1;
        EXPECT_EQ(to_string(expected.caption), to_string(caption)) << "Scripted_ui: caption of \"" << text << "\"";
        EXPECT_EQ(to_string(expected.buttons), to_string(buttons)) << "Scripted_ui: buttons of \"" << text << "\"";
        answer = expected.answer;
    }
    messages.push_back({text, caption, buttons, answer});
    if (on_message) on_message(messages.back());
    return answer;
}

void Scripted_ui::set_wait_cursor(bool on) {
    if (on) ++wait_cursor_ons;
    wait_cursor = on;
}

bool Scripted_ui::pump_events() {
    ++pumps;
    return on_pump ? on_pump() : false;
}

std::optional<std::string> Scripted_ui::pick_file(const ui::File_request& request) {
    file_requests.push_back(request);
    if (expected_files_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected file picker \"" << request.title << "\"";
        return std::nullopt;
    }
    Expected_file expected = std::move(expected_files_.front());
    expected_files_.pop_front();
    if (expected.check) expected.check(request);
    return expected.path;
}

void Scripted_ui::set_tag_list(const std::vector<std::string>& lines) {
    tag_list = lines;
    ++tag_list_sets;
}

std::string Scripted_ui::tag_line(int index) {
    if (index < 0 || index >= static_cast<int>(tag_list.size())) {
        ADD_FAILURE() << "Scripted_ui: tag_line(" << index << ") outside the list of " << tag_list.size();
        return {};
    }
    return tag_list[static_cast<std::size_t>(index)];
}

void Scripted_ui::append_report_lines(const std::vector<std::string>& lines) {
    reports.insert(reports.end(), lines.begin(), lines.end());
}

void Scripted_ui::clear_reports() {
    reports.clear();
    ++report_clears;
}

void Scripted_ui::set_menus_enabled(bool enabled) {
    menus_enabled = enabled;
    menu_changes.push_back(enabled);
}

void Scripted_ui::set_check_marks(bool text_format, int port) {
    text_format_checked = text_format;
    port_checked = port;
}

void Scripted_ui::show_cancel_window(const std::string& caption, std::function<void()> on_cancel) {
    cancel_window_open = true;
    cancel_caption = caption;
    cancel_action = std::move(on_cancel);
}

void Scripted_ui::close_cancel_window() {
    cancel_window_open = false;
    cancel_action = nullptr;
}

std::optional<std::string> Scripted_ui::ask_company_name(const std::string&) {
    if (expected_company_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected company name dialog";
        return std::nullopt;
    }
    auto answer = std::move(expected_company_.front());
    expected_company_.pop_front();
    return answer;
}

}  // namespace test
