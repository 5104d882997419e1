#include "ui/qt/print_dialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "resources/download_strings.h"
#include "resources/help_pages.h"
#include "resources/reports_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "ui/print/paged_print_job.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/help_window.h"

namespace ui::qt {

namespace {

QString q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString q(int id) { return q(res::text(id)); }

// The printer of the print dialog under a print job.
class Printer_print_job : public print::Paged_print_job {
public:
    explicit Printer_print_job(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}
    ~Printer_print_job() override { Paged_print_job::finish(true); }

protected:
    QPagedPaintDevice& device() const override { return *printer_; }
    void name_document(const QString& name) override { printer_->setDocName(name); }
    void abandon_document() override { printer_->abort(); }

private:
    std::unique_ptr<QPrinter> printer_;
};

constexpr int font_sizes[] = {8, 9, 10, 11, 12, 14, 16};

}  // namespace

std::unique_ptr<Print_job> choose_printer(QWidget* parent, const std::function<void(const std::string&)>& show_error) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(printer.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        auto pdf = std::make_unique<print::Pdf_print_job>(printer->outputFileName().toStdString(), nullptr, show_error);
        pdf->use_layout(printer->pageLayout(), printer->resolution());
        return pdf;
    }
    return std::make_unique<Printer_print_job>(std::move(printer));
}

std::optional<int> ask_font_size(QWidget* parent, int current, const std::function<void(int)>& help) {
    QDialog dialog(parent);
    dialog.setWindowTitle(q(res::IDS_FONT_SIZE_TITLE));
    add_f1_help(&dialog, res::HELP_FONT_SIZE, help);
    auto* layout = new QVBoxLayout(&dialog);
    auto* sizes = new QComboBox(&dialog);
    sizes->setObjectName(QStringLiteral("font_size"));
    layout->addWidget(instruction_label(&dialog, sizes));
    for (int size : font_sizes) {
        sizes->addItem(QString::number(size), size);
        if (size == current) sizes->setCurrentIndex(sizes->count() - 1);
    }
    layout->addWidget(sizes);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(q(res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(q(res::IDS_BUTTON_CANCEL), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return sizes->currentData().toInt();
}

void show_display(QWidget* parent, const std::string& caption, const std::vector<std::string>& lines,
                  const QFont& list_font, const std::function<bool()>& on_print, const std::function<void(int)>& help) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Display_dialog"));
    dialog.setWindowTitle(q(caption));
    add_f1_help(&dialog, res::HELP_COMPANY_DISPLAY_EXTRACT, help);
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("display_lines"));
    list->setFont(list_font);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (const std::string& line : lines) list->addItem(q(line));
    layout->addWidget(list);

    // Escape closes the window as OK does: neither changes anything.
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(q(res::IDS_BUTTON_OK), QDialogButtonBox::AcceptRole)->setDefault(true);
    QPushButton* print = buttons->addButton(q(res::IDS_BUTTON_PRINT), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("print"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(print, &QPushButton::clicked, &dialog, [&dialog, &on_print] {
        if (on_print && on_print()) dialog.accept();
    });
    layout->addWidget(buttons);

    // 359 x 318 dialog units: a quarter of the average character width and
    // an eighth of the character height each.
    const QFontMetrics metrics = dialog.fontMetrics();
    dialog.resize(359 * metrics.averageCharWidth() / 4, 318 * metrics.height() / 8);
    dialog.exec();
}

}  // namespace ui::qt
