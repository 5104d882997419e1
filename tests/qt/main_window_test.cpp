// The desktop window on the offscreen platform: menus built from the menu
// table, prompts and check marks, commands reaching the logic, the layout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "ui/qt/main_window.h"
#include "window_helpers.h"

namespace {

using qt_test::find_action;

QLabel* status_line(QWidget* window) { return window->findChild<QLabel*>(QStringLiteral("status_line")); }

class Window_test : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("HOME", home.path().toUtf8());
        holder = std::make_unique<ui::qt::Main_window>(port, clock);
        ASSERT_TRUE(holder->start());
        holder->show();
    }
    QString ini() const {
        QFile file(home.path() + QStringLiteral("/config/NORVATQ740/NORVATQ740.ini"));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }
    QTemporaryDir home;
    comm::Tty_serial_port port;
    comm::System_clock clock;
    std::unique_ptr<ui::qt::Main_window> holder;
    ui::qt::Main_window& window_ref() { return *holder; }
};

TEST_F(Window_test, starts_with_the_first_run_settings_and_the_status_line) {
    ASSERT_NE(status_line(&window_ref()), nullptr);
    EXPECT_EQ(status_line(&window_ref())->text(), "Configured to upload reports in TEXT format via port COM1");
    EXPECT_TRUE(ini().contains(QStringLiteral("port=1\n")));
    EXPECT_TRUE(find_action(window_ref().menuBar(), QStringLiteral("Use COM1"))->isChecked());
    EXPECT_TRUE(find_action(window_ref().menuBar(), QStringLiteral("Upload in Text Format"))->isChecked());
    EXPECT_EQ(window_ref().windowTitle(), "TQ740-SW");
}

TEST_F(Window_test, port_and_format_commands_update_marks_status_and_file) {
    find_action(window_ref().menuBar(), QStringLiteral("Upload in CSV Format"))->trigger();
    find_action(window_ref().menuBar(), QStringLiteral("Use COM5"))->trigger();
    EXPECT_EQ(status_line(&window_ref())->text(), "Configured to upload reports in CSV format via port COM5");
    int checked = 0;
    for (int n = 1; n <= 8; ++n)
        checked += find_action(window_ref().menuBar(), QStringLiteral("Use COM%1").arg(n))->isChecked() ? 1 : 0;
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(find_action(window_ref().menuBar(), QStringLiteral("Use COM5"))->isChecked());
    EXPECT_FALSE(find_action(window_ref().menuBar(), QStringLiteral("Upload in Text Format"))->isChecked());
    EXPECT_TRUE(ini().contains(QStringLiteral("port=5\n")));
    EXPECT_TRUE(ini().contains(QStringLiteral("format=0\n")));
}

TEST_F(Window_test, highlighting_shows_the_prompt_and_closing_the_menu_restores_the_status) {
    QAction* erase_all = find_action(window_ref().menuBar(), QStringLiteral("All Tags"));
    ASSERT_NE(erase_all, nullptr);
    erase_all->hover();
    EXPECT_EQ(status_line(&window_ref())->text(), "Erase all tags from the calibrator");
    for (QAction* top : window_ref().menuBar()->actions())
        if (top->menu()) emit top->menu()->aboutToHide();
    EXPECT_EQ(status_line(&window_ref())->text(), "Configured to upload reports in TEXT format via port COM1");
}

TEST_F(Window_test, items_of_work_not_built_are_disabled) {
    for (const char* text : {"Print...", "Print Setup...", "Group..."})
        EXPECT_FALSE(find_action(window_ref().menuBar(), QString::fromLatin1(text))->isEnabled()) << text;
    for (const char* text : {"Tag ID's", "Open...", "Company Name...", "Calibrator Identity", "Tag...", "Exit"})
        EXPECT_TRUE(find_action(window_ref().menuBar(), QString::fromLatin1(text))->isEnabled()) << text;
}

TEST_F(Window_test, the_tag_list_keeps_its_width_when_the_window_grows) {
    auto* tags = window_ref().findChild<QListWidget*>(QStringLiteral("tag_list"));
    auto* reports = window_ref().findChild<QListView*>(QStringLiteral("reports_list"));
    ASSERT_TRUE(tags && reports);
    const QRect tags_before = tags->geometry(), reports_before = reports->geometry();
    window_ref().resize(window_ref().width() + 120, window_ref().height() + 80);
    QApplication::processEvents();
    EXPECT_EQ(tags->width(), tags_before.width());
    EXPECT_EQ(tags->height(), tags_before.height() + 80);
    EXPECT_EQ(reports->width(), reports_before.width() + 120);
    EXPECT_EQ(reports->height(), reports_before.height() + 80);
}

TEST(Dialog_filter, turns_the_bar_separated_form_into_qt_filters) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"TXT files (*.txt)|*.txt|CSV files (*.csv)|*.csv||", "TXT files (*.txt);;CSV files (*.csv)"},
        {"All files (*.*)|*.*||", "All files (*)"},
        {"Tag Files (*.utg)|*.utg", "Tag Files (*.utg)"},
    };
    for (const auto& c : cases) EXPECT_EQ(ui::qt::dialog_filter(c.in), QString::fromLatin1(c.out)) << c.in;
}

}  // namespace
