// The main window's Records menu windows: the several-file picker of Import
// Reports, the Calibration Records window and the Records Database dialog.
#include <QFileDialog>

#include "ui/qt/database_dialog.h"
#include "ui/qt/main_window.h"
#include "ui/qt/records_window.h"

namespace ui::qt {

std::optional<std::vector<std::string>> Main_window::pick_files(const File_request& request) {
    QFileDialog picker(message_owner(), QString::fromStdString(request.title));
    if (!request.initial_folder.empty()) picker.setDirectory(QString::fromStdString(request.initial_folder));
    picker.setNameFilter(dialog_filter(request.filter));
    picker.setAcceptMode(QFileDialog::AcceptOpen);
    picker.setFileMode(QFileDialog::ExistingFiles);
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) return std::nullopt;
    std::vector<std::string> paths;
    for (const QString& path : picker.selectedFiles()) paths.push_back(path.toStdString());
    return paths;
}

void Main_window::run_records_window(records::Records_browser& browser) {
    Records_window window(this, browser, [this](int c) { show_help(c); });
    window.exec();
}

bool Main_window::run_database_dialog(records::Database_choice& choice) {
    Database_dialog dialog(this, choice, [this](int c) { show_help(c); });
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace ui::qt
