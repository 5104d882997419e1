// The program's settings: where they live, their start-up values and checks.
#pragma once

#include <string>

#include "shell/ini_file.h"

namespace shell {

// The window rectangle in normal state, in screen pixels, without the frame
// the window manager adds: the same rectangle places the window again at the
// next start.
struct Window_rect {
    int left = 0, top = 0, width = 0, height = 0;
};

struct Program_settings {
    int port = 1;                       // 1..8
    std::string company;                // at most 50 characters in memory
    std::string report_directory;       // key "directory"
    std::string tag_config_directory;   // key "tag_config_directory"
    int format = 1;                     // 0 = CSV, anything else = TEXT
    int window_mode = 0;                // 1 = maximised
    Window_rect window;
    int font_size = 9;                  // printing font size in points
};

constexpr size_t MAX_COMPANY = 50;
constexpr size_t MAX_PATH_TEXT = 260;
constexpr const char* DATA_SUBFOLDER = "NORVATQ740";
constexpr const char* INI_NAME = "NORVATQ740.ini";

struct Data_folders {
    std::string documents;   // <user documents>/NORVATQ740
    std::string app_data;    // <user configuration folder>/NORVATQ740
    std::string data = {};   // <user data folder>/NORVATQ740: the calibration records ("": none known)
};

// Finds the two per-user folders (without creating them); false when the
// platform cannot name them.
bool find_data_folders(Data_folders& folders);

// Creates a data folder when it does not exist yet (a failure is ignored here:
// later file operations in it report their own errors).
void ensure_folder(const std::string& path);

// The settings file inside the application data folder.
std::string ini_path(const Data_folders& folders);

// Start-up: writes the first-run values when the file has no `port`, then
// reads every key with its default and applies the checks, writing back a
// corrected `port` or `font_size`.  created is the window rectangle as created.
Program_settings load_settings(Ini_file& ini, const Data_folders& folders, const Window_rect& created);

// Cuts text to at most max_chars characters without splitting a UTF-8 sequence.
std::string cut_characters(const std::string& text, size_t max_chars);

// The settings as the command-line program uses them: read with the same
// defaults and checks, but nothing is ever written.
Program_settings read_settings(const Ini_file& ini);

// True for the printing font sizes the program offers.
bool valid_font_size(int size);

}  // namespace shell
