// The settings file: the INI conventions and the start-up values and checks.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "shell/ini_file.h"
#include "shell/settings.h"
#include "support/test_files.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed afterwards.
class Temp_dir {
public:
    Temp_dir() {
        std::string pattern = (fs::temp_directory_path() / "tq740-settings-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Temp_dir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void write_all(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

// ---- The INI layer ----

class Ini_test : public ::testing::Test {
protected:
    Temp_dir dir;
    std::string path = dir / "test.ini";
    shell::Ini_file ini{path};
};

TEST_F(Ini_test, absent_file_or_key_yields_the_default) {
    EXPECT_EQ(ini.read_int("port", -1), -1);
    EXPECT_EQ(ini.read_text("company", "none"), "none");
    write_all(path, "[main]\nformat=0\n");
    EXPECT_EQ(ini.read_int("port", 7), 7);
    EXPECT_EQ(ini.read_text("company", "x"), "x");
    EXPECT_EQ(ini.read_int("format", 1), 0);
}

TEST_F(Ini_test, integer_is_the_decimal_number_at_the_start_of_the_value) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"12", 12}, {"12abc", 12}, {"  5  ", 5}, {"-3", -3}, {"+4", 4}, {"abc", 0}, {"", 0},
        {"0x10", 0}, {"007", 7}, {"3.9", 3}, {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [value, expected] : cases) {
        write_all(path, "[main]\nport=" + value + "\n");
        EXPECT_EQ(ini.read_int("port", -1), expected) << "value \"" << value << "\"";
    }
}

TEST_F(Ini_test, text_is_the_whole_value_trimmed) {
    write_all(path, "[main]\ncompany =  Acme, Inc. = best; \"quoted\"  \n");
    EXPECT_EQ(ini.read_text("company", ""), "Acme, Inc. = best; \"quoted\"");
}

TEST_F(Ini_test, section_and_key_match_regardless_of_case_and_spaces) {
    write_all(path, "[ MAIN ]\r\n  Font_Size  =  12\r\n");
    EXPECT_EQ(ini.read_int("font_size", 0), 12);
}

TEST_F(Ini_test, keys_of_other_sections_are_not_read) {
    write_all(path, "port=4\n[other]\nport=5\n[main]\nformat=0\n[more]\nport=6\n");
    EXPECT_EQ(ini.read_int("port", -1), -1);
}

TEST_F(Ini_test, writing_creates_file_and_section) {
    EXPECT_TRUE(ini.write_int("port", 3));
    EXPECT_EQ(test::file_bytes(path), "[main]\nport=3\n");
    EXPECT_EQ(ini.read_int("port", 1), 3);
}

TEST_F(Ini_test, writing_replaces_in_place_and_keeps_every_other_line) {
    write_all(path, "; settings\n[other]\nport=9\n\n[Main]\nPORT = 2\n; note\nformat=1\n\n[tail]\nx=1\n");
    EXPECT_TRUE(ini.write_int("port", 5));
    EXPECT_TRUE(ini.write_text("company", "Acme"));
    EXPECT_EQ(test::file_bytes(path),
              "; settings\n[other]\nport=9\n\n[Main]\nport=5\n; note\nformat=1\ncompany=Acme\n\n[tail]\nx=1\n");
}

TEST_F(Ini_test, writing_adds_the_section_after_other_sections) {
    write_all(path, "[other]\nx=1\n");
    EXPECT_TRUE(ini.write_text("company", ""));
    EXPECT_EQ(test::file_bytes(path), "[other]\nx=1\n[main]\ncompany=\n");
    EXPECT_EQ(ini.read_text("company", "default"), "");
}

// The calibration records keep their settings in section [records] of the
// same file: every write of [main] leaves that section as it was, wherever
// it stands, and the records read theirs back.
TEST_F(Ini_test, writing_main_keeps_the_records_section_as_it_was) {
    const std::string records = "[records]\n; where the records live\ndatabase = /srv/q a/records.sqlite \nrecord_uploads=0\n";
    const std::pair<std::string, std::string> rows[] = {
        {records, records + "[main]\nport=5\ncompany=Acme\n"},
        {records + "[main]\nport=2\n", records + "[main]\nport=5\ncompany=Acme\n"},
        {"[main]\nport=2\n\n" + records, "[main]\nport=5\ncompany=Acme\n\n" + records},
        {"[Main]\nport=2\n" + records + "[main]\nformat=0\n",
         "[Main]\nport=5\n" + records + "[main]\nformat=0\ncompany=Acme\n"},
    };
    for (const auto& [before, after] : rows) {
        write_all(path, before);
        EXPECT_TRUE(ini.write_int("port", 5));
        EXPECT_TRUE(ini.write_text("company", "Acme"));
        EXPECT_EQ(test::file_bytes(path), after) << before;
        const shell::Ini_file section(path, "records");
        EXPECT_EQ(section.read_text("database", ""), "/srv/q a/records.sqlite") << before;
        EXPECT_EQ(section.read_int("record_uploads", 1), 0) << before;
    }
}

TEST_F(Ini_test, crlf_files_stay_crlf) {
    write_all(path, "[main]\r\nport=2\r\n");
    EXPECT_TRUE(ini.write_int("font_size", 9));
    EXPECT_EQ(test::file_bytes(path), "[main]\r\nport=2\r\nfont_size=9\r\n");
}

TEST_F(Ini_test, failed_write_reports_false_and_leaves_nothing_behind) {
    shell::Ini_file nowhere(dir / "missing/folder/test.ini");
    EXPECT_FALSE(nowhere.write_int("port", 1));
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(Ini_test, atomic_write_leaves_no_temporary_file) {
    std::string error;
    ASSERT_EQ(shell::write_file_atomically(path, "one\n", error), shell::Write_outcome::ok) << error;
    ASSERT_EQ(shell::write_file_atomically(path, "two\n", error), shell::Write_outcome::ok) << error;
    EXPECT_EQ(test::file_bytes(path), "two\n");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 1);
}

// Under a file size limit (ulimit -f) a write past it must fail and be
// reported, not end the program.  Runs in a child process: the limit and the
// signal disposition stay out of the test runner.
TEST_F(Ini_test, write_beyond_the_file_size_limit_fails_instead_of_killing) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);  // as a program starts, whatever the runner's parent ignores
        shell::ignore_file_size_signal();
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::string reason;
        const auto outcome = shell::write_file_atomically(path, std::string(100000, 'x'), reason);
        const bool reported = outcome == shell::Write_outcome::write_failed && reason == std::strerror(EFBIG);
        ::_exit(reported && !fs::exists(path) ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// ---- Start-up settings ----

class Settings_test : public ::testing::Test {
protected:
    Temp_dir dir;
    shell::Data_folders folders{dir / "Documents/NORVATQ740", dir / "config/NORVATQ740"};
    shell::Window_rect created{100, 50, 800, 600};  // left, top, width, height
    std::string path = dir / "settings.ini";
    shell::Ini_file ini{path};
};

TEST_F(Settings_test, first_run_writes_the_eleven_keys_in_order) {
    shell::Program_settings s = shell::load_settings(ini, folders, created);
    const std::string docs = folders.documents;
    EXPECT_EQ(test::file_bytes(path), "[main]\nport=1\ncompany=\ndirectory=" + docs + "\ntag_config_directory=" + docs +
                                  "\nformat=1\nwindow_mode=0\nwindow_top=50\nwindow_left=100\nwindow_height=600\n"
                                  "window_width=800\nfont_size=9\n");
    EXPECT_EQ(s.port, 1);
    EXPECT_EQ(s.company, "");
    EXPECT_EQ(s.report_directory, docs);
    EXPECT_EQ(s.tag_config_directory, docs);
    EXPECT_EQ(s.format, 1);
    EXPECT_EQ(s.window_mode, 0);
    EXPECT_EQ(s.window.left, 100);
    EXPECT_EQ(s.window.top, 50);
    EXPECT_EQ(s.window.width, 800);
    EXPECT_EQ(s.window.height, 600);
    EXPECT_EQ(s.font_size, 9);
}

TEST_F(Settings_test, port_alone_rewrites_only_the_font_size) {
    write_all(path, "[main]\nport=3\n");
    shell::Program_settings s = shell::load_settings(ini, folders, created);
    EXPECT_EQ(test::file_bytes(path), "[main]\nport=3\nfont_size=9\n");
    EXPECT_EQ(s.port, 3);
    EXPECT_EQ(s.report_directory, "");
    EXPECT_EQ(s.tag_config_directory, "");
    EXPECT_EQ(s.format, 1);
    EXPECT_EQ(s.window_mode, 0);
    EXPECT_EQ(s.window.top, 50);
    EXPECT_EQ(s.window.width, 800);
}

TEST_F(Settings_test, port_outside_one_to_eight_becomes_one_in_memory_and_file) {
    for (const char* value : {"0", "9", "100"}) {
        write_all(path, std::string("[main]\nport=") + value + "\nfont_size=9\n");
        EXPECT_EQ(shell::load_settings(ini, folders, created).port, 1) << value;
        EXPECT_EQ(test::file_bytes(path), "[main]\nport=1\nfont_size=9\n") << value;
    }
    for (int port = 1; port <= 8; ++port) {
        write_all(path, "[main]\nport=" + std::to_string(port) + "\nfont_size=9\n");
        EXPECT_EQ(shell::load_settings(ini, folders, created).port, port);
    }
}

// Only an absent port means a first run: a negative one is corrected like
// any other out of range, and the rest of the file is kept.
TEST_F(Settings_test, negative_port_is_corrected_and_keeps_the_other_settings) {
    for (const char* value : {"-1", "-2", "-2147483648", "-"}) {
        const std::string rest = "company=M\xC3\xBCller\ndirectory=/r\nformat=0\nwindow_top=7\nfont_size=12\n";
        write_all(path, std::string("[main]\nport=") + value + "\n" + rest);
        shell::Program_settings s = shell::load_settings(ini, folders, created);
        EXPECT_EQ(s.port, 1) << value;
        EXPECT_EQ(s.company, "M\xC3\xBCller") << value;
        EXPECT_EQ(s.report_directory, "/r") << value;
        EXPECT_EQ(s.format, 0) << value;
        EXPECT_EQ(s.window.top, 7) << value;
        EXPECT_EQ(s.font_size, 12) << value;
        EXPECT_EQ(test::file_bytes(path), "[main]\nport=1\n" + rest) << value;
    }
}

TEST_F(Settings_test, font_size_outside_the_offered_sizes_becomes_nine) {
    const std::vector<std::pair<int, int>> cases = {{8, 8},   {9, 9},   {10, 10}, {11, 11}, {12, 12}, {13, 9},
                                                    {14, 14}, {15, 9},  {16, 16}, {0, 9},   {7, 9},   {-8, 9}};
    for (const auto& [stored, expected] : cases) {
        write_all(path, "[main]\nport=2\nfont_size=" + std::to_string(stored) + "\n");
        EXPECT_EQ(shell::load_settings(ini, folders, created).font_size, expected) << stored;
        EXPECT_EQ(ini.read_int("font_size", -1), expected) << stored;
    }
}

TEST_F(Settings_test, long_company_is_cut_in_memory_only) {
    const std::string company(70, 'C');
    write_all(path, "[main]\nport=2\ncompany=" + company + "\nfont_size=9\n");
    EXPECT_EQ(shell::load_settings(ini, folders, created).company, std::string(50, 'C'));
    EXPECT_EQ(ini.read_text("company", ""), company);
}

TEST_F(Settings_test, long_directories_are_cut_to_260) {
    const std::string folder = "/" + std::string(300, 'd');
    write_all(path, "[main]\nport=2\ndirectory=" + folder + "\ntag_config_directory=" + folder + "\n");
    shell::Program_settings s = shell::load_settings(ini, folders, created);
    EXPECT_EQ(s.report_directory, folder.substr(0, 260));
    EXPECT_EQ(s.tag_config_directory, folder.substr(0, 260));
}

TEST_F(Settings_test, other_values_are_taken_as_they_are) {
    write_all(path,
              "[main]\nport=4\nformat=7\nwindow_mode=1\nwindow_top=-3000\nwindow_left=9000\n"
              "window_height=20\nwindow_width=30\nfont_size=16\n");
    const std::string before = test::file_bytes(path);
    shell::Program_settings s = shell::load_settings(ini, folders, created);
    EXPECT_EQ(s.format, 7);
    EXPECT_EQ(s.window_mode, 1);
    EXPECT_EQ(s.window.top, -3000);
    EXPECT_EQ(s.window.left, 9000);
    EXPECT_EQ(s.window.height, 20);
    EXPECT_EQ(s.window.width, 30);
    EXPECT_EQ(test::file_bytes(path), before);  // nothing corrected, nothing written
}

// ---- Folders ----

TEST(Data_folders, live_under_the_user_folders) {
    Temp_dir dir;
    const char* old_config = std::getenv("XDG_CONFIG_HOME");
    const char* old_home = std::getenv("HOME");
    const std::string saved_config = old_config ? old_config : "";
    const std::string saved_home = old_home ? old_home : "";
    ::setenv("HOME", dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    fs::create_directories(dir / "config");
    write_all(dir / "config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/MyDocs\"\n");

    shell::Data_folders folders;
    ASSERT_TRUE(shell::find_data_folders(folders));
    EXPECT_EQ(folders.app_data, dir / "config/NORVATQ740");
    EXPECT_EQ(folders.documents, dir / "MyDocs/NORVATQ740");
    EXPECT_EQ(shell::ini_path(folders), dir / "config/NORVATQ740/NORVATQ740.ini");

    shell::ensure_folder(folders.documents);
    shell::ensure_folder(folders.app_data);
    shell::ensure_folder(folders.app_data);  // already there: nothing happens
    EXPECT_TRUE(fs::is_directory(folders.documents));
    EXPECT_TRUE(fs::is_directory(folders.app_data));

    if (old_config) ::setenv("XDG_CONFIG_HOME", saved_config.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    if (old_home) ::setenv("HOME", saved_home.c_str(), 1);
    else ::unsetenv("HOME");
}

}  // namespace
