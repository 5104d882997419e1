// Report files: File > Open and the three save commands of the Reports list.
//
// A report file is the Reports list's lines in order, each ended by CR LF, in
// the TEXT or CSV layout; the extension (".txt" or ".csv") records which.
// The single-file command writes the whole list with the separators between
// reports; the separate-file commands write one report per file (its lines
// from the company line, when there is one, to the line before the next
// separator), named after the tag: <folder>/<tag>_<stamp>.<ext>, or in a
// folder per tag: <folder>/<tag>/<tag>_<stamp>.<ext>.
//
// Reading keeps the characters 0x20..0x7E of a line and the complete UTF-8
// sequences of printable characters (at most 200 characters a line), ends a
// line at LF, drops every other byte and ignores text after the last LF.
//
// Choices made where the old behaviour could lose or misplace data:
// - A tag ID from a report is used in a file or folder name only when it is
//   safe: not empty, not "." or "..", and without "/".  Any other ID gives
//   "File Open Error: <ID>.<ext>" (separate files) or "Create Directory Error:
//   <ID>" (tag folders) for that report, which is not written; the other
//   reports are.  Nothing is ever written outside the chosen folder.
// - Every file is written atomically (a temporary file in the same folder,
//   every byte count checked, then renamed over the old one): an interrupted
//   or failed save never leaves a truncated report over an old file.  A write
//   that fails after the file was created (disk full) is shown as "File Write
//   Error: <path>" with the system's reason; the old file stays as it was and
//   the report does not count as saved, so `reports_unsaved` stays set.
// - A file that opened but fails while being read shows "File Read Error:
//   <path>" with the reason; the Reports list then stays empty.
// - The commands never change the process's working directory.
// - The separate-file commands treat a list without any "Tag ID:" line like
//   an empty one ("There are no reports available"): nothing could be saved,
//   so nothing may count as saved.
// - When a "Tag ID:" line directly follows a separator (no empty line between
//   them) the report's file still begins at that "Tag ID:" line.
// - Two reports of one separate-file save never share a file: when the name
//   of a report's file was already written by the same save (two reports of
//   one tag in a merged file, or tag IDs that give the same name), the name
//   gets "_2", "_3", ... before its extension.  Files of earlier saves are
//   replaced as before.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_list.h"
#include "shell/ini_file.h"
#include "ui/ui.h"

