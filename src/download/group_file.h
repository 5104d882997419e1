// Group files (.ugp): a named list of tag files kept together in one folder,
// the group directory.
//
//   TQ740-SW group configuration file v2.00
//   FT-610.utg
//   TT-101.utg
//
// Line 0 is the header; every later line is one member: a tag file's name
// with its extension, nothing before or after it.  Every line ends in CR LF;
// a group of no members is the header alone.  The file stores names only:
// the members are looked up in the folder the group file itself is in
// (`tag_folder`, the setting "tag_config_directory").
//
// Reading uses the program's text-file line reader (LF ends a line, only
// 0x20..0x7E are kept, text after the last LF is ignored) and accepts a file
// whose first line is the header exactly and whose every later line is a
// valid member name, at most 200 of them.  A valid member name:
// - ends in ".utg" exactly (lower case);
// - holds at most 260 characters;
// - contains no "/" and is not "." or "..", so that a member never names a
//   file outside the group directory.
// A file larger than max_group_file_bytes is refused before it is read.
//
// The folder's file names are case-sensitive, but a group is used as if they
// were not: a member is found in the group directory ignoring case, an exact
// match first, so a group made where case did not matter still finds its
// tags.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/program.h"
#include "tags/tag_file.h"

namespace download {

inline constexpr std::string_view group_file_header = "TQ740-SW group configuration file v2.00";
inline constexpr std::size_t max_group_members = 200;
inline constexpr std::size_t max_member_chars = 260;
// Far more than 200 names of 260 characters with stray bytes the reader drops.
inline constexpr long long max_group_file_bytes = 1 << 20;

// True when name may stand in a group file (the rules above).
bool valid_member_name(std::string_view name);

// The bytes of a group file holding these members.
std::string group_file_text(const std::vector<std::string>& members);

// Checks the lines of a group file (as the line reader gives them) and
// appends each member to members as it goes; checking stops at the first bad
// line.  True when the file is a valid group file.
bool read_group_lines(const std::vector<std::string>& lines, std::vector<std::string>& members);

// The order of the group editor's lists: letters compared without regard to
// case (A to Z only), names equal but for case in byte order.
bool member_order(std::string_view a, std::string_view b);

// The member name a file of the group directory gives, or nothing when the
// file cannot be a member: its name must end in ".utg" in any case (the
// extension is then written ".utg", so that the group file stays readable),
// hold only printable ASCII (what a group file keeps) and be a valid member
// name.
std::optional<std::string> member_name_of_file(std::string_view file_name);

// The members the folder offers: every regular file (or link to one) that
// member_name_of_file takes, sorted by member_order.  Sub-folders never.
std::vector<std::string> tag_files_in(const std::string& folder);

// The path of a member in the group directory: the file of exactly that name
// when there is one, else a regular file whose name equals it ignoring case
// (the first in byte order when several do); nothing when none does.
std::optional<std::string> find_member(const std::string& folder, const std::string& name);

// What the group file commands need of the main window.
struct Group_file_context {
    // The dialogs, the tag folder and the status line, shared with tag files.
    tags::Tag_file_context files;
    // `group_members`: the members of the group last read or edited.
    std::vector<std::string>& group_members;
    // The name with extension of the group file last opened ("" for a new group).
    std::string& current_group_file_name;
};

// Asks for a group file (the dialog titled `title`) and reads its members
// into group_members.  True when a file was read and accepted; every failure
// has been shown.  The group file name and the tag folder change as soon as
// the dialog is confirmed; members read before an invalid line stay in
// group_members.
bool load_group_file(Group_file_context& context, const std::string& title);

// Copies members into group_members, asks for a file name and writes the
// group file atomically.  False only when the Save dialog was cancelled; a
// file that could not be written is shown and still gives true.
bool save_group_file(Group_file_context& context, const std::vector<std::string>& members);

// The group file operations over the program's state.
Group_file_context group_file_context(shell::Program& program);

}  // namespace download
