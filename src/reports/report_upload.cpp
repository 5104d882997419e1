#include "reports/report_upload.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <vector>

#include "link/checks.h"
#include "link/transactions.h"
#include "reports/field_table.h"
#include "reports/report_layout.h"
#include "resources/link_strings.h"
#include "resources/reports_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"
#include "shell/tag_commands.h"

namespace reports {

namespace {

using comm::Result_code;
using shell::Program;

using res::starts_with;
using res::starts_with_ignoring_case;

void show_error(Program& program, const std::string& text) {
    program.ui.message(text, ui::Caption::error, ui::Buttons::ok);
}

// The texts of the selected Tag ID list lines, in list order, at most 200.
std::vector<std::string> selected_lines(Program& program) {
    std::vector<int> rows = program.ui.selected_tags();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [](int row) { return row < 0; }), rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.size() > shell::MAX_TAG_ENTRIES) rows.resize(shell::MAX_TAG_ENTRIES);
    std::vector<std::string> lines;
    lines.reserve(rows.size());
    for (int row : rows) lines.push_back(program.ui.tag_line(row));
    return lines;
}

// ---- Capability level 1: the calibrator renders the reports ----

// "REPORT_TXT" or "REPORT_CSV" as the format setting asks.  The reply must be
// "<Complete>": exactly for all tags, by its first ten characters for
// selected tags.
Result_code choose_layout(Program& program, bool exact) {
    program.link.send_command(program.settings.format != 0 ? "REPORT_TXT" : "REPORT_CSV");
    std::string line;
    const Result_code result = program.link.receive_line(line, comm::REPLY_CAPACITY, true);
    if (result != comm::RESULT_OK) return result;
    const bool accepted = exact ? line == comm::REPLY_COMPLETE : starts_with(line, comm::REPLY_COMPLETE);
    return accepted ? comm::RESULT_OK : comm::RESULT_INVALID;
}

// What goes before a report's "Tag ID:" line: the separator and an empty line
// after the first report, the company line and an empty line when a company
// name is set.
void open_report(Program& program, bool separator) {
    if (separator) {
        program.reports.add_report_line(report_separator);
        program.reports.add_report_line("");
    }
    if (!program.settings.company.empty()) {
        program.reports.add_report_line(company_line(program.settings.company, program.upload_format()));
        program.reports.add_report_line("");
    }
}

// Shows "Uploading reports ...:  done of total." in the status line and the
// cancel window (when one is open).
void show_progress(Program& program, bool all, int done, int total) {
    const std::string text =
        res::format(all ? res::IDS_UPLOAD_PROGRESS_ALL : res::IDS_UPLOAD_PROGRESS_SELECTED, done, total);
    program.ui.set_status(text);
    program.ui.set_cancel_progress(done, total, text);
}

// What a level-1 upload learnt besides its result code.
struct Text_upload {
    int lines_received = 0;        // report lines of every reply so far
    std::string failing_entry;     // RESULT_REFUSED: the entry the calibrator did not know,
    std::optional<int> error_code; // or the code of the "<Error n>" line that closed a reply
};

// Reads the report lines of one "TAG_SEND_ALL" or "TAG_SEND" reply into the
// Reports list until its closing line (a line beginning with "<", not part of
// any report), which is left in `closing`.  on_report_start runs before each
// "Tag ID:" line is added.  A reply longer than max_uploaded_report_lines
// (with the replies before it) cannot come from a calibrator that works: it
// ends the upload as a failed operation.
Result_code read_report_reply(Program& program, Text_upload& upload, const std::function<void()>& on_report_start,
                              std::string& closing) {
    for (;;) {
        std::string line;
        const Result_code result = program.link.receive_line(line, comm::REPLY_CAPACITY, true);
        if (result != comm::RESULT_OK) return result;
        if (starts_with(line, "<")) {
            closing = std::move(line);
            return comm::RESULT_OK;
        }
        if (++upload.lines_received > max_uploaded_report_lines) return comm::RESULT_INVALID;
        if (is_report_start(line)) on_report_start();
        program.reports.add_report_line(line);
    }
}

// An error line closing a reply fails the upload with the calibrator's message.
Result_code check_error_line(const std::string& closing, Text_upload& upload) {
    if (!comm::is_error_line(closing)) return comm::RESULT_OK;
    upload.error_code = comm::error_code(closing);
    return comm::RESULT_REFUSED;
}

// Collects every report after "TAG_SEND_ALL" (port open).
Result_code collect_all_reports(Program& program, Text_upload& upload) {
    Result_code result = choose_layout(program, true);
    if (result != comm::RESULT_OK) return result;
    result = shell::read_tag_list(program);
    if (result != comm::RESULT_OK) return result;

    program.link.send_command("TAG_SEND_ALL");
    program.reports.start_report_fill();
    const int tag_count = static_cast<int>(program.tag_list.size());
    int reports_seen = 0;
    std::string closing;
    result = read_report_reply(
        program, upload,
        [&] {
            ++reports_seen;
            open_report(program, reports_seen > 1);
            show_progress(program, true, reports_seen, tag_count);
        },
        closing);
    if (result == comm::RESULT_OK) result = check_error_line(closing, upload);
    program.reports.finish_report_fill();
    return result;
}

