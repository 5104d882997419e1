#include "tags/tag_file.h"

#include "reports/report_files.h"
#include "resources/reports_strings.h"
#include "resources/report_files_strings.h"
#include "resources/strings.h"
#include "resources/tags_strings.h"
#include "shell/ini_file.h"

namespace tags {

namespace f = reports::fields;

namespace {

constexpr std::size_t tag_file_lines = 1 + f::last_tag_field;

void show_error(ui::Ui& ui, const std::string& text) { ui.message(text, ui::Caption::error, ui::Buttons::ok); }

void refresh_status(Tag_file_context& c) {
    if (c.refresh_status_line) c.refresh_status_line();
}

// The folder of a confirmed dialog becomes the tag folder, in memory and in
// the settings file, before the file itself is touched.
void remember_tag_folder(Tag_file_context& c, const std::string& path) {
    c.tag_folder = reports::folder_of(path);
    if (c.store_tag_folder) c.store_tag_folder(c.tag_folder);
}

ui::File_request tag_file_request(bool save, const std::string& title) {
    return folder_file_request(save, title, res::IDS_TAG_FILTER);
}

// Field line n: the number right-aligned in two characters and a space.
bool field_line_valid(const std::string& line, int n) {
    return line.size() >= 3 && line[2] == ' ' && reports::read_decimal_int(line) == n;
}

}  // namespace

std::string file_name_of(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string tag_file_text(const reports::Field_table& record) {
    std::string data(tag_file_header);
    data += "\r\n";
    for (int n = 1; n <= f::last_tag_field; ++n) {
        if (n < 10) data += ' ';
        data += std::to_string(n);
        data += ' ';
        data += record.field_text(n);
        data += "\r\n";
    }
    return data;
}

bool read_tag_lines(const std::vector<std::string>& lines, reports::Field_table& record) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (i >= tag_file_lines) return false;
        if (i == 0) {
            if (line != tag_file_header) return false;
            continue;
        }
        if (!field_line_valid(line, static_cast<int>(i))) return false;
        record.store_field(static_cast<int>(i), std::string_view(line).substr(3));
    }
    return lines.size() == tag_file_lines;
}

ui::File_request folder_file_request(bool save, const std::string& title, int filter_text) {
    ui::File_request request;
    request.save = save;
    request.title = title;
    request.filter = res::str(filter_text);
    return request;
}

File_read read_checked_lines(const std::string& path, std::size_t line_limit, long long max_bytes,
                             std::string& reason, const std::function<bool(const std::vector<std::string>&)>& check) {
    std::vector<std::string> lines;
    switch (reports::read_text_lines(path, line_limit, lines, reason, reports::Text_rule::ascii,
                                     static_cast<std::uint64_t>(max_bytes))) {
    case reports::Read_outcome::ok: break;
    case reports::Read_outcome::open_failed: return File_read::open_failed;
    case reports::Read_outcome::read_failed: return File_read::read_failed;
    case reports::Read_outcome::too_large: return File_read::invalid;   // far larger than any such file
    }
    return check(lines) ? File_read::ok : File_read::invalid;
}

File_read read_tag_file(const std::string& path, reports::Field_table& record, std::string& reason) {
    return read_checked_lines(path, tag_line_limit, max_tag_file_bytes, reason,
                              [&record](const std::vector<std::string>& lines) { return read_tag_lines(lines, record); });
}

void show_read_failure(ui::Ui& ui, File_read outcome, const std::string& path, const std::string& reason,
                       int invalid_text) {
    switch (outcome) {
    case File_read::ok: break;
    case File_read::open_failed: show_error(ui, res::str(res::IDS_FILE_OPEN_ERROR)); break;
    case File_read::read_failed: show_error(ui, res::format(res::IDS_FILE_READ_ERROR, path, reason)); break;
    case File_read::invalid: show_error(ui, res::str(invalid_text)); break;
    }
}

std::optional<std::string> pick_in_tag_folder(Tag_file_context& c, ui::File_request request) {
    request.initial_folder = c.tag_folder;
    auto chosen = c.ui.pick_file(request);
    if (!chosen || chosen->empty()) return std::nullopt;
    remember_tag_folder(c, *chosen);
    return chosen;
}

bool read_with_status(Tag_file_context& c, const std::string& path,
                      const std::function<File_read(std::string& reason)>& read, int invalid_text) {
    c.ui.set_status(res::str(res::IDS_READING_FILE));
    c.ui.set_wait_cursor(true);
    std::string reason;
    const File_read outcome = read(reason);
    c.ui.set_wait_cursor(false);
    show_read_failure(c.ui, outcome, path, reason, invalid_text);
    refresh_status(c);
    return outcome == File_read::ok;
}

void write_with_status(Tag_file_context& c, const std::string& path, const std::string& data) {
    c.ui.set_status(res::str(res::IDS_WRITING_FILE));
    c.ui.set_wait_cursor(true);
    std::string reason;
    const shell::Write_outcome outcome = shell::write_file_atomically(path, data, reason);
    c.ui.set_wait_cursor(false);
    refresh_status(c);
    switch (outcome) {
    case shell::Write_outcome::ok: break;
    case shell::Write_outcome::open_failed:
        show_error(c.ui, res::format(res::IDS_TAG_FILE_CREATE_ERROR, path, reason));
        break;
    case shell::Write_outcome::write_failed:
        show_error(c.ui, res::format(res::IDS_FILE_WRITE_ERROR, path, reason));
        break;
    }
}

bool save_tag_file(Tag_file_context& c, const Tag_editor_values& values) {
    // The record holds the edited values even when the dialog is cancelled.
    editor_to_record(values, c.record);

    ui::File_request request = tag_file_request(true, res::str(res::IDS_SAVE_TAG_TITLE));
    request.default_name = c.current_tag_file_name;
    if (!request.default_name.empty() && request.default_name.find('.') == std::string::npos)
        request.default_name += ".utg";
    request.default_extension = "utg";
    request.ask_replace = true;
    const auto chosen = pick_in_tag_folder(c, request);
    if (!chosen) return false;
    write_with_status(c, *chosen, tag_file_text(c.record));
    return true;
}

bool load_tag_file(Tag_file_context& c, const std::string& title) {
    ui::File_request request = tag_file_request(false, title);
    request.must_exist = true;
    const auto chosen = pick_in_tag_folder(c, request);
    if (!chosen) return false;
    c.current_tag_file_name = file_name_of(*chosen);
    return read_with_status(
        c, *chosen, [&](std::string& reason) { return read_tag_file(*chosen, c.record, reason); },
        res::IDS_INVALID_TAG_FILE);
}

}  // namespace tags
