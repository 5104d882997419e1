// The Reports list of the main window and the state shared by upload, report
// files and printing: the list's lines, its caption, `reports_unsaved` and the
// layout of the text now shown.
//
// The lines are kept compactly (Report_lines): a report file of a million
// lines costs its characters and an offset per line.
//
// The list holds report text, one line per entry, in the order added; entries
// are never edited or sorted.  The lines are kept here as well as in the
// window, so saving and printing read them from this object.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reports/report_lines.h"
#include "ui/ui.h"

namespace reports {

// The two report layouts.
enum class Report_format { text, csv };

// The three caption texts of the Reports list.
enum class Reports_caption {
    plain,          // "Reports": while the list is being filled or is empty
    uploaded,       // "Reports - Uploaded from Calibrator"
    read_from_file, // "Reports - Read from File"
};
std::string caption_text(Reports_caption caption);

class Report_list {
public:
    explicit Report_list(ui::Ui& ui) : ui_(ui) {}

    // True when the list holds uploaded reports not yet written to a file.
    bool reports_unsaved = false;
    // The layout of the text now in the list (decides extension, filter and
    // default name when saving).
    Report_format displayed_format = Report_format::text;

    // Begins a fill: the running maximum width starts again from 0.
    void start_report_fill() { max_width_ = 0; }

    // Appends text as the new last entry (shown at once) and raises the
    // running maximum width of the current fill when it is wider.  The width
    // of a line is its length in characters.
    void add_report_line(std::string_view text);
    // The same for many lines at once (one call to the window): for long files.
    void add_report_lines(std::vector<std::string> lines);

    // Sets the horizontal extent to four thirds of the widest line of the
    // fill, truncated (width * 4 / 3).
    void finish_report_fill();

    // Empties the list (the window's too) and restarts the running maximum.
    void clear();

    // Sets the caption label above the list.
    void set_reports_caption(std::string_view text);
    void set_reports_caption(Reports_caption caption) { set_reports_caption(caption_text(caption)); }

    const Report_lines& lines() const { return lines_; }
    bool empty() const { return lines_.empty(); }
    const std::string& caption() const { return caption_; }
    // The extent last set by finish_report_fill.
    int extent() const { return extent_; }

private:
    ui::Ui& ui_;
    Report_lines lines_;
    std::string caption_;
    size_t max_width_ = 0;
    int extent_ = 0;
};

}  // namespace reports
