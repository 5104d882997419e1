// Tag configuration files: the writer byte for byte, the reader's rules
// against real files, and the save of a file that cannot be written.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "support/scripted_ui.h"
#include "tags/tag_file.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path EXAMPLES = fs::path(__FILE__).parent_path() / "../../examples/tags";

// The worked example of the file format, every line ended by CR LF.
std::string worked_example() {
    std::string fields[47] = {"TQ740-SW tag configuration file v2.00", " 1 TT-101", " 2 Maker", " 3 SN1234",
                              " 4 Tech", " 5 21C", " 6 40%", " 7 ", " 8 Model-7", " 9 Thermocouple", "10 DegC",
                              "11 K", "12 CJC ON", "13 ", "14 ", "15 ", "16 Milliamp", "17 mA", "18 ", "19 ",
                              "20 0.500", "21 0.0000", "22 100.0000", "23 4.0000", "24 20.0000", "25 5",
                              "26 0.0000", "27 25.0000", "28 50.0000", "29 75.0000", "30 100.0000"};
    std::string text;
    for (int i = 0; i < 47; ++i) text += (i <= 30 ? fields[i] : std::to_string(i) + " ") + "\r\n";
    return text;
}

void write_file(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}

struct Files {
    test::Scripted_ui ui;
    reports::Field_table record;
    std::string folder = "/start";
    std::string stored_folder;
    std::string current_name = "OLD.utg";
    tags::Tag_file_context context{ui,           record, folder, [this](const std::string& f) { stored_folder = f; },
                                   current_name, {}};
};

TEST(Tag_file, the_worked_example_is_written_byte_for_byte_and_read_back) {
    Files f;
    f.ui.expect_file(EXAMPLES.string() + "/TT-101.utg");
    ASSERT_TRUE(tags::load_tag_file(f.context, "Select the tag to download"));
    EXPECT_EQ(tags::tag_file_text(f.record), worked_example());
    EXPECT_EQ(test::file_bytes(EXAMPLES / "TT-101.utg"), worked_example());
    EXPECT_EQ(f.current_name, "TT-101.utg");
    EXPECT_EQ(f.stored_folder, f.folder);
    EXPECT_EQ(f.ui.file_requests.at(0).initial_folder, "/start");
    EXPECT_EQ(f.ui.file_requests.at(0).filter, "Tag files (*.utg)|*.utg||");
}

TEST(Tag_file, the_reader_keeps_the_rules_of_the_format) {
    struct Case {
        const char* name;
        std::function<std::string(std::string)> change;
        bool accepted;
        int field = 1;                 // a field to look at afterwards
        std::string value = "TT-101";  // its text
    };
    auto replace = [](std::string from, std::string to) {
        return [=](std::string s) { return s.replace(s.find(from), from.size(), to); };
    };
    const Case cases[] = {
        {"CR LF", [](std::string s) { return s; }, true},
        {"LF only", replace("\r\n 1", "\n 1"), true},
        {"CR CR LF", replace("\r\n 1", "\r\r\n 1"), true},
        {"header with a trailing space", replace("v2.00", "v2.00 "), false, 1, ""},
        {"header in other case", replace("v2.00", "V2.00"), false, 1, ""},
        {"line 46 without LF", [](std::string s) { return s.substr(0, s.size() - 1); }, false},
        {"a blank line after line 46", [](std::string s) { return s + "\r\n"; }, false},
        {"a tab and a degree sign are dropped", replace(" 5 21C", " 5 2\t1\xB0" "C"), true, 5, "21C"},
        {"line 1 without its leading space", replace(" 1 TT-101", "1 TT-101"), false, 1, ""},
        {"line 5 with a leading zero", replace(" 5 21C", "05 21C"), true, 5, "21C"},
        {"spaces after the separating one are kept", replace(" 1 TT-101", " 1    A"), true, 1, "   A"},
        {"lines out of sequence: fields before the fault stay", replace(" 6 40%", " 7 40%"), false, 5, "21C"},
        {"a long value is cut to the slot", replace(" 7 ", " 7 " + std::string(800, 'x')), true, 7,
         std::string(99, 'x')},
        {"a file of exactly the size limit",
         [](std::string s) { return s + std::string(tags::max_tag_file_bytes - s.size(), '\r'); }, true},
        {"a file one byte past the size limit",
         [](std::string s) { return s + std::string(tags::max_tag_file_bytes + 1 - s.size(), '\r'); }, false, 1, ""},
        {"a file far larger than a tag file", [](std::string s) { return s + std::string(2 << 20, '\r'); }, false,
         1, ""},
    };
    QTemporaryDir temp;
    const std::string path = temp.path().toStdString() + "/case.utg";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Files f;
        write_file(path, c.change(worked_example()));
        f.ui.expect_file(path);
        if (!c.accepted) f.ui.expect_error(res::str(res::IDS_INVALID_TAG_FILE));
        EXPECT_EQ(tags::load_tag_file(f.context, "t"), c.accepted);
        EXPECT_EQ(f.record.field_text(c.field), c.value);
    }
}

TEST(Tag_file, a_file_that_cannot_be_opened_still_names_the_file_and_folder) {
    Files f;
    f.ui.expect_file("/nonexistent/dir/X-1.utg");
    f.ui.expect_error("File Open Error");
    EXPECT_FALSE(tags::load_tag_file(f.context, "t"));
    EXPECT_EQ(f.current_name, "X-1.utg");
    EXPECT_EQ(f.stored_folder, "/nonexistent/dir");
}

TEST(Tag_file, save_proposes_the_loaded_name_and_a_failed_save_names_the_file) {
    QTemporaryDir temp;
    const std::string folder = temp.path().toStdString();
    Files f;
    f.current_name = "PUMP-7";
    tags::Tag_editor_values values = tags::new_tag_defaults();
    values.tag_id = "PUMP-7";
    f.ui.expect_file(folder + "/PUMP-7.utg", [](const ui::File_request& r) {
        EXPECT_EQ(r.default_name, "PUMP-7.utg");
        EXPECT_TRUE(r.ask_replace);
    });
    ASSERT_TRUE(tags::save_tag_file(f.context, values));
    EXPECT_EQ(test::file_bytes(folder + "/PUMP-7.utg"), tags::tag_file_text(f.record));
    EXPECT_EQ(f.stored_folder, folder);
    EXPECT_EQ(f.current_name, "PUMP-7");

    // A folder that does not exist: the message names the file and the reason.
    f.ui.expect_file(folder + "/gone/PUMP-7.utg");
    f.ui.expect_error(
        res::format(res::IDS_TAG_FILE_CREATE_ERROR, folder + "/gone/PUMP-7.utg", "No such file or directory"));
    EXPECT_TRUE(tags::save_tag_file(f.context, values));
}

}  // namespace
