// The dialogs as a user meets them, at larger fonts too; the window never too
// small for its lists; a typed name saved where the dialog shows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "reports/field_table.h"
#include "tags/tag_file.h"
#include "ui/qt/main_window.h"
#include "window_helpers.h"

namespace {

class Dialogs_test : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("HOME", home.path().toUtf8());
    }
    void TearDown() override { QApplication::setFont(normal_font); }
    void open_window() {
        window = std::make_unique<ui::qt::Main_window>(port, clock);
        ASSERT_TRUE(window->start());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QTemporaryDir home;
    comm::Tty_serial_port port;
    comm::System_clock clock;
    std::unique_ptr<ui::qt::Main_window> window;
    const QFont normal_font = QApplication::font();
};

// A dialog's faults: off the screen, buttons without letters or out of sight, no instruction.
QStringList faults_of(QWidget* dialog, bool with_instruction) {
    QStringList faults;
    const QRect area = dialog->screen()->availableGeometry();
    if (!area.contains(dialog->frameGeometry())) faults << QStringLiteral("outside the screen");
    for (auto* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* b : box->buttons()) {
            if (!b->text().contains(QLatin1Char('&'))) faults << b->text() + QStringLiteral(" has no letter");
            if (!area.contains(QRect(b->mapToGlobal(QPoint(0, 0)), b->size())) || b->visibleRegion().isEmpty())
                faults << b->text() + QStringLiteral(" out of sight");
        }
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("instruction"));
    if (with_instruction != (label && label->text() == dialog->windowTitle())) faults << QStringLiteral("instruction");
    return faults;
}

TEST_F(Dialogs_test, every_dialog_opens_on_the_screen_with_its_buttons_in_sight_and_lettered) {
    // Each item, and whether its dialog shows its title's instruction inside ("New..." is the
    // tag editor, "Display/Print..." a tag's display, "Save Reports..." a message box).
    const std::pair<const char*, bool> rows[] = {{"Company Name...", true},
                                                 {"Print Setup...", true},
                                                 {"About TQ740-SW...", false},
                                                 {"Serial Adapters...", false},
                                                 {"New...", false},
                                                 {"Display/Print...", false},
                                                 {"Save Reports as Single File...", false}};
    for (const double scale : {1.0, 1.5, 2.5}) {  // as at 96 and 144 dpi, and larger (dialogs must scroll)
        QFont font = normal_font;
        font.setPointSizeF(normal_font.pointSizeF() * scale);
        QApplication::setFont(font);
        open_window();
        const std::string tag = (home.path() + QStringLiteral("/tt1.utg")).toStdString();
        std::ofstream(tag, std::ios::binary) << tags::tag_file_text(reports::Field_table());
        for (const auto& [item, instruction] : rows) {
            std::optional<QStringList> faults;
            qt_test::run_as_user([&] { qt_test::find_action(window->menuBar(), QString::fromLatin1(item))->trigger(); },
                                 [&] {
                                     QWidget* modal = QApplication::activeModalWidget();
                                     if (!modal || !modal->isVisible() || faults) return;
                                     if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
                                         picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                                             ->setText(QString::fromStdString(tag));
                                         QTimer::singleShot(0, picker, &QDialog::accept);
                                         return;
                                     }
                                     faults = faults_of(modal, instruction);
                                     QTimer::singleShot(0, modal, &QWidget::close);
                                 });
            EXPECT_EQ(faults.value_or(QStringList{"no dialog"}), QStringList()) << item << " at font scale " << scale;
        }
    }
}

// A message with a long line (a database server's reason, say) wraps inside
// its box, which is not squeezed into a scroll area and stays over the middle
// of the window once it has taken its size.
TEST_F(Dialogs_test, a_long_message_wraps_inside_a_box_over_the_window) {
    open_window();
    std::string text = "The uploaded reports were not recorded.\nCannot open the records database postgresql://tq@db/r:";
    for (int i = 0; i < 12; ++i) text += " " + std::string(60, 'x');
    QStringList faults = {"no box"};
    qt_test::run_as_user([&] { window->message(text, ui::Caption::error, ui::Buttons::ok); },
                         [&] {
                             auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                             if (!box || !box->isVisible() || faults != QStringList{"no box"}) return;
                             faults = faults_of(box, false);
                             if (box->findChild<QScrollArea*>() || box->width() <= 300) faults << "squeezed";
                             const QPoint off = box->frameGeometry().center() - window->frameGeometry().center();
                             if (off.manhattanLength() > 2) faults << "off the middle";
                             QTimer::singleShot(0, box, &QWidget::close);
                         });
    EXPECT_EQ(faults, QStringList());
}

TEST_F(Dialogs_test, however_small_the_window_is_made_both_lists_stay_usable) {
    open_window();
    auto* tags = window->findChild<QListWidget*>(QStringLiteral("tag_list"));
    auto* reports = window->findChild<QListView*>(QStringLiteral("reports_list"));
    const QFontMetrics metrics = tags->fontMetrics();
    const QSize created = window->size();
    window->resize(1, 1);
    ASSERT_TRUE(qt_test::wait_for([&] { return window->size() != created; }));
    EXPECT_GE(tags->viewport()->height(), 5 * metrics.lineSpacing());
    EXPECT_GE(reports->viewport()->height(), 4 * metrics.lineSpacing());
    EXPECT_GE(reports->viewport()->width(), 24 * metrics.averageCharWidth());
}

// A typed name lies in the folder the dialog shows and gets its extension,
// also when the program's working folder has a folder of that name.
TEST_F(Dialogs_test, a_typed_name_is_saved_in_the_folder_shown_with_the_extension) {
    open_window();
    QDir(home.path()).mkpath(QStringLiteral("work/gx"));
    const QString working = QDir::currentPath();
    QDir::setCurrent(home.path() + QStringLiteral("/work"));
    ui::File_request request;
    request.save = true;
    request.initial_folder = home.path().toStdString();
    request.default_extension = "ugp";
    const std::pair<const char*, const char*> rows[] = {{"gx", "/gx.ugp"}, {"gx.txt", "/gx.txt"}};
    for (const auto& [typed, saved] : rows) {
        std::optional<std::string> chosen;
        qt_test::run_as_user(
            [&] { chosen = window->pick_file(request); },
            [&] {
                auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!picker || !picker->isVisible()) return;
                picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromLatin1(typed));
                QTimer::singleShot(0, picker, &QDialog::accept);
            });
        EXPECT_EQ(chosen.value_or("(cancelled)"), request.initial_folder + saved) << typed;
    }
    QDir::setCurrent(working);
}

}  // namespace
