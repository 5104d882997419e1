// Configure > Tag > Extract from Report: a tag configuration read back from a
// saved calibration report (TXT or CSV), then corrected in the tag editor and
// saved as a .utg file for the next calibration.
//
// The file is read twice with the report files' line reader (LF ends a line,
// 0x20..0x7E kept, at most 200 characters a line, text after the last LF
// ignored).  The first pass lists the tags: every line beginning with
// "Tag ID:" (TXT) or "\"Tag ID:" (CSV).  The second pass collects the chosen
// tag's section: its "Tag ID:" line and the lines after it up to the next
// tag's line or the end of the file.  The section is then read row by row:
// each value is found by a keyword at the start of a line, skipping the
// spaces, quotes and commas around it, so one set of rules reads both
// layouts.  A value that is not found reads "ERROR"; the editor shows it as
// text and reads it as 0 where it expects a number.
//
// Limits, so that no report can overflow what the extraction keeps:
// - at most 200 tags are listed; tags after the 200th cannot be chosen;
// - a tag ID is listed with at most its first 19 characters (field 1 is read
//   from the section in full, up to the 99 characters of a field);
// - a section keeps at most 200 lines; lines after them are not read;
// - a value keeps at most 99 characters (a field slot);
// - at most 21 test points are read, however many rows the As Found block
//   has: points beyond the 21 fields of a configuration would overwrite the
//   readings of an uploaded tag held in the same table.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/field_table.h"
#include "resources/help_pages.h"
#include "tags/tag_file.h"

namespace download {

inline constexpr std::size_t max_report_tags = 200;
inline constexpr std::size_t max_section_lines = 200;
inline constexpr std::size_t listed_id_chars = 19;
// The help topic of Extract_dialog.
inline constexpr int EXTRACT_DIALOG_HELP = res::HELP_COMPANY_DISPLAY_EXTRACT;

// What a failed find leaves in its field.
inline constexpr std::string_view not_found_value = "ERROR";

// True when a line introduces a tag: it begins with "Tag ID:" or "\"Tag ID:".
bool begins_tag(std::string_view line);

// The ID a line introduces as the selection lists it: after "Tag ID:" the
// rest of the line from its ninth character; after the CSV form the rest
// from its twelfth character without its last (the closing quote).  Cut to
// 19 characters.  Nothing for a line that introduces no tag.
std::optional<std::string> listed_tag_id(std::string_view line);

// One tag of a report file: its listed ID and the number of its line (from 0).
struct Report_tag {
    std::string id;
    long long line = 0;
};

// The first pass: takes every line of the file in order and lists the tags.
class Tag_index {
public:
    void take(const std::string& line);
    const std::vector<Report_tag>& tags() const { return tags_; }
    // Every tag line met, the ones past the listed 200 included.
    std::size_t tags_found() const { return found_; }
    // The listed IDs, for the selection.
    std::vector<std::string> ids() const;

private:
    std::vector<Report_tag> tags_;
    std::size_t found_ = 0;
    long long line_number_ = 0;
};

// The second pass: takes the lines of the file in order and keeps the
// section that begins at line `first`.
class Section_collector {
public:
    explicit Section_collector(long long first) : first_(first) {}
    // False once the section is complete: the rest of the file is not needed.
    bool take(const std::string& line);
    const std::vector<std::string>& lines() const { return lines_; }

private:
    long long first_;
    long long line_number_ = 0;
    std::vector<std::string> lines_;
};

// Finds the value of `field` in the section and stores it in the record.
// The search starts at line start_line (below 0: line 0) and column
// start_column (nothing: the line's start); with a keyword it moves from
// line to line until a line (past spaces and quotes) begins with the
// keyword.  The value follows past commas, spaces and quotes and runs to the
// next comma, quote, end of line, or space when spaces are not allowed (a
// value beginning with "%", such as the units "%", is read like any other).
// Returns the column just after the
// value, with out_line its line; on failure the field holds "ERROR" and
// out_line is -1.
std::size_t find_report_value(reports::Field_table& record, int field, std::string_view keyword,
                              const std::vector<std::string>& section, int start_line,
                              std::optional<std::size_t> start_column, bool spaces_allowed, int& out_line);

// Empties fields 1..46 of the record and reads them from the section.
void parse_report_section(const std::vector<std::string>& section, reports::Field_table& record);

// The tag editor's checks over an extracted record, page by page, each
// number read from the report's own text rather than from the editor's
// rounding of it, so that a value that was not found ("ERROR") or is out of
// range is caught; the tolerance's trailing "%" is not part of its number.
// Messages and warnings go to the ui.  The number of the first field that
// fails (1..46), -1 when a warning was answered No, or 0 when every page
// passes.
int check_extracted_record(const reports::Field_table& record, ui::Ui& ui);

// A report file opened for reading and locked against a second extraction
// (an exclusive advisory lock) for as long as the object lives.
class Open_report {
public:
    Open_report() = default;
    Open_report(const Open_report&) = delete;
    Open_report& operator=(const Open_report&) = delete;
    ~Open_report();

    // False when the file cannot be opened, is no regular file (refused()
    // then tells so) or is locked by another extraction.
    bool open(const std::string& path, std::string& reason);
    bool refused() const { return refused_; }
    // Reads the file from its start through the report line reader; false
    // when reading failed (reason says why).
    bool read_lines(const std::function<bool(const std::string&)>& on_line, std::string& reason) const;

private:
    int fd_ = -1;
    bool refused_ = false;
};

// Both passes over an open report: the tags it holds, then the section of
// the tag chosen among them (nothing chosen: nothing read).  False when the
// file failed while being read.
bool index_report(const Open_report& file, Tag_index& index, std::string& reason);
bool read_section(const Open_report& file, const Report_tag& tag, std::vector<std::string>& section,
                  std::string& reason);

// What Extract from Report needs of the main window.
struct Extract_context {
    // The working record, the tag folder and the editor's save.
    tags::Tag_file_context tags;
    // The `directory` setting in memory, shared with the report files, and
    // its writer (may be empty: not stored).
    std::string& report_directory;
    std::function<void(const std::string&)> store_report_directory;
};

// Configure > Tag > Extract from Report (command 32808).  Every outcome is
// shown to the user; the report file stays open and locked until the editor
// has closed.
void extract_from_report_command(Extract_context& context);

}  // namespace download