// Collects the report of each selected entry with "TAG_SEND entry" (port
// open).
Result_code collect_selected_reports(Program& program, const std::vector<std::string>& entries,
                                     Text_upload& upload) {
    Result_code result = choose_layout(program, false);
    if (result != comm::RESULT_OK) return result;

    program.reports.start_report_fill();
    const int count = static_cast<int>(entries.size());
    for (int j = 0; j < count && result == comm::RESULT_OK; ++j) {
        program.link.send_command("TAG_SEND " + entries[static_cast<size_t>(j)]);
        std::string closing;
        result = read_report_reply(
            program, upload,
            [&] {
                open_report(program, j > 0);
                show_progress(program, false, j + 1, count);
            },
            closing);
        if (result != comm::RESULT_OK) break;
        if (starts_with(closing, "<Tag [")) {
            result = comm::RESULT_REFUSED;
            upload.failing_entry = entries[static_cast<size_t>(j)];
        } else if (starts_with(closing, "<No space")) {
            result = comm::RESULT_INVALID;
        } else {
            result = check_error_line(closing, upload);  // any other closing line ends this entry's report
        }
    }
    program.reports.finish_report_fill();
    return result;
}

void text_upload(Program& program, bool all, const std::vector<std::string>& entries) {
    if (!program.link.open_port()) return;
    program.ui.set_status(res::str(all ? res::IDS_UPLOADING_ALL_REPORTS : res::IDS_UPLOADING_SELECTED_REPORTS));
    program.ui.set_wait_cursor(true);
    Text_upload upload;
    const Result_code result =
        all ? collect_all_reports(program, upload) : collect_selected_reports(program, entries, upload);
    program.link.close_port();
    program.ui.set_wait_cursor(false);

    if (result == comm::RESULT_REFUSED && upload.error_code) {
        show_error(program, comm::calibrator_error_message(*upload.error_code));
        program.reports.clear();
        program.refresh_status_line();
        return;
    }
    switch (result) {
    case comm::RESULT_OK:
        if (!program.reports.empty()) {
            program.reports.reports_unsaved = true;
            program.reports.set_reports_caption(Reports_caption::uploaded);
            program.ui.beep();
        } else {
            program.ui.message(res::str(res::IDS_NO_TAGS_AVAILABLE), ui::Caption::information, ui::Buttons::ok);
            if (!all) shell::upload_tag_ids_command(program);
        }
        break;
    case comm::RESULT_REFUSED:
        show_error(program, res::format(res::IDS_TAG_NOT_FOUND, upload.failing_entry));
        program.reports.clear();
        // The Tag ID list no longer matches the calibrator: read it again.
        shell::upload_tag_ids_command(program);
        break;
    default:
        program.link.show_result_message(result);
        program.reports.clear();
        break;
    }
    program.refresh_status_line();
}

// ---- Capability level 2: field by field ----

// The message of a failed start of the field upload (tag list or serial number).
int start_failure_message(Result_code result) {
    switch (result) {
    case comm::RESULT_INVALID: return res::IDS_OPERATION_FAILED;
    case comm::RESULT_DOCUMENT_MODE: return res::IDS_EXIT_DOCUMENT_MODE;
    case comm::RESULT_CANCELLED: return res::IDS_USER_CANCELLED_UPLOAD;
    default: return res::IDS_NO_RESPONSE;
    }
}

// A tag list entry is wanted in selected mode when the Tag ID list line it
// matches (the first one that begins with the entry's text, in any case) is
// selected.  Level 2 lines begin with their tag position, so no two lines of
// one list begin with the same entry and looking among the selected lines
// alone finds the same line.
bool entry_selected(const std::string& entry, const std::vector<std::string>& selected) {
    return std::any_of(selected.begin(), selected.end(),
                       [&entry](const std::string& line) { return starts_with_ignoring_case(line, entry); });
}

// The identity of the calibrator of this operation goes into slots 130..133,
// where every report reads it (slot 133 becomes field 129 of each tag).
void store_calibrator_identity(Program& program) {
    const comm::Calibrator_identity& identity = program.session.identity;
    program.fields.store_field(fields::calibrator_manufacturer, identity.manufacturer);
    program.fields.store_field(fields::calibrator_model, identity.model);
    program.fields.store_field(fields::firmware_suffix, identity.firmware_suffix);
    program.fields.store_field(fields::queried_serial, identity.serial_number);
}

