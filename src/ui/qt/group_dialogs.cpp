#include "ui/qt/group_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "download/group_download.h"
#include "download/group_editor.h"
#include "download/report_extract.h"
#include "resources/download_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace ui::qt {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }
QString q(int id) { return q(res::str(id)); }

// A list of names, several selectable, with a vertical scroll bar.
QListWidget* name_list(QWidget* parent, const QString& name, QAbstractItemView::SelectionMode mode) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(mode);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list->setUniformItemSizes(true);
    return list;
}

// The status and summary lists: fixed pitch, so that names line up in column 12.
QListWidget* row_list(QWidget* parent, const QString& name, const std::vector<std::string>& rows) {
    QListWidget* list = name_list(parent, name, QAbstractItemView::NoSelection);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    list->setFocusPolicy(Qt::NoFocus);
    for (const auto& row : rows) list->addItem(q(row));
    list->setMinimumSize(list->fontMetrics().averageCharWidth() * 60, list->fontMetrics().height() * 16);
    return list;
}

void fill(QListWidget* list, const std::vector<std::string>& names) {
    list->clear();
    for (const auto& name : names) list->addItem(q(name));
}

std::vector<int> selected_rows(const QListWidget* list) {
    std::vector<int> rows;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->isSelected()) rows.push_back(row);
    return rows;
}

