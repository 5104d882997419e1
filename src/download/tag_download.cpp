#include "download/tag_download.h"

#include "link/checks.h"
#include "link/transactions.h"
#include "resources/download_strings.h"
#include "resources/link_strings.h"
#include "resources/strings.h"
#include "resources/text_match.h"

namespace download {

namespace {

using comm::Result_code;
using shell::Program;

void show_error(Program& program, const std::string& text) {
    program.ui.message(text, ui::Caption::error, ui::Buttons::ok);
}

// Shows a failure and notes it, in short, where a note is kept.
void show_failure(Program& program, const std::string& text, Failure_note* note) {
    show_error(program, text);
    if (note) *note = first_line(text);
}

// The message of a failed exchange of the download (a field or a free-space
// query): 7, DOCUMENT mode, Cancel, and no answer for everything else.
int failure_message(Result_code result) {
    switch (result) {
    case comm::RESULT_INVALID: return res::IDS_OPERATION_FAILED;
    case comm::RESULT_DOCUMENT_MODE: return res::IDS_EXIT_DOCUMENT_MODE;
    case comm::RESULT_CANCELLED: return res::IDS_USER_CANCELLED_DOWNLOAD;
    default: return res::IDS_NO_RESPONSE;
    }
}

// The port could not be opened again during the download: its message has
// been shown and nothing more can be sent.
bool port_lost(Program& program) { return !program.link.port_open(); }

// The message of a field the calibrator refused: its error text, the tag
// file and the field.
std::string refusal_text(const Program& program, const std::string& reply, int field) {
    return res::format(res::IDS_FIELD_REFUSED, comm::calibrator_error_message(comm::error_code(reply)),
                       program.current_tag_file_name, download_field_name(field));
}

// The same in short: the error text and the field (a summary row names the tag).
std::string refusal_note(const std::string& reply, int field) {
    return res::format(res::IDS_REFUSED_FIELD_SHORT, comm::calibrator_error_message(comm::error_code(reply)),
                       download_field_name(field));
}

// The free-space query, the load and the fields of Download > Tag, with the
// port open and the cancel window up.  position is where the tag went when it
// was loaded.
bool query_load_and_send(Program& program, int& position, Result_code& result) {
    int free_spaces = 0;
    result = comm::query_free_space(program.link, program.session.capability, free_spaces, position);
    if (!room_available(program, result, free_spaces, position)) return false;

    tags::Tag_file_context files = tag_file_context(program);
    if (!tags::load_tag_file(files, res::str(res::IDS_SELECT_TAG_TO_DOWNLOAD))) return false;

    const std::string progress = res::format(res::IDS_DOWNLOAD_PROGRESS, 1, 1);
    program.ui.set_status(progress);
    Failure_note note;
    return download_working_tag(program, position, free_spaces, result, progress, note);
}

}  // namespace

bool room_available(Program& program, Result_code query, int free_spaces, int position, Failure_note* note) {
    if (query != comm::RESULT_OK) {
        if (!port_lost(program)) show_failure(program, res::str(failure_message(query)), note);
        return false;
    }
    if (position < 1 || free_spaces == 0) {
        show_failure(program, res::str(res::IDS_NO_FREE_SPACE), note);
        return false;
    }
    return true;
}

std::string first_line(const std::string& message) { return message.substr(0, message.find('\n')); }

std::string download_field_name(int field) {
    if (field < 1 || field > DOWNLOAD_FIELDS) return res::format(res::IDS_UNKNOWN_FIELD_NUMBER, field);
    return tags::field_name(field);
}

tags::Tag_file_context tag_file_context(Program& program) {
    return {program.ui,
            program.fields,
            program.settings.tag_config_directory,
            program.store_tag_folder,
            program.current_tag_file_name,
            [&program] { program.refresh_status_line(); }};
}

Result_code download_field(Program& program, bool& keep_going, int field, int position, bool quiet,
                           Failure_note& note) {
    if (!keep_going) return comm::RESULT_OK;
    std::string reply;
    const Result_code r = comm::download_field_exchange(program.link, program.session.capability, field, position,
                                                        program.fields.field_text(field), reply);
    if (r == comm::RESULT_OK) {
        if (comm::is_error_line(reply) && reply.find('>') != std::string::npos) {
            show_error(program, refusal_text(program, reply, field));
            note = refusal_note(reply, field);
            keep_going = false;
            return comm::RESULT_REFUSED;
        }
        if (res::starts_with(reply, comm::REPLY_COMPLETE)) return comm::RESULT_OK;
        // An unexpected reply: the attempt fails and may be made again.
        if (!quiet) show_failure(program, res::str(res::IDS_OPERATION_FAILED), &note);
        keep_going = false;
        return comm::RESULT_OK;
    }
    const bool always_shown = r == comm::RESULT_DOCUMENT_MODE || r == comm::RESULT_CANCELLED;
    if ((always_shown || !quiet) && !port_lost(program)) show_failure(program, res::str(failure_message(r)), &note);
    keep_going = false;
    return r;
}

bool download_working_tag(Program& program, int& position, int& free_spaces, Result_code& result,
                          const std::string& progress_text, Failure_note& note) {
    result = comm::RESULT_OK;
    for (int failed_attempts = 0;;) {
        const bool quiet = failed_attempts < DOWNLOAD_ATTEMPTS - 1;
        bool keep_going = true;
        program.ui.set_cancel_progress(0, DOWNLOAD_FIELDS, progress_text);
        for (int field = 1; field <= DOWNLOAD_FIELDS && keep_going; ++field) {
            result = download_field(program, keep_going, field, position, quiet, note);
            if (keep_going) program.ui.set_cancel_progress(field, DOWNLOAD_FIELDS, progress_text);
        }
        if (keep_going) return true;
        if (result == comm::RESULT_REFUSED || port_lost(program)) return false;

        ++failed_attempts;
        const Result_code query =
            comm::query_free_space(program.link, program.session.capability, free_spaces, position);
        if (result == comm::RESULT_DOCUMENT_MODE || result == comm::RESULT_CANCELLED) return false;
        if (failed_attempts >= DOWNLOAD_ATTEMPTS) return false;
        // Another attempt needs a position: when the calibrator names none
        // (no answer, no room) the download ends here with the reason,
        // rather than sending fields to position -1.
        if (!room_available(program, query, free_spaces, position, &note)) {
            if (query != comm::RESULT_OK) result = query;
            return false;
        }
    }
}

Download_outcome download_tag_command(Program& program) {
    Download_outcome outcome;
    ui::Ui& ui = program.ui;
    comm::Serial_link& link = program.link;

    if (!comm::identity_check(program.session)) {
        program.refresh_status_line();
        return outcome;
    }
    if (program.session.capability.level != 2) {
        ui.message(res::str(res::IDS_DOWNLOAD_NOT_AVAILABLE), ui::Caption::information, ui::Buttons::ok);
        return outcome;
    }
    if (!comm::clock_check(program.session)) {
        program.refresh_status_line();
        return outcome;
    }
    program.clear_tag_list_display();
    if (!link.open_port()) return outcome;
    outcome.started = true;

    const std::string status = res::str(res::IDS_DOWNLOADING_TAG);
    ui.set_status(status);
    ui.set_wait_cursor(true);
    program.set_busy(true);
    program.operation_running = true;
    ui.show_cancel_window(res::str(res::IDS_CANCEL_DOWNLOAD_CAPTION), [&link] { link.request_cancel(); });
    ui.set_cancel_progress(0, 0, status);

    int position = -1;
    outcome.loaded = query_load_and_send(program, position, outcome.result);
    if (outcome.loaded) outcome.position = position;

    link.close_port();
    ui.close_cancel_window();
    // A Cancel pressed while nothing waited (during a message box or the
    // file dialog) must not cancel the next operation.
    link.clear_cancel();
    program.set_busy(false);
    ui.set_wait_cursor(false);
    program.operation_running = false;
    if (outcome.loaded) ui.beep();
    program.refresh_status_line();
    return outcome;
}

}  // namespace download
