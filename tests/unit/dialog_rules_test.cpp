// The rules every dialog follows: the file a save dialog writes for a typed
// name, and the keyboard letters of a row of buttons.
#include "ui/dialog_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(Typed_save_path, a_name_lies_in_the_folder_shown_and_gets_the_extension_when_it_has_none) {
    struct Row {
        const char* typed;
        const char* extension;
        const char* path;
    };
    const Row rows[] = {{"gx", "ugp", "/data/tags/gx.ugp"}, {"gx.txt", "ugp", "/data/tags/gx.txt"},
                        {"gx.", "ugp", "/data/tags/gx."},   {"sub/gx", "utg", "/data/tags/sub/gx.utg"},
                        {"../gx", "utg", "/data/gx.utg"},   {"/other/gx", "utg", "/other/gx.utg"},
                        {"gx", "", "/data/tags/gx"},        {"", "ugp", ""}};
    for (const Row& row : rows)
        EXPECT_EQ(ui::typed_save_path("/data/tags", row.typed, row.extension), row.path) << row.typed;
}

TEST(With_mnemonics, each_button_of_a_row_gets_a_letter_no_other_button_has) {
    struct Row {
        std::vector<std::string> in, out;
    };
    const Row rows[] = {{{"Close", "Cancel"}, {"&Close", "C&ancel"}},
                        {{"Yes", "Yes to All", "No", "No to All"}, {"&Yes", "Y&es to All", "&No", "N&o to All"}},
                        {{"Cancel", "&Map"}, {"&Cancel", "&Map"}},
                        {{"Map", "&Map"}, {"M&ap", "&Map"}},
                        {{"OK", "Ok"}, {"&OK", "O&k"}},
                        {{"R&&D", "Print"}, {"R&&D", "&Print"}},
                        {{"12", "1"}, {"&12", "1"}}};
    for (const Row& row : rows) EXPECT_EQ(ui::with_mnemonics(row.in), row.out) << row.in.front();
}

}  // namespace