// OK (default), Cancel when asked for, and Help, which opens context.
QDialogButtonBox* dialog_buttons(QDialog* dialog, bool with_cancel, int context, const Help& help) {
    auto* box = new QDialogButtonBox(dialog);
    box->addButton(q(res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole)->setDefault(true);
    if (with_cancel) box->addButton(q(res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    QPushButton* help_button = box->addButton(q(res::IDS_BUTTON_HELP), QDialogButtonBox::HelpRole);
    QObject::connect(help_button, &QPushButton::clicked, dialog, [help, context] {
        if (help) help(context);
    });
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    add_f1_help(dialog, context, help);
    return box;
}

class Group_dialog : public QDialog {
public:
    Group_dialog(QWidget* parent, download::Group_editor& editor, Ui& ui, const Help& help)
        : QDialog(parent), editor_(editor), ui_(ui) {
        setWindowTitle(q(editor.caption()));
        auto* grid = new QGridLayout(this);
        available_ = name_list(this, QStringLiteral("available_tags"), QAbstractItemView::ExtendedSelection);
        in_group_ = name_list(this, QStringLiteral("tags_in_group"), QAbstractItemView::ExtendedSelection);
        grid->addWidget(new QLabel(q(res::IDS_AVAILABLE_TAGS), this), 0, 0);
        grid->addWidget(new QLabel(q(res::IDS_TAGS_IN_GROUP), this), 0, 2);
        grid->addWidget(available_, 1, 0);
        grid->addWidget(in_group_, 1, 2);
        auto* arrows = new QVBoxLayout;
        arrows->addStretch();
        QPushButton* add = arrow_button(QStyle::SP_ArrowRight, res::IDS_BUTTON_ADD, QStringLiteral("add"));
        QPushButton* remove = arrow_button(QStyle::SP_ArrowLeft, res::IDS_BUTTON_REMOVE, QStringLiteral("remove"));
        arrows->addWidget(add);
        arrows->addWidget(remove);
        arrows->addStretch();
        grid->addLayout(arrows, 1, 1);
        // Tab goes through the dialog as it reads: the available tags, Add
        // and Remove, the tags in the group, then the buttons below.
        setTabOrder(available_, add);
        setTabOrder(add, remove);
        setTabOrder(remove, in_group_);
        QDialogButtonBox* buttons = dialog_buttons(this, true, download::GROUP_DIALOG_HELP, help);
        connect(buttons, &QDialogButtonBox::accepted, this, [this] {
            if (editor_.accept(ui_)) accept();
        });
        grid->addWidget(buttons, 2, 0, 1, 3);
        connect(available_, &QListWidget::itemDoubleClicked, this, [this] { move(true); });
        connect(in_group_, &QListWidget::itemDoubleClicked, this, [this] { move(false); });
        const int width = fontMetrics().averageCharWidth() * 30;
        available_->setMinimumSize(width, fontMetrics().height() * 18);
        in_group_->setMinimumSize(width, fontMetrics().height() * 18);
    }

    bool run() {
        editor_.display(ui_);
        show_lists();
        return exec() == QDialog::Accepted;
    }

private:
    QPushButton* arrow_button(QStyle::StandardPixmap arrow, int name, const QString& object_name) {
        auto* button = new QPushButton(style()->standardIcon(arrow), q(name), this);
        button->setObjectName(object_name);
        button->setAutoDefault(false);
        const bool adds = name == res::IDS_BUTTON_ADD;
        connect(button, &QPushButton::clicked, this, [this, adds] { move(adds); });
        return button;
    }
    void move(bool adds) {
        if (adds)
            editor_.add(selected_rows(available_));
        else
            editor_.remove(selected_rows(in_group_));
        show_lists();
    }
    void show_lists() {
        fill(available_, editor_.available());
        fill(in_group_, editor_.in_group());
    }
    // The editor's names, a missing member marked as such.
    void fill(QListWidget* list, const std::vector<std::string>& names) {
        list->clear();
        for (const auto& name : names) list->addItem(q(editor_.entry_text(name)));
    }

    download::Group_editor& editor_;
    Ui& ui_;
    QListWidget* available_ = nullptr;
    QListWidget* in_group_ = nullptr;
};

}  // namespace

Ui::Keep_answer ask_keep(QWidget* parent, const std::string& caption, const std::string& text, const Help& help) {
    QDialog dialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog.setWindowTitle(q(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(q(text), &dialog);
    label->setWordWrap(true);
    label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    Ui::Keep_answer answer = Ui::Keep_answer::no;   // Escape: No
    const std::pair<int, Ui::Keep_answer> buttons[] = {{res::IDS_BUTTON_YES, Ui::Keep_answer::yes},
                                                       {res::IDS_BUTTON_NO, Ui::Keep_answer::no},
                                                       {res::IDS_BUTTON_YES_TO_ALL, Ui::Keep_answer::yes_to_all},
                                                       {res::IDS_BUTTON_NO_TO_ALL, Ui::Keep_answer::no_to_all}};
    for (const auto& [label_id, value] : buttons) {
        auto* button = new QPushButton(q(label_id), &dialog);
        button->setDefault(value == Ui::Keep_answer::yes);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&answer, &dialog, value] {
            answer = value;
            dialog.accept();
        });
        row->addWidget(button);
    }
    layout->addLayout(row);
    add_f1_help(&dialog, download::GROUP_DIALOG_HELP, help);
    QApplication::beep();
    dialog.exec();
    return answer;
}

bool run_group_dialog(QWidget* parent, download::Group_editor& editor, Ui& ui, const Help& help) {
    Group_dialog dialog(parent, editor, ui, help);
    return dialog.run();
}

namespace {

// What a choice from a list looks like: its list's name, how many rows may
// be selected, its size in characters and rows, its help topic, and whether
// a double click on a row acts as OK.
struct List_choice {
    QString list_name;
    QAbstractItemView::SelectionMode mode;
    int width_chars, height_rows;
    int help_context;
    bool double_click_accepts;
};

// A modal list with OK, Cancel and Help: the rows selected at OK in list
// order, or nothing on Cancel.
std::optional<std::vector<int>> choose_rows(QWidget* parent, const std::string& caption,
                                            const std::vector<std::string>& items, const List_choice& choice,
                                            const Help& help) {
    QDialog dialog(parent);
    dialog.setWindowTitle(q(caption));
    auto* layout = new QVBoxLayout(&dialog);
    // The caption says what to choose ("Select up to 3 tags ..."); a window
    // manager may cut a long title, so the dialog says it again itself.
    auto* instruction = new QLabel(q(caption), &dialog);
    instruction->setObjectName(QStringLiteral("instruction"));
    layout->addWidget(instruction);
    QListWidget* list = name_list(&dialog, choice.list_name, choice.mode);
    fill(list, items);
    list->setMinimumSize(list->fontMetrics().averageCharWidth() * choice.width_chars,
                         list->fontMetrics().height() * choice.height_rows);
    layout->addWidget(list);
    QDialogButtonBox* buttons = dialog_buttons(&dialog, true, choice.help_context, help);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    if (choice.double_click_accepts) QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return selected_rows(list);
}

}  // namespace

std::optional<std::vector<int>> select_download_members(QWidget* parent, const std::string& caption,
                                                        const std::vector<std::string>& items, const Help& help) {
    const List_choice choice{QStringLiteral("select_list"), QAbstractItemView::ExtendedSelection, 45, 20,
                             download::SELECT_DIALOG_HELP, false};
    return choose_rows(parent, caption.empty() ? res::str(res::IDS_SELECT_DIALOG_CAPTION) : caption, items, choice,
                       help);
}

int choose_extract_tag(QWidget* parent, const std::string& caption, const std::vector<std::string>& ids,
                       const Help& help) {
    const List_choice choice{QStringLiteral("extract_list"), QAbstractItemView::SingleSelection, 30, 16,
                             download::EXTRACT_DIALOG_HELP, true};
    const auto rows = choose_rows(parent, caption, ids, choice, help);
    return rows && !rows->empty() ? rows->front() : -1;
}

void show_summary(QWidget* parent, const std::vector<std::string>& lines, const Help& help) {
    QDialog dialog(parent);
    dialog.setWindowTitle(q(res::IDS_SUMMARY_CAPTION));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(row_list(&dialog, QStringLiteral("summary_list"), lines));
    QDialogButtonBox* buttons = dialog_buttons(&dialog, false, download::STATUS_DIALOG_HELP, help);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

Status_window::Status_window(QWidget* parent, const std::string& caption, const std::vector<std::string>& rows,
                             std::function<void()> on_cancel, Help help)
    : QDialog(parent), on_cancel_(std::move(on_cancel)), help_(std::move(help)) {
    setWindowTitle(q(caption));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    // The caption tells how to stop; a window manager may cut it, so the
    // window says it again above the list.
    auto* instruction = new QLabel(q(caption), this);
    instruction->setObjectName(QStringLiteral("instruction"));
    layout->addWidget(instruction);
    list_ = row_list(this, QStringLiteral("status_list"), rows);
    layout->addWidget(list_);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    layout->addWidget(bar_);
    auto* button = new QPushButton(q(res::IDS_BUTTON_CANCEL), this);
    button->setDefault(true);
    layout->addWidget(button, 0, Qt::AlignCenter);
    connect(button, &QPushButton::clicked, this, [this] { cancel(); });
}

void Status_window::set_row(int row, const std::string& text) {
    if (QListWidgetItem* item = list_->item(row)) item->setText(q(text));
    list_->repaint();
}

Ui::List_metrics Status_window::metrics() const {
    return {list_->height(), std::max(1, list_->sizeHintForRow(0))};
}

void Status_window::set_top_row(int row) {
    if (QListWidgetItem* item = list_->item(row)) list_->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

void Status_window::set_progress(int done, int total, const std::string& text) {
    bar_->setRange(0, total > 0 ? total : 0);
    bar_->setValue(total > 0 ? std::clamp(done, 0, total) : 0);
    bar_->setFormat(q(text));
}

void Status_window::cancel() {
    hide();
    if (on_cancel_) on_cancel_();
}

void Status_window::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;  // only the button cancels
    if (event->key() == Qt::Key_F1) {
        if (help_) help_(download::STATUS_DIALOG_HELP);
        return;
    }
    QDialog::keyPressEvent(event);
}

void Status_window::closeEvent(QCloseEvent* event) {
    // The close box acts as the Cancel button.
    event->ignore();
    cancel();
}

}  // namespace ui::qt
