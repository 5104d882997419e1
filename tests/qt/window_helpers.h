// Finding the desktop window's menu items as a user sees them; waiting for conditions.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>

#include <functional>

namespace qt_test {

// The action of a menu or sub-menu item, by its caption without "&".
inline QAction* find_action(QMenuBar* bar, const QString& text) {
    std::function<QAction*(const QList<QAction*>&)> search = [&](const QList<QAction*>& actions) -> QAction* {
        for (QAction* a : actions) {
            if (QString(a->text()).remove(QLatin1Char('&')) == text) return a;
            if (a->menu())
                if (QAction* found = search(a->menu()->actions())) return found;
        }
        return nullptr;
    };
    return search(bar->actions());
}

// The push button of a dialog by its caption without "&".
inline QPushButton* find_button(QWidget* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QPushButton*>())
        if (QString(b->text()).remove(QLatin1Char('&')) == text) return b;
    return nullptr;
}

// Runs the event loop until the condition holds, at most a few seconds (a
// busy machine can take that long to show a window); false when it never held.
inline bool wait_for(const std::function<bool()>& condition, int limit_ms = 5000) {
    return QTest::qWaitFor(condition, limit_ms);
}

// True once the window is shown and is the active window, the one keys go to.
inline bool active(QWidget* window) { return window && window->isVisible() && QApplication::activeWindow() == window; }

// Runs a command while a timer plays the user every 20 ms: `user` answers
// the dialogs the test expects.  A modal dialog left unanswered for three
// seconds is one the test did not expect: the test fails, naming it, and the
// dialog is closed the way Escape would close it (No, OK or Cancel), so that
// the command ends at once instead of the test waiting for its time-out.
inline void run_as_user(const std::function<void()>& command, const std::function<void()>& user) {
    constexpr int tick_ms = 20, patience_ms = 3000;
    QWidget* waiting = nullptr;
    QDeadlineTimer patience;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        user();
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != waiting) {
            waiting = modal;
            patience.setRemainingTime(patience_ms);
            return;
        }
        if (!modal || !patience.hasExpired()) return;
        auto* box = qobject_cast<QMessageBox*>(modal);
        ADD_FAILURE() << "unexpected dialog \"" << modal->windowTitle().toStdString() << "\": "
                      << (box ? box->text().toStdString() : std::string());
        if (box && box->escapeButton())
            box->escapeButton()->click();
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        waiting = nullptr;
    });
    timer.start(tick_ms);
    command();
    timer.stop();
}

// Clicks the button with this text (without "&") in the message box in
// front, if one is up, and notes the box's text in seen.
inline bool answer_message(const QString& button_text, QStringList& seen) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return false;
    for (QAbstractButton* button : box->buttons()) {
        if (QString(button->text()).remove(QLatin1Char('&')) == button_text) {
            seen << box->text();
            button->click();
            return true;
        }
    }
    return false;
}

}  // namespace qt_test
