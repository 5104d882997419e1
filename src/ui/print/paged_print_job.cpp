#include "ui/print/paged_print_job.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QBuffer>

#include "resources/report_files_strings.h"
#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "shell/ini_file.h"

namespace ui::print {

namespace {

QString q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

QFont printer_font(int pixel_height, QPaintDevice* device) {
    QFont font = QFontDatabase::families().contains(QStringLiteral("Liberation Mono"))
                     ? QFont(QStringLiteral("Liberation Mono"))
                     : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setPixelSize(std::max(1, pixel_height));
    return device ? QFont(font, device) : font;
}

Paged_print_job::~Paged_print_job() {
    if (painter_.isActive()) painter_.end();
}

int Paged_print_job::resolution() const { return device().logicalDpiY(); }

int Paged_print_job::printable_height() const { return device().height(); }

void Paged_print_job::set_document(const std::string& name, int font_height, int left_margin) {
    name_ = q(name);
    font_height_ = font_height;
    left_ = left_margin;
}

Page_result Paged_print_job::print_page(const Printed_page& page) {
    if (!started_) {
        name_document(name_);
        if (!open_document() || !painter_.begin(&device())) return Page_result::document_failed;
        started_ = true;
        painter_.setFont(printer_font(font_height_, &device()));
        painter_.setPen(Qt::black);
        // Rows give the top of each text cell; text is drawn on its baseline.
        baseline_ = QFontMetrics(painter_.font(), &device()).ascent();
    } else if (!device().newPage()) {
        return Page_result::page_failed;
    }
    for (const Printed_row& row : page.rows) painter_.drawText(left_, row.y + baseline_, q(row.text));
    ++pages_;
    return Page_result::printed;
}

void Paged_print_job::finish(bool abandon) {
    if (!started_) return;
    if (abandon) abandon_document();
    painter_.end();
    started_ = false;
}

Pdf_print_job::Pdf_print_job(const std::string& path, Pdf_result* result,
                             std::function<void(const std::string&)> on_error)
    : path_(path),
      buffer_(std::make_unique<QBuffer>()),
      writer_(std::make_unique<QPdfWriter>(buffer_.get())),
      result_(result),
      on_error_(std::move(on_error)) {
    const bool us = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    writer_->setResolution(1200);
    writer_->setPageLayout(QPageLayout(QPageSize(us ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch));
    writer_->setCreator(QStringLiteral("TQ740-SW"));
}

Pdf_print_job::~Pdf_print_job() { Paged_print_job::finish(true); }

void Pdf_print_job::use_layout(const QPageLayout& layout, int resolution) {
    writer_->setResolution(resolution);
    writer_->setPageLayout(layout);
}

void Pdf_print_job::finish(bool abandon) {
    const bool started = buffer_->isOpen();
    Paged_print_job::finish(abandon);   // the painter's end completes the document in the buffer
    Pdf_result outcome{pages_printed(), false, {}};
    if (started && !abandon) {
        const QByteArray& pdf = buffer_->data();
        std::string reason;
        const shell::Write_outcome written =
            shell::write_file_atomically(path_, std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())), reason);
        outcome.written = written == shell::Write_outcome::ok;
        if (written == shell::Write_outcome::open_failed)
            outcome.error = res::str(res::IDS_FILE_OPEN_ERROR) + ": " + path_ + "\n" + reason;
        else if (written == shell::Write_outcome::write_failed)
            outcome.error = res::format(res::IDS_FILE_WRITE_ERROR, path_, reason);
    }
    buffer_->close();
    buffer_->setData(QByteArray());
    if (result_) *result_ = outcome;
    if (!outcome.error.empty() && on_error_) on_error_(outcome.error);
}

QPagedPaintDevice& Pdf_print_job::device() const { return *writer_; }

bool Pdf_print_job::open_document() { return buffer_->open(QIODevice::WriteOnly); }

void Pdf_print_job::name_document(const QString& name) { writer_->setTitle(name); }

std::unique_ptr<QCoreApplication> offscreen_application(int& argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace ui::print
