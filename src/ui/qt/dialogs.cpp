#include "ui/qt/dialogs.h"

#include <QCloseEvent>
#include <algorithm>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "resources/help_pages.h"
#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "shell/settings.h"
#include "ui/qt/help_window.h"

namespace ui::qt {

namespace {

QString q(int id) { return QString::fromUtf8(res::text(id).data(), static_cast<int>(res::text(id).size())); }

// A dialog whose F1 opens the help pages at its context.
class Help_dialog : public QDialog {
public:
    Help_dialog(QWidget* parent, int context, const std::function<void(int)>& help) : QDialog(parent) {
        add_f1_help(this, context, help);
    }
};

// The system the program runs on, as its release names itself, with the
// kernel's name in front when the release name leaves it out ("Linux,
// Ubuntu 24.04 LTS").
QString platform_name() {
    QString name = QSysInfo::prettyProductName();
    QString kernel = QSysInfo::kernelType();
    if (!kernel.isEmpty()) kernel[0] = kernel[0].toUpper();
    if (!kernel.isEmpty() && !name.contains(kernel, Qt::CaseInsensitive)) name = kernel + QStringLiteral(", ") + name;
    return name;
}

QDialogButtonBox* ok_cancel_buttons(QDialog* dialog, bool with_cancel) {
    auto* box = new QDialogButtonBox(dialog);
    box->addButton(q(res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole)->setDefault(true);
    if (with_cancel) box->addButton(q(res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

}  // namespace

QLabel* instruction_label(QDialog* dialog, QWidget* field) {
    auto* label = new QLabel(dialog->windowTitle(), dialog);
    label->setObjectName(QStringLiteral("instruction"));
    label->setBuddy(field);
    return label;
}

std::optional<std::string> ask_company_name(QWidget* parent, const std::string& current,
                                            const std::function<void(int)>& help) {
    Help_dialog dialog(parent, res::HELP_COMPANY_DISPLAY_EXTRACT, help);
    dialog.setWindowTitle(q(res::IDS_COMPANY_TITLE));
    auto* layout = new QVBoxLayout(&dialog);
    auto* field = new QLineEdit(&dialog);
    layout->addWidget(instruction_label(&dialog, field));
    field->setObjectName(QStringLiteral("company_name"));
    field->setMaxLength(static_cast<int>(shell::MAX_COMPANY));
    field->setText(QString::fromStdString(current));
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 52);
    layout->addWidget(field);
    layout->addWidget(ok_cancel_buttons(&dialog, true));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return field->text().toStdString();
}

void show_about(QWidget* parent, const std::function<void(int)>& help) {
    Help_dialog dialog(parent, res::HELP_MAIN_WINDOW, help);
    dialog.setWindowTitle(q(res::IDS_ABOUT_TITLE));
    auto* layout = new QVBoxLayout(&dialog);
    QStringList lines;
    for (int id : {res::IDS_ABOUT_LINE1, res::IDS_ABOUT_LINE2, res::IDS_ABOUT_LINE3, res::IDS_ABOUT_LINE4})
        lines << q(id);
    lines << QString::fromStdString(res::format(res::IDS_ABOUT_LINE5, platform_name().toStdString(), qVersion()));
    for (const QString& text : lines) {
        auto* line = new QLabel(text, &dialog);
        line->setAlignment(Qt::AlignHCenter);
        layout->addWidget(line);
    }
    auto* buttons = ok_cancel_buttons(&dialog, false);
    buttons->setCenterButtons(true);
    layout->addWidget(buttons);
    dialog.exec();
}

void show_identity(QWidget* parent, const Ui::Identity_values& values, const std::function<void(int)>& help) {
    Help_dialog dialog(parent, res::HELP_IDENTITY, help);
    dialog.setWindowTitle(q(res::IDS_IDENTITY_TITLE));
    auto* layout = new QVBoxLayout(&dialog);
    auto* form = new QFormLayout;
    auto add = [&](int label, const std::string& value) {
        auto* field = new QLineEdit(QString::fromStdString(value), &dialog);
        field->setReadOnly(true);
        form->addRow(q(label), field);
    };
    add(res::IDS_IDENTITY_MANUFACTURER, values.manufacturer);
    add(res::IDS_IDENTITY_MODEL, values.model);
    add(res::IDS_IDENTITY_SERIAL, values.serial_number);
    add(res::IDS_IDENTITY_FIRMWARE, values.firmware);
    layout->addLayout(form);
    auto* buttons = ok_cancel_buttons(&dialog, false);
    buttons->setCenterButtons(true);
    layout->addWidget(buttons);
    dialog.exec();
}

Cancel_window::Cancel_window(QWidget* parent, const std::string& caption, std::function<void()> on_cancel,
                             std::function<void(int)> help)
    : QDialog(parent), on_cancel_(std::move(on_cancel)), help_(std::move(help)) {
    setWindowTitle(QString::fromStdString(caption));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    // The bar and its text stay empty until the operation reports progress.
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 1);
    bar_->setValue(0);
    bar_->setTextVisible(false);
    layout->addWidget(bar_);
    text_ = new QLabel(this);
    layout->addWidget(text_);
    // In a button row, so that the button gets its keyboard letter as every
    // dialog's buttons do.
    auto* row = new QDialogButtonBox(this);
    row->setCenterButtons(true);
    QPushButton* button = row->addButton(q(res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    button->setDefault(true);
    layout->addWidget(row);
    connect(button, &QPushButton::clicked, this, [this] {
        hide();
        if (on_cancel_) on_cancel_();
    });
    resize(button->sizeHint().width() * 4, button->sizeHint().height() * 5);
}

void Cancel_window::set_progress(int done, int total, const std::string& text) {
    bar_->setRange(0, total > 0 ? total : 0);
    bar_->setValue(total > 0 ? std::clamp(done, 0, total) : 0);
    text_->setText(QString::fromStdString(text));
}

void Cancel_window::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return;  // only the button cancels
    if (event->key() == Qt::Key_F1) {
        if (help_) help_(res::HELP_MAIN_WINDOW);
        return;
    }
    QDialog::keyPressEvent(event);
}

void Cancel_window::closeEvent(QCloseEvent* event) {
    // The close box acts as the Cancel button.
    event->ignore();
    hide();
    if (on_cancel_) on_cancel_();
}

}  // namespace ui::qt
