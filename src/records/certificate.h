// The calibration certificate of one recorded calibration: its page content
// as lines, the tables among them and the block kept on one page, laid out
// on pages as the report printing does (fixed-pitch lines at the left
// margin), and printed through the same print job (a printer, or a PDF file).
//
// What a certificate holds, in this order: the company name, "Calibration
// Certificate", the tag and instrument, the input and output with their
// ranges, the tolerance, the reference standard (the calibrator's model,
// serial number and last calibration), the technician, the date and time
// calibrated, the ambient conditions, the As Found and As Left tables, the
// overall results, the due date, the signature lines and the record's
// SHA-256 (which `records verify` checks the records against).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "records/calibration_record.h"
#include "reports/report_print.h"
#include "ui/ui.h"

namespace records {

struct Certificate {
    // One point table: its header lines (title and column headings), which
    // open again every page its rows continue on, and the end of its rows.
    struct Table {
        std::size_t header = 0;
        std::size_t header_lines = 0;
        std::size_t end = 0;   // one past its last row
    };
    std::vector<std::string> lines;
    std::vector<Table> tables;
    // The results, due date, signatures and hash: moved whole to the next
    // page when they would not fit.
    reports::Block closing;
    // For the label opening every page after the first.
    std::string tag_id, calibrated;
};

// The certificate of a recorded calibration.  company: the settings' company
// name ("" leaves its line out); due: the calibration's due date ("-" when
// none).
Certificate make_certificate(const Recorded_calibration& record, const std::string& company,
                             const std::optional<Date_time>& due);

// The due date printed on a certificate: the date calibrated plus the
// tag's interval.
Date_time certificate_due_date(const Calibration& calibration, int interval_days);

// Lays a certificate out on pages, handing each to sink.  A line goes on
// the page while its y is above the bottom limit.  A table's header moves
// to the next page with its first row; a table continued on a new page
// starts there with its header again; the closing block moves whole.  Every
// page after the first opens with the page label and an empty line.  False
// when the sink stopped it.
bool lay_out_certificate_pages(const Certificate& certificate, const reports::Page_geometry& geometry,
                               const reports::Page_sink& sink);

// A calibration date and time as typed on the command line,
// "YYYY-MM-DD HH:MM:SS", checked to be a real date and time.
std::optional<Date_time> parse_calibrated(const std::string& text);

// The calibration calibrated at when, or the last one (without when);
// nullptr when there is none.
const Recorded_calibration* find_calibration(const std::vector<Recorded_calibration>& calibrations,
                                             const std::optional<Date_time>& when);

// The largest font size a certificate prints in: its lines are up to 66
// characters wide, which fit across A4 and Letter up to 12 points.
inline constexpr int certificate_max_font_size = 12;

// The certificate on the printer the user picks (a cancelled print dialog
// does nothing), in the printing font size but at most
// certificate_max_font_size.  refresh_status_line puts the configured-format text back
// (may be empty).  True when the document was printed whole.
bool print_certificate(ui::Ui& ui, const Certificate& certificate, int font_size,
                       const std::function<void()>& refresh_status_line = {});

}  // namespace records
