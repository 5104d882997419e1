#include "ui/qt/tag_dialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QValidator>
#include <QVBoxLayout>

#include "resources/help_pages.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "resources/tag_sheet_layout.h"
#include "resources/tags_strings.h"
#include "tags/editor_fields.h"
#include "tags/test_points.h"
#include "ui/qt/help_window.h"

namespace ui::qt {

namespace {

namespace labels = res::tag_sheet;
using tags::Control;
using tags::Page;

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }
std::string s(const QString& text) { return text.toStdString(); }

// Refuses any typing the sheet does not accept: characters the tag file
// cannot keep, and text past the field's limit.
class Typing_validator : public QValidator {
public:
    Typing_validator(QObject* parent, const tags::Tag_sheet& sheet, Control control)
        : QValidator(parent), sheet_(sheet), control_(control) {}
    State validate(QString& input, int&) const override {
        return sheet_.accepts_typing(control_, input.toStdString()) ? Acceptable : Invalid;
    }

private:
    const tags::Tag_sheet& sheet_;
    Control control_;
};

QLabel* buddy_label(std::string_view text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(q(text), parent);
    label->setBuddy(buddy);
    return label;
}

// OK, Cancel and Help for the small dialogs and the sheet.
QDialogButtonBox* dialog_buttons(QDialog* dialog, bool help) {
    auto* box = new QDialogButtonBox(dialog);
    box->addButton(q(res::text(res::IDS_BUTTON_OK)), QDialogButtonBox::AcceptRole)->setDefault(true);
    box->addButton(q(res::text(res::IDS_BUTTON_CANCEL)), QDialogButtonBox::RejectRole);
    if (help) box->addButton(q(labels::help), QDialogButtonBox::HelpRole);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

// F1 opens the help pages at a fixed context.
void help_on_f1(QDialog* dialog, Ui& ui, int context) {
    add_f1_help(dialog, context, [&ui](int c) { ui.show_help(c); });
}

}  // namespace

Tag_dialog::Tag_dialog(QWidget* parent, Ui& ui, const std::string& title, tags::Tag_sheet& sheet)
    : QDialog(parent), ui_(ui), sheet_(sheet) {
    setWindowTitle(q(title));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("tag_pages"));
    pages_ = new QStackedWidget(this);
    for (auto title_text : labels::tab_titles) tabs_->addTab(q(title_text));
    pages_->addWidget(build_identification());
    pages_->addWidget(build_side(tags::Direction::input));
    pages_->addWidget(build_side(tags::Direction::output));
    pages_->addWidget(build_tolerance());
    pages_->addWidget(build_test_points());
    layout->addWidget(tabs_);
    layout->addWidget(pages_, 1);
    auto* buttons = dialog_buttons(this, true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { press_ok(); });
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { ui_.show_help(tags::help_context(sheet_.active_page())); });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { tab_chosen(index); });
    // Ctrl+Tab and Ctrl+Page Down go to the next page, as in any tabbed sheet.
    for (auto [keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                              std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                              std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
                              std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            tabs_->setCurrentIndex((tabs_->currentIndex() + step + tags::page_count) % tags::page_count);
        });
    }
    load_page(sheet_.active_page());
    focus_first(sheet_.active_page());
}

void Tag_dialog::focus_first(Page page) {
    // The page's first shown field takes the keys, top to bottom.
    for (int c = 1; c < tags::control_count; ++c) {
        const auto control = static_cast<Control>(c);
        if (tags::page_of(control) != page) continue;
        if (auto edit = edits_.find(control); edit != edits_.end() && !edit->second->isHidden()) {
            edit->second->setFocus();
            return;
        }
        if (auto list = lists_.find(control); list != lists_.end() && !list->second->isHidden()) {
            list->second->setFocus();
            return;
        }
    }
}

QLineEdit* Tag_dialog::add_edit(Control control, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("control_%1").arg(static_cast<int>(control)));
    edit->setValidator(new Typing_validator(edit, sheet_, control));
    edits_[control] = edit;
    connect(edit, &QLineEdit::textChanged, this, [this, control](const QString& text) {
        if (!loading_) sheet_.text_changed(control, s(text));
    });
    return edit;
}

