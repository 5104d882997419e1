// Configure > Tag > Extract from Report in the desktop window: the Open
// dialog, Extract_dialog listing a saved report's three tags, a double click
// on the second, and the editor opened on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>

#include <fstream>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "reports/report_layout.h"
#include "tags/tag_editor.h"
#include "ui/qt/main_window.h"
#include "window_helpers.h"

namespace {

void later(std::function<void()> f) { QTimer::singleShot(0, qApp, std::move(f)); }

// A saved TXT report of three tags.
void write_report(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    const char* ids[] = {"A-1", "B-2", "C-3"};
    for (int i = 0; i < 3; ++i) {
        reports::Field_table tag;
        const std::pair<int, const char*> fields[] = {{1, ids[i]}, {9, "Volts"}, {10, "V"},  {16, "Volts"},
                                                      {17, "V"},   {20, "NONE"}, {25, "1"}, {26, "0.0000"}};
        for (const auto& [field, text] : fields) tag.store_field(field, text);
        for (const auto& line : reports::report_lines(tag, reports::Report_format::text, "", i)) out << line << "\r\n";
    }
}

TEST(Extract_dialog, a_report_of_three_tags_lists_them_and_a_double_click_opens_the_editor) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("HOME", home.path().toUtf8());
    const QString report = home.path() + QStringLiteral("/three.txt");
    write_report(report.toStdString());
    comm::Tty_serial_port port;
    comm::System_clock clock;
    ui::qt::Main_window window(port, clock);
    ASSERT_TRUE(window.start());
    window.show();

    QAction* item = qt_test::find_action(window.menuBar(), QStringLiteral("Extract from Report..."));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    int step = 0;
    QStringList listed;
    QString editor_title, editor_tag;
    qt_test::run_as_user([&] { item->trigger(); }, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
            // Typed and pressed again for as long as the dialog stays open.
            EXPECT_EQ(picker->windowTitle(), "Select report for tag extraction");
            if (auto* name = picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(report);
            later([picker] { static_cast<QDialog*>(picker)->accept(); });
        } else if (auto* list = modal->findChild<QListWidget*>(QStringLiteral("extract_list")); list && step == 0) {
            EXPECT_EQ(modal->windowTitle(), "Select tag for extraction");
            for (int row = 0; row < list->count(); ++row) listed << list->item(row)->text();
            step = 1;
            later([list] {
                list->setCurrentRow(1);
                emit list->itemDoubleClicked(list->item(1));
            });
        } else if (auto* tag_id = modal->findChild<QLineEdit*>(
                       QStringLiteral("control_%1").arg(static_cast<int>(tags::Control::tag_id)));
                   tag_id && step == 1) {
            editor_title = modal->windowTitle();
            editor_tag = tag_id->text();
            step = 2;
            later([modal] { static_cast<QDialog*>(modal)->reject(); });
        }
    });
    EXPECT_EQ(step, 2);
    EXPECT_EQ(listed, QStringList({"A-1", "B-2", "C-3"}));
    EXPECT_EQ(editor_title, "Edit extracted tag");
    EXPECT_EQ(editor_tag, "B-2");
}

}  // namespace
