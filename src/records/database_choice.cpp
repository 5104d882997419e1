#include "records/database_choice.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "records/database_location.h"
#include "records/record_store.h"
#include "records/records_settings.h"
#include "resources/database_dialog_strings.h"
#include "resources/records_server_strings.h"
#include "resources/strings.h"
#include "shell/ini_file.h"

namespace records {

namespace {

namespace fs = std::filesystem;

// The text without the blanks typed around it.
std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A line break would end the settings file's line and start another key.
bool has_control_character(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7f;
    });
}

// "~/records.sqlite" in the home folder; anything else as it is.
std::string with_home(const std::string& path) {
    const char* home = std::getenv("HOME");
    if (!home || *home != '/') return path;
    if (path == "~") return home;
    if (path.rfind("~/", 0) == 0) return std::string(home) + path.substr(1);
    return path;
}

std::string connected_line(long long count) {
    if (count == 1) return res::str(res::IDS_DB_TEST_CONNECTED_ONE);
    return res::format(res::IDS_DB_TEST_CONNECTED, grouped_count(count));
}

// The folder of a whole path, or the nearest one above it that exists.
fs::path nearest_existing_folder(const fs::path& file) {
    std::error_code ec;
    fs::path folder = file.parent_path();
    while (folder.has_relative_path() && !fs::exists(folder, ec)) folder = folder.parent_path();
    return folder;
}

// Test Connection on a file that is not there yet: the first recording
// makes it, with its folders, from the nearest folder that exists.
std::string new_file_line(const std::string& path) {
    std::error_code ec;
    const fs::path folder = nearest_existing_folder(path);
    int error = 0;
    if (!fs::is_directory(folder, ec))
        error = ENOTDIR;
    else if (::access(folder.c_str(), W_OK | X_OK) != 0)
        error = errno;
    if (error != 0) return res::format(res::IDS_DB_TEST_CANNOT_MAKE, path, folder.string(), std::strerror(error));
    return res::format(res::IDS_DB_TEST_NEW_FILE, path);
}

// Test Connection on a file that exists: read-only, so that the test never
// changes it (not even bringing an older schema up to date).  Recording
// writes the file and, beside it, its journal: both must be writable.
std::string file_line(const std::string& path) {
    Record_store store(path, {.read_only = true});
    if (!store.open()) return store.error();
    const long long count = store.record_count();
    if (!store.error().empty()) return store.error();
    for (const std::string& target : {path, fs::path(path).parent_path().string()})
        if (::access(target.c_str(), W_OK) != 0)
            return res::format(res::IDS_DB_TEST_READ_ONLY, target, std::strerror(errno));
    return connected_line(count);
}

// Test Connection on a server: opened for writing, as the first recording
// would open it, so that a login that may read but not make tables or write
// is found now.
std::string server_line(const std::string& address) {
    Record_store store(address);
    if (!store.open()) return store.error();
    const long long count = store.record_count();
    if (!store.error().empty()) return store.error();
    return connected_line(count);
}

}  // namespace

std::string grouped_count(long long count) {
    std::string digits = std::to_string(count < 0 ? -count : count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<std::size_t>(at), ",");
    return count < 0 ? "-" + digits : digits;
}

Database_choice::Database_choice(ui::Ui& ui, std::string ini_path, std::string default_file)
    : ui_(ui), ini_path_(std::move(ini_path)), default_file_(std::move(default_file)) {
    current_ = read_records_settings(ini_path_).database;
    if (current_.empty()) {
        kind_ = Kind::default_file;
    } else if (is_server_address(current_)) {
        kind_ = Kind::server;
        address_ = without_password(current_);
    } else {
        kind_ = Kind::other_file;
        file_ = current_;
    }
}

std::string Database_choice::current_line() const {
    if (current_.empty()) return res::format(res::IDS_DB_CURRENT_DEFAULT, default_file_);
    return without_password(current_);
}

void Database_choice::choose(Kind kind) {
    if (kind == kind_) return;
    kind_ = kind;
    changed();
}

