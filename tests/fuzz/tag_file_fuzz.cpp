// Fuzz target: opening a tag configuration file (.utg), then the tag editor
// taking the record over and writing it back.
//
// The whole input is the file.  Checked: a file the reader accepts, written
// out again as the program writes tag files, reads back to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "reports/field_table.h"
#include "support/fuzz_rig.h"
#include "tags/tag_file.h"
#include "tags/tag_record.h"

namespace {

struct Loaded {
    fuzz::Lenient_ui ui;
    reports::Field_table record;
    std::string folder, file_name;
    tags::Tag_file_context context{.ui = ui, .record = record, .tag_folder = folder, .current_tag_file_name = file_name};
    bool accepted = false;

    explicit Loaded(const std::string& path) {
        ui.file_answer = path;
        accepted = tags::load_tag_file(context, "Open Tag File");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Loaded opened(fuzz::write_scratch_file("tag.utg", fuzz::as_text(data, size)));
    if (!opened.accepted) return 0;

    const std::string rewritten = fuzz::write_scratch_file("rewritten.utg", tags::tag_file_text(opened.record));
    Loaded again(rewritten);
    if (!again.accepted) std::abort();
    for (int field = 1; field <= reports::fields::last_tag_field; ++field)
        if (again.record.field_text(field) != opened.record.field_text(field)) std::abort();

    // The editor shows the record and writes it back with its own rules.
    reports::Field_table edited;
    tags::editor_to_record(tags::record_to_editor(opened.record), edited);
    tags::tag_file_text(edited);
    return 0;
}
