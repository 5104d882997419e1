// Group files and the group editor: the reader's rules, the writer's bytes,
// the member lookup that ignores case, and the keep-or-drop question.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "download/group_editor.h"
#include "download/group_file.h"
#include "resources/download_strings.h"
#include "resources/strings.h"
#include "support/link_rig.h"

namespace {

namespace fs = std::filesystem;
using Keep = ui::Ui::Keep_answer;
using Names = std::vector<std::string>;

const std::string HEADER = "TQ740-SW group configuration file v2.00\r\n";
const std::string EXAMPLES = (fs::path(__FILE__).parent_path() / "../../examples/tags").string();

void write_bytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string read_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A program over a scripted ui whose tag folder is a temporary folder.
struct Group_rig {
    QTemporaryDir temp;
    test::Link_rig rig;
    shell::Program program{rig.ui, rig.port, rig.clock, [] { return std::string(test::Link_rig::DEVICE); }};
    fs::path folder{temp.path().toStdString()};
    download::Group_file_context files = download::group_file_context(program);

    Group_rig() { program.settings.tag_config_directory = folder.string(); }
    void add_tags(const Names& names) {
        for (const auto& name : names) fs::copy_file(fs::path(EXAMPLES) / "TT-101.utg", folder / name);
    }
    fs::path group(const Names& members, const std::string& name = "g.ugp") {
        std::string bytes = HEADER;
        for (const auto& m : members) bytes += m + "\r\n";
        write_bytes(folder / name, bytes);
        return folder / name;
    }
};

std::string many_members(int count) {
    std::string bytes = HEADER;
    for (int i = 0; i < count; ++i) bytes += "T" + std::to_string(i) + ".utg\r\n";
    return bytes;
}

TEST(Group_file, the_reader_keeps_the_rules_of_the_format) {
    const std::string long_name = std::string(256, 'a') + ".utg";   // 260 characters
    struct Case {
        const char* name;
        std::string bytes;
        bool valid;
        Names members;   // what group_members holds afterwards
    };
    const Case cases[] = {
        {"two members", HEADER + "FT-610.utg\r\nTT-101.utg\r\n", true, {"FT-610.utg", "TT-101.utg"}},
        {"LF only", "TQ740-SW group configuration file v2.00\nTT-101.utg\n", true, {"TT-101.utg"}},
        {"header alone: an empty group", HEADER, true, {}},
        {"an empty file", "", true, {}},
        {"upper-case extension", HEADER + "TT-101.UTG\r\n", false, {}},
        {"a blank line after the last member", HEADER + "TT-101.utg\r\n\r\n", false, {"TT-101.utg"}},
        {"last member without CR LF", HEADER + "TT-101.utg\r\nFT-610.utg", true, {"TT-101.utg"}},
        {"header with a trailing space", "TQ740-SW group configuration file v2.00 \r\n", false, {}},
        {"header in other case", "TQ740-SW Group configuration file v2.00\r\n", false, {}},
        {"a name too short for the extension", HEADER + "utg\r\n", false, {}},
        {"a path", HEADER + "../TT-101.utg\r\n", false, {}},
        {"tab and bytes above 0x7E dropped", HEADER + "TT\t-1\xB0" "01.utg\r\n", true, {"TT-101.utg"}},
        {"200 members", many_members(200), true, {}},
        {"201 members", many_members(201), false, {}},
        {"a name of 260 characters", HEADER + long_name + "\r\n", true, {long_name}},
        {"a name of 261 characters", HEADER + "b" + long_name + "\r\n", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Group_rig g;
        write_bytes(g.folder / "g.ugp", c.bytes);
        g.rig.ui.expect_file((g.folder / "g.ugp").string(), [](const ui::File_request& r) {
            EXPECT_EQ(r.filter, "Group files (*.ugp)|*.ugp||");
            EXPECT_TRUE(r.must_exist);
        });
        if (!c.valid) g.rig.ui.expect_error("Invalid group configuration file format.");
        EXPECT_EQ(download::load_group_file(g.files, "Select the group to edit"), c.valid);
        EXPECT_EQ(g.program.current_group_file_name, "g.ugp");
        if (c.bytes.size() > 1500) {   // the 200 read before a 201st stay
            EXPECT_EQ(g.program.group_members.size(), 200u);
        } else {
            EXPECT_EQ(g.program.group_members, c.members);
        }
    }
}

TEST(Group_file, save_writes_the_bytes_atomically_and_proposes_the_opened_name) {
    Group_rig g;
    g.program.current_group_file_name = "unit7";
    g.rig.ui.expect_file((g.folder / "out.ugp").string(), [](const ui::File_request& r) {
        EXPECT_TRUE(r.save);
        EXPECT_TRUE(r.ask_replace);
        EXPECT_EQ(r.title, "Save Group File");
        EXPECT_EQ(r.default_name, "unit7.ugp");
        EXPECT_EQ(r.default_extension, "ugp");
    });
    EXPECT_TRUE(download::save_group_file(g.files, {"FT-610.utg", "TT-101.utg"}));
    EXPECT_EQ(read_bytes(g.folder / "out.ugp"), HEADER + "FT-610.utg\r\nTT-101.utg\r\n");
    EXPECT_EQ(fs::directory_iterator(g.folder)->path().filename(), "out.ugp");  // no temporary left

    g.rig.ui.expect_file(std::nullopt);
    EXPECT_FALSE(download::save_group_file(g.files, {"A.utg"}));
    EXPECT_EQ(g.program.group_members, Names{"A.utg"});  // copied before anything was asked
}

TEST(Group_file, a_member_is_found_ignoring_case_an_exact_match_first) {
    Group_rig g;
    g.add_tags({"TT-101.utg", "pt-201.UTG", "Ft-610.utg", "ft-610.utg"});
    fs::create_directory(g.folder / "folder.utg");
    struct Case {
        const char* name;
        std::optional<std::string> found;
    };
    const Case cases[] = {
        {"TT-101.utg", "TT-101.utg"},
        {"tt-101.utg", "TT-101.utg"},
        {"PT-201.utg", "pt-201.UTG"},
        {"ft-610.utg", "ft-610.utg"},   // the exact one of two
        {"FT-610.utg", "Ft-610.utg"},   // the first in byte order
        {"folder.utg", std::nullopt},
        {"XX-000.utg", std::nullopt},
        {"../TT-101.utg", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto found = download::find_member(g.folder.string(), c.name);
        ASSERT_EQ(found.has_value(), c.found.has_value());
        if (found) {
            EXPECT_EQ(fs::path(*found).filename(), *c.found);
        }
    }
}

TEST(Group_file, the_listing_takes_tag_files_in_any_case_sorted_without_regard_to_case) {
    Group_rig g;
    g.add_tags({"b.utg", "A.utg", "c.UTG", "_x.utg", "Tag\xC3\xA9.utg", "notes.txt"});
    fs::create_directory(g.folder / "sub.utg");
    EXPECT_EQ(download::tag_files_in(g.folder.string()), (Names{"A.utg", "b.utg", "c.utg", "_x.utg"}));
}

// ---- The group editor ----

// The Edit command over a group file whose members are partly missing.
struct Edit_rig : Group_rig {
    Edit_rig(const Names& on_disk, const Names& members) {
        add_tags(on_disk);
        rig.ui.expect_file(group(members).string());
    }
};

TEST(Group_editor, missing_members_are_asked_about_once_with_the_to_all_answers) {
    struct Case {
        const char* name;
        std::vector<Keep> answers;
        Names in_group;   // as last displayed
        bool save_cancelled_after_deleting_tt_101 = false;
    };
    const Names missing = {"M1.utg", "M2.utg", "M3.utg"};
    const Case cases[] = {
        {"No to All at the first", {Keep::no_to_all}, {"TT-101.utg"}},
        {"Yes to All at the first", {Keep::yes_to_all}, {"M1.utg", "M2.utg", "M3.utg", "TT-101.utg"}},
        {"Yes, No, Yes", {Keep::yes, Keep::no, Keep::yes}, {"M1.utg", "M3.utg", "TT-101.utg"}},
        {"No, then Yes to All", {Keep::no, Keep::yes_to_all}, {"M2.utg", "M3.utg", "TT-101.utg"}},
        {"a member deleted during a cancelled save: dropped unasked", {Keep::yes, Keep::no, Keep::yes},
         {"M1.utg", "M3.utg"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Edit_rig g({"TT-101.utg", "FT-610.utg"}, {"M1.utg", "M2.utg", "M3.utg", "TT-101.utg"});
        for (Keep k : c.answers) g.rig.ui.expect_keep(k);
        g.rig.ui.expect_group_dialog([&](download::Group_editor& e) {
            EXPECT_EQ(e.entry_text("M3.utg"), std::ranges::count(c.in_group, "M3.utg") ? "M3.utg  (missing)" : "M3.utg");
            return e.accept(g.rig.ui);
        });
        if (c.save_cancelled_after_deleting_tt_101) {
            g.rig.ui.expect_file(std::nullopt, [&](const ui::File_request&) { fs::remove(g.folder / "TT-101.utg"); });
            g.rig.ui.expect_group_dialog([&](download::Group_editor& e) { return e.accept(g.rig.ui); });
        }
        g.rig.ui.expect_file((g.folder / "g.ugp").string());
        download::edit_group_command(g.program);
        EXPECT_EQ(g.rig.ui.keep_texts.size(), c.answers.size());
        EXPECT_EQ(g.rig.ui.keep_texts.at(0),
                  "Tag 'M1.utg' is no longer available in the group directory.  KEEP it in the group?");
        ASSERT_EQ(g.rig.ui.group_displays.size(), c.save_cancelled_after_deleting_tt_101 ? 2u : 1u);
        EXPECT_EQ(g.rig.ui.group_displays[0].caption, "Edit group:  g.ugp");
        EXPECT_EQ(g.rig.ui.group_displays.back().in_group, c.in_group);
        EXPECT_EQ(g.rig.ui.group_displays.back().available, Names{"FT-610.utg"});
        std::string saved = HEADER;
        for (const auto& m : c.in_group) saved += m + "\r\n";
        EXPECT_EQ(read_bytes(g.folder / "g.ugp"), saved);
    }
}

TEST(Group_editor, a_cancelled_save_shows_the_edited_group_again_without_questions) {
    Edit_rig g({"TT-101.utg", "FT-610.utg", "pt-201.utg"}, {"M1.utg", "tt-101.utg"});
    g.rig.ui.expect_keep(Keep::yes);
    g.rig.ui.expect_group_dialog([&](download::Group_editor& e) {
        e.add({1, 0});   // FT-610.utg and pt-201.utg, in any order
        e.remove({3});   // tt-101.utg
        return e.accept(g.rig.ui);
    });
    g.rig.ui.expect_file(std::nullopt, [](const ui::File_request& r) { EXPECT_EQ(r.default_name, "g.ugp"); });
    g.rig.ui.expect_group_dialog([&](download::Group_editor& e) { return e.accept(g.rig.ui); });
    g.rig.ui.expect_file((g.folder / "g.ugp").string());
    download::edit_group_command(g.program);

    ASSERT_EQ(g.rig.ui.group_displays.size(), 2u);
    EXPECT_EQ(g.rig.ui.group_displays[0].in_group, (Names{"M1.utg", "tt-101.utg"}));  // the member's own spelling
    EXPECT_EQ(g.rig.ui.group_displays[1].in_group, (Names{"FT-610.utg", "M1.utg", "pt-201.utg"}));
    EXPECT_EQ(g.rig.ui.group_displays[1].available, Names{"TT-101.utg"});
    EXPECT_EQ(read_bytes(g.folder / "g.ugp"), HEADER + "FT-610.utg\r\nM1.utg\r\npt-201.utg\r\n");
}

TEST(Group_editor, a_new_group_starts_from_its_first_tag_and_ok_refuses_more_than_200) {
    Group_rig g;
    Names names;
    for (int i = 0; i < 202; ++i) names.push_back("T" + std::to_string(i) + ".utg");
    g.add_tags(names);
    const std::string accented = "T\xC3\xABst.utg";   // not listed, and refused as a first tag
    g.add_tags({accented});
    g.rig.ui.expect_file((g.folder / accented).string());
    g.rig.ui.expect_error(res::format(res::IDS_NOT_A_GROUP_MEMBER, accented));
    download::new_group_command(g.program);
    g.rig.ui.expect_file((g.folder / "T5.utg").string());
    g.rig.ui.expect_group_dialog([&](download::Group_editor& e) {
        EXPECT_EQ(e.in_group(), Names{"T5.utg"});
        EXPECT_EQ(e.available().size(), 201u);
        std::vector<int> all(e.available().size());
        for (int i = 0; i < static_cast<int>(all.size()); ++i) all[i] = i;
        e.add(all);
        EXPECT_FALSE(e.accept(g.rig.ui));   // 202: nothing lost, the dialog stays
        e.remove({0, 1});
        return e.accept(g.rig.ui);
    });
    g.rig.ui.expect_error("A group holds at most 200 tags; \"Tags in Group\" lists 202.  Remove some before pressing OK.");
    g.rig.ui.expect_file((g.folder / "new.ugp").string(), [](const ui::File_request& r) {
        EXPECT_EQ(r.default_name, "");
    });
    download::new_group_command(g.program);
    EXPECT_EQ(g.rig.ui.group_displays.at(0).caption, "Edit new group");
    EXPECT_EQ(g.program.group_members.size(), 200u);
    EXPECT_EQ(g.program.group_members.front(), "T10.utg");  // T0 and T1 removed; sorted as the list sorts
}

}  // namespace
