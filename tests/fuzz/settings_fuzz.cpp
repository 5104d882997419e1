// Fuzz target: the settings file as start-up reads it.
//
// The first input byte holds options, the rest is the file:
//   bit 0  read it the way the command-line program does (nothing written);
//   else   start-up: first-run values when `port` is absent, then every key
//          with its checks, corrections written back; with bit 1 a second
//          start-up over the file the first one left must change nothing;
//   bit 2  then the company name is written as the Company Name command does
//          (with the first line of the file as its text) and read back.
// Checked besides: the settings in memory keep their bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "shell/settings.h"
#include "support/fuzz_rig.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Characters of UTF-8 text: the bytes that do not continue a sequence.
size_t characters(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) != 0x80;
    return count;
}

void check_bounds(const shell::Program_settings& s) {
    require(s.port >= 1 && s.port <= 8);
    require(shell::valid_font_size(s.font_size));
    require(characters(s.company) <= shell::MAX_COMPANY);
    require(characters(s.report_directory) <= shell::MAX_PATH_TEXT);
    require(characters(s.tag_config_directory) <= shell::MAX_PATH_TEXT);
}

bool same(const shell::Program_settings& a, const shell::Program_settings& b) {
    return a.port == b.port && a.company == b.company && a.report_directory == b.report_directory &&
           a.tag_config_directory == b.tag_config_directory && a.format == b.format &&
           a.window_mode == b.window_mode && a.window.left == b.window.left && a.window.top == b.window.top &&
           a.window.width == b.window.width && a.window.height == b.window.height && a.font_size == b.font_size;
}

// A company name as the dialog can give it: one line of printable text,
// without the spaces at its ends that the file's reader trims.
std::string company_from(std::string_view text) {
    std::string name(text.substr(0, text.find_first_of("\r\n")));
    std::erase_if(name, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    name = shell::cut_characters(name, shell::MAX_COMPANY);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzz::as_text(data, size);
    const std::uint8_t options = fuzz::take_options(text);
    const std::string path = fuzz::write_scratch_file("NORVATQ740.ini", text);
    shell::Ini_file ini(path);

    if (options & 1) {
        check_bounds(shell::read_settings(ini));
    } else {
        const shell::Data_folders folders{fuzz::scratch_folder() + "/Documents", fuzz::scratch_folder() + "/config"};
        const shell::Window_rect created{10, 20, 700, 500};
        const shell::Program_settings first = shell::load_settings(ini, folders, created);
        check_bounds(first);
        if (options & 2) {
            const std::string left = file_text(path);
            const shell::Program_settings second = shell::load_settings(ini, folders, created);
            require(same(first, second) && file_text(path) == left);
        }
    }

    if (options & 4) {
        const std::string company = company_from(text);
        ini.write_text("company", company);
        require(ini.read_text("company", "<absent>") == company);
    }
    return 0;
}
