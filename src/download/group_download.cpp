#include "download/group_download.h"

#include <limits>
#include <optional>

#include "download/group_file.h"
#include "download/tag_download.h"
#include "link/checks.h"
#include "link/transactions.h"
#include "resources/download_strings.h"
#include "resources/report_files_strings.h"
#include "resources/reports_strings.h"
#include "resources/strings.h"
#include "resources/tags_strings.h"

namespace download {

namespace {

using comm::Result_code;
using shell::Program;

// The identity and clock checks, the level and the first free-space query,
// which leaves the port closed again.  The free spaces, or nothing when the
// command ends here (every reason shown).
std::optional<int> free_spaces_before_choosing(Program& program) {
    if (!comm::identity_check(program.session)) {
        program.refresh_status_line();
        return std::nullopt;
    }
    if (program.session.capability.level != 2) {
        program.ui.message(res::str(res::IDS_DOWNLOAD_NOT_AVAILABLE), ui::Caption::information, ui::Buttons::ok);
        return std::nullopt;
    }
    if (!comm::clock_check(program.session)) {
        program.refresh_status_line();
        return std::nullopt;
    }
    program.clear_tag_list_display();
    if (!program.link.open_port()) {
        program.refresh_status_line();
        return std::nullopt;
    }
    program.ui.set_status(res::str(res::IDS_DOWNLOADING_GROUP));
    int free_spaces = 0, position = -1;
    const Result_code query =
        comm::query_free_space(program.link, program.session.capability, free_spaces, position);
    const bool room = room_available(program, query, free_spaces, position);
    program.link.close_port();
    if (!room) {
        program.refresh_status_line();
        return std::nullopt;
    }
    return free_spaces;
}

// Empties the entries of members whose file is not in the group directory;
// when any was, asks whether to go on without them.
bool hide_missing_members(Program& program) {
    bool missing = false;
    for (auto& name : program.group_members) {
        if (find_member(program.settings.tag_config_directory, name)) continue;
        name.clear();
        missing = true;
    }
    return !missing || program.ui.message(res::str(res::IDS_MEMBERS_MISSING), ui::Caption::error,
                                          ui::Buttons::yes_no_continue) == ui::Answer::yes;
}

// `Select_dialog` until between one and free_spaces members are chosen: the
// chosen names in group order, or nothing when the dialog was cancelled.
std::optional<std::vector<std::string>> choose_members(Program& program, int free_spaces) {
    std::vector<std::string> items;
    for (const auto& name : program.group_members)
        if (!name.empty()) items.push_back(name);
    const std::string caption = res::format(res::IDS_SELECT_MEMBERS_CAPTION, free_spaces);
    for (;;) {
        const auto rows = program.ui.select_download_members(caption, items);
        if (!rows) return std::nullopt;
        if (rows->empty()) {
            program.ui.message(res::str(res::IDS_NONE_SELECTED), ui::Caption::error, ui::Buttons::ok);
        } else if (static_cast<int>(rows->size()) > free_spaces) {
            program.ui.message(res::format(res::IDS_TOO_MANY_SELECTED, free_spaces), ui::Caption::error,
                               ui::Buttons::ok);
        } else {
            std::vector<std::string> chosen;
            for (int row : *rows)
                if (row >= 0 && row < static_cast<int>(items.size())) chosen.push_back(items[row]);
            return chosen;
        }
    }
}

// No answer, DOCUMENT mode, Cancel and a lost port end the run: the next
// member would meet the same.
bool stops_the_run(Result_code result) {
    return result == comm::RESULT_NO_RESPONSE || result == comm::RESULT_DOCUMENT_MODE ||
           result == comm::RESULT_CANCELLED || result == comm::RESULT_PORT_CLOSED;
}

void show_row(Program& program, int row, const std::string& text) {
    program.ui.set_status_row(row, text);
    const int free_rows = scroll_free_rows(program.ui.status_list_metrics());
    if (row >= free_rows) program.ui.set_status_top_row(row - free_rows + 1);
}

// The message of a member file that could not be read.
std::string read_failure_text(tags::File_read outcome, const std::string& path, const std::string& reason) {
    switch (outcome) {
    case tags::File_read::ok: break;
    case tags::File_read::open_failed: return res::str(res::IDS_FILE_OPEN_ERROR);
    case tags::File_read::read_failed: return res::format(res::IDS_FILE_READ_ERROR, path, reason);
    case tags::File_read::invalid: return res::str(res::IDS_INVALID_TAG_FILE);
    }
    return {};
}

// Reads member name into the working record; shows why it could not, and
// notes it.  The member becomes the current tag file only once its file
// opened: a member that is not there leaves the last one current.
bool read_member(Program& program, const std::string& name, Failure_note& note) {
    const auto path = find_member(program.settings.tag_config_directory, name);
    std::string reason;
    const tags::File_read outcome =
        path ? tags::read_tag_file(*path, program.fields, reason) : tags::File_read::open_failed;
    if (outcome != tags::File_read::open_failed) program.current_tag_file_name = name;
    if (outcome == tags::File_read::ok) return true;
    const std::string text = read_failure_text(outcome, path.value_or(name), reason);
    program.ui.message(text, ui::Caption::error, ui::Buttons::ok);
    note = first_line(text);
    return false;
}

// A summary row: the status row, and after a FAILED one the reason in short.
std::string summary_row(const std::string& row, bool loaded, Result_code result, const Failure_note& note) {
    if (loaded) return row;
    // A port that could not be opened again said so in its own words.
    const std::string reason =
        !note.empty() ? note : result == comm::RESULT_PORT_CLOSED ? res::str(res::IDS_PORT_LOST_SHORT) : "";
    return reason.empty() ? row : res::format(res::IDS_SUMMARY_FAILED_ROW, row, reason);
}

// The sending phase, with the port open: the status window, each member in
// turn, and the rows as they ended; summary gets the same rows with the
// reason of each failure.
std::vector<std::string> send_members(Program& program, const std::vector<std::string>& names,
                                      Group_download_outcome& outcome, std::vector<std::string>& summary) {
    ui::Ui& ui = program.ui;
    ui.set_wait_cursor(true);
    program.set_busy(true);
    program.operation_running = true;
    std::vector<std::string> rows;
    for (const auto& name : names) rows.push_back(status_row(Member_state::pending, name));
    comm::Serial_link& link = program.link;
    ui.show_status_window(res::str(res::IDS_STATUS_CAPTION), rows, [&link] { link.request_cancel(); });

    const int count = static_cast<int>(names.size());
    summary = rows;
    for (int i = 0; i < count; ++i) {
        Result_code result = comm::RESULT_OK;
        Failure_note note;
        const bool loaded = download_group_member(program, i, count, names[i], result, note);
        rows[i] = status_row(loaded ? Member_state::loaded : Member_state::failed, names[i]);
        summary[i] = summary_row(rows[i], loaded, result, note);
        if (loaded) ++outcome.loaded;
        if (stops_the_run(result)) break;
    }

    link.close_port();
    ui.close_status_window();
    // A Cancel pressed while nothing waited must not cancel the next operation.
    link.clear_cancel();
    program.set_busy(false);
    ui.set_wait_cursor(false);
    program.operation_running = false;
    return rows;
}

}  // namespace

std::string status_row(Member_state state, const std::string& name) {
    switch (state) {
    case Member_state::pending: return res::format(res::IDS_ROW_PENDING, name);
    case Member_state::loading: return res::format(res::IDS_ROW_LOADING, name);
    case Member_state::loaded: return res::format(res::IDS_ROW_LOADED, name);
    case Member_state::failed: return res::format(res::IDS_ROW_FAILED, name);
    }
    return name;
}

int scroll_free_rows(const ui::Ui::List_metrics& metrics) {
    if (metrics.row_height <= 0 || metrics.list_height <= 0) return std::numeric_limits<int>::max();
    return metrics.list_height / metrics.row_height - 1;
}

bool download_group_member(Program& program, int row, int count, const std::string& name, Result_code& result,
                           Failure_note& note) {
    result = comm::RESULT_OK;
    show_row(program, row, status_row(Member_state::loading, name));
    bool loaded = read_member(program, name, note);
    if (loaded) {
        int free_spaces = 0, position = -1;
        result = comm::query_free_space(program.link, program.session.capability, free_spaces, position);
        loaded = room_available(program, result, free_spaces, position, &note);
        if (loaded) {
            const std::string progress = res::format(res::IDS_DOWNLOAD_PROGRESS, row + 1, count);
            program.ui.set_status(progress);
            loaded = download_working_tag(program, position, free_spaces, result, progress, note);
        }
    }
    show_row(program, row, status_row(loaded ? Member_state::loaded : Member_state::failed, name));
    return loaded;
}

Group_download_outcome download_group_command(Program& program) {
    Group_download_outcome outcome;
    const auto free_spaces = free_spaces_before_choosing(program);
    if (!free_spaces) return outcome;

    Group_file_context files = group_file_context(program);
    if (!load_group_file(files, res::str(res::IDS_SELECT_GROUP_TO_DOWNLOAD))) {
        program.refresh_status_line();
        return outcome;
    }
    if (program.group_members.empty()) {
        program.ui.message(res::str(res::IDS_EMPTY_GROUP), ui::Caption::error, ui::Buttons::ok);
        return outcome;
    }
    if (!hide_missing_members(program)) return outcome;
    const auto chosen = choose_members(program, *free_spaces);
    if (!chosen) {
        program.refresh_status_line();
        return outcome;
    }
    program.group_members = *chosen;
    if (!program.link.open_port()) {
        program.refresh_status_line();
        return outcome;
    }
    outcome.chosen = static_cast<int>(chosen->size());
    std::vector<std::string> summary;
    program.group_members = send_members(program, *chosen, outcome, summary);
    program.ui.beep();
    program.ui.show_summary(summary);
    program.refresh_status_line();
    return outcome;
}

}  // namespace download
