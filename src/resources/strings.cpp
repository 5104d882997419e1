#include "resources/strings.h"

#include <clocale>
#include <cstdio>
#include <locale.h>
#include <unordered_map>

namespace res {

// Each subsystem's table, defined beside its id header.
extern const std::vector<String_entry> shell_strings;
extern const std::vector<String_entry> link_strings;
extern const std::vector<String_entry> reports_strings;
extern const std::vector<String_entry> tags_strings;
extern const std::vector<String_entry> download_strings;
extern const std::vector<String_entry> report_files_strings;
extern const std::vector<String_entry> records_strings;
extern const std::vector<String_entry> records_server_strings;
extern const std::vector<String_entry> database_dialog_strings;
extern const std::vector<String_entry> records_window_strings;
extern const std::vector<String_entry> drift_strings;
extern const std::vector<String_entry> certificate_strings;
extern const std::vector<String_entry> due_strings;

namespace {

const std::unordered_map<int, std::string_view>& table() {
    static const std::unordered_map<int, std::string_view> map = [] {
        std::unordered_map<int, std::string_view> m;
        for (const auto* part : {&shell_strings, &link_strings, &reports_strings, &tags_strings,
                                 &download_strings, &report_files_strings, &records_strings, &records_server_strings,
                                 &database_dialog_strings, &records_window_strings, &drift_strings,
                                 &certificate_strings, &due_strings})
            for (const auto& e : *part) m.emplace(e.id, e.text);
        return m;
    }();
    return map;
}

// Numbers in texts always use a decimal point: the files and the wire are
// read back by the calibrator, and the desktop program runs under the user's
// locale (Qt sets it at start-up).  This switches the calling thread to the
// "C" locale for one conversion.
class C_numeric_scope {
public:
    C_numeric_scope() {
        static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
        previous_ = c_locale ? uselocale(c_locale) : locale_t(nullptr);
    }
    ~C_numeric_scope() {
        if (previous_) uselocale(previous_);
    }
    C_numeric_scope(const C_numeric_scope&) = delete;
    C_numeric_scope& operator=(const C_numeric_scope&) = delete;

private:
    locale_t previous_;
};

// One conversion of a template: "%-08.3f" and the kind of argument it takes.
enum class Kind { integer, unsigned_integer, character, floating, string, bad };

Kind kind_of(char conversion) {
    switch (conversion) {
    case 'd': case 'i': return Kind::integer;
    case 'u': case 'x': case 'X': return Kind::unsigned_integer;
    case 'c': return Kind::character;
    case 'f': case 'e': case 'g': case 'E': case 'G': return Kind::floating;
    case 's': return Kind::string;
    default: return Kind::bad;
    }
}

// Formats one conversion spec with one argument into out; false when the
// argument does not suit the conversion.
bool format_one(const std::string& spec, Kind kind, const Format_arg& arg, std::string& out) {
    char buffer[512];
    int n = -1;
    switch (kind) {
    case Kind::integer:
    case Kind::unsigned_integer:
    case Kind::character: {
        const auto* v = std::get_if<long long>(&arg);
        if (!v) return false;
        // Integers are passed as long long: widen the conversion accordingly.
        std::string wide = spec;
        if (kind != Kind::character) wide.insert(wide.size() - 1, "ll");
        n = kind == Kind::character ? std::snprintf(buffer, sizeof buffer, wide.c_str(), static_cast<int>(*v))
                                    : std::snprintf(buffer, sizeof buffer, wide.c_str(), *v);
        break;
    }
    case Kind::floating: {
        const auto* v = std::get_if<double>(&arg);
        if (!v) return false;
        C_numeric_scope c_numbers;
        n = std::snprintf(buffer, sizeof buffer, spec.c_str(), *v);
        break;
    }
    case Kind::string: {
        const auto* v = std::get_if<std::string_view>(&arg);
        if (!v) return false;
        // Width and precision of %s are applied by hand: the view is not NUL-terminated.
        std::string s(*v);
        n = std::snprintf(buffer, sizeof buffer, spec.c_str(), s.c_str());
        if (n >= static_cast<int>(sizeof buffer)) {
            // Long strings: format without the buffer limit.
            std::string big(static_cast<size_t>(n) + 1, '\0');
            std::snprintf(big.data(), big.size(), spec.c_str(), s.c_str());
            big.resize(static_cast<size_t>(n));
            out += big;
            return true;
        }
        break;
    }
    case Kind::bad:
        return false;
    }
    if (n < 0) return false;
    out.append(buffer, static_cast<size_t>(std::min<int>(n, sizeof buffer - 1)));
    return true;
}

}  // namespace

std::string_view text(int id) {
    auto it = table().find(id);
    return it == table().end() ? std::string_view() : it->second;
}

bool has_text(int id) { return table().count(id) != 0; }

std::vector<String_entry> all_entries() {
    std::vector<String_entry> all;
    for (const auto* part : {&shell_strings, &link_strings, &reports_strings, &tags_strings,
                             &download_strings, &report_files_strings, &records_strings, &records_server_strings,
                             &database_dialog_strings, &records_window_strings, &certificate_strings})
        all.insert(all.end(), part->begin(), part->end());
    return all;
}

std::string format_template(std::string_view tmpl, const std::vector<Format_arg>& args) {
    std::string out;
    size_t next_arg = 0;
    size_t i = 0;
    while (i < tmpl.size()) {
        char c = tmpl[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < tmpl.size() && tmpl[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        // Collect flags, width and precision up to the conversion letter.
        size_t j = i + 1;
        while (j < tmpl.size() && std::string_view("-+ #0").find(tmpl[j]) != std::string_view::npos) ++j;
        while (j < tmpl.size() && tmpl[j] >= '0' && tmpl[j] <= '9') ++j;
        if (j < tmpl.size() && tmpl[j] == '.') {
            ++j;
            while (j < tmpl.size() && tmpl[j] >= '0' && tmpl[j] <= '9') ++j;
        }
        if (j >= tmpl.size()) {
            out.append(tmpl.substr(i));
            break;
        }
        std::string spec(tmpl.substr(i, j - i + 1));
        Kind kind = kind_of(tmpl[j]);
        bool ok = next_arg < args.size() && spec.size() < 32 &&
                  format_one(spec, kind, args[next_arg], out);
        if (ok)
            ++next_arg;
        else
            out += spec;
        i = j + 1;
    }
    return out;
}

}  // namespace res
