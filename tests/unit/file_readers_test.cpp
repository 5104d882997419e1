// What every reader does with a file that is not a regular file or is too
// large, and the CSV list of tag make.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "download/report_extract.h"
#include "reports/report_files.h"
#include "shell/ini_file.h"
#include "support/test_files.h"
#include "tags/tag_file.h"
#include "ui/console/csv_list.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder, removed afterwards.
struct Temp_dir {
    std::string path = ::mkdtemp((fs::temp_directory_path() / "tq740-readers-XXXXXX").string().data());
    ~Temp_dir() { fs::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
};

// The reason each reader gives for refusing path; "" when it read it.
using Reader = std::function<std::string(const std::string& path)>;

const std::vector<std::pair<const char*, Reader>> readers = {
    // Group files are read by the same function, with their own limits.
    {"tag file", [](const std::string& path) {
         reports::Field_table record;
         std::string reason;
         return tags::read_tag_file(path, record, reason) == tags::File_read::read_failed ? reason : "";
     }},
    {"report file", [](const std::string& path) {
         std::vector<std::string> lines;
         std::string reason;
         const auto read = reports::read_text_lines(path, 200, lines, reason, reports::Text_rule::utf8);
         return read == reports::Read_outcome::read_failed ? reason : "";
     }},
    {"report to extract from", [](const std::string& path) {
         download::Open_report file;
         std::string reason;
         return !file.open(path, reason) && file.refused() ? reason : "";
     }},
    {"settings file: no key read, never replaced", [](const std::string& path) {
         shell::Ini_file ini(path);
         return ini.read_text("port", "none") == "none" && !ini.write_int("port", 2) ? std::string("refused") : "";
     }},
    {"CSV list", [](const std::string& path) {
         std::string data, reason;
         return shell::read_file_bounded(path, 100, data, reason) == shell::Bounded_read::open_failed ? reason : "";
     }},
};

TEST(File_readers, refuse_what_is_not_a_regular_file_without_waiting) {
    Temp_dir dir;
    const std::string fifo = dir / "fifo", zero = dir / "zero", folder = dir / "folder";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", zero);
    fs::create_directory(folder);
    const std::string not_regular = "Not a regular file (a device, a pipe or a folder): it was not read.";
    ::alarm(20);   // a reader waiting on the FIFO (or reading /dev/zero for ever) ends the run
    for (const auto& [name, read] : readers) {
        for (const std::string& path : {fifo, zero, folder}) {
            SCOPED_TRACE(std::string(name) + " " + path);
            const std::string reason = read(path);
            EXPECT_TRUE(reason == not_regular || reason == "refused") << reason;
        }
    }
    ::alarm(0);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(File_readers, read_up_to_their_byte_limit_and_refuse_one_byte_more) {
    Temp_dir dir;
    for (const std::size_t bytes : {2048, 2049}) {   // at the limit, one byte past it
        const bool refused = bytes > 2048;
        SCOPED_TRACE(bytes);
        const std::string path = dir / "file";
        std::ofstream(path, std::ios::binary) << std::string(bytes - 1, 'x') << '\n';

        std::vector<std::string> lines;
        std::string reason;
        EXPECT_EQ(reports::read_text_lines(path, 0, lines, reason, reports::Text_rule::ascii, 2048),
                  refused ? reports::Read_outcome::too_large : reports::Read_outcome::ok);
        EXPECT_EQ(lines.size(), refused ? 0u : 1u);
        if (refused) EXPECT_EQ(reason, "The file is larger than 2 KB: it was not read.");

        std::string data;
        EXPECT_EQ(shell::read_file_bounded(path, 2048, data, reason),
                  refused ? shell::Bounded_read::too_large : shell::Bounded_read::ok);
        EXPECT_EQ(data.size(), refused ? 0u : bytes);

        // The settings file, at its own limit: past it, no key is read and
        // nothing is written over what could not be read.
        const std::string settings = "[main]\nport=5\n";
        const std::string padded = settings + std::string(shell::max_settings_bytes + bytes - 2048 - settings.size(), ';');
        std::ofstream(path, std::ios::binary | std::ios::trunc) << padded;
        shell::Ini_file ini(path);
        EXPECT_EQ(ini.read_int("port", 1), refused ? 1 : 5);
        EXPECT_EQ(ini.write_int("format", 0), !refused);
        if (refused) EXPECT_EQ(test::file_bytes(path), padded);
    }
}

// ---- The CSV list of tag make ----

TEST(Csv_list, reads_rows_as_spreadsheets_write_them_and_names_each_bad_one) {
    using Row = ui::console::Csv_row;   // number, fields, error
    struct Csv_case {
        const char* name;
        std::string text;
        std::vector<std::string> heading;
        std::vector<Row> rows;
        std::string error;   // the list refused as a whole
    };
    const std::string control = "column 'id' holds a control character (a NUL, tab or line break), which no tag "
                                "field can hold";
    const std::vector<Csv_case> cases = {
        {"a byte-order mark is skipped", "\xEF\xBB\xBFid,input\nA,Milliamp\n", {"id", "input"},
         {Row{2, {"A", "Milliamp"}, ""}}, ""},
        {"CR LF rows, the last without a line break", "id,x\r\nA,1\r\nB,2", {"id", "x"},
         {Row{2, {"A", "1"}, ""}, Row{3, {"B", "2"}, ""}}, ""},
        {"quoted commas and quotes; blank rows left out but counted", "id,x\n\n\"A,\"\"B\"\"\",\n", {"id", "x"},
         {Row{3, {"A,\"B\"", ""}, ""}}, ""},
        {"a quoted line break stays in its row", "id,x\n\"A\nB\",1\nC,2\n", {"id", "x"},
         {Row{2, {"A\nB", "1"}, control}, Row{3, {"C", "2"}, ""}}, ""},
        {"a NUL in a field", std::string("id,x\nA\0B,1\n", 11), {"id", "x"},
         {Row{2, {std::string("A\0B", 3), "1"}, control}}, ""},
        {"one field short, one too many", "id,x\nA\nB,1,2\n", {"id", "x"},
         {Row{2, {"A"}, "1 fields for 2 columns"}, Row{3, {"B", "1", "2"}, "3 fields for 2 columns"}}, ""},
        {"text after a closing quote", "id\n\"A\"B\n", {"id"},
         {Row{2, {"A"}, "field 1 has text after its closing quote"}}, ""},
        {"a column named twice", "id,x,id\n", {}, {}, "column 3 'id' repeats column 1"},
        {"a heading with text after a closing quote", "\"id\"x\nA\n", {}, {},
         "row 1: field 1 has text after its closing quote"},
        {"a quoted field never closed", "id\nA\n\"B\n", {}, {}, "row 3: a quoted field is never closed"},
        {"no heading", "\xEF\xBB\xBF", {}, {}, "no heading row"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        const auto list = ui::console::read_csv_list(c.text, error);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(list.has_value(), c.error.empty());
        if (!list) continue;
        EXPECT_EQ(list->heading, c.heading);
        EXPECT_EQ(list->rows, c.rows);
    }
}

}  // namespace