namespace reports {

// What the four commands need of the main window.
//
// The folder picker of the two separate-file commands is a File_request with
// folder_only set and the proposed name "qxqxqxq": the Ui returns the chosen
// folder itself (not a path inside it); that folder is where the files go and
// what `directory` becomes.  For the other dialogs `directory` becomes the
// chosen file's folder.
struct Report_file_context {
    ui::Ui& ui;
    Report_list& reports;
    // The `directory` setting in memory: the initial folder of every dialog
    // here; rewritten after every confirmed dialog, before any file is touched.
    std::string& report_directory;
    // Writes the new `directory` to the settings file (key "directory",
    // section "main").  May be empty (nothing stored).
    std::function<void(const std::string&)> store_directory;
    // The unsaved-report guard: false when the user answers No.  When empty,
    // the question is asked here from reports.reports_unsaved.
    std::function<bool()> confirm_discard_reports;
    // Puts the configured-format text back into the status line.  May be empty.
    std::function<void()> refresh_status_line;
    // The local date and time of the file names.  When empty, the system clock.
    std::function<std::tm()> now;
    // Empties the Tag ID list (File > Open does).  When empty,
    // ui.set_tag_list({}) is called.
    std::function<void()> clear_tag_list;
    // Milliseconds of a steady clock, for the cancel window of a long
    // File > Open.  When empty, std::chrono::steady_clock.
    std::function<std::int64_t()> now_ms = {};
};

// The menu commands.  Every outcome is shown to the user.
void open_report_file(Report_file_context& context);        // File > Open
void save_reports_single(Report_file_context& context);     // Save Reports as Single File
void save_reports_separate(Report_file_context& context);   // Save Reports as Separate Files
void save_reports_directories(Report_file_context& context); // Save Reports in Separate Tag Directories

// Puts lines in the Reports list as File > Open puts a file's lines there:
// asks before unsaved reports are thrown away, empties the Tag ID list,
// fills the list (caption "Reports - Read from File", layout `format`,
// nothing unsaved).  False when the user kept the unsaved reports.
bool open_report_lines(Report_file_context& context, const std::vector<std::string>& lines, Report_format format);

// ---- The pieces, for the command-line program and the tests ----

// "txt" or "csv".
std::string report_extension(Report_format format);
// "2010_05_07_09_05.csv": the name the single-file dialog proposes.
std::string single_file_name(const std::tm& time, Report_format format);
// "_2010_05_07_09_05.txt": what follows the tag ID in a separate file's name.
std::string separate_file_suffix(const std::tm& time, Report_format format);
// The layout a file holds by its name: CSV exactly when the file name's
// extension is "csv" (case-sensitive), else TEXT.
Report_format format_from_file_name(std::string_view path);
// The folder of a chosen path: the path without its last component and the
// separator before it ("/" for a file in the root folder).
std::string folder_of(std::string_view path);

// True for a separator line: it begins with six hyphens.
bool is_report_separator(std::string_view line);
// The tag ID of a line beginning with "Tag ID:" (TEXT) or "\"Tag ID:\",\""
// (CSV), ignoring case: the text after the label up to the end of the line or
// the first double quote (TEXT), or the quoted CSV value with its doubled
// quotes read as one (CSV).  Nothing for any other line.
std::optional<std::string> report_tag_id(std::string_view line);
// True when a tag ID may name a file or folder inside the chosen folder.
bool safe_tag_id(std::string_view tag_id);

// The bytes of a report file holding these lines: each line followed by CR LF.
std::string report_file_text(const Report_lines& lines, std::size_t begin, std::size_t end);

// Which characters a line keeps.  Tag and group files hold text that goes to
// the calibrator: printable ASCII only.  Report files hold what the program
// wrote, company names included: printable ASCII and every complete UTF-8
// sequence of a printable character (U+00A0 and above); a broken sequence
// is dropped like any other byte.
enum class Text_rule { ascii, utf8 };

// The longest line a report file gives back.
inline constexpr std::size_t report_line_limit = 200;
// The largest report file File > Open reads: at most this many lines and
// bytes (a merged file of several hundred 50-tag uploads fits).  A larger
// file is refused with "Report file too large: ..." and the list stays
// empty; memory stays bounded by these (the characters of the lines and one
// offset per line, once in the list and once in the window).
inline constexpr std::size_t report_file_max_lines = 1000000;
inline constexpr std::size_t report_file_max_bytes = 64 * 1024 * 1024;

// Reads a text file with the line rules above; max_line_chars of 0 keeps
// whole lines (a UTF-8 sequence counts as one character).  Only a regular
// file is read (a FIFO or device is refused without waiting: open_failed,
// reason "Not a regular file ..."), and only up to max_bytes: a larger one
// is too_large, reason "The file is larger than ...", no line kept.
enum class Read_outcome { ok, open_failed, read_failed, too_large };
Read_outcome read_text_lines(const std::string& path, std::size_t max_line_chars,
                             std::vector<std::string>& lines, std::string& reason,
                             Text_rule rule = Text_rule::ascii, std::uint64_t max_bytes = report_file_max_bytes);
// The same rules over a file the caller holds open (and keeps open): read
// from its start, each line handed to on_line, which stops the reading by
// returning false (still ok).  Nothing is kept here, so a file of any length
// costs one line of memory; more than max_bytes is too_large.
Read_outcome read_open_text_lines(int fd, std::size_t max_line_chars, Text_rule rule, std::uint64_t max_bytes,
                                  std::string& reason, const std::function<bool(const std::string&)>& on_line);
// A File > Open that has not ended after this long shows the cancel window
// with its progress.
inline constexpr std::int64_t open_progress_after_ms = 500;

// Writes data to path atomically (temporary file in the same folder, every
// byte checked, renamed over the old file).  reason holds the system's text
// of a failure; on failure the old file is untouched.
using shell::Write_outcome;
inline Write_outcome write_report_file(const std::string& path, const std::string& data, std::string& reason) {
    return shell::write_file_atomically(path, data, reason);
}

// The message of a failed save: "File Open Error: <path>" or "File Write
// Error: <path>", each with the system's reason on the next line.
std::string save_failure_text(Write_outcome outcome, const std::string& path, const std::string& reason);

// One file of a separate-file save.
enum class Separate_layout { files, tag_directories };
struct Separate_save_result {
    bool all_written = true;            // every report found was written (false when none was found)
    std::size_t reports_found = 0;      // "Tag ID:" lines met while looking for a report
    std::vector<std::string> written;   // paths written, in order
};

// Writes every report of lines into folder, one file per report, and calls
// show_error with each message ("File Open Error: ID.ext", "Create Directory
// Error: ID", "File Write Error: ..."); the other reports are still written.
Separate_save_result save_separate_reports(const Report_lines& lines, const std::string& folder,
                                           Report_format format, const std::tm& time, Separate_layout layout,
                                           const std::function<void(const std::string&)>& show_error);

// The local date and time now.
std::tm local_time_now();

}  // namespace reports