QComboBox* Tag_dialog::add_list(Control control, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("control_%1").arg(static_cast<int>(control)));
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);   // the sheet matches the typed text itself
    list->setMinimumContentsLength(16);
    list->setValidator(new Typing_validator(list, sheet_, control));
    lists_[control] = list;
    connect(list, &QComboBox::editTextChanged, this, [this, control](const QString& text) {
        if (!loading_) list_edited(control, text);
    });
    return list;
}

QWidget* Tag_dialog::build_identification() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    const Control order[] = {Control::tag_id,     Control::manufacturer, Control::model,    Control::serial_number,
                             Control::technician, Control::temperature,  Control::humidity, Control::other};
    for (int i = 0; i < 8; ++i) {
        QLineEdit* edit = add_edit(order[i], page);
        form->addRow(buddy_label(labels::identification_labels[static_cast<size_t>(i)], edit, page), edit);
    }
    return page;
}

QWidget* Tag_dialog::build_side(tags::Direction direction) {
    const bool input = direction == tags::Direction::input;
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    const Control controls[] = {input ? Control::input_type : Control::output_type,
                                input ? Control::input_units : Control::output_units,
                                input ? Control::input_curve : Control::output_curve,
                                input ? Control::input_auxiliary : Control::output_auxiliary};
    const std::string_view texts[] = {labels::type_label, labels::units_label, labels::curve_label,
                                      input ? labels::cold_junction_label : labels::wires_label};
    for (int i = 0; i < 4; ++i) {
        QComboBox* list = add_list(controls[i], page);
        QLabel* label = buddy_label(texts[i], list, page);
        list_labels_[controls[i]] = label;
        form->addRow(label, list);
    }
    if (!input) return page;

    QLineEdit* amplitude = add_edit(Control::amplitude, page);
    auto* amplitude_row = new QHBoxLayout;
    auto* vpp = new QLabel(q(labels::amplitude_units), page);
    amplitude_row->addWidget(amplitude);
    amplitude_row->addWidget(vpp);
    QLabel* amplitude_label = buddy_label(labels::amplitude_label, amplitude, page);
    form->addRow(amplitude_label, amplitude_row);
    amplitude_widgets_ = {amplitude, vpp, amplitude_label};

    counts_ = new QRadioButton(q(labels::fixed_counts), page);
    frequency_ = new QRadioButton(q(labels::fixed_frequency), page);
    frequency_->setObjectName(QStringLiteral("fixed_frequency"));
    auto* fixed_group = new QButtonGroup(page);
    fixed_group->addButton(counts_);
    fixed_group->addButton(frequency_);
    auto* fixed_row = new QHBoxLayout;
    fixed_row->addWidget(counts_);
    fixed_row->addWidget(frequency_);
    auto* fixed_label = new QLabel(q(labels::fixed_label), page);
    form->addRow(fixed_label, fixed_row);
    QLineEdit* fixed_value = add_edit(Control::fixed_value, page);
    QLabel* fixed_value_label = buddy_label(labels::fixed_value_label, fixed_value, page);
    form->addRow(fixed_value_label, fixed_value);
    pulse_widgets_ = {counts_, frequency_, fixed_label, fixed_value, fixed_value_label};
    connect(frequency_, &QRadioButton::toggled, this, [this](bool on) {
        if (!loading_) sheet_.text_changed(Control::fixed_type, on ? "1" : "0");
    });
    return page;
}

