// The group editor: Configure > Group > New and Edit, and the logic of
// `Group_dialog` that the platform's dialog runs over.
//
// The dialog shows two sorted lists, "Available Tags" (the tag files of the
// group directory that are not members) and "Tags in Group".  Each time it is
// shown, the lists are filled again from the directory and the member names;
// a member whose file is no longer there is asked about (`Keep_dialog`) only
// on the first display of one command, and a kept one stays a member on the
// later displays that follow a cancelled Save dialog.
#pragma once

#include <string>
#include <vector>

#include "download/group_file.h"
#include "resources/help_pages.h"
#include "shell/program.h"
#include "ui/ui.h"

namespace download {

// Help context of `Group_dialog` and `Keep_dialog`.
constexpr int GROUP_DIALOG_HELP = res::HELP_GROUP_EDITOR;
// The longest caption a dialog of the group commands shows; longer ones are cut.
constexpr std::size_t max_caption_chars = 199;

class Group_editor {
public:
    Group_editor(std::string caption, std::string directory);

    // The member names: set before each display, the "Tags in Group" entries
    // after OK.
    std::vector<std::string> members;

    // Fills both lists (the dialog calls it as it is shown).  On the first
    // display each member not found in the directory is asked about with
    // `Keep_dialog`; on later ones it is dropped without a question.
    void display(ui::Ui& ui);

    const std::string& caption() const { return caption_; }
    // The text either list shows for a name: the name itself, or
    // "TT-101.utg  (missing)" for a kept member whose file is not in the
    // directory.
    std::string entry_text(const std::string& name) const;
    const std::vector<std::string>& available() const { return available_; }
    const std::vector<std::string>& in_group() const { return in_group_; }

    // Add (button or double click): the entries at these rows of "Available
    // Tags" move to "Tags in Group".  Remove: the other way.  Both lists stay
    // sorted.
    void add(const std::vector<int>& rows);
    void remove(const std::vector<int>& rows);

    // OK: true when the dialog may close, members then holding "Tags in
    // Group".  A group holds at most 200 tags: with more, the user is told
    // and the dialog stays open with nothing lost.
    bool accept(ui::Ui& ui);

private:
    // Keeps a member whose file is missing: it stays in the group and comes
    // back with the directory's files on every later display.
    void keep_missing(const std::string& name);
    // The Keep_dialog question for a missing member, with the to-all answers.
    bool ask_to_keep(ui::Ui& ui, const std::string& name);

    std::string caption_;
    std::string directory_;
    std::vector<std::string> available_;
    std::vector<std::string> in_group_;
    std::vector<std::string> kept_missing_;
    bool first_display_ = true;
    bool keep_all_ = false;
    bool drop_all_ = false;
};

// Configure > Group > New (command 32810): a first tag file picked with
// "Select the first tag for the group" makes its folder the group directory
// and the group of that one tag, which the editor then shows.  A tag file
// whose name a group file cannot hold (not printable ASCII) is refused with
// a message, as the directory listing leaves it out.
void new_group_command(shell::Program& program);

// Configure > Group > Edit (command 32811).
void edit_group_command(shell::Program& program);

}  // namespace download
