// The dialogs of the desktop window as a user meets them: each opens wholly
// on the screen with its buttons in sight and keyboard letters on them, also
// with larger fonts; the instructions of the titles show inside; the window
// keeps both lists usable however small it is made; and a save dialog writes
// a typed name into the folder it shows, with its extension.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
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

QString text_of(const std::string& s) { return QString::fromStdString(s); }

class Dialogs_test : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("HOME", home.path().toUtf8());
    }
    void TearDown() override { QApplication::setFont(normal_font); }
    void open_window() {
        window.reset();
        window = std::make_unique<ui::qt::Main_window>(port, clock);
        ASSERT_TRUE(window->start());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    // A menu item by its path of captions without "&" ("Group>New...").
    QAction* item(const QString& path) {
        const QStringList parts = path.split(QLatin1Char('>'));
        QAction* found = nullptr;
        QList<QAction*> actions = window->menuBar()->actions();
        for (const QString& part : parts) {
            found = nullptr;
            std::function<QAction*(const QList<QAction*>&)> search = [&](const QList<QAction*>& in) -> QAction* {
                for (QAction* a : in) {
                    if (QString(a->text()).remove(QLatin1Char('&')) == part) return a;
                    if (a->menu())
                        if (QAction* f = search(a->menu()->actions())) return f;
                }
                return nullptr;
            };
            found = search(actions);
            if (!found) return nullptr;
            if (found->menu()) actions = found->menu()->actions();
        }
        return found;
    }

    QTemporaryDir home;
    comm::Tty_serial_port port;
    comm::System_clock clock;
    std::unique_ptr<ui::qt::Main_window> window;
    const QFont normal_font = QApplication::font();
};

// A tag of 21 test points, the longest display there is.
std::string write_tag_file(const QString& folder) {
    reports::Field_table tag;
    const std::pair<int, const char*> fields[] = {{1, "TT-1"},  {9, "Thermocouple"}, {10, "DEG C"}, {11, "K"},
                                                  {12, "Internal"}, {16, "mA"}, {17, "mA"}, {20, "0.5"},
                                                  {21, "0"}, {22, "100"}, {23, "4"}, {24, "20"}, {25, "21"}};
    for (const auto& [field, text] : fields) tag.store_field(field, text);
    for (int n = 26; n <= 46; ++n) tag.store_field(n, std::to_string((n - 26) * 5));
    const std::string path = (folder + QStringLiteral("/tt1.utg")).toStdString();
    std::ofstream(path, std::ios::binary) << tags::tag_file_text(tag);
    return path;
}

// What a dialog showed, as the checks below read it.
struct Seen {
    QString title;
    bool inside_screen = false;
    QStringList buttons_without_letter, buttons_out_of_sight;
    QString instruction;
    QString where;
};

Seen look_at(QWidget* dialog) {
    Seen seen;
    seen.title = dialog->windowTitle();
    const QRect area = dialog->screen()->availableGeometry();
    seen.inside_screen = area.contains(dialog->frameGeometry());
    QDebug(&seen.where) << dialog->frameGeometry() << "on" << area;
    for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
        for (QAbstractButton* button : box->buttons()) {
            if (!button->isVisibleTo(dialog)) continue;
            if (!button->text().contains(QLatin1Char('&'))) seen.buttons_without_letter << button->text();
            const QRect on_screen(button->mapToGlobal(QPoint(0, 0)), button->size());
            if (!area.contains(on_screen) || button->visibleRegion().isEmpty())
                seen.buttons_out_of_sight << button->text();
        }
    }
    if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("instruction"))) seen.instruction = label->text();
    return seen;
}

