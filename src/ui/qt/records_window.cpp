#include "ui/qt/records_window.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "resources/certificate_strings.h"
#include "resources/due_strings.h"
#include "resources/help_pages.h"
#include "resources/records_window_strings.h"
#include "resources/strings.h"
#include "ui/qt/drift_chart.h"
#include "ui/qt/help_window.h"

namespace ui::qt {

namespace {

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString q(int id) { return q(res::text(id)); }

// A failed verdict: dark red on light red, in bold, beside its text "Fail".
const QColor fail_text(160, 0, 0);
const QColor fail_background(255, 215, 215);

// The tag list's due marks, on its Due and Due Status cells beside their
// text ("Overdue", "Due soon"): overdue bold on orange, due soon on yellow.
QVariant due_mark(const records::Records_browser& browser, records::Records_browser::Table table, int row,
                  int column, int role) {
    const records::Due_status status = browser.due_mark(table, row, column);
    if (status == records::Due_status::ok) return {};
    const bool overdue = status == records::Due_status::overdue;
    switch (role) {
    case Qt::ForegroundRole: return overdue ? QColor(140, 40, 0) : QColor(110, 80, 0);
    case Qt::BackgroundRole: return overdue ? QColor(255, 190, 130) : QColor(255, 240, 160);
    case Qt::FontRole: {
        QFont font;
        font.setBold(overdue);
        return font;
    }
    default: return {};
    }
}

}  // namespace

// One of the browser's tables as a Qt model: every cell is asked of the
// browser when the view draws it.
class Browser_table_model : public QAbstractTableModel {
public:
    Browser_table_model(records::Records_browser& browser, records::Records_browser::Table table, QObject* parent)
        : QAbstractTableModel(parent), browser_(browser), table_(table) {}