QWidget* Tag_dialog::build_tolerance() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* state_row = new QHBoxLayout;
    enabled_ = new QRadioButton(q(labels::enabled), page);
    disabled_ = new QRadioButton(q(labels::disabled), page);
    auto* group = new QButtonGroup(page);
    group->addButton(enabled_);
    group->addButton(disabled_);
    connect(disabled_, &QRadioButton::toggled, this, [this](bool on) {
        if (!loading_) sheet_.text_changed(Control::tolerance_state, on ? "1" : "0");
    });
    state_row->addWidget(new QLabel(q(labels::tolerance_testing), page));
    state_row->addWidget(enabled_);
    state_row->addWidget(disabled_);
    state_row->addStretch();
    layout->addLayout(state_row);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(q(labels::low), page), 0, 1);
    grid->addWidget(new QLabel(q(labels::high), page), 0, 2);
    const std::pair<std::string_view, std::pair<Control, Control>> rows[] = {
        {labels::instrument_input, {Control::input_low, Control::input_high}},
        {labels::instrument_output, {Control::output_low, Control::output_high}}};
    int row = 1;
    for (const auto& [text, pair] : rows) {
        QLineEdit* low = add_edit(pair.first, page);
        grid->addWidget(buddy_label(text, low, page), row, 0);
        grid->addWidget(low, row, 1);
        grid->addWidget(add_edit(pair.second, page), row, 2);
        ++row;
    }
    QLineEdit* tolerance = add_edit(Control::tolerance, page);
    grid->addWidget(buddy_label(labels::span_tolerance, tolerance, page), row, 0);
    grid->addWidget(tolerance, row, 1);
    layout->addLayout(grid);
    layout->addStretch();
    return page;
}

QWidget* Tag_dialog::build_test_points() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* used_row = new QHBoxLayout;
    QLineEdit* used = add_edit(Control::points_used, page);
    used_row->addWidget(buddy_label(labels::points_used, used, page));
    used_row->addWidget(used);
    used_row->addStretch();
    layout->addLayout(used_row);
    // Three columns of seven: 1..7, 8..14, 15..21; the tab order runs down
    // each column.
    auto* grid = new QGridLayout;
    for (int k = 1; k <= reports::max_points; ++k) {
        const int column = (k - 1) / 7, row = (k - 1) % 7;
        QLineEdit* point = add_edit(tags::point_control(k), page);
        grid->addWidget(buddy_label(std::to_string(k) + ".", point, page), row, column * 2);
        grid->addWidget(point, row, column * 2 + 1);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    const std::pair<std::string_view, void (tags::Tag_sheet::*)()> commands[] = {
        {labels::insert, &tags::Tag_sheet::insert_point},
        {labels::remove, &tags::Tag_sheet::delete_point},
        {labels::generate, &tags::Tag_sheet::generate_points}};
    for (const auto& [text, command] : commands) {
        auto* button = new QPushButton(q(text), page);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, command] { point_button(command); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    layout->addStretch();
    return page;
}

void Tag_dialog::load_page(Page page) {
    loading_ = true;
    const tags::Sheet_controls& c = sheet_.controls();
    // An edit whose text stands keeps its caret and selection.
    for (auto& [control, edit] : edits_)
        if (tags::page_of(control) == page && edit->text() != q(c.text(control))) edit->setText(q(c.text(control)));
    for (auto& [control, list] : lists_) {
        if (tags::page_of(control) != page) continue;
        const tags::List_state& state = c.list(control);
        list->clear();
        for (const auto& entry : state.entries) list->addItem(q(entry));
        list->setCurrentIndex(state.selected);
        list->setEditText(q(c.text(control)));
        list->setVisible(state.shown);
        list_labels_[control]->setVisible(state.shown);
        if (!state.label.empty())
            list_labels_[control]->setText(
                q(state.label == res::text(res::IDS_LABEL_WIRES) ? labels::wires_label : labels::cold_junction_label));
        if (c.caret_list == control && c.caret >= 0) list->lineEdit()->setCursorPosition(c.caret);
    }
    if (page == Page::instrument_input) {
        for (QWidget* w : amplitude_widgets_) w->setVisible(c.amplitude_shown);
        for (QWidget* w : pulse_widgets_) w->setVisible(c.pulse_shown);
        (c.text(Control::fixed_type) == "1" ? frequency_ : counts_)->setChecked(true);
    }
    if (page == Page::tolerance) (c.text(Control::tolerance_state) == "1" ? disabled_ : enabled_)->setChecked(true);
    loading_ = false;
}

void Tag_dialog::focus_failed() {
    const Control failed = sheet_.focus();
    if (auto edit = edits_.find(failed); edit != edits_.end()) {
        edit->second->setFocus();
        edit->second->selectAll();
    }
}

void Tag_dialog::tab_chosen(int index) {
    const Page from = sheet_.active_page();
    if (index == static_cast<int>(from)) return;
    // The tab stays on the page being left until the sheet lets it go, so a
    // refusal's message shows over the tab and page it is about.
    show_tab(static_cast<int>(from));
    if (!sheet_.change_page(static_cast<Page>(index))) {
        focus_failed();
        return;
    }
    show_tab(index);
    pages_->setCurrentIndex(index);
    load_page(static_cast<Page>(index));
    focus_first(static_cast<Page>(index));
}

void Tag_dialog::show_tab(int index) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(index);
}

