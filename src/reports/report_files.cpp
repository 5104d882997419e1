#include "reports/report_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <set>
#include <system_error>

#include "reports/report_layout.h"
#include "resources/report_files_strings.h"
#include "resources/reports_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"
#include "shell/ini_file.h"

namespace reports {

namespace {

constexpr std::string_view tag_id_label = "Tag ID:";
// "Tag ID: " before a TEXT tag ID; "\"Tag ID:\",\"" before a CSV one.
constexpr std::size_t text_tag_id_offset = 8;
constexpr std::size_t csv_tag_id_offset = 11;

using res::starts_with_ignoring_case;

std::string stamp(int id, const std::tm& time, Report_format format) {
    return res::format(id, time.tm_year + 1900, time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min) +
           report_extension(format);
}

// A folder the picker returned, without trailing separators (the root stays "/").
std::string without_trailing_separators(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

void show_error(ui::Ui& ui, const std::string& text) {
    ui.message(text, ui::Caption::error, ui::Buttons::ok);
}

void refresh_status(Report_file_context& c) {
    if (c.refresh_status_line) c.refresh_status_line();
}

bool confirm_discard(Report_file_context& c) {
    if (c.confirm_discard_reports) return c.confirm_discard_reports();
    if (!c.reports.reports_unsaved) return true;
    return c.ui.message(res::str(res::IDS_REPORTS_UNSAVED), ui::Caption::confirmation,
                        ui::Buttons::yes_no_exclamation) == ui::Answer::yes;
}

std::tm time_now(Report_file_context& c) { return c.now ? c.now() : local_time_now(); }

// Remembers the folder of a confirmed dialog in `directory`, at once.
void remember_directory(Report_file_context& c, const std::string& folder) {
    c.report_directory = folder;
    if (c.store_directory) c.store_directory(folder);
}

// Shows a picker; nothing when it was cancelled (an empty answer counts as
// Cancel: it names no file and no folder).
std::optional<std::string> pick(Report_file_context& c, const ui::File_request& request) {
    auto chosen = c.ui.pick_file(request);
    if (!chosen || chosen->empty()) return std::nullopt;
    return chosen;
}

std::string write_error_text(const std::string& path, const std::string& reason) {
    return res::format(res::IDS_FILE_WRITE_ERROR, path, reason);
}

std::string system_reason(int error) { return std::generic_category().message(error); }

// path itself, or path with "_2", "_3", ... before its extension when one
// save has written that name already: two reports with the same tag ID (or
// the same name made from different IDs) must not replace each other.
std::string name_not_yet_written(const std::filesystem::path& path, const std::set<std::string>& written) {
    if (!written.count(path.string())) return path.string();
    for (int n = 2;; ++n) {
        std::filesystem::path candidate = path;
        candidate.replace_filename(path.stem().string() + "_" + std::to_string(n) + path.extension().string());
        if (!written.count(candidate.string())) return candidate.string();
    }
}

// Cuts a byte stream into lines by the reading rules: LF ends a line, the
// characters the rule allows are kept up to max_chars a line, every other
// byte is dropped.
class Line_splitter {
public:
    Line_splitter(std::size_t max_chars, Text_rule rule) : max_chars_(max_chars), rule_(rule) {}

    // Takes one byte; true when it was the LF that ended line().
    bool take(unsigned char byte) {
        if (byte == '\n') {
            sequence_.clear();
            return true;
        }
        if (!sequence_.empty()) {
            if (continues_sequence(byte)) {
                sequence_.push_back(static_cast<char>(byte));
                if (sequence_.size() == needed_) finish_sequence();
                return false;
            }
            sequence_.clear();  // broken sequence: dropped, the byte is looked at on its own
        }
        if (byte >= 0x20 && byte <= 0x7E) {
            append(std::string_view(reinterpret_cast<const char*>(&byte), 1));
        } else if (rule_ == Text_rule::utf8 && byte >= 0xC2 && byte <= 0xF4) {
            needed_ = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            sequence_.push_back(static_cast<char>(byte));
        }
        return false;
    }

    const std::string& line() const { return line_; }
    void next_line() {
        line_.clear();
        chars_ = 0;
    }

private:
    // The second byte of a sequence has narrower ranges after some lead bytes:
    // they rule out over-long forms, surrogates and code points past U+10FFFF.
    bool continues_sequence(unsigned char byte) const {
        unsigned char low = 0x80, high = 0xBF;
        if (sequence_.size() == 1) {
            switch (static_cast<unsigned char>(sequence_[0])) {
            case 0xE0: low = 0xA0; break;
            case 0xED: high = 0x9F; break;
            case 0xF0: low = 0x90; break;
            case 0xF4: high = 0x8F; break;
            default: break;
            }
        }
        return byte >= low && byte <= high;
    }
    void finish_sequence() {
        // U+0080..U+009F are control characters: dropped like the ASCII ones.
        const bool control = static_cast<unsigned char>(sequence_[0]) == 0xC2 &&
                             static_cast<unsigned char>(sequence_[1]) < 0xA0;
        if (!control) append(sequence_);
        sequence_.clear();
    }
    void append(std::string_view character) {
        if (max_chars_ != 0 && chars_ >= max_chars_) return;
        line_ += character;
        ++chars_;
    }

    std::size_t max_chars_;
    Text_rule rule_;
    std::string line_;
    std::size_t chars_ = 0;
    std::string sequence_;  // the UTF-8 sequence being collected
    std::size_t needed_ = 0;
};

}  // namespace

// ---- Names and lines ----

std::string report_extension(Report_format format) { return format == Report_format::csv ? "csv" : "txt"; }

std::string single_file_name(const std::tm& time, Report_format format) {
    return stamp(res::IDS_SINGLE_FILE_STAMP, time, format);
}

std::string separate_file_suffix(const std::tm& time, Report_format format) {
    return stamp(res::IDS_SEPARATE_FILE_STAMP, time, format);
}

Report_format format_from_file_name(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return Report_format::text;
    return name.substr(dot + 1) == "csv" ? Report_format::csv : Report_format::text;
}

std::string folder_of(std::string_view path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

bool is_report_separator(std::string_view line) { return line.substr(0, 6) == "------"; }

std::optional<std::string> report_tag_id(std::string_view line) {
    std::size_t offset;
    if (starts_with_ignoring_case(line, tag_id_label))
        offset = text_tag_id_offset;
    else if (!line.empty() && line[0] == '"' && starts_with_ignoring_case(line.substr(1), tag_id_label))
        offset = csv_tag_id_offset;
    else
        return std::nullopt;
    // A label line shorter than its label form has an empty tag ID.
    if (line.size() <= offset) return std::string();
    std::string_view id = line.substr(offset);
    if (offset == csv_tag_id_offset) return read_csv_value(id);
    return std::string(id.substr(0, id.find('"')));
}

bool safe_tag_id(std::string_view tag_id) {
    return !tag_id.empty() && tag_id != "." && tag_id != ".." && tag_id.find('/') == std::string_view::npos &&
           tag_id.find('\0') == std::string_view::npos;
}

std::string report_file_text(const Report_lines& lines, std::size_t begin, std::size_t end) {
    end = std::min(end, lines.size());
    std::string data;
    std::size_t size = 0;
    for (std::size_t i = begin; i < end; ++i) size += lines[i].size() + 2;
    data.reserve(size);
    for (std::size_t i = begin; i < end; ++i) {
        data += lines[i];
        data += "\r\n";
    }
    return data;
}

// ---- Files ----

std::string save_failure_text(Write_outcome outcome, const std::string& path, const std::string& reason) {
    // Without the path and the reason the user cannot tell a missing folder
    // from a read-only one, or which of several files failed.
    if (outcome == Write_outcome::open_failed)
        return res::str(res::IDS_FILE_OPEN_ERROR) + ": " + path + "\n" + reason;
    return write_error_text(path, reason);
}

namespace {

// How a read by blocks ended: stopped when a callback asked to stop,
// too_large when the file holds more than the reader's byte limit.
enum class Block_read { ok, open_failed, read_failed, stopped, too_large };

// Reads path block by block and cuts it into lines by splitter.  on_line gets
// each line; after_block, when given, the bytes read so far and the file's
// size (0 when unknown) after each block.  Either stops the reading by
// returning false.
// The same over a file already open, read from where it stands; the file
// stays open.  A file larger than max_bytes is refused before its first
// byte, and one that grows past it while it is read is refused there.
Block_read too_large(std::uint64_t max_bytes, std::string& reason) {
    reason = res::format(res::IDS_FILE_TOO_LARGE, static_cast<long long>(max_bytes / 1024));
    return Block_read::too_large;
}

Block_read read_open_lines_by_block(int fd, Line_splitter& splitter, std::uint64_t max_bytes, std::string& reason,
                                    const std::function<bool(const std::string&)>& on_line,
                                    const std::function<bool(std::uint64_t, std::uint64_t)>& after_block) {
    struct stat info {};
    const std::uint64_t size = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? info.st_size : 0;
    if (size > max_bytes) return too_large(max_bytes, reason);
    // The block size only sets how much is read at a time; the lines are the
    // same whatever it is.
    char block[65536];
    std::uint64_t done = 0;
    Block_read outcome = Block_read::ok;
    while (outcome == Block_read::ok) {
        ssize_t got = ::read(fd, block, sizeof block);
        if (got < 0) {
            if (errno == EINTR) continue;
            reason = system_reason(errno);
            outcome = Block_read::read_failed;
            break;
        }
        if (got == 0) break;
        if (done + static_cast<std::uint64_t>(got) > max_bytes) return too_large(max_bytes, reason);
        for (ssize_t i = 0; i < got && outcome == Block_read::ok; ++i) {
            if (!splitter.take(static_cast<unsigned char>(block[i]))) continue;
            if (!on_line(splitter.line())) outcome = Block_read::stopped;
            splitter.next_line();
        }
        done += static_cast<std::uint64_t>(got);
        if (outcome == Block_read::ok && after_block && !after_block(done, size)) outcome = Block_read::stopped;
    }
    return outcome;
}

Block_read read_lines_by_block(const std::string& path, Line_splitter& splitter, std::uint64_t max_bytes,
                               std::string& reason, const std::function<bool(const std::string&)>& on_line,
                               const std::function<bool(std::uint64_t, std::uint64_t)>& after_block) {
    bool refused = false;
    const int fd = shell::open_regular_file(path, reason, &refused);
    // A file that opened but is no regular file is named with its reason.
    if (fd < 0) return refused ? Block_read::read_failed : Block_read::open_failed;
    const Block_read outcome = read_open_lines_by_block(fd, splitter, max_bytes, reason, on_line, after_block);
    ::close(fd);
    return outcome;
}

// A stop asked for by a callback is still a successful read.
Read_outcome outcome_of(Block_read read) {
    switch (read) {
    case Block_read::open_failed: return Read_outcome::open_failed;
    case Block_read::read_failed: return Read_outcome::read_failed;
    case Block_read::too_large: return Read_outcome::too_large;
    case Block_read::ok:
    case Block_read::stopped: break;
    }
    return Read_outcome::ok;
}

std::int64_t steady_ms() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// How File > Open's reading ended.
enum class Open_end { ok, open_failed, read_failed, too_large, cancelled };

// Reads a report file into the Reports list in chunks (one per block), so
// that memory holds the list's compact lines and one block, not the file's
// lines twice.  A file past the size limits is refused as soon as that is
// known.  Once the reading has taken open_progress_after_ms, the cancel window
// shows the share read, the window's events are handled after each block,
// and Cancel (or a quit request) stops the reading.  Whatever ends the
// reading early, the list is emptied.
Open_end read_report_file_into_list(Report_file_context& c, const std::string& path, std::string& reason) {
    const auto now = [&c] { return c.now_ms ? c.now_ms() : steady_ms(); };
    const std::int64_t start = now();
    Open_end end = Open_end::ok;
    bool window = false, cancelled = false;
    int shown_percent = -1;
    std::vector<std::string> chunk;
    Line_splitter splitter(report_line_limit, Text_rule::utf8);

    auto on_line = [&](const std::string& line) {
        if (c.reports.lines().size() + chunk.size() >= report_file_max_lines) {
            end = Open_end::too_large;
            return false;
        }
        chunk.push_back(line);
        return true;
    };
    auto after_block = [&](std::uint64_t done, std::uint64_t size) {
        if (std::max(done, size) > report_file_max_bytes) {
            end = Open_end::too_large;
            return false;
        }
        c.reports.add_report_lines(std::move(chunk));
        chunk.clear();
        if (!window && now() - start >= open_progress_after_ms) {
            window = true;
            c.ui.set_menus_enabled(false);  // no other command while the window's events run
            c.ui.show_cancel_window(res::str(res::IDS_CANCEL_OPEN_CAPTION), [&cancelled] { cancelled = true; });
        }
        if (!window) return true;
        const int percent = size > 0 ? static_cast<int>(std::min(done, size) * 100 / size) : 0;
        if (percent != shown_percent) {
            shown_percent = percent;
            c.ui.set_cancel_progress(percent, 100, res::format(res::IDS_READING_FILE_PROGRESS, percent));
        }
        if (c.ui.pump_events()) cancelled = true;
        return !cancelled;
    };

    c.reports.start_report_fill();
    const Block_read read = read_lines_by_block(path, splitter, report_file_max_bytes, reason, on_line, after_block);
    if (read == Block_read::ok) c.reports.add_report_lines(std::move(chunk));
    c.reports.finish_report_fill();
    if (window) {
        c.ui.close_cancel_window();
        c.ui.set_menus_enabled(true);
    }
    if (read == Block_read::open_failed) end = Open_end::open_failed;
    if (read == Block_read::read_failed) end = Open_end::read_failed;
    if (read == Block_read::too_large) end = Open_end::too_large;
    if (cancelled) end = Open_end::cancelled;
    if (end != Open_end::ok) c.reports.clear();
    return end;
}

}  // namespace

Read_outcome read_text_lines(const std::string& path, std::size_t max_line_chars, std::vector<std::string>& lines,
                             std::string& reason, Text_rule rule, std::uint64_t max_bytes) {
    lines.clear();
    Line_splitter splitter(max_line_chars, rule);
    const Block_read read = read_lines_by_block(
        path, splitter, max_bytes, reason,
        [&lines](const std::string& line) {
            lines.push_back(line);
            return true;
        },
        {});
    if (read == Block_read::ok) return Read_outcome::ok;
    lines.clear();
    return outcome_of(read);
}

Read_outcome read_open_text_lines(int fd, std::size_t max_line_chars, Text_rule rule, std::uint64_t max_bytes,
                                  std::string& reason, const std::function<bool(const std::string&)>& on_line) {
    if (::lseek(fd, 0, SEEK_SET) < 0) {
        reason = system_reason(errno);
        return Read_outcome::read_failed;
    }
    Line_splitter splitter(max_line_chars, rule);
    return outcome_of(read_open_lines_by_block(fd, splitter, max_bytes, reason, on_line, {}));
}

Separate_save_result save_separate_reports(const Report_lines& lines, const std::string& folder,
                                           Report_format format, const std::tm& time, Separate_layout layout,
                                           const std::function<void(const std::string&)>& show_error) {
    namespace fs = std::filesystem;
    Separate_save_result result;
    const std::string extension = report_extension(format);
    const std::string suffix = separate_file_suffix(time, format);
    const fs::path base(folder);

    auto fail = [&](const std::string& message) {
        result.all_written = false;
        if (show_error) show_error(message);
    };
    auto file_open_error = [&](const std::string& tag_id) {
        fail(res::str(res::IDS_FILE_OPEN_ERROR) + ": " + tag_id + "." + extension);
    };

    // The report being collected: its file (nothing while its lines are
    // passed over) and its bytes, written when the report ends.
    std::optional<std::string> open_path;
    std::set<std::string> written_names;
    std::string data;
    auto close_file = [&] {
        if (!open_path) return;
        std::string reason;
        const Write_outcome outcome = write_report_file(*open_path, data, reason);
        switch (outcome) {
        case Write_outcome::ok:
            result.written.push_back(*open_path);
            written_names.insert(*open_path);
            break;
        case Write_outcome::open_failed:
        case Write_outcome::write_failed: fail(save_failure_text(outcome, *open_path, reason)); break;
        }
        open_path.reset();
        data.clear();
    };

    std::size_t start = 0;  // first line of the report being looked at
    bool looking = true;
    std::size_t m = 0;
    while (m < lines.size()) {
        const std::string_view line = lines[m];
        if (looking) {
            std::optional<std::string> tag_id = report_tag_id(line);
            if (!tag_id) {
                ++m;
                continue;
            }
            looking = false;
            ++result.reports_found;
            // Go back to the report's first line (the company line, when
            // there is one), but never past the "Tag ID:" line itself.
            const std::size_t restart = std::min(start, m);
            m = restart;
            if (!safe_tag_id(*tag_id)) {
                if (layout == Separate_layout::tag_directories)
                    fail(res::str(res::IDS_CREATE_DIRECTORY_ERROR) + ": " + *tag_id);
                else
                    file_open_error(*tag_id);
                continue;
            }
            fs::path target_folder = base;
            if (layout == Separate_layout::tag_directories) {
                target_folder = base / *tag_id;
                std::error_code ec;
                if (!fs::is_directory(target_folder, ec)) fs::create_directory(target_folder, ec);
                if (!fs::is_directory(target_folder, ec)) {
                    fail(res::str(res::IDS_CREATE_DIRECTORY_ERROR) + ": " + *tag_id);
                    continue;
                }
            }
            open_path = name_not_yet_written(target_folder / (*tag_id + suffix), written_names);
            continue;
        }
        if (is_report_separator(line)) {
            close_file();
            start = m + 2;  // the line after a separator is the layouts' empty line
            looking = true;
        } else if (open_path) {
            data += line;
            data += "\r\n";
        }
        ++m;
    }
    close_file();
    // A list without any "Tag ID:" line holds no report that could be saved.
    if (result.reports_found == 0) result.all_written = false;
    return result;
}

std::tm local_time_now() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

// ---- The menu commands ----

void open_report_file(Report_file_context& c) {
    if (!confirm_discard(c)) return;

    if (c.clear_tag_list)
        c.clear_tag_list();
    else
        c.ui.set_tag_list({});
    c.reports.clear();
    c.reports.set_reports_caption(Reports_caption::plain);
    c.reports.reports_unsaved = false;

    ui::File_request request;
    request.save = false;
    request.title = res::str(res::IDS_OPEN_REPORT_TITLE);
    request.filter = res::str(res::IDS_FILTER_OPEN_REPORTS);
    request.initial_folder = c.report_directory;
    request.must_exist = true;
    auto chosen = pick(c, request);
    if (!chosen) return;
    remember_directory(c, folder_of(*chosen));

    std::string reason;
    c.ui.set_status(res::str(res::IDS_READING_FILE));
    c.ui.set_wait_cursor(true);
    const Open_end end = read_report_file_into_list(c, *chosen, reason);
    if (end != Open_end::ok) {
        c.ui.set_wait_cursor(false);
        refresh_status(c);
        switch (end) {
        case Open_end::open_failed: show_error(c.ui, res::str(res::IDS_FILE_OPEN_ERROR)); break;
        case Open_end::read_failed: show_error(c.ui, res::format(res::IDS_FILE_READ_ERROR, *chosen, reason)); break;
        case Open_end::too_large:
            show_error(c.ui, res::format(res::IDS_REPORT_FILE_TOO_LARGE, *chosen, report_file_max_lines,
                                         report_file_max_bytes / (1024 * 1024)));
            break;
        case Open_end::cancelled:
        case Open_end::ok: break;
        }
        return;
    }
    refresh_status(c);
    c.reports.displayed_format = format_from_file_name(*chosen);
    c.reports.set_reports_caption(Reports_caption::read_from_file);
    c.ui.set_wait_cursor(false);
}

bool open_report_lines(Report_file_context& c, const std::vector<std::string>& lines, Report_format format) {
    if (!confirm_discard(c)) return false;
    if (c.clear_tag_list)
        c.clear_tag_list();
    else
        c.ui.set_tag_list({});
    c.reports.clear();
    c.reports.reports_unsaved = false;
    c.reports.start_report_fill();
    c.reports.add_report_lines(lines);
    c.reports.finish_report_fill();
    c.reports.displayed_format = format;
    c.reports.set_reports_caption(Reports_caption::read_from_file);
    refresh_status(c);
    return true;
}

void save_reports_single(Report_file_context& c) {
    if (c.reports.empty()) {
        show_error(c.ui, res::str(res::IDS_NO_REPORTS));
        return;
    }
    const Report_format format = c.reports.displayed_format;
    ui::File_request request;
    request.save = true;
    request.title = res::str(res::IDS_SAVE_SINGLE_TITLE);
    request.filter = res::str(format == Report_format::csv ? res::IDS_FILTER_CSV : res::IDS_FILTER_TXT);
    request.initial_folder = c.report_directory;
    request.default_name = single_file_name(time_now(c), format);
    request.default_extension = report_extension(format);
    request.ask_replace = true;
    auto chosen = pick(c, request);
    if (!chosen) return;
    remember_directory(c, folder_of(*chosen));

    c.ui.set_status(res::str(res::IDS_WRITING_FILE));
    c.ui.set_wait_cursor(true);
    std::string reason;
    const Write_outcome outcome =
        write_report_file(*chosen, report_file_text(c.reports.lines(), 0, c.reports.lines().size()), reason);
    c.ui.set_wait_cursor(false);
    refresh_status(c);
    switch (outcome) {
    case Write_outcome::ok: c.reports.reports_unsaved = false; break;
    case Write_outcome::open_failed:
    case Write_outcome::write_failed: show_error(c.ui, save_failure_text(outcome, *chosen, reason)); break;
    }
}

namespace {

void save_separately(Report_file_context& c, Separate_layout layout) {
    // Reports are found by their "Tag ID:" lines: without one there is
    // nothing to name a file after.
    const auto& lines = c.reports.lines();
    if (std::none_of(lines.begin(), lines.end(), [](std::string_view l) { return report_tag_id(l).has_value(); })) {
        show_error(c.ui, res::str(res::IDS_NO_REPORTS));
        return;
    }
    ui::File_request request;
    request.save = true;
    request.title = res::str(layout == Separate_layout::files ? res::IDS_SAVE_SEPARATE_TITLE
                                                              : res::IDS_SAVE_DIRECTORIES_TITLE);
    request.filter = res::str(res::IDS_FILTER_ALL);
    request.initial_folder = c.report_directory;
    request.default_name = res::str(res::IDS_FOLDER_PICKER_NAME);
    request.ask_replace = false;
    request.folder_only = true;
    auto chosen = pick(c, request);
    if (!chosen) return;
    // The folder picker answers with the folder itself.
    const std::string folder = without_trailing_separators(*chosen);
    remember_directory(c, folder);

    c.ui.set_status(res::str(res::IDS_WRITING_FILE));
    c.ui.set_wait_cursor(true);
    const std::tm time = time_now(c);  // one time stamp for the whole command
    const Separate_save_result result =
        save_separate_reports(c.reports.lines(), folder, c.reports.displayed_format, time, layout,
                              [&c](const std::string& message) {
                                  c.ui.set_wait_cursor(false);
                                  show_error(c.ui, message);
                                  c.ui.set_wait_cursor(true);
                              });
    refresh_status(c);
    if (result.all_written) c.reports.reports_unsaved = false;
    c.ui.set_wait_cursor(false);
}

}  // namespace

void save_reports_separate(Report_file_context& c) { save_separately(c, Separate_layout::files); }

void save_reports_directories(Report_file_context& c) { save_separately(c, Separate_layout::tag_directories); }

}  // namespace reports
