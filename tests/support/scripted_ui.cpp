#include "support/scripted_ui.h"

#include <gtest/gtest.h>

#include "download/group_editor.h"

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
    case ui::Buttons::yes_no_continue: return "yes_no_continue";
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
    return expected_messages_.size() + expected_files_.size() + expected_company_.size() +
           expected_printers_.size() + expected_font_sizes_.size() + expected_displays_.size() + expected_keeps_.size() +
           expected_group_dialogs_.size() + expected_selections_.size() + expected_sheets_.size() +
           expected_point_numbers_.size() + expected_generates_.size() + expected_adapters_.size() +
           expected_extract_choices_.size() + expected_file_lists_.size() + expected_records_windows_.size();
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
    if (!expected_keeps_.empty()) ADD_FAILURE() << "Scripted_ui: " << expected_keeps_.size() << " Keep_dialog(s) never shown";
    if (!expected_group_dialogs_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_group_dialogs_.size() << " Group_dialog(s) never shown";
    if (!expected_selections_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_selections_.size() << " Select_dialog(s) never shown";
    for (const auto& s : expected_sheets_)
        ADD_FAILURE() << "Scripted_ui: expected tag sheet never shown: \"" << s.title << "\"";
    for (const auto& p : expected_point_numbers_)
        ADD_FAILURE() << "Scripted_ui: expected point number dialog never shown: \"" << p.first << "\"";
    if (!expected_generates_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_generates_.size() << " generate dialog(s) never shown";
    expected_sheets_.clear();
    expected_point_numbers_.clear();
    expected_generates_.clear();
    expected_messages_.clear();
    expected_files_.clear();
    expected_company_.clear();
    if (!expected_printers_.empty()) ADD_FAILURE() << "Scripted_ui: " << expected_printers_.size() << " print dialog(s) never shown";
    if (!expected_font_sizes_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_font_sizes_.size() << " font size dialog(s) never shown";
    if (!expected_displays_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_displays_.size() << " Display_dialog(s) never shown";
    expected_printers_.clear();
    expected_font_sizes_.clear();
    expected_displays_.clear();
    if (!expected_adapters_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_adapters_.size() << " Serial Adapters dialog(s) never shown";
    expected_adapters_.clear();
    if (!expected_extract_choices_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_extract_choices_.size() << " Extract_dialog(s) never shown";
    if (!expected_file_lists_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_file_lists_.size() << " several-file picker(s) never shown";
    if (!expected_records_windows_.empty())
        ADD_FAILURE() << "Scripted_ui: " << expected_records_windows_.size() << " records window(s) never shown";
    expected_file_lists_.clear();
    expected_records_windows_.clear();
    expected_extract_choices_.clear();
    expected_keeps_.clear();
    expected_group_dialogs_.clear();
    expected_selections_.clear();
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

ui::Ui::Keep_answer Scripted_ui::ask_keep(const std::string& caption, const std::string& text) {
    EXPECT_EQ(caption, "WARNING") << "Scripted_ui: Keep_dialog caption";
    keep_texts.push_back(text);
    if (expected_keeps_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected Keep_dialog \"" << text << "\"";
        return Keep_answer::no;
    }
    const Keep_answer answer = expected_keeps_.front();
    expected_keeps_.pop_front();
    return answer;
}

bool Scripted_ui::run_group_dialog(download::Group_editor& editor) {
    editor.display(*this);
    group_displays.push_back({editor.caption(), editor.available(), editor.in_group()});
    if (expected_group_dialogs_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected Group_dialog \"" << editor.caption() << "\"";
        return false;
    }
    auto act = std::move(expected_group_dialogs_.front());
    expected_group_dialogs_.pop_front();
    return act(editor);
}

std::optional<std::vector<int>> Scripted_ui::select_download_members(const std::string& caption,
                                                                     const std::vector<std::string>& items) {
    selections.push_back({caption, items});
    if (expected_selections_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected Select_dialog \"" << caption << "\"";
        return std::nullopt;
    }
    const std::optional<std::vector<int>> rows = expected_selections_.front();
    expected_selections_.pop_front();
    return rows;
}

int Scripted_ui::choose_extract_tag(const std::string& caption, const std::vector<std::string>& ids) {
    extract_choices.push_back({caption, ids});
    if (expected_extract_choices_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected Extract_dialog \"" << caption << "\"";
        return -1;
    }
    const int index = expected_extract_choices_.front();
    expected_extract_choices_.pop_front();
    return index;
}

void Scripted_ui::show_status_window(const std::string& caption, const std::vector<std::string>& rows,
                                     std::function<void()> on_cancel) {
    status_window_open = true;
    status_caption = caption;
    status_rows = rows;
    status_cancel = std::move(on_cancel);
}

void Scripted_ui::set_status_row(int row, const std::string& text) {
    status_row_changes.push_back(text);
    if (row < 0 || row >= static_cast<int>(status_rows.size())) {
        ADD_FAILURE() << "Scripted_ui: status row " << row << " outside the list of " << status_rows.size();
        return;
    }
    status_rows[static_cast<std::size_t>(row)] = text;
}

void Scripted_ui::close_status_window() {
    status_window_open = false;
    status_cancel = nullptr;
}

std::unique_ptr<ui::Print_job> Scripted_ui::choose_printer() {
    if (expected_printers_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected print dialog";
        return nullptr;
    }
    auto job = std::move(expected_printers_.front());
    expected_printers_.pop_front();
    return job;
}

std::optional<int> Scripted_ui::ask_font_size(int current) {
    font_size_offers.push_back(current);
    if (expected_font_sizes_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected font size dialog";
        return std::nullopt;
    }
    const auto size = expected_font_sizes_.front();
    expected_font_sizes_.pop_front();
    return size;
}

void Scripted_ui::show_display(const std::string& caption, const std::vector<std::string>& lines,
                               const std::function<bool()>& on_print) {
    displays.push_back({caption, lines, false});
    if (expected_displays_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected Display_dialog \"" << caption << "\"";
        return;
    }
    const bool press_print = expected_displays_.front();
    expected_displays_.pop_front();
    if (press_print) displays.back().closed_by_print = on_print();
}

void Scripted_ui::show_serial_adapters(const ui::Adapters_view& view,
                                       const std::function<ui::Adapters_view(int, int)>& on_map) {
    adapter_views.push_back(view);
    if (expected_adapters_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected Serial Adapters dialog";
        return;
    }
    const Adapters_user user = std::move(expected_adapters_.front());
    expected_adapters_.pop_front();
    user(view, [this, &on_map](int port, int row) {
        adapter_views.push_back(on_map(port, row));
        return adapter_views.back();
    });
}

ui::Page_result Recording_print_job::print_page(const ui::Printed_page& page) {
    const int number = static_cast<int>(record_.pages.size()) + 1;
    if (number == fail_page_) return number == 1 ? ui::Page_result::document_failed : ui::Page_result::page_failed;
    record_.pages.push_back(page);
    return ui::Page_result::printed;
}

void Scripted_ui::expect_tag_sheet(std::string title, std::function<bool(tags::Tag_sheet&)> user) {
    expected_sheets_.push_back({std::move(title), std::move(user)});
}

void Scripted_ui::expect_point_number(std::string prompt, std::optional<int> k) {
    expected_point_numbers_.emplace_back(std::move(prompt), k);
}

void Scripted_ui::expect_generate(std::optional<ui::Generate_values> answer,
                                  std::function<void(const ui::Generate_values&)> check) {
    expected_generates_.push_back({answer, std::move(check)});
}

bool Scripted_ui::run_tag_sheet(const std::string& title, tags::Tag_sheet& sheet) {
    sheet_titles.push_back(title);
    if (expected_sheets_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected tag sheet \"" << title << "\"";
        return false;
    }
    Expected_sheet expected = std::move(expected_sheets_.front());
    expected_sheets_.pop_front();
    EXPECT_EQ(expected.title, title) << "Scripted_ui: tag sheet title";
    return expected.user(sheet);
}

std::optional<int> Scripted_ui::ask_point_number(const std::string& prompt) {
    if (expected_point_numbers_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected point number dialog \"" << prompt << "\"";
        return std::nullopt;
    }
    auto expected = std::move(expected_point_numbers_.front());
    expected_point_numbers_.pop_front();
    EXPECT_EQ(expected.first, prompt) << "Scripted_ui: point number prompt";
    return expected.second;
}

std::optional<ui::Generate_values> Scripted_ui::ask_generate_points(const ui::Generate_values& proposal) {
    if (expected_generates_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected generate dialog";
        return std::nullopt;
    }
    Expected_generate expected = std::move(expected_generates_.front());
    expected_generates_.pop_front();
    if (expected.check) expected.check(proposal);
    return expected.answer;
}

std::optional<std::vector<std::string>> Scripted_ui::pick_files(const ui::File_request& request) {
    file_requests.push_back(request);
    if (expected_file_lists_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected several-file picker \"" << request.title << "\"";
        return std::nullopt;
    }
    auto paths = std::move(expected_file_lists_.front());
    expected_file_lists_.pop_front();
    return paths;
}

void Scripted_ui::run_records_window(records::Records_browser& browser) {
    if (expected_records_windows_.empty()) {
        ADD_FAILURE() << "Scripted_ui: unexpected records window";
        return;
    }
    auto user = std::move(expected_records_windows_.front());
    expected_records_windows_.pop_front();
    user(browser);
}

// The dialog's choice is tested on its own (Database_choice) and as a window.
bool Scripted_ui::run_database_dialog(records::Database_choice&) {
    ADD_FAILURE() << "Scripted_ui: unexpected database dialog";
    return false;
}

}  // namespace test
