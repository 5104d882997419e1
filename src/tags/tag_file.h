// Tag configuration files (.utg): one tag per file, 47 lines of ASCII text.
//
//   TQ740-SW tag configuration file v2.00
//    1 TT-101
//    ...
//   46
//
// Line 0 is the header; line n (1..46) is "%2i %s": the field number
// right-aligned in two characters, one space, then field n's text exactly as
// the working record holds it (an empty field keeps its space).  Every line
// ends in CR LF and nothing follows line 46.
//
// Reading uses the program's text-file line reader (LF ends a line, only
// 0x20..0x7E are kept, text after the last LF is ignored) and then checks the
// lines: the header exactly, then for line i its third character a space and
// the number at its start equal to i; the text after the third character is
// field i.  Exactly 47 lines must end.
//
// Reading limits, so that no file can overflow the record or the memory:
// - a line keeps at most its first 102 characters (number, space and the 99
//   characters a field slot holds); the rest of a longer line is cut;
// - a file larger than max_tag_file_bytes is refused as not a tag file
//   before it is read.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/field_table.h"
#include "tags/tag_record.h"
#include "ui/ui.h"

namespace tags {

inline constexpr std::string_view tag_file_header = "TQ740-SW tag configuration file v2.00";
// The longest line the reader keeps: "46 " and a full field slot.
inline constexpr std::size_t tag_line_limit = 3 + reports::max_field_chars;
// Far more than any tag file: 47 full lines with room for stray bytes the
// reader drops (CR, tabs, accented letters).
inline constexpr long long max_tag_file_bytes = 1 << 20;

// The bytes of a tag file holding fields 1..46 of the record.
std::string tag_file_text(const reports::Field_table& record);

// Checks the lines of a tag file (as the line reader gives them) and copies
// each field into the record as it goes.  Checking stops at the first bad
// line; the fields before it stay in the record.  True when the file is a
// valid tag file.
bool read_tag_lines(const std::vector<std::string>& lines, reports::Field_table& record);

// What the tag file commands need of the main window.
struct Tag_file_context {
    ui::Ui& ui;
    // The working tag configuration: slots 1..46.
    reports::Field_table& record;
    // `tag_folder` (the setting "tag_config_directory" in memory): the initial
    // folder of the dialogs, rewritten after every confirmed dialog.
    std::string& tag_folder;
    // Writes the new folder to the settings file.  May be empty (not stored).
    std::function<void(const std::string&)> store_tag_folder;
    // The file name, with extension, of the last tag file opened.
    std::string& current_tag_file_name;
    // Puts the configured-format text back into the status line.  May be empty.
    std::function<void()> refresh_status_line;
};

// Rewrites the record from the editor values, asks for a file name and
// writes the tag file atomically.  False only when the Save dialog was
// cancelled; a file that could not be written is shown to the user (naming
// the file and the system's reason; the old file stays whole) and still
// gives true.
bool save_tag_file(Tag_file_context& context, const Tag_editor_values& values);

// Asks for a tag file (the dialog titled `title`) and reads it into the
// record.  True when a file was read and accepted; every failure has been
// shown to the user.  The file name and the tag folder change as soon as the
// dialog is confirmed, even when the file then fails.
bool load_tag_file(Tag_file_context& context, const std::string& title);

// ---- The steps tag files share with group files (.ugp), kept in the same folder ----

// How reading a tag or group file ended.
enum class File_read { ok, open_failed, read_failed, invalid };

// Reads a tag file into the record without any dialog or status text (the
// group download reads its members so).  reason holds the system's text of
// a read failure.
File_read read_tag_file(const std::string& path, reports::Field_table& record, std::string& reason);

// Reads a text file with the line reader (lines cut at line_limit) and hands
// its lines to check; a file larger than max_bytes is invalid unread.
File_read read_checked_lines(const std::string& path, std::size_t line_limit, long long max_bytes,
                             std::string& reason, const std::function<bool(const std::vector<std::string>&)>& check);

// The Open or Save dialog of a file kept in the tag folder, with its filter.
ui::File_request folder_file_request(bool save, const std::string& title, int filter_text);

// Shows why a file could not be read: "File Open Error", the read error
// naming the file, or the text with id invalid_text.  Nothing for ok.
void show_read_failure(ui::Ui& ui, File_read outcome, const std::string& path, const std::string& reason,
                       int invalid_text);

// The file dialog of request, starting in the tag folder; a confirmed path's
// folder becomes the tag folder (and the setting) at once.
std::optional<std::string> pick_in_tag_folder(Tag_file_context& context, ui::File_request request);

// Runs read under "Reading data from file.  Please wait." and the wait
// cursor, shows its failure (invalid_text for an invalid file) and restores
// the status line.  True when the file was read and accepted.
bool read_with_status(Tag_file_context& context, const std::string& path,
                      const std::function<File_read(std::string& reason)>& read, int invalid_text);

// Writes data to path atomically under "Writing data to file.  Please wait."
// and the wait cursor, shows a failure (the old file stays whole) and
// restores the status line.
void write_with_status(Tag_file_context& context, const std::string& path, const std::string& data);

// The last component of a path: "TT-101.utg" for "/home/a/tags/TT-101.utg".
std::string file_name_of(std::string_view path);

}  // namespace tags