TEST_F(Dialogs_test, every_dialog_opens_on_the_screen_with_its_buttons_in_sight_and_lettered) {
    struct Row {
        const char* item;
        bool instruction;  // the title's instruction shows inside too
    };
    const Row rows[] = {
        {"Company Name...", true},
        {"Print Setup...", true},
        {"About TQ740-SW...", false},
        {"Serial Adapters...", false},
        {"Tag>New...", false},
        {"Group>New...", false},
        {"Tag>Display/Print...", false},
        {"Save Reports as Single File...", false},  // a message box: there are no reports
    };
    // Larger fonts as with QT_FONT_DPI=144, and larger still, where some
    // dialogs can only fit by scrolling.
    for (const double scale : {1.0, 1.5, 2.5}) {
        QFont font = normal_font;
        font.setPointSizeF(normal_font.pointSizeF() * scale);
        QApplication::setFont(font);
        open_window();
        const std::string tag_path = write_tag_file(home.path());
        for (const Row& row : rows) {
            const std::string name = std::string(row.item) + " at font scale " + std::to_string(scale);
            QAction* action = item(QString::fromLatin1(row.item));
            ASSERT_NE(action, nullptr) << name;
            std::optional<Seen> seen;
            qt_test::run_as_user([&] { action->trigger(); }, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal || !modal->isVisible()) return;
                if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
                    if (auto* field = picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                        field->setText(text_of(tag_path));
                    QTimer::singleShot(0, picker, [picker] { static_cast<QDialog*>(picker)->accept(); });
                } else if (!seen) {
                    seen = look_at(modal);
                    QTimer::singleShot(0, modal, [modal] { modal->close(); });
                } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->escapeButton()) {
                    box->escapeButton()->click();  // a question on closing: leave everything
                }
            });
            ASSERT_TRUE(seen.has_value()) << name << ": no dialog";
            EXPECT_TRUE(seen->inside_screen) << name << ": " << seen->where.toStdString();
            EXPECT_EQ(seen->buttons_without_letter, QStringList()) << name;
            EXPECT_EQ(seen->buttons_out_of_sight, QStringList()) << name;
            EXPECT_EQ(seen->instruction, row.instruction ? seen->title : QString()) << name;
        }
    }
}

TEST_F(Dialogs_test, however_small_the_window_is_made_both_lists_stay_usable) {
    open_window();
    auto* tags = window->findChild<QListWidget*>(QStringLiteral("tag_list"));
    auto* reports = window->findChild<QListView*>(QStringLiteral("reports_list"));
    const QFontMetrics metrics = tags->fontMetrics();
    const QSize created = window->size();
    for (const QSize size : {QSize(1, 1), QSize(created.width(), 1), QSize(1, created.height())}) {
        window->resize(created);
        ASSERT_TRUE(qt_test::wait_for([&] { return window->size() == created; }));
        window->resize(size);
        ASSERT_TRUE(qt_test::wait_for([&] { return window->size() != created; }));
        const std::string name = std::to_string(size.width()) + "x" + std::to_string(size.height());
        EXPECT_GE(tags->viewport()->height(), 5 * metrics.lineSpacing()) << name;
        EXPECT_GE(reports->viewport()->height(), 4 * metrics.lineSpacing()) << name;
        EXPECT_GE(reports->viewport()->width(), 24 * metrics.averageCharWidth()) << name;
    }
}

// Typed names are relative to the folder the dialog shows and get its
// extension, also when the program's working folder has a folder of that name.
TEST_F(Dialogs_test, a_typed_name_is_saved_in_the_folder_shown_with_the_extension) {
    open_window();
    const QString shown = home.path() + QStringLiteral("/tags");
    QDir(home.path()).mkpath(QStringLiteral("tags/sub"));
    QDir(home.path()).mkpath(QStringLiteral("work/gx"));
    const QString working = QDir::currentPath();
    QDir::setCurrent(home.path() + QStringLiteral("/work"));
    struct Row {
        const char* typed;
        const char* saved;  // relative to the folder shown
    };
    const Row rows[] = {{"gx", "gx.ugp"}, {"gx.ugp", "gx.ugp"}, {"gx.txt", "gx.txt"}, {"sub/gx", "sub/gx.ugp"}};
    for (const Row& row : rows) {
        ui::File_request request;
        request.save = true;
        request.title = "Save Group";
        request.filter = "Group Files (*.ugp)|*.ugp||";
        request.initial_folder = shown.toStdString();
        request.default_extension = "ugp";
        std::optional<std::string> chosen;
        qt_test::run_as_user([&] { chosen = window->pick_file(request); }, [&] {
            auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!picker || !picker->isVisible()) return;
            picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QString::fromLatin1(row.typed));
            QTimer::singleShot(0, picker, [picker] { static_cast<QDialog*>(picker)->accept(); });
        });
        EXPECT_EQ(chosen.value_or("(cancelled)"), (shown + QLatin1Char('/') + QString::fromLatin1(row.saved)).toStdString())
            << row.typed;
    }
    QDir::setCurrent(working);
}

}  // namespace
