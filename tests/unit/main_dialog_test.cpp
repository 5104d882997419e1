// The main window's logic: start-up settings, the configuration commands,
// menu tracking, the menu lock, exit and the window placement.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "shell/layout.h"
#include "shell/main_dialog.h"
#include "support/fake_clock.h"
#include "support/scripted_port.h"
#include "support/scripted_ui.h"
#include "support/test_files.h"

namespace {

using shell::Window_state;

void write_file(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// A main window over a scripted ui, with its data folders in a temporary folder.
struct Rig {
    QTemporaryDir dir;
    test::Fake_clock clock;
    test::Scripted_port port{clock};
    test::Scripted_ui ui;
    shell::Main_dialog dialog{ui, port, clock};
    shell::Data_folders folders{dir.path().toStdString() + "/Documents/NORVATQ740",
                                dir.path().toStdString() + "/config/NORVATQ740"};
    const shell::Window_rect created{50, 60, 700, 400};

    std::string ini_path() const { return folders.app_data + "/NORVATQ740.ini"; }
    void preset_ini(const std::string& text) {
        shell::ensure_folder(folders.app_data);
        write_file(ini_path(), text);
    }
    bool start() {
        const bool ok = dialog.initialize(folders, created);
        dialog.finish_initializing();
        return ok;
    }
};

TEST(Start_up, first_run_writes_the_eleven_keys_in_order) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    const std::string docs = rig.folders.documents;
    EXPECT_EQ(test::file_bytes(rig.ini_path()),
              "[main]\nport=1\ncompany=\ndirectory=" + docs + "\ntag_config_directory=" + docs +
                  "\nformat=1\nwindow_mode=0\nwindow_top=60\nwindow_left=50\nwindow_height=400\n"
                  "window_width=700\nfont_size=9\n");
    EXPECT_EQ(rig.ui.status(), "Configured to upload reports in TEXT format via port COM1");
    EXPECT_TRUE(rig.ui.text_format_checked);
    EXPECT_EQ(rig.ui.port_checked, 1);
    EXPECT_TRUE(QDir(QString::fromStdString(docs)).exists());
}

TEST(Start_up, corrects_port_and_font_size_in_memory_and_file) {
    struct Case {
        const char* ini;
        int port, font_size;
        const char* file_after;
    };
    const Case cases[] = {
        {"[main]\nport=0\nfont_size=13\n", 1, 9, "[main]\nport=1\nfont_size=9\n"},
        {"[main]\nport=9\nfont_size=15\n", 1, 9, "[main]\nport=1\nfont_size=9\n"},
        {"[main]\nport=8\nfont_size=16\n", 8, 16, "[main]\nport=8\nfont_size=16\n"},
        // Only font_size is missing: it is read as 0 and written as 9, nothing else is added.
        {"[main]\nport=3\n", 3, 9, "[main]\nport=3\nfont_size=9\n"},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.preset_ini(c.ini);
        ASSERT_TRUE(rig.start());
        EXPECT_EQ(rig.dialog.settings().port, c.port) << c.ini;
        EXPECT_EQ(rig.dialog.settings().font_size, c.font_size) << c.ini;
        EXPECT_EQ(test::file_bytes(rig.ini_path()), c.file_after) << c.ini;
    }
}

TEST(Start_up, keeps_the_first_50_characters_of_a_long_company_name) {
    Rig rig;
    const std::string seventy(70, 'x');
    rig.preset_ini("[main]\nport=2\ncompany=" + seventy + "\nfont_size=9\n");
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(rig.dialog.settings().company, std::string(50, 'x'));
    EXPECT_NE(test::file_bytes(rig.ini_path()).find(seventy), std::string::npos);  // the file keeps all 70
}

TEST(Start_up, unknown_folders_are_fatal) {
    Rig rig;
    rig.ui.expect_message(res::str(res::IDS_FATAL_NO_DATA_FOLDER), ui::Caption::fatal_error, ui::Buttons::ok);
    EXPECT_FALSE(rig.dialog.initialize(std::nullopt, rig.created));
    EXPECT_TRUE(rig.dialog.finished());
}

TEST(Commands, format_and_port_update_status_marks_file_and_tag_list) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    rig.ui.tag_list = {" 3 U PUMP-1"};
    rig.dialog.run_command(res::ID_UPLOAD_CSV_FORMAT);
    rig.dialog.run_command(res::ID_USE_COM3);
    EXPECT_EQ(rig.ui.status(), "Configured to upload reports in CSV format via port COM3");
    rig.dialog.run_command(res::ID_USE_COM5);
    EXPECT_EQ(rig.ui.status(), "Configured to upload reports in CSV format via port COM5");
    EXPECT_FALSE(rig.ui.text_format_checked);
    EXPECT_EQ(rig.ui.port_checked, 5);
    EXPECT_TRUE(rig.ui.tag_list.empty());
    const std::string ini = test::file_bytes(rig.ini_path());
    EXPECT_NE(ini.find("port=5\n"), std::string::npos);
    EXPECT_NE(ini.find("format=0\n"), std::string::npos);

