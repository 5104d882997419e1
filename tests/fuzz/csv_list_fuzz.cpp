// Fuzz target: the CSV list of tag make --from-csv.
//
// The whole input is the list.  Checked: rows are numbered upward from 2; a
// row kept without an error has one field per column and no control
// character; and a list whose rows all passed, written back with every field
// quoted, reads back to the same heading and fields.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "support/fuzz_rig.h"
#include "ui/console/csv_list.h"

namespace {

std::string quoted_row(const std::vector<std::string>& fields) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        row += i == 0 ? "\"" : ",\"";
        for (char c : fields[i]) row += c == '"' ? std::string("\"\"") : std::string(1, c);
        row += '"';
    }
    return row + "\r\n";
}

bool control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto list = ui::console::read_csv_list(fuzz::as_text(data, size), error);
    if (!list) {
        if (error.empty()) std::abort();
        return 0;
    }
    int previous = 1;
    bool all_passed = true;
    for (const auto& row : list->rows) {
        if (row.number <= previous) std::abort();
        previous = row.number;
        if (!row.error.empty()) {
            all_passed = false;
            continue;
        }
        if (row.fields.size() != list->heading.size()) std::abort();
        for (const auto& field : row.fields)
            if (std::any_of(field.begin(), field.end(), control)) std::abort();
    }
    if (!all_passed) return 0;

    std::string written = quoted_row(list->heading);
    for (const auto& row : list->rows) written += quoted_row(row.fields);
    std::string again_error;
    const auto again = ui::console::read_csv_list(written, again_error);
    if (!again || again->heading != list->heading || again->rows.size() != list->rows.size()) std::abort();
    for (std::size_t r = 0; r < again->rows.size(); ++r)
        if (again->rows[r].fields != list->rows[r].fields || !again->rows[r].error.empty()) std::abort();
    return 0;
}