void Tag_dialog::press_ok() {
    if (sheet_.ok())
        accept();
    else
        focus_failed();
}

void Tag_dialog::list_edited(Control control, const QString& text) {
    QComboBox* list = lists_[control];
    const int caret = list->lineEdit() ? list->lineEdit()->cursorPosition() : -1;
    sheet_.text_changed(control, s(text), caret);
    load_page(tags::page_of(control));
}

void Tag_dialog::point_button(void (tags::Tag_sheet::*command)()) {
    (sheet_.*command)();
    load_page(Page::test_points);
    focus_failed();
}

void Tag_dialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        ui_.show_help(tags::help_context(sheet_.active_page()));
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<int> ask_point_number(QWidget* parent, Ui& ui, const std::string& prompt) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("point_number_dialog"));
    dialog.setWindowTitle(q(res::text(res::IDS_MODIFY_POINTS_TITLE)));
    help_on_f1(&dialog, ui, res::HELP_TAG_TEST_POINTS);
    auto* layout = new QFormLayout(&dialog);
    auto* number = new QLineEdit(QStringLiteral("1"), &dialog);
    layout->addRow(buddy_label(prompt, number, &dialog), number);
    auto* buttons = dialog_buttons(&dialog, false);
    layout->addRow(buttons);
    int k = 1;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (auto failure = tags::read_point_number(s(number->text()), k)) {
            ui.message(*failure, Caption::error, Buttons::ok);
            number->setFocus();
            number->selectAll();
            return;
        }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return k;
}

std::optional<Generate_values> ask_generate_points(QWidget* parent, Ui& ui, const Generate_values& proposal) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("generate_points_dialog"));
    dialog.setWindowTitle(q(res::text(res::IDS_GENERATE_POINTS_TITLE)));
    help_on_f1(&dialog, ui, res::HELP_TAG_TEST_POINTS);
    const tags::Generate_texts shown = tags::show_generate_values(proposal);
    auto* layout = new QFormLayout(&dialog);
    auto* count = new QLineEdit(q(shown.count), &dialog);
    auto* zero = new QLineEdit(q(shown.zero), &dialog);
    auto* span = new QLineEdit(q(shown.span), &dialog);
    count->setObjectName(QStringLiteral("count"));
    zero->setObjectName(QStringLiteral("zero"));
    span->setObjectName(QStringLiteral("span"));
    layout->addRow(buddy_label(labels::generate_count, count, &dialog), count);
    layout->addRow(buddy_label(labels::generate_zero, zero, &dialog), zero);
    layout->addRow(buddy_label(labels::generate_span, span, &dialog), span);
    auto* schemes = new QVBoxLayout;
    std::vector<QRadioButton*> scheme_buttons;
    auto* group = new QButtonGroup(&dialog);
    for (size_t i = 0; i < labels::scheme_names.size(); ++i) {
        auto* button = new QRadioButton(q(labels::scheme_names[i]), &dialog);
        button->setChecked(static_cast<int>(i) == proposal.scheme);
        group->addButton(button, static_cast<int>(i));
        schemes->addWidget(button);
    }
    layout->addRow(new QLabel(q(labels::generate_scheme), &dialog), schemes);
    auto* buttons = dialog_buttons(&dialog, false);
    layout->addRow(buttons);
    Generate_values result;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const tags::Generate_texts typed{s(count->text()), s(zero->text()), s(span->text()), group->checkedId()};
        if (auto failure = tags::read_generate_texts(typed, result)) {
            ui.message(failure->message, Caption::error, Buttons::ok);
            QLineEdit* field = failure->field == tags::Generate_field::span   ? span
                               : failure->field == tags::Generate_field::zero ? zero
                                                                              : count;
            field->setFocus();
            field->selectAll();
            return;
        }
        dialog.accept();
    });
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return result;
}

}  // namespace ui::qt