    rig.dialog.run_command(res::ID_UPLOAD_TEXT_FORMAT);
    EXPECT_EQ(rig.ui.status(), "Configured to upload reports in TEXT format via port COM5");
    EXPECT_NE(test::file_bytes(rig.ini_path()).find("format=1\n"), std::string::npos);
}

TEST(Commands, company_name_is_cut_to_50_characters_and_cancel_changes_nothing) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    const std::string sixty = std::string(48, 'A') + "\xC3\xA9\xC3\xA9" + std::string(10, 'B');  // é twice
    rig.ui.expect_company_name(sixty);
    rig.dialog.run_command(res::ID_COMPANY_NAME);
    const std::string fifty = std::string(48, 'A') + "\xC3\xA9\xC3\xA9";  // characters, not bytes
    EXPECT_EQ(rig.dialog.settings().company, fifty);
    EXPECT_NE(test::file_bytes(rig.ini_path()).find("company=" + fifty + "\n"), std::string::npos);

    rig.ui.expect_company_name(std::nullopt);
    rig.dialog.run_command(res::ID_COMPANY_NAME);
    EXPECT_EQ(rig.dialog.settings().company, fifty);
}

TEST(Menus, prompts_while_browsing_and_the_configured_text_when_closed) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    rig.dialog.menu_item_highlighted(res::ID_ERASE_ALL);
    EXPECT_EQ(rig.ui.status(), "Erase all tags from the calibrator");
    rig.dialog.menu_item_highlighted(0);  // a pop-up menu has no prompt
    EXPECT_EQ(rig.ui.status(), "Erase all tags from the calibrator");
    rig.dialog.menu_closed();
    EXPECT_EQ(rig.ui.status(), "Configured to upload reports in TEXT format via port COM1");
}

TEST(Menus, a_menu_opened_while_busy_only_informs) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    rig.dialog.set_busy(true);
    EXPECT_FALSE(rig.ui.menus_enabled);
    rig.ui.expect_information(res::str(res::IDS_MENU_NOT_AVAILABLE));
    rig.dialog.menu_opened_while_busy();
    const auto statuses = rig.ui.statuses.size();
    rig.dialog.menu_closed();
    EXPECT_EQ(rig.ui.statuses.size(), statuses);  // no refresh while busy
    rig.dialog.set_busy(false);
    EXPECT_TRUE(rig.ui.menus_enabled);
}

TEST(Exit, guards_unsaved_reports) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    rig.dialog.set_reports_unsaved(true);
    rig.ui.expect_question(res::str(res::IDS_REPORTS_UNSAVED), ui::Answer::no);
    EXPECT_FALSE(rig.dialog.request_exit());
    EXPECT_FALSE(rig.dialog.finished());
    EXPECT_EQ(rig.ui.help_closes, 0);

    rig.ui.expect_question(res::str(res::IDS_REPORTS_UNSAVED), ui::Answer::yes);
    rig.dialog.run_command(res::ID_FILE_EXIT);
    EXPECT_TRUE(rig.dialog.finished());
    EXPECT_EQ(rig.ui.help_closes, 1);
}

TEST(Window_placement, saved_only_in_normal_state_after_start_up) {
    Rig rig;
    ASSERT_TRUE(rig.dialog.initialize(rig.folders, rig.created));
    const std::string after_start = test::file_bytes(rig.ini_path());
    rig.dialog.window_sized(Window_state::normal, {1, 2, 3, 4});  // still initializing
    rig.dialog.window_moved(Window_state::normal, {1, 2, 3, 4});
    EXPECT_EQ(test::file_bytes(rig.ini_path()), after_start);
    rig.dialog.finish_initializing();

    rig.dialog.window_sized(Window_state::minimised, {1, 2, 3, 4});
    rig.dialog.window_moved(Window_state::minimised, {1, 2, 3, 4});
    EXPECT_EQ(test::file_bytes(rig.ini_path()), after_start);

    rig.dialog.window_sized(Window_state::maximised, {0, 0, 1920, 1080});
    std::string ini = test::file_bytes(rig.ini_path());
    EXPECT_NE(ini.find("window_mode=1\n"), std::string::npos);
    EXPECT_NE(ini.find("window_width=700\n"), std::string::npos);  // the normal rectangle stays

    rig.dialog.window_sized(Window_state::normal, {10, 20, 800, 500});
    rig.dialog.window_moved(Window_state::normal, {10, 20, 800, 500});
    ini = test::file_bytes(rig.ini_path());
    for (const char* line : {"window_mode=0\n", "window_top=20\n", "window_left=10\n", "window_height=500\n",
                             "window_width=800\n"})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
}

