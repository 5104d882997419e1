// The desktop program's Records menu: the Calibration Records window's logic
// (Records_browser) and the two commands, Records > Calibration Records...
// and Records > Import Reports....
//
// The browser holds everything the window shows and decides what is
// selected and what may be pressed; the window only mirrors it, so the
// scripted-ui tests see what the user sees.  Its four tables (the tags, the
// selected tag's calibrations, the selected calibration's As Found and As
// Left points) are read cell by cell, so a view over ten thousand tags asks
// only for the rows on screen.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "records/drift.h"
#include "records/due_dates.h"
#include "records/record_store.h"
#include "reports/report_files.h"
#include "ui/ui.h"

namespace records {

// What the two commands need of the main window.
struct Records_context {
    // The Reports list, the `directory` setting and the unsaved-report guard
    // (Import Reports starts in the report folder; Open in Reports List fills
    // the list as File > Open does).
    reports::Report_file_context& files;
    // The records database file.
    std::string database;
    // The printing font size (File > Print Setup).
    int font_size = 9;
    // The company name of the settings, printed on certificates.
    std::string company = {};
    // The interval of a tag without its own ([records] interval_days), and
    // the date the due dates are counted to.
    int interval_days = default_interval_days;
    Date_time today = today_local();
};

class Records_browser {
public:
    enum class Table { tags, calibrations, as_found, as_left };

    // store: the open records database, or nullptr when none exists yet
    // (every list is then empty).
    Records_browser(Records_context& context, Record_store* store);

    // Reads the tags and selects the first one with its newest calibration.
    void load();

    // ---- The tables, as the window shows them ----
    int row_count(Table table) const;
    int column_count(Table table) const;
    std::string heading(Table table, int column) const;
    std::string cell(Table table, int row, int column) const;
    // True for a cell that shows a failed verdict (marked in the window).
    bool failed(Table table, int row, int column) const;

    // ---- The labels ----
    std::string tags_label() const;          // "Tags: 3 of 10 shown"
    std::string calibrations_label() const;  // "Calibrations of PT-101, newest first:"
    std::string as_found_label() const;      // "As Found: Fail"
    std::string as_left_label() const;
    // The selected calibration's instrument, signals, calibrator, source and
    // hash, one line each; none without a selection.
    std::vector<std::string> details() const;

    // ---- What the user does ----
    // Narrows the tags to those whose ID holds text (case ignored).  The
    // selected tag stays selected while it is shown; otherwise the first tag
    // shown is selected.
    void set_filter(const std::string& text);
    const std::string& filter() const { return filter_; }
    // Selects a tag by its row among those shown (-1: none) and its newest calibration.
    void select_tag(int row);
    int selected_tag() const { return selected_tag_; }
    // Selects a calibration of the selected tag by its row (newest first).
    void select_calibration(int row);
    int selected_calibration() const { return selected_calibration_; }
    const Recorded_calibration* current() const;

    // Print Report and Open in Reports List may be pressed when a
    // calibration is selected.
    bool can_print() const { return current() != nullptr; }
    bool can_open_in_list() const { return current() != nullptr; }
    // Print Report: the recorded report lines through File > Print's
    // printing.  The window stays open.
    void print_report();
    // Open in Reports List: the recorded lines in the Reports list as if read
    // from a file.  True when they were put there: the window then closes.
    bool open_in_reports_list();
    // Certificate: the selected calibration's certificate on the printer
    // the user picks (a printer, or a PDF file).  The window stays open.
    void print_certificate();

    // ---- Due dates ----
    // The tag list's due date and status of a shown tag (the window colours
    // the row by it).
    Due due(int row) const;
    // The status a cell is marked with: the row's for the tag list's Due and
    // Due Status cells, ok (no mark) for every other cell.
    Due_status due_mark(Table table, int row, int column) const;
    // Tags due within this many days are "Due soon" (0..3650).
    int due_window() const { return due_window_; }
    void set_due_window(int days);
    // Set Interval may be pressed when a tag is selected; the dialog asks
    // with interval_prompt(), starting from interval_text().
    bool can_set_interval() const { return selected_tag_ >= 0; }
    std::string interval_prompt() const;
    std::string interval_text() const;
    // Gives the selected tag its own interval from the text typed: a whole
    // number of days from 1 to 3650, else a message and nothing changed.
    // Written at once to the database; true when written.
    bool set_interval(const std::string& days);

    // ---- Drift ----
    // The selected tag's drift (the chart's figures and fitted lines).
    const Tag_drift& drift() const { return drift_; }
    // The tag list's last column: the earliest projected out-of-tolerance
    // date, "DATE at risk" when it falls before the next due date, "-" when
    // no point has a projection.  Worked out once per tag, when first shown.
    std::string projected_cell(const Tag_summary& tag) const;

private:
    int interval_of(const Tag_summary& tag) const;
    const Tag_summary& shown_tag(int row) const { return tags_[shown_[static_cast<std::size_t>(row)]]; }
    const Point& point(Table table, int row) const;
    // The selected calibration's report lines, or nothing (with the message
    // shown) when they cannot be read.
    std::optional<std::vector<std::string>> current_lines();

    Records_context& context_;
    Record_store* store_;
    std::vector<Tag_summary> tags_;             // every tag recorded, by ID without regard to case
    std::vector<std::size_t> shown_;            // the tags the filter lets through, indices into tags_
    std::string filter_;
    int selected_tag_ = -1;                     // row among shown_
    std::vector<Recorded_calibration> calibrations_;  // of the selected tag, newest first
    int selected_calibration_ = -1;
    Tag_drift drift_;                                 // of the selected tag
    mutable std::map<std::string, std::string> projected_cells_;  // by tag ID
    std::map<std::string, int> intervals_;      // the tags' own intervals
    int due_window_ = default_due_window_days;
};

// The layout of recorded report lines: CSV when the "Tag ID:" line is quoted.
reports::Report_format layout_of(const std::vector<std::string>& lines);

// Records > Calibration Records...: opens the database (read only; no
// database yet shows empty lists) and the window over it.
void calibration_records_command(Records_context& context);

// Records > Import Reports...: several report files, each recorded in one
// transaction.  The status line then says how many calibrations were
// recorded; a message lists each file's outcome ("FILE: N recorded, M
// already recorded", or why it was refused), as an error when any file was
// refused.
void import_reports_command(Records_context& context);

}  // namespace records
