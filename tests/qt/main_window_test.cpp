// The desktop window on the offscreen platform: menus built from the menu
// table, prompts and check marks, commands reaching the logic, the layout.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>

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
        restart();
    }
    // A new window over the same settings file, as at the next program start.
    void restart() {
        holder.reset();
        holder = std::make_unique<ui::qt::Main_window>(port, clock);
        ASSERT_TRUE(holder->start());
        holder->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(holder.get()));
    }
    void write_ini(const QString& text) {
        QFile file(home.path() + QStringLiteral("/config/NORVATQ740/NORVATQ740.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
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

TEST_F(Window_test, every_item_of_work_is_enabled) {
    for (const char* text : {"Tag ID's", "Open...", "Print...", "Print Setup...", "Display/Print...", "Company Name...",
                             "Calibrator Identity", "Tag...", "Group...", "Extract from Report...", "Exit"})
        EXPECT_TRUE(find_action(window_ref().menuBar(), QString::fromLatin1(text))->isEnabled()) << text;
}

TEST_F(Window_test, the_tag_list_keeps_its_width_when_the_window_grows) {
    auto* tags = window_ref().findChild<QListWidget*>(QStringLiteral("tag_list"));
    auto* reports = window_ref().findChild<QListView*>(QStringLiteral("reports_list"));
    ASSERT_TRUE(tags && reports);
    const QRect tags_before = tags->geometry(), reports_before = reports->geometry();
    window_ref().resize(window_ref().width() + 120, window_ref().height() + 80);
    ASSERT_TRUE(qt_test::wait_for([&] { return reports->width() == reports_before.width() + 120; }));
    EXPECT_EQ(tags->width(), tags_before.width());
    EXPECT_EQ(tags->height(), tags_before.height() + 80);
    EXPECT_EQ(reports->width(), reports_before.width() + 120);
    EXPECT_EQ(reports->height(), reports_before.height() + 80);
}

// Placement: what is saved comes back as it was, restart after restart, and
// a damaged placement in the file is fitted into the screen.
TEST_F(Window_test, the_window_comes_back_where_and_as_large_as_it_was_left) {
    window_ref().resize(700, 500);
    window_ref().move(40, 30);
    ASSERT_TRUE(qt_test::wait_for([&] { return window_ref().size() == QSize(700, 500); }));
    const QRect left_as = window_ref().geometry();
    for (int start = 1; start <= 2; ++start) {
        restart();
        EXPECT_EQ(window_ref().geometry(), left_as) << "start " << start;
    }
}

TEST_F(Window_test, a_placement_beyond_the_screen_is_fitted_into_it) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString placements[] = {
        QStringLiteral("window_top=2147483647\nwindow_left=2147483647\nwindow_height=2147483647\n"
                       "window_width=2147483647\n"),
        QStringLiteral("window_top=-2147483648\nwindow_left=-2147483648\nwindow_height=-5\nwindow_width=0\n"),
        QStringLiteral("window_top=20\nwindow_left=%1\nwindow_height=300\nwindow_width=400\n").arg(screen.right() - 3),
    };
    for (const QString& placement : placements) {
        write_ini(QStringLiteral("[main]\nport=1\nfont_size=9\n") + placement);
        restart();
        EXPECT_TRUE(screen.contains(window_ref().frameGeometry())) << placement.toStdString();
        EXPECT_GT(window_ref().width(), 100) << placement.toStdString();
        EXPECT_GT(window_ref().height(), 100) << placement.toStdString();
    }
}

// Enter on a question before data is lost answers No: the reports stay, the
// window stays, and no further step of the command runs (a further dialog
// would fail the test).
TEST_F(Window_test, enter_answers_no_to_the_questions_that_lose_data) {
    const char* commands[] = {"Exit", "All Tags", "Tag ID's", "Open...", "All Tag Reports"};
    for (const char* command : commands) {
        window_ref().dialog().set_reports_unsaved(true);
        QStringList seen;
        qt_test::run_as_user([&] { find_action(window_ref().menuBar(), QString::fromLatin1(command))->trigger(); },
                             [&] {
                                 auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                                 if (!box) return;
                                 seen << box->text();
                                 QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                                 QApplication::sendEvent(box, &enter);
                             });
        ASSERT_EQ(seen.size(), 1) << command;
        EXPECT_TRUE(seen[0].endsWith(QStringLiteral("Continue?"))) << command;
        EXPECT_TRUE(window_ref().dialog().reports_unsaved()) << command;
        EXPECT_TRUE(window_ref().isVisible()) << command;
    }
}

TEST_F(Window_test, the_company_name_field_takes_fifty_characters) {
    QString shown;
    qt_test::run_as_user([&] { find_action(window_ref().menuBar(), QStringLiteral("Company Name..."))->trigger(); },
                         [&] {
                             auto* field = window_ref().findChild<QLineEdit*>(QStringLiteral("company_name"));
                             if (!field || !field->isVisible()) return;
                             field->selectAll();
                             for (int n = 0; n < 60; ++n) {
                                 const QChar letter(u'A' + n % 26);
                                 QKeyEvent key(QEvent::KeyPress, Qt::Key_A + n % 26, Qt::ShiftModifier, letter);
                                 QApplication::sendEvent(field, &key);
                             }
                             shown = field->text();
                             qobject_cast<QDialog*>(field->window())->accept();
                         });
    ASSERT_EQ(shown.size(), 50);
    EXPECT_TRUE(ini().contains(QStringLiteral("company=") + shown + QLatin1Char('\n')));
}

// The helper that plays the user fails a test at once when a dialog comes up
// that the test does not answer, instead of letting it wait for its time-out.
ui::qt::Main_window* window_for_unexpected_dialog = nullptr;

TEST_F(Window_test, an_unexpected_dialog_fails_the_test_at_once) {
    window_for_unexpected_dialog = &window_ref();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_NONFATAL_FAILURE(
        qt_test::run_as_user(
            [] { find_action(window_for_unexpected_dialog->menuBar(), QStringLiteral("About TQ740-SW..."))->trigger(); },
            [] {}),
        "unexpected dialog");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
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
