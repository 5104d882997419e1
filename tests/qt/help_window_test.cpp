// The help window: F1 opens the page of the window it is pressed in, also
// inside a modal dialog, whose help stays usable; exit closes it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "link/clock.h"
#include "link/tty_serial_port.h"
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
        QApplication::processEvents();
    }
    QWidget* help_window() const { return window->findChild<QWidget*>(QStringLiteral("help_window")); }
    static std::string page_of(QWidget* help) {
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
            if (!dialog || pressed) return;
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
    QApplication::processEvents();
    EXPECT_FALSE(help->isVisible()) << "exit left the help window open";
}

TEST_F(Help_window_test, the_help_menu_opens_the_guide_and_the_support_page) {
    find_action(window->menuBar(), QStringLiteral("Support"))->trigger();
    ASSERT_NE(help_window(), nullptr);
    EXPECT_EQ(page_of(help_window()), "support.html");
    find_action(window->menuBar(), QStringLiteral("TQ740-SW Help"))->trigger();
    EXPECT_EQ(page_of(help_window()), "main-window.html");
}

}  // namespace
