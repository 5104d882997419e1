// The help window: the user guide's HTML pages (help/ beside the program, or
// the installed share folder) in a browser of the program's own, with Back,
// Forward and Contents.  One window serves the whole run; F1 in any window
// and the Help menu bring it to the front at the page of their help context.
#pragma once

#include <QWidget>
#include <functional>

class QPushButton;
class QTextBrowser;

namespace ui::qt {

using Help = std::function<void(int context)>;

// F1 anywhere in this window opens help at the context.
void add_f1_help(QWidget* window, int context, const Help& help);

// The folder that holds the help pages: help/ beside the program, else the
// installed <prefix>/share/tq740-sw/help; empty when neither has them.
QString help_folder();

class Help_window : public QWidget {
public:
    // home: the main window, which owns the help window while no modal
    // dialog is up.
    explicit Help_window(QWidget* home);

    // Shows the page of this help context in front, over the modal dialog
    // that is up, if any.  False (and nothing shown) when the help pages are
    // not installed.
    bool show_context(int context);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void open_file(const QString& file);
    void belong_to(QWidget* owner);
    QPushButton* tool_button(int text, const char* name);

    QWidget* home_;
    QString folder_;
    QTextBrowser* browser_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    bool placed_ = false;  // sized once; later showings keep the user's size and place
};

}  // namespace ui::qt
