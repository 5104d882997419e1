#include "ui/console/tag_make.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "resources/tag_sheet_layout.h"
#include "tags/tag_editor.h"
#include "shell/ini_file.h"
#include "tags/test_points.h"
#include "ui/console/csv_list.h"
#include "ui/console/console_ui.h"

namespace ui::console {

namespace {

namespace fs = std::filesystem;
using tags::Control;
using tags::Page;

// The entry names: the editor's labels in a short form.
struct Entry_name {
    const char* name;
    Control control;
};
constexpr Entry_name entry_names[] = {
    {"id", Control::tag_id},
    {"manufacturer", Control::manufacturer},
    {"model", Control::model},
    {"serial", Control::serial_number},
    {"technician", Control::technician},
    {"temperature", Control::temperature},
    {"humidity", Control::humidity},
    {"other", Control::other},
    {"input", Control::input_type},
    {"input-units", Control::input_units},
    {"input-curve", Control::input_curve},
    {"cj", Control::input_auxiliary},
    {"amplitude", Control::amplitude},
    {"fixed", Control::fixed_type},
    {"fixed-value", Control::fixed_value},
    {"output", Control::output_type},
    {"output-units", Control::output_units},
    {"output-curve", Control::output_curve},
    {"output-cj", Control::output_auxiliary},
    {"wires", Control::output_auxiliary},
    {"tolerance-testing", Control::tolerance_state},
    {"tolerance", Control::tolerance},
    {"input-low", Control::input_low},
    {"input-high", Control::input_high},
    {"output-low", Control::output_low},
    {"output-high", Control::output_high},
    {"points", Control::points_used},
    {"generate", Control::first_point},
};

// The two radio button pairs take words.
constexpr std::pair<const char*, const char*> radio_words[] = {
    {"counts", "0"}, {"frequency", "1"}, {"enabled", "0"}, {"disabled", "1"}};

std::optional<Control> control_named(const std::string& name) {
    for (const auto& e : entry_names)
        if (name == e.name) return e.control;
    return std::nullopt;
}

constexpr const char* scheme_words[] = {"zero-span", "span-zero", "zero-span-zero", "span-zero-span"};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

// One tag's entries, checked for their names and words.
struct Entries {
    std::vector<std::pair<Control, std::string>> values;
    std::optional<std::string> points;
    std::optional<std::string> generate;
    bool tolerance_given = false, testing_given = false;
};

// The ui of tag make: messages on standard error after the row's name;
// warnings answered Yes (No with --strict, so the page refuses); the
// Generate dialog answered with the generate= entry, checked as the dialog
// checks it.
class Tag_make_ui : public Console_ui {
public:
    explicit Tag_make_ui(bool strict) : Console_ui(false), strict_(strict) {}

    std::string where;                         // "row 3: " or ""
    std::optional<tags::Generate_texts> generate;
    int errors = 0;
    int warnings = 0;