TEST(Layout, lists_and_status_line_follow_the_client_size) {
    const auto created = shell::created_layout({8, 16});
    const auto& m = created.measures;
    struct Case {
        int dw, dh;
    };
    for (const Case c : {Case{0, 0}, Case{200, 100}, Case{-50, -30}}) {
        const auto out = shell::layout_controls(m, m.client_width + c.dw, m.client_height + c.dh);
        EXPECT_EQ(out.tag_list, (shell::Rect{m.tag_list.x, m.tag_list.y, m.tag_list.width, m.tag_list.height + c.dh}));
        EXPECT_EQ(out.reports_list, (shell::Rect{m.reports_list.x, m.reports_list.y, m.reports_list.width + c.dw,
                                                 m.reports_list.height + c.dh}));
        EXPECT_EQ(out.status_line, (shell::Rect{m.tag_list.x, m.status_line.y + c.dh, m.status_line.width,
                                                m.status_line.height}));
    }
}

// The placement read from the settings file, fitted into a 1920 x 1050 area
// below a 30-pixel panel, with a 200 x 150 minimum.
TEST(Layout, a_stored_placement_is_fitted_into_the_screen) {
    const shell::Rect screen{0, 30, 1920, 1050};
    const int big = 2147483647, small = -2147483647 - 1;
    struct Case {
        const char* what;
        shell::Rect stored, expected;
    };
    const Case cases[] = {
        {"fits: kept", {100, 80, 700, 500}, {100, 80, 700, 500}},
        {"touches every edge: kept", {0, 30, 1920, 1050}, {0, 30, 1920, 1050}},
        {"far right: moved in", {9000, 80, 700, 500}, {1220, 80, 700, 500}},
        {"a sliver off the left: moved in", {-690, 80, 700, 500}, {0, 80, 700, 500}},
        {"above the panel: moved down", {100, -3000, 700, 500}, {100, 30, 700, 500}},
        {"larger than the screen: shrunk and placed", {-10, 0, 4000, 3000}, {0, 30, 1920, 1050}},
        {"integer limits", {big, big, big, big}, {0, 30, 1920, 1050}},
        {"lowest integers", {small, small, small, small}, {0, 30, 200, 150}},
        {"edge plus size overflows", {big - 10, 80, 700, 500}, {1220, 80, 700, 500}},
        {"too small: minimum size", {100, 80, 20, 0}, {100, 80, 200, 150}},
    };
    for (const auto& c : cases) EXPECT_EQ(shell::fit_to_screen(c.stored, screen, 200, 150), c.expected) << c.what;

    // A screen smaller than the minimum: the window takes the whole screen.
    EXPECT_EQ(shell::fit_to_screen({5, 5, 700, 500}, {0, 0, 160, 100}, 200, 150), (shell::Rect{0, 0, 160, 100}));
    // A second screen left of the first (negative coordinates) is a screen like any other.
    EXPECT_EQ(shell::fit_to_screen({-1500, 100, 700, 500}, {-1280, 0, 1280, 1024}, 200, 150),
              (shell::Rect{-1280, 100, 700, 500}));
}

}  // namespace

namespace {

TEST(Commands, serial_adapters_shows_the_links_of_the_program_folder) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    std::filesystem::create_symlink("/dev/pts/tq740-gone", rig.folders.app_data + "/COM2");
    rig.ui.expect_serial_adapters([](const ui::Adapters_view& view, const auto&) {
        ASSERT_EQ(view.port_lines.size(), 8u);
        EXPECT_EQ(view.port_lines[1], "COM2: /dev/pts/tq740-gone (set by the simulator or by hand) - not present");
    });
    rig.dialog.run_command(res::ID_SERIAL_ADAPTERS);
}

TEST(Commands, nothing_but_help_runs_while_a_calibrator_command_waits) {
    Rig rig;
    ASSERT_TRUE(rig.start());
    // The calibrator stays silent; during the wait the user picks other commands.
    rig.port.expect_silence("*IDN?", 4);
    rig.ui.expect_error(res::str(res::IDS_NO_RESPONSE));
    std::vector<int> picked = {res::ID_ERASE_ALL, res::ID_USE_COM4, res::ID_UPLOAD_CSV_FORMAT, res::ID_FILE_OPEN,
                               res::ID_SERIAL_ADAPTERS, res::ID_HELP_ABOUT};
    rig.ui.on_pump = [&] {
        if (!picked.empty()) {
            rig.dialog.run_command(picked.front());
            picked.erase(picked.begin());
        }
        return false;
    };
    rig.dialog.run_command(res::ID_UPLOAD_TAG_IDS);
    EXPECT_EQ(rig.ui.beeps, 5);
    EXPECT_EQ(rig.ui.abouts, 1);
    EXPECT_EQ(rig.dialog.settings().port, 1);
    EXPECT_EQ(rig.dialog.settings().format, 1);
    EXPECT_FALSE(rig.dialog.calibrator_operation_active());
}

}  // namespace
