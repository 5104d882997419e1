// The Records Database dialog as a user drives it: another file typed,
// Test Connection's line, each choice kept, and OK writing the settings file.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "records/database_choice.h"
#include "records/record_store.h"
#include "records/records_settings.h"
#include "support/scripted_ui.h"
#include "support/test_files.h"
#include "ui/qt/database_dialog.h"
#include "window_helpers.h"

namespace {

TEST(Database_dialog, tests_and_saves_another_file_typed_and_mirrors_each_choice) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    const std::string ini = root + "/NORVATQ740.ini";
    std::ofstream(ini) << "[main]\nport=1\n";
    const std::string shared = root + "/shared/records.sqlite";
    ASSERT_TRUE(records::Record_store(shared).open());

    test::Scripted_ui ui;
    records::Database_choice choice(ui, ini, root + "/data/records.sqlite");
    ui::qt::Database_dialog dialog(nullptr, choice, [](int) {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog, 5000));
    auto* current = dialog.findChild<QLabel*>(QStringLiteral("current"));
    auto* other_file = dialog.findChild<QRadioButton*>(QStringLiteral("other_file"));
    auto* server = dialog.findChild<QRadioButton*>(QStringLiteral("server"));
    auto* file = dialog.findChild<QLineEdit*>(QStringLiteral("file"));
    auto* address = dialog.findChild<QLineEdit*>(QStringLiteral("address"));
    auto* test = dialog.findChild<QPushButton*>(QStringLiteral("test_connection"));
    auto* result = dialog.findChild<QLabel*>(QStringLiteral("result"));
    QPushButton* ok = qt_test::find_button(&dialog, QStringLiteral("OK"));
    ASSERT_TRUE(current && other_file && server && file && address && test && result && ok);

    EXPECT_EQ(current->text().toStdString(), root + "/data/records.sqlite (the default file)");
    EXPECT_FALSE(file->isEnabled() || address->isEnabled());

    // Another file, typed key by key; Test Connection reads it.
    other_file->click();
    EXPECT_TRUE(file->isEnabled());
    QTest::keyClicks(file, QString::fromStdString(shared));
    EXPECT_EQ(choice.file(), shared);
    QTest::mouseClick(test, Qt::LeftButton);
    EXPECT_EQ(result->text(), QStringLiteral("Connected: 0 calibrations recorded."));

    // The server, an address typed, then the file again: both kept, the
    // file's test line gone; OK saves the file where the recording reads it.
    server->click();
    EXPECT_TRUE(address->isEnabled() && !file->isEnabled() && result->text().isEmpty());
    QTest::keyClicks(address, QStringLiteral("postgresql://tq@db.example/records"));
    other_file->click();
    EXPECT_EQ(file->text().toStdString() + " " + choice.address(), shared + " postgresql://tq@db.example/records");
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(records::read_records_settings(ini).database, shared);
}

}  // namespace
