#include "ui/qt/adapters_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "resources/download_strings.h"
#include "resources/help_pages.h"
#include "resources/link_strings.h"
#include "resources/strings.h"
#include "ui/qt/help_window.h"

namespace ui::qt {

namespace {

constexpr int HELP_CONTEXT = res::HELP_SERIAL_ADAPTERS;

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString q(int id) { return q(res::text(id)); }

// The dialog's widgets that change with every view shown.
struct Adapter_widgets {
    QTableWidget* table = nullptr;
    QListWidget* ports = nullptr;
    QLabel* hint = nullptr;
};

void show_view(const Adapter_widgets& w, const Adapters_view& view) {
    const int selected = w.table->currentRow();
    w.table->setRowCount(static_cast<int>(view.adapters.size()));
    bool any_denied = false;
    for (int row = 0; row < static_cast<int>(view.adapters.size()); ++row) {
        const Adapter_row& a = view.adapters[static_cast<size_t>(row)];
        const std::string access = a.no_permission ? res::str(res::IDS_ADAPTER_NO_PERMISSION) : "";
        int column = 0;
        for (const std::string* text : {&a.device, &a.by_id_name, &a.maker, &a.product, &a.serial_number, &a.ports,
                                        &access}) {
            auto* item = new QTableWidgetItem(q(*text));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            w.table->setItem(row, column++, item);
        }
        any_denied = any_denied || a.no_permission;
    }
    w.table->resizeColumnsToContents();
    // The row chosen before stays chosen (the list is in the same order
    // unless an adapter came or went).
    w.table->selectRow(selected >= 0 && selected < w.table->rowCount() ? selected : 0);
    w.ports->clear();
    for (const std::string& line : view.port_lines) w.ports->addItem(q(line));
    // Every port in sight, without scrolling.
    w.ports->setFixedHeight(w.ports->sizeHintForRow(0) * w.ports->count() + 2 * w.ports->frameWidth());
    w.hint->setVisible(any_denied);
}

}  // namespace

void show_serial_adapters(QWidget* parent, const Adapters_view& view,
                          const std::function<Adapters_view(int port, int row)>& on_map,
                          const std::function<void(int)>& help) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Serial_adapters_dialog"));
    dialog.setWindowTitle(q(res::IDS_ADAPTERS_CAPTION));
    add_f1_help(&dialog, HELP_CONTEXT, help);
    auto* layout = new QVBoxLayout(&dialog);

    Adapter_widgets w;
    w.table = new QTableWidget(0, res::IDS_ADAPTER_COLUMN_ACCESS - res::IDS_ADAPTER_COLUMN_DEVICE + 1, &dialog);
    w.table->setObjectName(QStringLiteral("adapters"));
    QStringList headings;
    for (int id = res::IDS_ADAPTER_COLUMN_DEVICE; id <= res::IDS_ADAPTER_COLUMN_ACCESS; ++id) headings << q(id);
    w.table->setHorizontalHeaderLabels(headings);
    w.table->verticalHeader()->hide();
    w.table->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.table->setSelectionMode(QAbstractItemView::SingleSelection);
    w.table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(w.table);

    w.ports = new QListWidget(&dialog);
    w.ports->setObjectName(QStringLiteral("port_lines"));
    w.ports->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(w.ports);

    w.hint = new QLabel(q(res::IDS_ADAPTER_DIALOUT_HINT), &dialog);
    w.hint->setObjectName(QStringLiteral("dialout_hint"));
    w.hint->setWordWrap(true);
    layout->addWidget(w.hint);

    auto* map_row = new QHBoxLayout;
    auto* port_label = new QLabel(q(res::IDS_MAP_PORT_LABEL), &dialog);
    auto* port = new QComboBox(&dialog);
    port->setObjectName(QStringLiteral("port"));
    for (int n = 1; n <= 8; ++n) port->addItem(QStringLiteral("COM%1").arg(n), n);
    port_label->setBuddy(port);
    auto* map = new QPushButton(q(res::IDS_BUTTON_MAP), &dialog);
    map->setObjectName(QStringLiteral("map"));
    map_row->addWidget(port_label);
    map_row->addWidget(port);
    map_row->addWidget(map);
    map_row->addStretch();
    layout->addLayout(map_row);

    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(q(res::IDS_BUTTON_CLOSE), QDialogButtonBox::RejectRole);
    QPushButton* help_button = buttons->addButton(q(res::IDS_BUTTON_HELP), QDialogButtonBox::HelpRole);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(help_button, &QPushButton::clicked, &dialog, [&help] {
        if (help) help(HELP_CONTEXT);
    });
    layout->addWidget(buttons);

    QObject::connect(map, &QPushButton::clicked, &dialog, [&] {
        const int row = w.table->currentRow();
        if (row < 0) return;
        show_view(w, on_map(port->currentData().toInt(), row));
    });
    show_view(w, view);
    map->setEnabled(w.table->rowCount() > 0);

    const QFontMetrics metrics = dialog.fontMetrics();
    dialog.resize(110 * metrics.averageCharWidth(), 30 * metrics.height());
    dialog.exec();
}

}  // namespace ui::qt
