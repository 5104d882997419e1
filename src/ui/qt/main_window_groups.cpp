// The main window's group dialogs: the ui operations of the group editor and
// the group download, and the tag choice of Extract from Report.
#include "ui/qt/group_dialogs.h"
#include "ui/qt/main_window.h"

namespace ui::qt {

Ui::Keep_answer Main_window::ask_keep(const std::string& caption, const std::string& text) {
    return qt::ask_keep(message_owner(), caption, text, [this](int c) { show_help(c); });
}

bool Main_window::run_group_dialog(download::Group_editor& editor) {
    return qt::run_group_dialog(this, editor, *this, [this](int c) { show_help(c); });
}

std::optional<std::vector<int>> Main_window::select_download_members(const std::string& caption,
                                                                     const std::vector<std::string>& items) {
    return qt::select_download_members(this, caption, items, [this](int c) { show_help(c); });
}

int Main_window::choose_extract_tag(const std::string& caption, const std::vector<std::string>& ids) {
    return qt::choose_extract_tag(this, caption, ids, [this](int c) { show_help(c); });
}

void Main_window::show_status_window(const std::string& caption, const std::vector<std::string>& rows,
                                     std::function<void()> on_cancel) {
    close_status_window();
    status_window_ = new Status_window(this, caption, rows, std::move(on_cancel), [this](int c) { show_help(c); });
    status_window_->show();
}

void Main_window::set_status_row(int row, const std::string& text) {
    if (status_window_) status_window_->set_row(row, text);
}

Ui::List_metrics Main_window::status_list_metrics() {
    return status_window_ ? status_window_->metrics() : List_metrics{};
}

void Main_window::set_status_top_row(int row) {
    if (status_window_) status_window_->set_top_row(row);
}

void Main_window::close_status_window() {
    if (!status_window_) return;
    status_window_->hide();
    status_window_->deleteLater();
    status_window_ = nullptr;
}

void Main_window::show_summary(const std::vector<std::string>& lines) {
    qt::show_summary(this, lines, [this](int c) { show_help(c); });
}

}  // namespace ui::qt
