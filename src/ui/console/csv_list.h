// The CSV list of tag make --from-csv: a heading row of entry names, then
// one tag a row.
//
// The text is read as spreadsheets write CSV: fields separated by commas,
// rows by LF or CR LF; a field in double quotes may hold commas, doubled
// quotes and line breaks (so a quoted field over two lines stays in its
// row); a UTF-8 byte-order mark at the start ("CSV UTF-8") is skipped; the
// last row needs no line break.  Rows that hold nothing are left out.
//
// A row that cannot be one tag is kept with the reason, so that the others
// are still made: fewer or more fields than the heading has columns, a
// control character in a field (a NUL, a tab, a line break in a quoted
// field: no tag field can hold one), or text after a field's closing quote.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ui::console {

// The largest list read: thousands of full rows.  A larger file (or one
// that is not a regular file) is refused unread.
inline constexpr std::size_t max_csv_list_bytes = 4 * 1024 * 1024;

struct Csv_row {
    int number = 0;                    // the row as a spreadsheet counts it: the heading is row 1
    std::vector<std::string> fields;
    std::string error;                 // why the row cannot be used; "" when it can
    bool operator==(const Csv_row&) const = default;
};

struct Csv_list {
    std::vector<std::string> heading;
    std::vector<Csv_row> rows;
};

// Reads a list; nothing, with error set, when the text has no heading, the
// heading has text after a closing quote or names a column twice, or a
// quoted field is never closed.
std::optional<Csv_list> read_csv_list(std::string_view text, std::string& error);

}  // namespace ui::console