    // The browser's table changed as a whole.
    void reset() {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : browser_.row_count(table_);
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : browser_.column_count(table_);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        return q(browser_.heading(table_, section));
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const bool failed = browser_.failed(table_, index.row(), index.column());
        if (role != Qt::DisplayRole)
            if (QVariant mark = due_mark(browser_, table_, index.row(), index.column(), role); mark.isValid()) return mark;
        switch (role) {
        case Qt::DisplayRole: return q(browser_.cell(table_, index.row(), index.column()));
        case Qt::ForegroundRole: return failed ? QVariant(fail_text) : QVariant();
        case Qt::BackgroundRole: return failed ? QVariant(fail_background) : QVariant();
        case Qt::FontRole: {
            if (!failed) return {};
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        default: return {};
        }
    }

private:
    records::Records_browser& browser_;
    records::Records_browser::Table table_;
};

Records_window::Records_window(QWidget* parent, records::Records_browser& browser, const std::function<void(int)>& help)
    : QDialog(parent), browser_(browser) {
    using Table = records::Records_browser::Table;
    setObjectName(QStringLiteral("Records_window"));
    setWindowTitle(q(res::IDS_RECORDS_WINDOW_TITLE));
    setSizeGripEnabled(true);
    add_f1_help(this, res::HELP_RECORDS_WINDOW, help);
    auto* layout = new QVBoxLayout(this);

    auto* filter_row = new QHBoxLayout;
    auto* filter_label = new QLabel(q(res::IDS_RECORDS_FILTER_LABEL), this);
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->setClearButtonEnabled(true);
    filter_label->setBuddy(filter_);
    filter_row->addWidget(filter_label);
    filter_row->addWidget(filter_, 1);
    layout->addLayout(filter_row);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    auto* left = new QWidget(splitter);
    auto* left_layout = new QVBoxLayout(left);
    left_layout->setContentsMargins(0, 0, 0, 0);
    tags_label_ = new QLabel(left);
    tags_ = table_view(Table::tags, "tags");
    tag_model_ = static_cast<Browser_table_model*>(tags_->model());
    left_layout->addWidget(tags_label_);
    left_layout->addWidget(tags_);
    add_due_controls(left, left_layout);

    auto* right = new QWidget(splitter);
    auto* right_layout = new QVBoxLayout(right);
    right_layout->setContentsMargins(0, 0, 0, 0);
    calibrations_label_ = new QLabel(right);
    calibrations_ = table_view(Table::calibrations, "calibrations");
    calibration_model_ = static_cast<Browser_table_model*>(calibrations_->model());
    details_ = new QLabel(right);
    details_->setObjectName(QStringLiteral("details"));
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* points = new QHBoxLayout;
    auto* found_box = new QVBoxLayout;
    as_found_label_ = new QLabel(right);
    as_found_ = table_view(Table::as_found, "as_found");
    as_found_model_ = static_cast<Browser_table_model*>(as_found_->model());
    found_box->addWidget(as_found_label_);
    found_box->addWidget(as_found_);
    auto* left_box = new QVBoxLayout;
    as_left_label_ = new QLabel(right);
    as_left_ = table_view(Table::as_left, "as_left");
    as_left_model_ = static_cast<Browser_table_model*>(as_left_->model());
    left_box->addWidget(as_left_label_);
    left_box->addWidget(as_left_);
    points->addLayout(found_box);
    points->addLayout(left_box);
    right_layout->addWidget(calibrations_label_);
    right_layout->addWidget(calibrations_, 1);
    right_layout->addWidget(details_);
    right_layout->addLayout(points, 2);
    drift_chart_ = new Drift_chart(right);
    right_layout->addWidget(drift_chart_, 3);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 5);
    layout->addWidget(splitter, 1);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](int text, const char* name) {
        auto* b = new QPushButton(q(text), this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);  // Enter in the filter box presses nothing
        buttons->addWidget(b);
        return b;
    };
    print_ = button(res::IDS_RECORDS_PRINT, "print");
    open_ = button(res::IDS_RECORDS_OPEN_IN_LIST, "open_in_list");
    certificate_ = button(res::IDS_RECORDS_CERTIFICATE, "certificate");
    buttons->addStretch();
    QPushButton* close = button(res::IDS_RECORDS_CLOSE, "close");
    QPushButton* help_button = button(res::IDS_RECORDS_HELP, "help");
    layout->addLayout(buttons);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        browser_.set_filter(text.toStdString());
        mirror(true, true);
    });
    connect(tags_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (mirroring_) return;
                browser_.select_tag(current.isValid() ? current.row() : -1);
                mirror(false, true);
            });
    connect(calibrations_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (mirroring_) return;
                browser_.select_calibration(current.isValid() ? current.row() : -1);
                mirror(false, false);
            });
    connect(print_, &QPushButton::clicked, this, [this] { browser_.print_report(); });
    connect(open_, &QPushButton::clicked, this, [this] {
        if (browser_.open_in_reports_list()) accept();
    });
    connect(certificate_, &QPushButton::clicked, this, [this] { browser_.print_certificate(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(help_button, &QPushButton::clicked, this, [help] {
        if (help) help(res::HELP_RECORDS_WINDOW);
    });

    mirror(true, true);
    // Column widths from the headings and the first rows, not from every row.
    for (QTableView* view : {tags_, calibrations_, as_found_, as_left_}) view->resizeColumnsToContents();
    // The tag list as wide as its columns; the rest for the calibrations.
    int tags_width = 2 * tags_->frameWidth() + tags_->verticalScrollBar()->sizeHint().width() + 8;
    for (int column = 0; column < tag_model_->columnCount({}); ++column) tags_width += tags_->columnWidth(column);

    const QSize wanted(fontMetrics().averageCharWidth() * 190, fontMetrics().height() * 56);
    const QRect screen = parent && parent->screen() ? parent->screen()->availableGeometry() : QRect();
    resize(screen.isValid() ? wanted.boundedTo(screen.size() * 9 / 10) : wanted);
    tags_width = std::min(tags_width, width() / 2);
    splitter->setSizes({tags_width, width() - tags_width});
    filter_->setFocus();
}

QTableView* Records_window::table_view(records::Records_browser::Table table, const char* name) {
    auto* view = new QTableView(this);
    view->setObjectName(QLatin1String(name));
    view->setModel(new Browser_table_model(browser_, table, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    // Every row one line high, so the view never measures its rows.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setResizeContentsPrecision(50);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

void Records_window::mirror(bool tags_changed, bool calibrations_changed) {
    mirroring_ = true;
    const auto select = [](QTableView* view, int row) {
        if (row < 0) {
            view->selectionModel()->clearSelection();
            view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
            return;
        }
        const QModelIndex index = view->model()->index(row, 0);
        view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view->scrollTo(index);
    };
    if (tags_changed) tag_model_->reset();
    if (calibrations_changed) calibration_model_->reset();
    as_found_model_->reset();
    as_left_model_->reset();
    if (tags_changed) select(tags_, browser_.selected_tag());
    if (calibrations_changed) select(calibrations_, browser_.selected_calibration());

    tags_label_->setText(q(browser_.tags_label()));
    calibrations_label_->setText(q(browser_.calibrations_label()));
    as_found_label_->setText(q(browser_.as_found_label()));
    as_left_label_->setText(q(browser_.as_left_label()));
    QStringList details;
    for (const std::string& line : browser_.details()) details << q(line);
    details_->setText(details.join(QLatin1Char('\n')));
    print_->setEnabled(browser_.can_print());
    open_->setEnabled(browser_.can_open_in_list());
    if (calibrations_changed)  // the calibrations change with the selected tag
        drift_chart_->show_drift(browser_.cell(records::Records_browser::Table::tags, browser_.selected_tag(), 0),
                                 browser_.drift());
    certificate_->setEnabled(browser_.can_print());
    set_interval_->setEnabled(browser_.can_set_interval());
    mirroring_ = false;
}

void Records_window::add_due_controls(QWidget* owner, QVBoxLayout* layout) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(q(res::IDS_DUE_WINDOW_LABEL), owner);
    due_window_ = new QSpinBox(owner);
    due_window_->setObjectName(QStringLiteral("due_window"));
    due_window_->setRange(0, records::max_interval_days);
    due_window_->setValue(browser_.due_window());
    label->setBuddy(due_window_);
    set_interval_ = new QPushButton(q(res::IDS_SET_INTERVAL_BUTTON), owner);
    set_interval_->setObjectName(QStringLiteral("set_interval"));
    set_interval_->setAutoDefault(false);
    row->addWidget(label);
    row->addWidget(due_window_);
    row->addStretch();
    row->addWidget(set_interval_);
    layout->addLayout(row);

    connect(due_window_, &QSpinBox::valueChanged, this, [this](int days) {
        browser_.set_due_window(days);
        tags_->viewport()->update();
    });
    connect(set_interval_, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(this, q(res::IDS_SET_INTERVAL_TITLE), q(browser_.interval_prompt()),
                                                   QLineEdit::Normal, q(browser_.interval_text()), &ok);
        if (ok && browser_.set_interval(text.trimmed().toStdString())) mirror(true, false);
    });
}

}  // namespace ui::qt
