// The help window: F1 opens the page of the window it is pressed in, also
// inside a modal dialog, whose help stays usable; exit closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabBar>
#include <QTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "tags/tag_editor.h"
#include "ui/qt/main_window.h"
#include "window_helpers.h"

namespace {

using qt_test::find_action;

class Help_window_test : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("HOME", home.path().toUtf8());
        window = std::make_unique<ui::qt::Main_window>(port, clock);
        ASSERT_TRUE(window->start());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QWidget* help_window() const { return window->findChild<QWidget*>(QStringLiteral("help_window")); }
    // The help window wherever it is now: beside the main window or over a dialog.
    static QWidget* help_window_of(QWidget* owner) {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "help_window" && top->parentWidget() == owner) return top;
        return nullptr;
    }
    static std::string page_of(QWidget* help) {
        if (!help) return "(no help window there)";
        return help->findChild<QTextBrowser*>(QStringLiteral("help_page"))->source().fileName().toStdString();
    }

    // A click that comes in through the window, as a user's does, so that a
    // window blocked by a modal dialog never sees it.
    static void click_as_the_window_system(QWidget* button) {
        QWidget* top = button->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          button->mapTo(top, button->rect().center()));
    }

    QTemporaryDir home;
    comm::Tty_serial_port port;
    comm::System_clock clock;
    std::unique_ptr<ui::qt::Main_window> window;
};

TEST_F(Help_window_test, f1_opens_the_page_of_the_window_and_of_a_modal_dialog_and_exit_closes_it) {
    QTest::keyClick(window.get(), Qt::Key_F1);
    QWidget* help = help_window();
    ASSERT_NE(help, nullptr) << "F1 in the main window opened no help window";
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(page_of(help), "main-window.html");
    EXPECT_EQ(help->windowTitle().toStdString(), "TQ740-SW Help - The main window");

    // F1 in the company name dialog: its page, and the help window takes
    // clicks although the dialog is modal.
    std::string dialog_page, after_click;
    bool pressed = false;
    qt_test::run_as_user(
        [&] { find_action(window->menuBar(), QStringLiteral("Company Name..."))->trigger(); },
        [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (pressed || !qt_test::active(dialog)) return;  // F1 goes to the active window
            pressed = true;
            QTest::keyClick(dialog, Qt::Key_F1);
            dialog_page = page_of(help);
            click_as_the_window_system(help->findChild<QPushButton*>(QStringLiteral("contents")));
            after_click = page_of(help);
            dialog->reject();
        });
    EXPECT_TRUE(pressed);
    EXPECT_EQ(dialog_page, "company-display-extract.html");
    EXPECT_EQ(after_click, "index.html") << "the help window was blocked by the modal dialog";
    EXPECT_EQ(help_window(), help) << "the help window did not come back to the main window";
    EXPECT_TRUE(help->isVisible()) << "closing the dialog took the help window with it";

    // Back returns to the dialog's page.
    click_as_the_window_system(help->findChild<QPushButton*>(QStringLiteral("back")));
    EXPECT_EQ(page_of(help), "company-display-extract.html");

    find_action(window->menuBar(), QStringLiteral("Exit"))->trigger();
    EXPECT_TRUE(qt_test::wait_for([&] { return !help->isVisible(); })) << "exit left the help window open";
}

// The tag editor's F1 follows its page; in the point number dialog opened
// from it (a modal dialog over a modal dialog) the help window belongs to the
// dialog in front, and goes back one owner at a time as the dialogs close.
TEST_F(Help_window_test, in_the_tag_editor_f1_follows_the_page_and_the_dialogs_in_front) {
    std::string tolerance_page, points_page, after_click;
    QWidget* sheet = nullptr;
    QWidget* owner_in_points_dialog = nullptr;
    QWidget* owner_back_in_sheet = nullptr;
    int step = 0;
    qt_test::run_as_user(
        [&] { find_action(window->menuBar(), QStringLiteral("New..."))->trigger(); },
        [&] {
            // The steps that press F1 wait until their dialog is the active window.
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            auto* tabs = modal->findChild<QTabBar*>(QStringLiteral("tag_pages"));
            if (step == 0 && tabs && qt_test::active(modal)) {
                sheet = modal;
                // A tag ID, so that leaving the first page asks nothing.
                modal->findChild<QLineEdit*>(QStringLiteral("control_%1").arg(static_cast<int>(tags::Control::tag_id)))
                    ->setText(QStringLiteral("TT-1"));
                tabs->setCurrentIndex(3);
                QTest::keyClick(modal, Qt::Key_F1);
                tolerance_page = page_of(help_window_of(modal));
                tabs->setCurrentIndex(4);
                step = 1;
                QTimer::singleShot(0, modal, [modal] { qt_test::find_button(modal, "Insert")->click(); });
            } else if (step == 1 && modal->objectName() == "point_number_dialog" && qt_test::active(modal)) {
                QTest::keyClick(modal, Qt::Key_F1);
                QWidget* help = help_window_of(modal);
                points_page = page_of(help);
                step = 2;
                if (help) {
                    owner_in_points_dialog = help->parentWidget();
                    click_as_the_window_system(help->findChild<QPushButton*>(QStringLiteral("contents")));
                    after_click = page_of(help);
                }
                static_cast<QDialog*>(modal)->reject();
            } else if (step == 2 && modal == sheet) {
                QWidget* help = help_window_of(modal);
                owner_back_in_sheet = help ? help->parentWidget() : nullptr;
                step = 3;
                static_cast<QDialog*>(modal)->reject();
            }
        });
    EXPECT_EQ(step, 3);
    EXPECT_EQ(tolerance_page, "tag-tolerance.html");
    EXPECT_EQ(points_page, "tag-test-points.html");
    EXPECT_NE(owner_in_points_dialog, sheet);
    EXPECT_EQ(after_click, "index.html") << "the help window was blocked by the dialog in front";
    EXPECT_EQ(owner_back_in_sheet, sheet);
    ASSERT_NE(help_window(), nullptr);
    EXPECT_TRUE(help_window()->isVisible());
}

// The Help menu brings the help window to the front at its page, also when
// it was minimised.
TEST_F(Help_window_test, the_help_menu_shows_its_page_also_after_minimising) {
    const std::pair<const char*, const char*> rows[] = {
        {"Support", "support.html"}, {"TQ740-SW Help", "main-window.html"}, {"Support", "support.html"}};
    for (const auto& [item, page] : rows) {
        if (help_window()) help_window()->showMinimized();
        find_action(window->menuBar(), QString::fromLatin1(item))->trigger();
        ASSERT_NE(help_window(), nullptr) << item;
        EXPECT_EQ(page_of(help_window()), page) << item;
        EXPECT_TRUE(help_window()->isVisible() && !help_window()->isMinimized()) << item << ": not in front";
    }
}

}  // namespace
