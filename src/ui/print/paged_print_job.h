// Drawing printed pages with Qt: the fixed-pitch printing font, a print job
// over any paged paint device (a printer or a PDF file), and the
// application object that painting needs in a program without windows.
//
// No widgets here: the desktop program puts a printer from its print dialog
// under the job, the command-line program a PDF file.
#pragma once

#include <QFont>
#include <QPainter>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "ui/ui.h"

class QCoreApplication;
class QPagedPaintDevice;
class QBuffer;
class QPageLayout;
class QPdfWriter;

namespace ui::print {

// The printing font with characters pixel_height pixels high on device:
// "Liberation Mono" when installed (its characters have the widths and
// heights of "Courier New", so columns and page breaks come out as laid
// out), else the system's fixed-pitch font.
QFont printer_font(int pixel_height, QPaintDevice* device);

// A print job drawing on a paged device.  The device is started with the
// first page, so a document without pages sends nothing.
class Paged_print_job : public Print_job {
public:
    ~Paged_print_job() override;

    int resolution() const override;
    int printable_height() const override;
    void set_document(const std::string& name, int font_height, int left_margin) override;
    Page_result print_page(const Printed_page& page) override;
    void finish(bool abandon) override;
    // Pages sent so far.
    int pages_printed() const { return pages_; }

protected:
    virtual QPagedPaintDevice& device() const = 0;
    virtual void name_document(const QString& name) = 0;
    // Opens what the document goes to, just before its first page.
    virtual bool open_document() { return true; }
    // Abandons a started document (the printer's abort, where it has one).
    virtual void abandon_document() {}

private:
    QPainter painter_;
    QString name_;
    int font_height_ = 0;
    int left_ = 0;
    int baseline_ = 0;   // from the top of a text cell to its baseline
    bool started_ = false;
    int pages_ = 0;
};

// What became of a PDF document: pages printed, whether the file holds the
// finished document, and when it could not be written, the message saying
// which file and why ("File Write Error: ...").
struct Pdf_result {
    int pages = 0;
    bool written = false;
    std::string error;
};

// A print job writing a PDF file: pages of the user's paper size (Letter
// where US measures are used, else A4) at 1200 pixels per inch, with the
// quarter-inch border a printer cannot print on.  The document is made in
// memory and written, when it ends normally, through the program's one
// checked file write (shell::write_file_atomically): a full disk or a file
// size limit leaves an existing file as it was and fills result.error.  An
// abandoned document, or one without pages, writes nothing.  result, when
// given, receives the outcome as the document finishes; on_error, when
// given, is called with the message of a failed write.
class Pdf_print_job : public Paged_print_job {
public:
    explicit Pdf_print_job(const std::string& path, Pdf_result* result = nullptr,
                           std::function<void(const std::string&)> on_error = {});
    ~Pdf_print_job() override;

    // Pages of this layout and resolution instead (those of a printer set to
    // print into a file).
    void use_layout(const QPageLayout& layout, int resolution);
    void finish(bool abandon) override;

protected:
    QPagedPaintDevice& device() const override;
    void name_document(const QString& name) override;
    bool open_document() override;

private:
    std::string path_;
    std::unique_ptr<QBuffer> buffer_;
    std::unique_ptr<QPdfWriter> writer_;
    Pdf_result* result_;
    std::function<void(const std::string&)> on_error_;
};

// A GUI application object on the offscreen platform (unless another
// platform is asked for): fonts and painting without a display.
std::unique_ptr<QCoreApplication> offscreen_application(int& argc, char** argv);

}  // namespace ui::print
