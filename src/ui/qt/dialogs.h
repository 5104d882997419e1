// The small dialogs of the desktop program: company name, about, calibrator
// identification, and the modeless cancel window of long operations.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "ui/ui.h"

class QLabel;
class QLineEdit;
class QProgressBar;

namespace ui::qt {

// The dialog's title as a label over its field: a window manager may cut a
// long title short, so the instruction it holds is shown inside too.
QLabel* instruction_label(QDialog* dialog, QWidget* field);

// Asks for the company name printed in report headers.  The field takes at
// most 50 characters, the most a report header holds, so what the user sees
// typed is what is kept.
std::optional<std::string> ask_company_name(QWidget* parent, const std::string& current,
                                            const std::function<void(int)>& help);

void show_about(QWidget* parent, const std::function<void(int)>& help);

void show_identity(QWidget* parent, const Ui::Identity_values& values, const std::function<void(int)>& help);

// Modeless window with a progress bar, a status text and one Cancel button.
// Pressing Cancel calls on_cancel and hides the window; Escape does nothing;
// the operation closes it at its end.
class Cancel_window : public QDialog {
public:
    Cancel_window(QWidget* parent, const std::string& caption, std::function<void()> on_cancel,
                  std::function<void(int)> help);

    // done of total on the bar (total 0 = a busy bar without measure), and
    // the status text beside it.
    void set_progress(int done, int total, const std::string& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<void()> on_cancel_;
    std::function<void(int)> help_;
    QProgressBar* bar_ = nullptr;
    QLabel* text_ = nullptr;
};

}  // namespace ui::qt
