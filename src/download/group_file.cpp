#include "download/group_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "download/tag_download.h"
#include "reports/report_files.h"
#include "resources/download_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"

namespace download {

namespace fs = std::filesystem;
using tags::File_read;

namespace {

constexpr std::string_view member_extension = ".utg";

// The reader keeps one character more than a member may hold, so that an
// over-long name is refused rather than cut into the name of another file.
constexpr std::size_t group_line_limit = max_member_chars + 1;

bool printable_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool regular_file(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

File_read read_group_file(const std::string& path, std::vector<std::string>& members, std::string& reason) {
    return tags::read_checked_lines(path, group_line_limit, max_group_file_bytes, reason,
                                    [&members](const std::vector<std::string>& lines) {
                                        return read_group_lines(lines, members);
                                    });
}

ui::File_request group_file_request(bool save, const std::string& title) {
    return tags::folder_file_request(save, title, res::IDS_GROUP_FILTER);
}

}  // namespace

bool valid_member_name(std::string_view name) {
    return name.size() >= member_extension.size() && name.size() <= max_member_chars &&
           name.ends_with(member_extension) && name.find('/') == std::string_view::npos && name != "." &&
           name != "..";
}

std::string group_file_text(const std::vector<std::string>& members) {
    std::string data(group_file_header);
    data += "\r\n";
    for (const auto& member : members) {
        data += member;
        data += "\r\n";
    }
    return data;
}

bool read_group_lines(const std::vector<std::string>& lines, std::vector<std::string>& members) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            if (lines[i] != group_file_header) return false;
            continue;
        }
        if (i > max_group_members || !valid_member_name(lines[i])) return false;
        members.push_back(lines[i]);
    }
    return true;
}

bool member_order(std::string_view a, std::string_view b) {
    const auto folded_less = [](char x, char y) { return res::ascii_upper(x) < res::ascii_upper(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded_less)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded_less)) return false;
    return a < b;
}

std::optional<std::string> member_name_of_file(std::string_view file_name) {
    if (file_name.size() < member_extension.size() || !printable_ascii(file_name)) return std::nullopt;
    const std::size_t stem = file_name.size() - member_extension.size();
    if (!res::equal_ignoring_case(file_name.substr(stem), member_extension)) return std::nullopt;
    std::string name(file_name.substr(0, stem));
    name += member_extension;
    if (!valid_member_name(name)) return std::nullopt;
    return name;
}

std::vector<std::string> tag_files_in(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!regular_file(it->path())) continue;
        if (auto name = member_name_of_file(it->path().filename().string())) names.push_back(std::move(*name));
    }
    std::sort(names.begin(), names.end(), member_order);
    return names;
}

std::optional<std::string> find_member(const std::string& folder, const std::string& name) {
    if (!valid_member_name(name)) return std::nullopt;
    const fs::path exact = fs::path(folder) / name;
    if (regular_file(exact)) return exact.string();
    std::optional<std::string> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string file_name = it->path().filename().string();
        if (!res::equal_ignoring_case(file_name, name) || !regular_file(it->path())) continue;
        if (!found || file_name < fs::path(*found).filename().string()) found = it->path().string();
    }
    return found;
}

bool load_group_file(Group_file_context& c, const std::string& title) {
    ui::File_request request = group_file_request(false, title);
    request.must_exist = true;
    const auto chosen = tags::pick_in_tag_folder(c.files, request);
    if (!chosen) return false;
    c.current_group_file_name = tags::file_name_of(*chosen);
    c.group_members.clear();
    return tags::read_with_status(
        c.files, *chosen, [&](std::string& reason) { return read_group_file(*chosen, c.group_members, reason); },
        res::IDS_INVALID_GROUP_FILE);
}

bool save_group_file(Group_file_context& c, const std::vector<std::string>& members) {
    c.group_members = members;
    ui::File_request request = group_file_request(true, res::str(res::IDS_SAVE_GROUP_TITLE));
    request.default_name = c.current_group_file_name;
    if (!request.default_name.empty() && request.default_name.find('.') == std::string::npos)
        request.default_name += ".ugp";
    request.default_extension = "ugp";
    request.ask_replace = true;
    const auto chosen = tags::pick_in_tag_folder(c.files, request);
    if (!chosen) return false;
    tags::write_with_status(c.files, *chosen, group_file_text(c.group_members));
    return true;
}

Group_file_context group_file_context(shell::Program& program) {
    return {tag_file_context(program), program.group_members, program.current_group_file_name};
}

}  // namespace download
