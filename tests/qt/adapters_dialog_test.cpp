// The Serial Adapters dialog: the rows and port lines it is given, the port
// and row its Map button passes on, and the view it shows after mapping.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include "ui/qt/adapters_dialog.h"
#include "window_helpers.h"

namespace {

ui::Adapters_view view_with(const std::string& second_ports, bool second_denied) {
    ui::Adapters_view view;
    view.adapters = {{"/dev/ttyUSB0", "usb-FTDI_A1B2C3-port0", "FTDI", "FT232R", "A1B2C3", "COM2", false},
                     {"/dev/ttyACM0", "", "", "", "", second_ports, second_denied}};
    for (int n = 1; n <= 8; ++n) view.port_lines.push_back("COM" + std::to_string(n) + ": line " + second_ports);
    return view;
}

TEST(Adapters_dialog, maps_the_chosen_port_to_the_chosen_row_and_shows_the_new_view) {
    std::vector<std::pair<int, int>> maps;
    std::vector<int> help;
    int step = 0;
    QStringList shown_before, shown_after;
    bool hint_before = false, hint_after = true;
    qt_test::run_as_user(
        [&] {
            ui::qt::show_serial_adapters(
                nullptr, view_with("", true),
                [&](int port, int row) {
                    maps.emplace_back(port, row);
                    return view_with("COM4", false);
                },
                [&](int context) { help.push_back(context); });
        },
        [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != QStringLiteral("Serial_adapters_dialog")) return;
            auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("adapters"));
            auto* lines = dialog->findChild<QListWidget*>(QStringLiteral("port_lines"));
            auto* hint = dialog->findChild<QLabel*>(QStringLiteral("dialout_hint"));
            if (step == 0) {
                hint_before = hint->isVisibleTo(dialog);
                for (int r = 0; r < table->rowCount(); ++r) shown_before << table->item(r, 0)->text();
                shown_before << table->item(1, 6)->text();
                table->selectRow(1);
                dialog->findChild<QComboBox*>(QStringLiteral("port"))->setCurrentIndex(3);
                dialog->findChild<QPushButton*>(QStringLiteral("map"))->click();
                step = 1;
            } else if (step == 1) {
                hint_after = hint->isVisibleTo(dialog);
                shown_after << table->item(1, 5)->text() << lines->item(3)->text();
                dialog->reject();
                step = 2;
            }
        });
    EXPECT_EQ(maps, (std::vector<std::pair<int, int>>{{4, 1}}));
    EXPECT_EQ(shown_before, (QStringList{"/dev/ttyUSB0", "/dev/ttyACM0", "no permission"}));
    EXPECT_TRUE(hint_before);
    EXPECT_EQ(shown_after, (QStringList{"COM4", "COM4: line COM4"}));
    EXPECT_FALSE(hint_after);
    EXPECT_TRUE(help.empty());
}

}  // namespace
