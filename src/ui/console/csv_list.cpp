#include "ui/console/csv_list.h"

#include <algorithm>

namespace ui::console {

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

bool control_character(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// The fields of one row as the text gives them, and what was wrong with them.
struct Raw_row {
    int number = 0;
    std::vector<std::string> fields{std::string()};
    std::string error;
    bool blank() const { return error.empty() && fields.size() == 1 && fields[0].empty(); }
};

// Cuts the text into rows, field by field.  False when a quoted field runs
// to the end of the text (its row is then unknown).
bool split_rows(std::string_view text, std::vector<Raw_row>& rows, int& open_row) {
    enum class State { field_start, unquoted, quoted, after_quote };
    State state = State::field_start;
    Raw_row row;
    row.number = 1;
    int line_row = 1;   // the row the next line break ends
    auto end_row = [&] {
        rows.push_back(std::move(row));
        row = Raw_row();
        row.number = ++line_row;
        state = State::field_start;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (state == State::quoted) {
            if (c != '"')
                row.fields.back() += c;
            else if (i + 1 < text.size() && text[i + 1] == '"')
                row.fields.back() += text[++i];
            else
                state = State::after_quote;
            continue;
        }
        const bool crlf = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (c == '\n' || crlf) {
            i += crlf ? 1 : 0;
            end_row();
        } else if (c == ',') {
            row.fields.emplace_back();
            state = State::field_start;
        } else if (state == State::after_quote) {
            if (row.error.empty()) row.error = "field " + std::to_string(row.fields.size()) + " has text after its closing quote";
        } else if (c == '"' && state == State::field_start) {
            state = State::quoted;
        } else {
            row.fields.back() += c;
            state = State::unquoted;
        }
    }
    if (state == State::quoted) {
        open_row = row.number;
        return false;
    }
    if (state != State::field_start || row.fields.size() > 1) end_row();
    return true;
}

}  // namespace

std::optional<Csv_list> read_csv_list(std::string_view text, std::string& error) {
    if (text.starts_with(byte_order_mark)) text.remove_prefix(byte_order_mark.size());
    std::vector<Raw_row> rows;
    int open_row = 0;
    if (!split_rows(text, rows, open_row)) {
        error = "row " + std::to_string(open_row) + ": a quoted field is never closed";
        return std::nullopt;
    }
    if (rows.empty() || rows.front().blank()) {
        error = "no heading row";
        return std::nullopt;
    }
    if (!rows.front().error.empty()) {
        error = "row 1: " + rows.front().error;
        return std::nullopt;
    }
    Csv_list list;
    list.heading = rows.front().fields;
    for (std::size_t column = 0; column < list.heading.size(); ++column) {
        const auto first = std::find(list.heading.begin(), list.heading.end(), list.heading[column]);
        if (first - list.heading.begin() < static_cast<std::ptrdiff_t>(column)) {
            error = "column " + std::to_string(column + 1) + " '" + list.heading[column] + "' repeats column " +
                    std::to_string(first - list.heading.begin() + 1);
            return std::nullopt;
        }
    }
    for (std::size_t r = 1; r < rows.size(); ++r) {
        Raw_row& raw = rows[r];
        if (raw.blank()) continue;
        Csv_row row{raw.number, std::move(raw.fields), std::move(raw.error)};
        if (row.error.empty() && row.fields.size() != list.heading.size())
            row.error = std::to_string(row.fields.size()) + " fields for " + std::to_string(list.heading.size()) +
                        " columns";
        for (std::size_t f = 0; row.error.empty() && f < row.fields.size(); ++f)
            if (std::any_of(row.fields[f].begin(), row.fields[f].end(), control_character))
                row.error = "column '" + list.heading[f] +
                            "' holds a control character (a NUL, tab or line break), which no tag field can hold";
        list.rows.push_back(std::move(row));
    }
    return list;
}

}  // namespace ui::console
