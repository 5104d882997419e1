// Fuzz target: File > Open of a report file, then the saves of what was read.
//
// The first input byte holds options, the rest is the file:
//   bit 0  the file is named report.csv (else report.txt);
//   bit 1  save the list as one file and open that again: the lines must
//          come back unchanged;
//   bit 2  save the list as separate files, or (with bit 3) in tag folders,
//          where the tag IDs read from the file name files and folders.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "reports/report_files.h"
#include "support/fuzz_rig.h"

namespace {

struct Opened {
    fuzz::Lenient_ui ui;
    reports::Report_list reports{ui};
    std::string directory;
    reports::Report_file_context context{
        .ui = ui, .reports = reports, .report_directory = directory, .now = [] { return std::tm{}; }};

    explicit Opened(const std::string& path) {
        ui.file_answer = path;
        reports::open_report_file(context);
    }
};

// Saving what was read and reading it again gives the same lines.
void check_round_trip(Opened& first) {
    if (first.reports.empty()) return;
    const std::string saved = fuzz::scratch_folder() + "/saved.txt";
    std::filesystem::remove(saved);
    first.ui.file_answer = saved;
    reports::save_reports_single(first.context);
    Opened again(saved);
    if (again.reports.lines() != first.reports.lines()) std::abort();
}

void save_separately(const Opened& opened, bool tag_folders) {
    const std::string folder = fuzz::scratch_folder() + "/separate";
    std::filesystem::create_directory(folder);
    reports::save_separate_reports(opened.reports.lines(), folder, opened.reports.displayed_format, std::tm{},
                                   tag_folders ? reports::Separate_layout::tag_directories
                                               : reports::Separate_layout::files,
                                   [](const std::string&) {});
    // Nothing may land outside the chosen folder.
    for (const auto& entry : std::filesystem::directory_iterator(fuzz::scratch_folder())) {
        const std::string name = entry.path().filename().string();
        if (name != "separate" && name != "report.txt" && name != "report.csv" && name != "saved.txt") std::abort();
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::as_text(data, size);
    const std::uint8_t options = fuzz::take_options(text);
    Opened opened(fuzz::write_scratch_file(options & 1 ? "report.csv" : "report.txt", text));
    if (options & 2) check_round_trip(opened);
    if (options & 4) save_separately(opened, options & 8);
    return 0;
}
