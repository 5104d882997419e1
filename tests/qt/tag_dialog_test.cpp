// The tag editor sheet in the desktop window: Configure > Tag > New, a
// thermocouple typed in lower case, a refused page change, five generated
// points, OK and the Save dialog; the file that comes out.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fstream>
#include <sstream>

#include "link/clock.h"
#include "link/tty_serial_port.h"
#include "tags/tag_editor.h"
#include "ui/qt/main_window.h"
#include "window_helpers.h"

namespace {

using tags::Control;

template <typename T>
T* control(QWidget* sheet, Control c) {
    return sheet->findChild<T*>(QStringLiteral("control_%1").arg(static_cast<int>(c)));
}

QPushButton* button(QWidget* dialog, const QString& text) { return qt_test::find_button(dialog, text); }

// Runs f from the event loop, so that a modal window it opens does not
// block the user's timer.
void later(std::function<void()> f) { QTimer::singleShot(0, qApp, std::move(f)); }

TEST(Tag_dialog, a_new_thermocouple_tag_with_generated_points_is_saved) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("HOME", home.path().toUtf8());
    comm::Tty_serial_port port;
    comm::System_clock clock;
    ui::qt::Main_window window(port, clock);
    ASSERT_TRUE(window.start());
    window.show();
    const QString path = home.path() + QStringLiteral("/TT-1.utg");

    int step = 0;
    QStringList messages;
    QAction* item = qt_test::find_action(window.menuBar(), QStringLiteral("New..."));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    qt_test::run_as_user([&] { item->trigger(); }, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (qt_test::answer_message(QStringLiteral("OK"), messages)) return;
        auto* tabs = modal->findChild<QTabBar*>(QStringLiteral("tag_pages"));
        // Each step waits for its window in front (active, for Alt letters) showing what it needs.
        if (step == 0 && tabs && modal->isActiveWindow()) {
            EXPECT_EQ(modal->windowTitle(), "Edit new tag");
            EXPECT_EQ(tabs->count(), 5);
            EXPECT_EQ(tabs->tabText(4), "Test Poi&nts");
            QTest::keyClicks(control<QLineEdit>(modal, Control::tag_id), QStringLiteral("TT-1-ABCDEFGHIJKLMNOP"));
            EXPECT_EQ(control<QLineEdit>(modal, Control::tag_id)->text(), "TT-1-ABCDEFGHIJK");
            QTest::keyClick(modal, Qt::Key_P, Qt::AltModifier);   // the tab's Alt letter
            EXPECT_EQ(tabs->currentIndex(), 1);
            tabs->setCurrentIndex(1);
            control<QComboBox>(modal, Control::input_type)->setEditText(QStringLiteral("thermocouple"));
            EXPECT_EQ(control<QComboBox>(modal, Control::input_type)->currentText(), "Thermocouple");
            EXPECT_EQ(control<QComboBox>(modal, Control::input_units)->currentText(), "DegC");
            EXPECT_EQ(control<QComboBox>(modal, Control::input_curve)->currentText(), "B");
            EXPECT_FALSE(control<QComboBox>(modal, Control::input_curve)->isHidden());
            EXPECT_EQ(control<QComboBox>(modal, Control::input_auxiliary)->currentText(), "CJC ON");
            control<QLineEdit>(modal, Control::amplitude)->setText(QStringLiteral("25"));
            step = 1;
            later([tabs] { tabs->setCurrentIndex(2); });   // refused: amplitude out of range
        } else if (step == 1 && tabs && messages.size() == 1) {
            EXPECT_EQ(messages.front(), "Please enter a number between 1 and 20.");
            EXPECT_EQ(tabs->currentIndex(), 1);
            EXPECT_EQ(modal->findChild<QStackedWidget*>()->currentIndex(), 1);
            // The corrected amplitude, the fixed choice and value stay as
            // typed while the units list is edited.
            control<QLineEdit>(modal, Control::amplitude)->setText(QStringLiteral("7"));
            modal->findChild<QRadioButton*>(QStringLiteral("fixed_frequency"))->click();
            control<QLineEdit>(modal, Control::fixed_value)->setText(QStringLiteral("123"));
            control<QComboBox>(modal, Control::input_units)->setEditText(QStringLiteral("degc"));
            EXPECT_EQ(control<QLineEdit>(modal, Control::amplitude)->text(), "7");
            EXPECT_EQ(control<QLineEdit>(modal, Control::fixed_value)->text(), "123");
            EXPECT_TRUE(modal->findChild<QRadioButton*>(QStringLiteral("fixed_frequency"))->isChecked());
            tabs->setCurrentIndex(4);
            EXPECT_EQ(tabs->currentIndex(), 4);
            step = 2;
            QWidget* sheet = modal;
            later([sheet] { button(sheet, QStringLiteral("Generate"))->click(); });
        } else if (step == 2 && modal->objectName() == "generate_points_dialog") {
            modal->findChild<QLineEdit*>(QStringLiteral("count"))->setText(QStringLiteral("5"));
            modal->findChild<QLineEdit*>(QStringLiteral("zero"))->setText(QStringLiteral("0"));
            modal->findChild<QLineEdit*>(QStringLiteral("span"))->setText(QStringLiteral("100"));
            step = 3;
            later([modal] { button(modal, QStringLiteral("OK"))->click(); });
        } else if (step == 3 && tabs && control<QLineEdit>(modal, tags::point_control(5))->text() == "100") {
            step = 4;
            later([modal] { button(modal, QStringLiteral("OK"))->click(); });
        } else if (step >= 4) {
            // The Save dialog: type the file name and press Save, as a user
            // does.  A dialog still reading its folder may clear the name:
            // type and press again for as long as it stays open.
            if (auto* picker = qobject_cast<QFileDialog*>(modal)) {
                picker->setDirectory(home.path());
                auto* name = picker->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name)
                    name->setText(QStringLiteral("TT-1.utg"));
                else
                    picker->selectFile(path);
                step = 5;
                later([picker] { static_cast<QDialog*>(picker)->accept(); });
            }
        }
    });
    EXPECT_EQ(step, 5);
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string expected = "TQ740-SW tag configuration file v2.00\r\n";
    const std::map<int, std::string> fields = {{1, "TT-1-ABCDEFGHIJK"},     {9, "Thermocouple"}, {10, "DegC"},     {11, "B"},
                                               {12, "CJC ON"}, {25, "5"},           {26, "0.0000"},   {27, "25.0000"},
                                               {28, "50.0000"}, {29, "75.0000"},    {30, "100.0000"}};
    for (int n = 1; n <= 46; ++n) {
        char number[4];
        std::snprintf(number, sizeof number, "%2d", n);
        expected += std::string(number) + " " + (fields.count(n) ? fields.at(n) : "") + "\r\n";
    }
    EXPECT_EQ(bytes.str(), expected);
}

}  // namespace
