#include "ui/console/tag_extract.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "download/report_extract.h"
#include "tags/tag_editor.h"
#include "ui/console/cli.h"
#include "ui/console/console_ui.h"

namespace ui::console {

namespace {

namespace fs = std::filesystem;

int usage(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s (see tq740-cli --help)\n", text.c_str());
    return EXIT_USAGE;
}

int failed(const std::string& text) {
    std::fprintf(stderr, "tq740-cli: %s\n", text.c_str());
    return 1;
}

struct Extract_options {
    std::string report;
    std::optional<std::string> tag;
    std::optional<std::string> output;
};

// The tag to extract: the first one listed as --tag gives it (an ID longer
// than a listed one by its first characters), else the only one.  Nothing, with the message shown and status
// set, when there is no such tag or the choice is the user's.
std::optional<download::Report_tag> choose_tag(const download::Tag_index& index, const Extract_options& options,
                                               int& status) {
    const auto& tags = index.tags();
    if (options.tag) {
        const std::string listed = options.tag->substr(0, download::listed_id_chars);
        for (const auto& tag : tags)
            if (tag.id == listed) return tag;
        status = failed(options.report + " holds no tag listed as '" + *options.tag + "'" +
                        (index.tags_found() > tags.size() ? " among the first " + std::to_string(tags.size()) + " it lists"
                                                          : ""));
        return std::nullopt;
    }
    if (tags.size() == 1) return tags.front();
    if (tags.empty()) {
        status = failed(options.report + " holds no \"Tag ID:\" line");
        return std::nullopt;
    }
    for (const auto& tag : tags) std::printf("%s\n", tag.id.c_str());
    std::fflush(stdout);
    // Only the first 200 can be chosen; the count says how many there are.
    const std::string listed = index.tags_found() > tags.size()
                                   ? ", the first " + std::to_string(tags.size()) + " listed above"
                                   : "";
    status = usage(options.report + " holds " + std::to_string(index.tags_found()) + " tags" + listed +
                   "; choose one with --tag ID");
    return std::nullopt;
}

// The editor's checks; false (with the field named) when one fails.
bool passes_checks(const reports::Field_table& record) {
    // Warnings are shown and answered Yes: the editor's OK does not ask them
    // for pages it has not shown.
    Console_ui ui(true);
    const int field = download::check_extracted_record(record, ui);
    if (field == 0) return true;
    if (field > 0)
        failed(tags::field_name(field) + " holds \"" + record.field_text(field) + "\" in the report: no file written");
    return false;
}

// The editor's save with the file name given instead of picked.
int save(const reports::Field_table& extracted, const std::string& path, bool replace) {
    if (fs::exists(path) && !replace) return failed(path + " already exists; --yes replaces it");
    Console_ui ui(false);
    reports::Field_table record;
    std::string folder = fs::path(path).parent_path().string(), current_name;
    tags::Tag_file_context context{ui, record, folder, {}, current_name, {}};
    ui.answer_file_pickers_with({path});
    tags::save_tag_file(context, tags::record_to_editor(extracted));
    if (ui.error_count() > 0) return 1;
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    return 0;
}

std::optional<Extract_options> read_options(const std::vector<std::string>& args) {
    Extract_options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--tag" && has_value) {
            options.tag = args[++i];
        } else if (a == "-o" && has_value) {
            options.output = args[++i];
        } else if (options.report.empty() && !a.empty() && a.front() != '-') {
            options.report = a;
        } else {
            usage("extract does not understand '" + a + "'");
            return std::nullopt;
        }
    }
    if (options.report.empty()) {
        usage("extract needs a report file");
        return std::nullopt;
    }
    return options;
}

}  // namespace

std::string tag_extract_usage() {
    return "extract REPORT [--tag ID] [-o FILE.utg]\n"
           "                             read a tag configuration back from a saved report (TXT or CSV) as\n"
           "                             Extract from Report does; --tag names one of several tags as listed;\n"
           "                             without -o print the 46 fields as read (\"%2i %s\"); with -o check them\n"
           "                             as the tag editor does and save the tag file (--yes replaces a file)";
}

int run_tag_extract(const std::vector<std::string>& args, bool replace) {
    const auto options = read_options(args);
    if (!options) return EXIT_USAGE;

    download::Open_report file;
    std::string reason;
    if (!file.open(options->report, reason)) return failed("cannot open " + options->report + ": " + reason);
    download::Tag_index index;
    if (!download::index_report(file, index, reason)) return failed("cannot read " + options->report + ": " + reason);
    int status = 0;
    const auto tag = choose_tag(index, *options, status);
    if (!tag) return status;
    std::vector<std::string> section;
    if (!download::read_section(file, *tag, section, reason))
        return failed("cannot read " + options->report + ": " + reason);
    reports::Field_table record;
    download::parse_report_section(section, record);

    if (!options->output) {
        for (int field = 1; field <= reports::fields::last_tag_field; ++field)
            std::printf("%2i %s\n", field, record.field_text(field).c_str());
        std::fflush(stdout);
        return passes_checks(record) ? 0 : 1;
    }
    if (!passes_checks(record)) return 1;
    return save(record, *options->output, replace);
}

}  // namespace ui::console
