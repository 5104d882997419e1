// Fuzz target: opening a group file (.ugp) as Configure > Group > Edit does,
// then writing its members back.
//
// The whole input is the file.  Checked: an accepted file holds at most 200
// members, each a plain member name; written out again as the program
// writes group files, it reads back to the same members.  A refused file
// keeps only members that were valid before the bad line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "download/group_file.h"
#include "support/fuzz_rig.h"

namespace {

struct Opened {
    fuzz::Lenient_ui ui;
    reports::Field_table record;
    std::string folder, tag_name, group_name;
    std::vector<std::string> members;
    download::Group_file_context context{{.ui = ui, .record = record, .tag_folder = folder,
                                          .current_tag_file_name = tag_name},
                                         members, group_name};
    bool accepted = false;

    explicit Opened(const std::string& path) {
        ui.file_answer = path;
        accepted = download::load_group_file(context, "Select the group to edit");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Opened opened(fuzz::write_scratch_file("group.ugp", fuzz::as_text(data, size)));
    if (opened.members.size() > download::max_group_members) std::abort();
    for (const std::string& member : opened.members)
        if (!download::valid_member_name(member)) std::abort();
    if (!opened.accepted) return 0;

    Opened again(fuzz::write_scratch_file("rewritten.ugp", download::group_file_text(opened.members)));
    if (!again.accepted || again.members != opened.members) std::abort();
    return 0;
}
