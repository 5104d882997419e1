// The numbered string table: every user-visible text of the program, by id.
//
// Ids 32771..32813 (and 57601, File > Open) are the status-line prompts of the
// menu commands; they double as the command ids.  Ids 57601..57787 are the
// messages, captions, labels and field names; the table outgrew that range,
// so later texts take ids from 57900 on: 57900..57999 the early additions,
// 58000..58049 the tag editor, 58050..58099 groups and downloads,
// 58100..58149 files and printing, 58150..58199 windows and dialogs,
// 58200..58399 the calibration records, 58400..58449 records on a database
// server and copies between databases, 58450..58499 the Records > Database
// dialog.  Each subsystem keeps its ids in
// its own header (shell_strings.h, link_strings.h, ...) and its texts in the
// matching .cpp; this file is the single way to look a text up.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace res {

struct String_entry {
    int id;
    const char* text;
};

// The text with this id, or "" when the table has no such id.
std::string_view text(int id);

// True when the table holds a text with this id.
bool has_text(int id);

// Every entry of the table (all subsystems), for checks over the whole table.
std::vector<String_entry> all_entries();

// One argument of a printf-style text.
using Format_arg = std::variant<long long, double, std::string_view>;

// Formats a printf-style template with the given arguments.  Supported
// conversions: %d %i %u %x %X %c %s %f %e %g with flags, width and precision,
// and %%.  The template is checked against the arguments: a missing,
// surplus or wrongly typed argument, or an unknown conversion, never reads
// past the arguments; the conversion is printed as it stands instead.
std::string format_template(std::string_view tmpl, const std::vector<Format_arg>& args);

template <typename T>
Format_arg to_format_arg(const T& value) {
    if constexpr (std::is_floating_point_v<T>)
        return Format_arg(static_cast<double>(value));
    else if constexpr (std::is_integral_v<T>)
        return Format_arg(static_cast<long long>(value));
    else
        return Format_arg(std::string_view(value));
}

// Formats the text with this id: format(57641, tag_id).
template <typename... Args>
std::string format(int id, const Args&... args) {
    return format_template(text(id), std::vector<Format_arg>{to_format_arg(args)...});
}

// The text with this id as a std::string (convenience for callers that keep it).
inline std::string str(int id) { return std::string(text(id)); }

}  // namespace res
