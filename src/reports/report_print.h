// Printing: File > Print of the Reports list, and the print job every
// printing command shares.
//
// The pages are laid out apart from the printer: a layout turns lines into
// pages of (y, text) rows in the printer's pixels, and the printer (a
// ui::Print_job) only draws them.  Every line is drawn at the left margin in
// a fixed-pitch font of character height h.
//
// A report as the printer sees it (its lines are found by their texts, so
// uploaded reports and reports read from a file print alike, in either
// layout):
// - it starts at line 0, or two lines after a separator ("------"): the empty
//   line after a separator is skipped;
// - its header runs from its start to the first line beginning "Calibrated:"
//   (a leading double quote and case are ignored).  The header and a page
//   label ("%50sPage %i" with " ", or "\"Page %i\"" when the header's last
//   line begins with a double quote) open every page of the report;
// - separators are never printed, and every report begins on a new page;
// - a line at or below the bottom limit is followed by a page break, except
//   the last line of a report;
// - the signature blocks (the pad lines before "Technician Sig", "Approval
//   Sig" and "Date") and the comments block ("Comments:" and its pad lines)
//   move whole to the next page when their last line would start at or below
//   the bottom limit.
// A report without a "Calibrated:" line becomes part of the header of the
// next report that has one; lines after the last such line are not printed.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_lines.h"
#include "ui/ui.h"

namespace reports {

// The page geometry of one print job, in printer pixels: margin m = r / 2
// (left edge and top), line height h = r * font size / 72, bottom limit
// B = printable height - 3 * m / 2 (integer arithmetic throughout).
struct Page_geometry {
    int margin = 0;
    int line_height = 0;
    int bottom_limit = 0;
    bool operator==(const Page_geometry&) const = default;
};
Page_geometry page_geometry(int resolution, int printable_height, int font_size);

// A block of lines: its first line and the number of lines.
struct Block {
    std::size_t index = 0;
    std::size_t count = 0;
    bool operator==(const Block&) const = default;
};

// The first line at or after start that begins with label (or with a double
// quote and label; case ignored), with the pad lines next to it: forward, the
// label line and the pad lines after it; backward, the pad lines before it
// and the label line.  {0, 0} when no line has the label.  A pad line has
// five spaces in its characters 2 to 6.
Block find_block(const Report_lines& lines, std::size_t start, std::string_view label, bool forward);

// Receives each finished page; returns false when the page could not be
// printed, which stops the layout.
using Page_sink = std::function<bool(const ui::Printed_page&)>;

// Lays the Reports list out on pages, handing each page to sink as it is
// finished.  False when the sink stopped it.
bool lay_out_report_pages(const Report_lines& lines, const Page_geometry& geometry,
                          const Page_sink& sink);

// The layout of one document for a given geometry.
using Page_layout = std::function<bool(const Page_geometry&, const Page_sink&)>;

// One print job on a chosen printer: geometry from the printer and font size,
// the pages of the layout, then the document ended, or abandoned when a page
// failed.  A document that cannot be started shows "Could not generate
// report" ("ERROR").  True when the document was ended normally.
bool print_document(ui::Ui& ui, ui::Print_job& job, const std::string& name, int font_size,
                    const Page_layout& layout);

// File > Print: the Reports list on the printer the user picks.  "There are
// no reports available" when the list is empty; a cancelled print dialog
// does nothing.  refresh_status_line puts the configured-format text back
// (may be empty).
void print_reports(ui::Ui& ui, const Report_lines& lines, int font_size,
                   const std::function<void()>& refresh_status_line);

}  // namespace reports
