// The dialogs of the group commands: the group editor (`Group_dialog`) with
// its keep-or-drop question (`Keep_dialog`), and the group download's
// selection (`Select_dialog`), modeless status window (`Status_dialog`) and
// summary (`Summary_dialog`).
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/qt/help_window.h"
#include "ui/ui.h"

class QListWidget;
class QProgressBar;

namespace ui::qt {

// Keep_dialog: the text and the buttons Yes, No, Yes to All, No to All; it
// beeps as it is shown, has no close box, and Escape answers No.
Ui::Keep_answer ask_keep(QWidget* parent, const std::string& caption, const std::string& text, const Help& help);

// Group_dialog over the editor's logic; ui answers the editor's questions.
// True when it closed with OK.
bool run_group_dialog(QWidget* parent, download::Group_editor& editor, Ui& ui, const Help& help);

// Select_dialog: the selected rows in list order, or nothing on Cancel.
std::optional<std::vector<int>> select_download_members(QWidget* parent, const std::string& caption,
                                                        const std::vector<std::string>& items, const Help& help);

// Extract_dialog: the tag IDs of a report, one selectable; a double click is
// OK.  The index chosen with OK, or -1 (Cancel, or OK without a selection).
int choose_extract_tag(QWidget* parent, const std::string& caption, const std::vector<std::string>& ids,
                       const Help& help);

// Summary_dialog, modal.
void show_summary(QWidget* parent, const std::vector<std::string>& lines, const Help& help);

// Status_dialog: the rows of the group download and a Cancel button, which
// calls on_cancel and hides the window; Escape does nothing; the operation
// closes it at its end.  The field progress of the member being sent shows
// under the list.
class Status_window : public QDialog {
public:
    Status_window(QWidget* parent, const std::string& caption, const std::vector<std::string>& rows,
                  std::function<void()> on_cancel, Help help);

    void set_row(int row, const std::string& text);
    Ui::List_metrics metrics() const;
    void set_top_row(int row);
    void set_progress(int done, int total, const std::string& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void cancel();

    std::function<void()> on_cancel_;
    Help help_;
    QListWidget* list_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

}  // namespace ui::qt
