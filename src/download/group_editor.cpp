#include "download/group_editor.h"

#include <algorithm>

#include "download/tag_download.h"
#include "resources/download_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "resources/text_match.h"
#include "shell/settings.h"

namespace download {

namespace {

void insert_sorted(std::vector<std::string>& list, std::string name) {
    const auto at = std::lower_bound(list.begin(), list.end(), name,
                                     [](const std::string& a, const std::string& b) { return member_order(a, b); });
    list.insert(at, std::move(name));
}

// Moves the entries at rows of from (in any order, repeats and rows outside
// the list ignored) into to, keeping both sorted.
void move_rows(std::vector<std::string>& from, std::vector<std::string>& to, std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row < 0 || *row >= static_cast<int>(from.size())) continue;
        const auto at = from.begin() + *row;
        insert_sorted(to, std::move(*at));
        from.erase(at);
    }
}

// The editing loop of both commands: the dialog, then the Save dialog; a
// cancelled Save dialog shows the editor again with the edited members.
void edit_until_saved(shell::Program& program, Group_editor& editor) {
    Group_file_context files = group_file_context(program);
    for (;;) {
        editor.members = program.group_members;
        if (!program.ui.run_group_dialog(editor)) return;
        if (save_group_file(files, editor.members)) return;
    }
}

}  // namespace

Group_editor::Group_editor(std::string caption, std::string directory)
    : caption_(shell::cut_characters(caption, max_caption_chars)), directory_(std::move(directory)) {}

void Group_editor::display(ui::Ui& ui) {
    available_ = tag_files_in(directory_);
    for (const auto& name : kept_missing_) insert_sorted(available_, name);
    in_group_.clear();
    const bool first = first_display_;
    first_display_ = false;
    for (const auto& name : members) {
        const auto found = std::find_if(available_.begin(), available_.end(),
                                        [&](const std::string& a) { return res::equal_ignoring_case(a, name); });
        if (found != available_.end()) {
            available_.erase(found);
            insert_sorted(in_group_, name);  // the member's own spelling
        } else if (first && ask_to_keep(ui, name)) {
            keep_missing(name);
        }
    }
}

bool Group_editor::ask_to_keep(ui::Ui& ui, const std::string& name) {
    if (keep_all_) return true;
    if (drop_all_) return false;
    switch (ui.ask_keep(res::str(res::IDS_CAPTION_WARNING), res::format(res::IDS_KEEP_MISSING_MEMBER, name))) {
    case ui::Ui::Keep_answer::yes_to_all: keep_all_ = true; return true;
    case ui::Ui::Keep_answer::yes: return true;
    case ui::Ui::Keep_answer::no_to_all: drop_all_ = true; return false;
    case ui::Ui::Keep_answer::no: return false;
    }
    return false;
}

void Group_editor::keep_missing(const std::string& name) {
    kept_missing_.push_back(name);
    insert_sorted(in_group_, name);
}

std::string Group_editor::entry_text(const std::string& name) const {
    const bool missing = std::find(kept_missing_.begin(), kept_missing_.end(), name) != kept_missing_.end();
    return missing ? res::format(res::IDS_MISSING_MEMBER_ENTRY, name) : name;
}

void Group_editor::add(const std::vector<int>& rows) { move_rows(available_, in_group_, rows); }

void Group_editor::remove(const std::vector<int>& rows) { move_rows(in_group_, available_, rows); }

bool Group_editor::accept(ui::Ui& ui) {
    if (in_group_.size() > max_group_members) {
        ui.message(res::format(res::IDS_GROUP_TOO_LARGE, max_group_members, in_group_.size()), ui::Caption::error,
                   ui::Buttons::ok);
        return false;
    }
    members = in_group_;
    return true;
}

void new_group_command(shell::Program& program) {
    tags::Tag_file_context tag_files = tag_file_context(program);
    if (!tags::load_tag_file(tag_files, res::str(res::IDS_SELECT_FIRST_GROUP_TAG))) return;
    // The first tag's name as the listing gives it (".UTG" written ".utg").
    const auto first = member_name_of_file(program.current_tag_file_name);
    if (!first) {
        program.ui.message(res::format(res::IDS_NOT_A_GROUP_MEMBER, program.current_tag_file_name),
                           ui::Caption::error, ui::Buttons::ok);
        return;
    }
    program.group_members = {*first};
    program.current_group_file_name.clear();
    Group_editor editor(res::str(res::IDS_EDIT_NEW_GROUP), program.settings.tag_config_directory);
    edit_until_saved(program, editor);
}

void edit_group_command(shell::Program& program) {
    Group_file_context files = group_file_context(program);
    if (!load_group_file(files, res::str(res::IDS_SELECT_GROUP_TO_EDIT))) return;
    Group_editor editor(res::format(res::IDS_EDIT_GROUP_CAPTION, program.current_group_file_name),
                        program.settings.tag_config_directory);
    edit_until_saved(program, editor);
}

}  // namespace download
