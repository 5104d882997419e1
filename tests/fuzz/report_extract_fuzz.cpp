// Fuzz target: the report reader of Configure > Tag > Extract from Report:
// both passes over the file and the reading of the chosen tag's section.
//
// The first byte chooses which listed tag is extracted (its value modulo the
// number listed); the rest is the report file.  Checked: at most 200 tags
// are listed, none with an ID over 19 characters, and the count of tags
// found is never below it; a section holds at most 200 lines of at most 200
// characters, beginning with the chosen tag's line; every field read holds
// at most 99 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "download/report_extract.h"
#include "support/fuzz_rig.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::as_text(data, size);
    const std::uint8_t choice = fuzz::take_options(text);
    download::Open_report file;
    std::string reason;
    if (!file.open(fuzz::write_scratch_file("report.txt", text), reason)) std::abort();

    download::Tag_index index;
    if (!download::index_report(file, index, reason)) std::abort();
    const auto& tags = index.tags();
    if (tags.size() > download::max_report_tags || index.tags_found() < tags.size()) std::abort();
    for (const auto& tag : tags)
        if (tag.id.size() > download::listed_id_chars) std::abort();
    if (tags.empty()) return 0;

    const download::Report_tag& chosen = tags[choice % tags.size()];
    std::vector<std::string> section;
    if (!download::read_section(file, chosen, section, reason)) std::abort();
    if (section.empty() || section.size() > download::max_section_lines || !download::begins_tag(section.front()))
        std::abort();
    for (const std::string& line : section)
        if (line.size() > 200) std::abort();

    reports::Field_table record;
    download::parse_report_section(section, record);
    for (int field = 1; field <= reports::fields::last_tag_field; ++field)
        if (record.field_text(field).size() > reports::max_field_chars) std::abort();
    return 0;
}
