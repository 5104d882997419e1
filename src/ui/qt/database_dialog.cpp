#include "ui/qt/database_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "resources/database_dialog_strings.h"
#include "resources/download_strings.h"
#include "resources/help_pages.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "ui/dialog_rules.h"
#include "ui/qt/help_window.h"

namespace ui::qt {

namespace {

using Kind = records::Database_choice::Kind;

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString q(int id) { return q(res::text(id)); }

// A label whose text can be selected and copied (a path, an error).
QLabel* text_label(QWidget* owner, const char* name) {
    auto* label = new QLabel(owner);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

Database_dialog::Database_dialog(QWidget* parent, records::Database_choice& choice, const std::function<void(int)>& help)
    : QDialog(parent), choice_(choice) {
    setObjectName(QStringLiteral("Database_dialog"));
    setWindowTitle(q(res::IDS_DB_TITLE));
    add_f1_help(this, res::HELP_RECORDS_DATABASE, help);
    auto* layout = new QVBoxLayout(this);

    auto* in_use = new QLabel(q(res::IDS_DB_IN_USE_LABEL), this);
    current_ = text_label(this, "current");
    QFont bold = current_->font();
    bold.setBold(true);
    current_->setFont(bold);
    layout->addWidget(in_use);
    layout->addWidget(current_);
    layout->addSpacing(fontMetrics().height() / 2);

    // Each radio button with its fields indented under it.
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    auto* choices = new QGridLayout;
    choices->setColumnMinimumWidth(0, indent);
    choices->setColumnStretch(1, 1);
    default_radio_ = new QRadioButton(this);
    default_radio_->setObjectName(QStringLiteral("default_file"));
    default_path_ = text_label(this, "default_path");
    default_path_->setText(q(choice_.default_file()));
    file_radio_ = new QRadioButton(this);
    file_radio_->setObjectName(QStringLiteral("other_file"));
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("file"));
    file_->setAccessibleName(q(res::IDS_DB_FILE_RADIO));
    browse_ = new QPushButton(this);
    browse_->setObjectName(QStringLiteral("browse"));
    browse_->setAutoDefault(false);
    auto* file_row = new QHBoxLayout;
    file_row->addWidget(file_, 1);
    file_row->addWidget(browse_);
    server_radio_ = new QRadioButton(this);
    server_radio_->setObjectName(QStringLiteral("server"));
    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("address"));
    address_->setAccessibleName(q(res::IDS_DB_SERVER_RADIO));
    address_->setPlaceholderText(q(res::IDS_DB_ADDRESS_PLACEHOLDER));
    password_hint_ = text_label(this, "password_hint");
    password_hint_->setText(q(res::IDS_DB_PASSWORD_HINT));
    choices->addWidget(default_radio_, 0, 0, 1, 2);
    choices->addWidget(default_path_, 1, 1);
    choices->addWidget(file_radio_, 2, 0, 1, 2);
    choices->addLayout(file_row, 3, 1);
    choices->addWidget(server_radio_, 4, 0, 1, 2);
    choices->addWidget(address_, 5, 1);
    choices->addWidget(password_hint_, 6, 1);
    layout->addLayout(choices);
    layout->addSpacing(fontMetrics().height() / 2);

    auto* test_row = new QHBoxLayout;
    auto* test = new QPushButton(this);
    test->setObjectName(QStringLiteral("test_connection"));
    test->setAutoDefault(false);
    test_row->addWidget(test);
    test_row->addStretch();
    layout->addLayout(test_row);
    result_ = text_label(this, "result");
    result_->setMinimumHeight(2 * fontMetrics().lineSpacing());
    result_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(result_, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(q(res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(q(res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    QPushButton* help_button = buttons->addButton(q(res::IDS_BUTTON_HELP), QDialogButtonBox::HelpRole);
    layout->addWidget(buttons);

    // One keyboard letter each, none shared.
    const std::vector<QAbstractButton*> captioned = {default_radio_, file_radio_, server_radio_, browse_, test,
                                                      ok, cancel, help_button};
    const std::vector<std::string> marked = with_mnemonics(
        {res::str(res::IDS_DB_DEFAULT_RADIO), res::str(res::IDS_DB_FILE_RADIO), res::str(res::IDS_DB_SERVER_RADIO),
         res::str(res::IDS_DB_BROWSE), res::str(res::IDS_DB_TEST_BUTTON), res::str(res::IDS_BUTTON_OK),
         res::str(res::IDS_BUTTON_CANCEL), res::str(res::IDS_BUTTON_HELP)});
    for (std::size_t i = 0; i < captioned.size(); ++i) captioned[i]->setText(q(marked[i]));

    const auto radio = [this](QRadioButton* button, Kind kind) {
        connect(button, &QRadioButton::toggled, this, [this, kind](bool on) {
            if (!on || mirroring_) return;
            choice_.choose(kind);
            mirror();
        });
    };
    radio(default_radio_, Kind::default_file);
    radio(file_radio_, Kind::other_file);
    radio(server_radio_, Kind::server);
    connect(file_, &QLineEdit::textEdited, this, [this](const QString& text) {
        choice_.set_file(text.toStdString());
        mirror();
    });
    connect(address_, &QLineEdit::textEdited, this, [this](const QString& text) {
        choice_.set_address(text.toStdString());
        mirror();
    });
    connect(browse_, &QPushButton::clicked, this, [this] {
        choice_.browse();
        mirror();
    });
    connect(test, &QPushButton::clicked, this, [this] { test_connection(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (choice_.save()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help_button, &QPushButton::clicked, this, [help] {
        if (help) help(res::HELP_RECORDS_DATABASE);
    });

    mirror();
    resize(fontMetrics().averageCharWidth() * 80, sizeHint().height());
}

void Database_dialog::mirror() {
    mirroring_ = true;
    current_->setText(q(choice_.current_line()));
    const Kind kind = choice_.kind();
    default_radio_->setChecked(kind == Kind::default_file);
    file_radio_->setChecked(kind == Kind::other_file);
    server_radio_->setChecked(kind == Kind::server);
    // The fields keep their cursor unless the choice changed what they hold (Browse...).
    if (file_->text() != q(choice_.file())) file_->setText(q(choice_.file()));
    if (address_->text() != q(choice_.address())) address_->setText(q(choice_.address()));
    default_path_->setEnabled(kind == Kind::default_file);
    file_->setEnabled(kind == Kind::other_file);
    browse_->setEnabled(kind == Kind::other_file);
    address_->setEnabled(kind == Kind::server);
    password_hint_->setEnabled(kind == Kind::server);
    result_->setText(q(choice_.result()));
    mirroring_ = false;
}

void Database_dialog::test_connection() {
    choice_.test_connection([this] {
        mirror();
        result_->repaint();
    });
    mirror();
}

}  // namespace ui::qt