// Uploads and renders one tag; false (its message shown) when it failed.
bool upload_tag(Program& program, int position, int index) {
    const comm::Capability& capability = program.session.capability;
    Field_table& table = program.fields;
    bool success = true;
    Result_code result = comm::RESULT_OK;

    table.reset_tag_fields();
    for (int field : tag_request_head())
        comm::upload_field(program.link, capability, success, field, position, false, result, table);
    int n = 0;
    if (success) {
        n = table.field_int(fields::point_count);
        if (!valid_point_count(n)) {
            show_error(program, res::str(res::IDS_CRITICAL_DATA_INVALID));
            success = false;
        }
    }
    for (int field : tag_request_tail(n))
        comm::upload_field(program.link, capability, success, field, position, false, result, table);
    table.complete_tag_fields();
    if (!success) return false;

    if (program.upload_format() == Report_format::text)
        render_text_report(table, program.settings.company, index, program.reports);
    else
        render_csv_report(table, program.settings.company, index, program.reports);
    return true;
}

// Steps between showing the cancel window and removing it: true when every
// wanted tag was uploaded and rendered.
bool run_field_upload(Program& program, bool all) {
    std::vector<int> positions;
    bool not_calibrated = false;
    Result_code result = shell::read_tag_list(program);
    if (result == comm::RESULT_OK) {
        const std::vector<std::string> selected = all ? std::vector<std::string>() : selected_lines(program);
        for (const std::string& entry : program.tag_list) {
            if (!all && !entry_selected(entry, selected)) continue;
            if (entry.size() > 3 && entry[3] == 'U') {
                not_calibrated = true;
                continue;
            }
            positions.push_back(read_decimal_int(entry));
        }
        result = comm::query_serial(program.link, program.session.capability, program.session.identity);
        if (result == comm::RESULT_OK) store_calibrator_identity(program);
    }
    if (result != comm::RESULT_OK) {
        show_error(program, res::str(start_failure_message(result)));
        return false;
    }
    if (positions.empty()) {
        show_error(program, res::str(res::IDS_NO_CALIBRATED_TAGS));
        return false;
    }
    if (not_calibrated && program.ui.message(res::str(res::IDS_NOT_CALIBRATED_QUESTION), ui::Caption::confirmation,
                                             ui::Buttons::yes_no_exclamation) != ui::Answer::yes)
        return false;

    program.reports.start_report_fill();
    const int count = static_cast<int>(positions.size());
    bool success = true;
    for (int i = 0; i < count && success; ++i) {
        show_progress(program, all, i + 1, count);
        success = upload_tag(program, positions[static_cast<size_t>(i)], i);
    }
    program.reports.finish_report_fill();
    return success;
}

void upload_reports(Program& program, bool all) {
    std::vector<std::string> entries;
    if (!all) {
        entries = selected_lines(program);
        if (entries.empty()) {
            show_error(program, res::str(res::IDS_NO_TAGS_SELECTED));
            return;
        }
    }
    if (!program.confirm_discard_reports()) return;
    program.reports.clear();
    program.reports.set_reports_caption(Reports_caption::plain);
    program.reports.reports_unsaved = false;
    program.reports.displayed_format = program.upload_format();

    if (!comm::identity_check(program.session) || !comm::clock_check(program.session)) {
        program.refresh_status_line();
        return;
    }
    if (program.session.capability.level == 2)
        field_upload(program, all);
    else
        text_upload(program, all, entries);
    // Only a successful upload leaves reports marked unsaved.
    if (program.reports.reports_unsaved && program.record_upload) program.record_upload();
}

}  // namespace

bool is_report_start(std::string_view line) {
    if (!line.empty() && line.front() == '"') line.remove_prefix(1);
    return starts_with_ignoring_case(line, "Tag ID:");
}

void upload_all_reports(Program& program) { upload_reports(program, true); }

void upload_selected_reports(Program& program) { upload_reports(program, false); }

bool field_upload(Program& program, bool all) {
    comm::Serial_link& link = program.link;
    ui::Ui& ui = program.ui;
    if (!link.open_port()) return false;

    ui.set_status(res::str(all ? res::IDS_UPLOADING_ALL_REPORTS : res::IDS_UPLOADING_SELECTED_REPORTS));
    ui.set_wait_cursor(true);
    program.set_busy(true);
    program.operation_running = true;
    ui.show_cancel_window(res::str(res::IDS_CANCEL_UPLOAD_CAPTION), [&link] { link.request_cancel(); });

    const bool succeeded = run_field_upload(program, all);

    // A Cancel pressed while no exchange was waiting (during a message box
    // of the upload) must not cancel the next operation.
    link.clear_cancel();
    link.close_port();
    ui.close_cancel_window();
    program.set_busy(false);
    ui.set_wait_cursor(false);
    program.operation_running = false;
    if (succeeded) {
        program.reports.reports_unsaved = true;
        program.reports.set_reports_caption(Reports_caption::uploaded);
        ui.beep();
    } else {
        // Reports of tags already rendered go too: a partial upload is never kept.
        program.reports.clear();
    }
    program.refresh_status_line();
    return succeeded;
}

}  // namespace reports