void Database_choice::set_file(const std::string& path) {
    if (path == file_) return;
    file_ = path;
    changed();
}

void Database_choice::set_address(const std::string& text) {
    if (text == address_) return;
    address_ = text;
    changed();
}

void Database_choice::browse() {
    const std::string typed = with_home(trimmed(file_));
    const fs::path start = typed.rfind('/', 0) == 0 ? fs::path(typed) : fs::path(default_file_);
    ui::File_request request;
    request.save = true;  // an existing file, or a new one made at the first recording
    request.title = res::str(res::IDS_DB_PICK_TITLE);
    request.filter = res::str(res::IDS_DB_PICK_FILTER);
    request.initial_folder = nearest_existing_folder(start).string();
    request.default_name = start.filename().string();
    request.default_extension = "sqlite";
    request.ask_replace = false;
    const auto picked = ui_.pick_file(request);
    if (!picked) return;
    file_ = *picked;
    kind_ = Kind::other_file;
    changed();
}

std::string Database_choice::setting() const {
    switch (kind_) {
    case Kind::default_file: return {};
    case Kind::other_file: return with_home(trimmed(file_));
    case Kind::server: return trimmed(address_);
    }
    return {};
}

std::string Database_choice::location() const { return kind_ == Kind::default_file ? default_file_ : setting(); }

std::string Database_choice::problem() const {
    if (kind_ == Kind::default_file) return {};
    const std::string text = setting();
    if (has_control_character(text)) return res::str(res::IDS_DB_CONTROL_CHARACTER);
    if (kind_ == Kind::server) {
        if (text.empty()) return res::str(res::IDS_DB_NO_ADDRESS);
        if (!is_server_address(text))
            return res::format(res::IDS_BAD_ADDRESS, text, res::str(res::IDS_DB_ADDRESS_NO_SCHEME));
        const Location_result parsed = parse_location(text);
        return parsed.ok ? std::string() : parsed.error;
    }
    if (text.empty()) return res::str(res::IDS_DB_NO_FILE);
    if (is_server_address(text)) return res::format(res::IDS_DB_FILE_IS_ADDRESS, without_password(text));
    if (text.front() != '/') return res::format(res::IDS_DB_FILE_NOT_WHOLE_PATH, trimmed(file_));
    std::error_code ec;
    if (text.back() == '/' || fs::is_directory(text, ec)) {
        std::string folder = text;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return res::format(res::IDS_DB_FILE_IS_FOLDER, text, folder == "/" ? "" : folder);
    }
    return {};
}

void Database_choice::test_connection(const std::function<void()>& shown_connecting) {
    if (const std::string why = problem(); !why.empty()) {
        result_ = why;
        return;
    }
    const std::string where = location();
    result_ = res::format(res::IDS_DB_CONNECTING, where);
    if (shown_connecting) shown_connecting();
    ui_.set_wait_cursor(true);
    std::error_code ec;
    if (kind_ == Kind::server)
        result_ = server_line(where);
    else if (fs::exists(where, ec))
        result_ = file_line(where);
    else
        result_ = new_file_line(where);
    ui_.set_wait_cursor(false);
}

bool Database_choice::save() {
    if (const std::string why = problem(); !why.empty()) {
        ui_.message(why, ui::Caption::error, ui::Buttons::ok);
        return false;
    }
    const std::string value = setting();
    shell::Ini_file ini(ini_path_, "records");
    if (!ini.write_text("database", value)) {
        const std::string in_use = current_.empty() ? default_file_ : without_password(current_);
        ui_.message(res::format(res::IDS_DB_SETTINGS_NOT_WRITTEN, ini_path_, in_use), ui::Caption::error,
                    ui::Buttons::ok);
        return false;
    }
    current_ = value;
    return true;
}

bool database_command(ui::Ui& ui, const std::string& ini_path, const std::string& data_folder) {
    Database_choice choice(ui, ini_path, database_path({}, data_folder));
    if (!ui.run_database_dialog(choice)) return false;
    ui.set_status(res::format(res::IDS_DB_SAVED, choice.current_line()));
    return true;
}

}  // namespace records