    Answer message(const std::string& text, Caption caption, Buttons) override {
        std::fprintf(stderr, "%s%s: %s\n", where.c_str(), caption_text(caption).c_str(), text.c_str());
        if (caption == Caption::warning) {
            ++warnings;
            return strict_ ? Answer::no : Answer::yes;
        }
        if (caption == Caption::error || caption == Caption::fatal_error) ++errors;
        return Answer::ok;
    }
    void set_status(const std::string&) override {}
    std::optional<Generate_values> ask_generate_points(const Generate_values&) override {
        if (!generate) return std::nullopt;
        Generate_values values;
        if (auto failure = tags::read_generate_texts(*generate, values)) {
            message("generate: " + failure->message, Caption::error, Buttons::ok);
            return std::nullopt;
        }
        return values;
    }

private:
    bool strict_;
};

// Reads NAME=VALUE entries; the message of the first wrong one.
std::optional<std::string> read_entries(const std::vector<std::pair<std::string, std::string>>& pairs,
                                        Entries& entries) {
    for (const auto& [name, value] : pairs) {
        const auto control = control_named(name);
        if (!control) return "unknown entry name '" + name + "'";
        if (*control == Control::points_used) {
            entries.points = value;
        } else if (*control == Control::first_point) {
            entries.generate = value;
        } else if (*control == Control::fixed_type || *control == Control::tolerance_state) {
            std::string text;
            for (const auto& [word, radio] : radio_words)
                if (value == word) text = radio;
            const bool fixed = *control == Control::fixed_type;
            if (text.empty() || (fixed != (value == "counts" || value == "frequency")))
                return name + " takes " + (fixed ? "counts or frequency" : "enabled or disabled");
            entries.values.emplace_back(*control, text);
            entries.testing_given = entries.testing_given || !fixed;
        } else {
            entries.values.emplace_back(*control, value);
            entries.tolerance_given = entries.tolerance_given || *control == Control::tolerance;
        }
    }
    if (entries.points && entries.generate) return "give points= or generate=, not both";
    // A tolerance given asks for tolerance testing unless it is said otherwise.
    if (entries.tolerance_given && !entries.testing_given)
        entries.values.emplace_back(Control::tolerance_state, "0");
    return std::nullopt;
}

// generate=ZERO:SPAN:N:SCHEME as the texts of Generate_points_dialog.
std::optional<tags::Generate_texts> generate_texts(const std::string& text) {
    const auto parts = split(text, ':');
    if (parts.size() != 4) return std::nullopt;
    for (int scheme = 0; scheme < 4; ++scheme)
        if (parts[3] == scheme_words[scheme]) return tags::Generate_texts{parts[2], parts[0], parts[1], scheme};
    return std::nullopt;
}

// Types the page's entries into its controls: the type list first (it
// resets the lists that follow it), then the other lists, then the rest.
void type_page(tags::Tag_sheet& sheet, Page page, const Entries& entries) {
    auto& controls = sheet.controls();
    for (int pass = 0; pass < 3; ++pass) {
        for (const auto& [control, value] : entries.values) {
            if (tags::page_of(control) != page) continue;
            const bool type = control == Control::input_type || control == Control::output_type;
            const bool list = tags::is_list(control);
            if (pass == 0 && type) sheet.list_text_changed(control, value);
            if (pass == 1 && list && !type) sheet.list_text_changed(control, value);
            if (pass == 2 && !list) controls.text(control) = value;
        }
    }
    if (page != Page::test_points) return;
    if (entries.points) {
        const auto points = split(*entries.points, ',');
        controls.text(Control::points_used) = std::to_string(points.size());
        for (size_t k = 0; k < points.size() && k < reports::max_points; ++k)
            controls.text(tags::point_control(static_cast<int>(k) + 1)) = points[k];
    }
    if (entries.generate) sheet.generate_points();
}

// Runs the editor over the entries, page by page, and OK.  False when a
// check failed or a warning was refused.
bool edit_tag(tags::Tag_sheet& sheet, const Entries& entries, Tag_make_ui& ui) {
    sheet.open();
    for (int p = 0; p < tags::page_count; ++p) {
        const Page page = static_cast<Page>(p);
        if (p > 0 && !sheet.change_page(page)) return false;
        const int errors = ui.errors;
        type_page(sheet, page, entries);
        if (ui.errors != errors) return false;   // the generate entry failed its check
    }
    return sheet.ok();
}

// Makes one tag file; true when it was written.
bool make_tag(const Entries& entries, const std::optional<std::string>& output, const std::string& folder,
              bool replace, Tag_make_ui& ui) {
    if (entries.generate) {
        ui.generate = generate_texts(*entries.generate);
        if (!ui.generate) {
            ui.message("generate takes ZERO:SPAN:N:SCHEME, SCHEME one of zero-span, span-zero, zero-span-zero, "
                       "span-zero-span",
                       Caption::error, Buttons::ok);
            return false;
        }
    }
    tags::Tag_sheet sheet(ui, tags::new_tag_defaults());
    if (!edit_tag(sheet, entries, ui)) {
        // Name the entry that failed its check, as the editor focuses its field.
        const Control focus = sheet.focus() >= Control::first_point ? Control::points_used : sheet.focus();
        for (const auto& e : entry_names)
            if (focus != Control::none && e.control == focus)
                std::fprintf(stderr, "%sno file written: %s= was refused\n", ui.where.c_str(), e.name);
        if (sheet.focus() == Control::none) std::fprintf(stderr, "%sno file written\n", ui.where.c_str());
        return false;
    }

    std::string path = output.value_or("");
    if (!output) {
        const std::string& id = sheet.values().tag_id;
        if (id.empty() || id == "." || id == ".." || id.find('/') != std::string::npos) {
            ui.message("the tag ID '" + id + "' cannot name a file", Caption::error, Buttons::ok);
            return false;
        }
        path = (fs::path(folder) / (id + ".utg")).string();
    }
    if (fs::exists(path) && !replace) {
        ui.message(path + " already exists; --yes replaces it", Caption::error, Buttons::ok);
        return false;
    }
    // The editor's save, with the file name given instead of picked.
    reports::Field_table record;
    std::string tag_folder = folder, current_name;
    tags::Tag_file_context context{ui, record, tag_folder, {}, current_name, {}};
    ui.answer_file_pickers_with({path});
    const int errors = ui.errors;
    tags::save_tag_file(context, sheet.values());
    if (ui.errors != errors) return false;
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    return true;
}

std::optional<std::pair<std::string, std::string>> name_value(const std::string& arg) {
    const size_t equals = arg.find('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    return std::make_pair(arg.substr(0, equals), arg.substr(equals + 1));
}

int usage(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s (see tq740-cli --help)\n", text.c_str());
    return 64;
}

int make_from_csv(const std::string& path, const std::string& folder, bool replace, bool strict) {
    std::string text, reason;
    switch (shell::read_file_bounded(path, max_csv_list_bytes, text, reason)) {
    case shell::Bounded_read::ok: break;
    case shell::Bounded_read::too_large:
        std::fprintf(stderr, "tq740-cli: %s is larger than %zu MB: not read\n", path.c_str(),
                     max_csv_list_bytes / (1024 * 1024));
        return 1;
    case shell::Bounded_read::open_failed:
    case shell::Bounded_read::read_failed:
        std::fprintf(stderr, "tq740-cli: cannot read %s: %s\n", path.c_str(), reason.c_str());
        return 1;
    }
    std::string error;
    const auto list = read_csv_list(text, error);
    if (!list) return usage(path + ": " + error);
    for (const auto& name : list->heading)
        if (!control_named(name)) return usage(path + ": unknown column '" + name + "'");

    std::error_code ignored;
    fs::create_directories(folder, ignored);   // a folder that cannot be made fails each save with its reason
    int made = 0;
    for (const Csv_row& row : list->rows) {
        Tag_make_ui ui(strict);
        ui.where = "row " + std::to_string(row.number) + ": ";
        std::vector<std::pair<std::string, std::string>> pairs;
        for (size_t i = 0; i < row.fields.size(); ++i)
            if (!row.fields[i].empty()) pairs.emplace_back(list->heading[i], row.fields[i]);
        Entries entries;
        bool ok = false;
        if (!row.error.empty())
            ui.message(row.error, Caption::error, Buttons::ok);
        else if (auto wrong = read_entries(pairs, entries))
            ui.message(*wrong, Caption::error, Buttons::ok);
        else
            ok = make_tag(entries, std::nullopt, folder, replace, ui);
        if (ok && strict && ui.warnings > 0) ok = false;
        made += ok ? 1 : 0;
    }
    return made == static_cast<int>(list->rows.size()) ? 0 : 1;
}

}  // namespace

std::string tag_make_usage() {
    std::string names;
    for (const auto& e : entry_names) names += std::string(names.empty() ? "" : " ") + e.name;
    return "tag make -o FILE.utg NAME=VALUE... | tag make --from-csv LIST.csv --dir DIR [--strict]\n"
           "                             make tag files through the tag editor's checks (--yes replaces a file);\n"
           "                             LIST.csv: a heading row of names, then one tag a row (at most " +
           std::to_string(max_csv_list_bytes / (1024 * 1024)) + " MB)\n"
           "                             names: " + names + "\n"
           "                             fixed=counts|frequency  tolerance-testing=enabled|disabled\n"
           "                             points=0,25,50,75,100  generate=ZERO:SPAN:N:SCHEME (zero-span,\n"
           "                             span-zero, zero-span-zero, span-zero-span)";
}

int run_tag_make(const std::vector<std::string>& args, bool replace) {
    std::optional<std::string> output, csv, folder;
    bool strict = false;
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "-o" && has_value) {
            output = args[++i];
        } else if (a == "--from-csv" && has_value) {
            csv = args[++i];
        } else if (a == "--dir" && has_value) {
            folder = args[++i];
        } else if (a == "--strict") {
            strict = true;
        } else if (auto entry = name_value(a)) {
            pairs.push_back(*entry);
        } else {
            return usage("tag make does not understand '" + a + "'");
        }
    }
    if (csv) {
        if (output || !pairs.empty()) return usage("--from-csv takes its entries from the list alone");
        return make_from_csv(*csv, folder.value_or("."), replace, strict);
    }
    if (!output) return usage("tag make needs -o FILE.utg (or --from-csv LIST.csv)");
    Entries entries;
    if (auto wrong = read_entries(pairs, entries)) return usage(*wrong);
    Tag_make_ui ui(strict);
    const bool made = make_tag(entries, output, fs::path(*output).parent_path().string(), replace, ui);
    return made && !(strict && ui.warnings > 0) ? 0 : 1;
}

}  // namespace ui::console
