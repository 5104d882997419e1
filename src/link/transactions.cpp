#include "link/transactions.h"

#include "link/frame.h"
#include "reports/field_table.h"
#include "resources/link_strings.h"
#include "resources/strings.h"

namespace comm {

namespace {

// What one attempt of a transaction came to.
struct Attempt {
    Result_code result;
    bool reopen;  // the reply was rejected: close and reopen the port before going on
};

Attempt finished(Result_code result) { return {result, false}; }
// An unexpected or damaged reply: recover and count the attempt as invalid.
Attempt rejected() { return {RESULT_INVALID, true}; }
// A reply whose frame failed its check: try again without reopening.
Attempt rejected_keep_port() { return {RESULT_INVALID, false}; }

// The common attempt loop: one attempt, and another while the last one was
// rejected and fewer than three have been made.  The port is reopened after
// every rejected reply, the last one included, so that nothing the calibrator
// may still send for it is read by the next command.  A port that cannot be
// reopened (the adapter was pulled) ends the transaction at once.
template <typename Make_attempt>
Result_code run_attempts(Serial_link& link, Make_attempt make_attempt) {
    Result_code result = RESULT_INVALID;
    for (int attempt = 1; attempt <= TRANSACTION_ATTEMPTS; ++attempt) {
        Attempt a = make_attempt(attempt);
        if (a.reopen && !recover(link)) return RESULT_PORT_CLOSED;
        result = a.result;
        if (result != RESULT_INVALID) break;
    }
    return result;
}

// Sends a command and reads the first line of its reply.
Result_code exchange(Serial_link& link, std::string_view command, std::string& reply) {
    link.send_command(command);
    return link.receive_line(reply, REPLY_CAPACITY, true);
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string upper_case(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

}  // namespace

// ---- Erase ----

Result_code erase_all_tags(Serial_link& link, std::string& reply) {
    return run_attempts(link, [&](int) {
        Result_code r = exchange(link, "TAG_CLEAR_ALL", reply);
        const bool expected = reply == REPLY_COMPLETE || reply == REPLY_NO_TAGS;
        if (r == RESULT_OK) return expected ? finished(RESULT_OK) : rejected();
        if (r == RESULT_PARTIAL) return finished(expected ? RESULT_OK : RESULT_PARTIAL);
        return finished(r);
    });
}

std::string tag_not_found_text(std::string_view tag_id) { return "<Tag [" + upper_case(tag_id) + "] not found>"; }

Result_code erase_tag(Serial_link& link, std::string_view tag_id, std::string& reply) {
    const std::string command = "TAG_CLEAR " + std::string(tag_id);
    const std::string not_found = tag_not_found_text(tag_id);
    return run_attempts(link, [&](int attempt) {
        Result_code r = exchange(link, command, reply);
        if (r != RESULT_OK && r != RESULT_PARTIAL) return finished(r);
        // The first attempt may have erased the tag and lost its reply.
        if (attempt >= 2 && reply == not_found) reply = REPLY_COMPLETE;
        if (reply == REPLY_COMPLETE || reply == REPLY_NO_SPACE || reply == not_found) return finished(RESULT_OK);
        return r == RESULT_OK ? rejected() : finished(RESULT_PARTIAL);
    });
}

// ---- Clock ----

bool valid_clock_reply(std::string_view line) {
    if (line.size() != 19) return false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        switch (i) {
        case 4: case 7: if (c != '/') return false; break;
        case 10: if (c != ' ') return false; break;
        case 13: case 16: if (c != ':') return false; break;
        case 11: if (!is_digit(c) && c != ' ') return false; break;
        default: if (!is_digit(c)) return false; break;
        }
    }
    return true;
}

Result_code read_clock(Serial_link& link, std::string& reply) {
    return run_attempts(link, [&](int) {
        Result_code r = exchange(link, "GET_CLOCK", reply);
        if (r == RESULT_PARTIAL) return rejected();
        if (r == RESULT_OK) return valid_clock_reply(reply) ? finished(RESULT_OK) : rejected();
        return finished(r);
    });
}

std::string set_clock_command(int year, int month, int day, int hour, int minute, int second) {
    std::string command = "SET_CLOCK";
    for (int value : {year, month, day, hour, minute, second}) command += " " + std::to_string(value);
    return command;
}

Result_code write_clock(Serial_link& link, std::string_view command, std::string& reply) {
    Result_code result = run_attempts(link, [&](int) {
        Result_code r = exchange(link, command, reply);
        if (r != RESULT_OK && r != RESULT_PARTIAL) return finished(r);
        if (reply == REPLY_COMPLETE || reply == REPLY_DATE_INVALID) return finished(RESULT_OK);
        return r == RESULT_OK ? rejected() : finished(RESULT_PARTIAL);
    });
    if (result == RESULT_OK && reply == REPLY_DATE_INVALID) result = RESULT_INVALID;
    return result;
}

// ---- Serial number ----

Result_code read_serial(Serial_link& link, std::string& serial) {
    return run_attempts(link, [&](int) {
        Result_code r = exchange(link, "GET_SN", serial);
        if (r == RESULT_PARTIAL) return rejected();
        return finished(r);
    });
}

// ---- Free space ----

Result_code query_free_space(Serial_link& link, const Capability& capability, int& free_spaces,
                             int& next_position) {
    std::string command = "TAG_DNLD 0";
    frame_command(command, capability.framed);
    std::string line;
    Result_code result = run_attempts(link, [&](int) {
        Result_code r = exchange(link, command, line);
        if (r != RESULT_OK && r != RESULT_PARTIAL) return finished(r);
        if (!check_response_frame(line, -1, capability.framed)) return rejected_keep_port();
        // A line that fell silent without CR counts once its frame, if any, is right.
        const std::size_t space = line.find(' ');
        if (line.empty() || line[0] == '<' || space == std::string::npos) return rejected();
        free_spaces = reports::read_decimal_int(line);
        next_position = reports::read_decimal_int(std::string_view(line).substr(space + 1));
        const bool free_ok = free_spaces >= 0 && free_spaces <= capability.maximum_tags;
        const bool next_ok =
            next_position == -1 || (next_position >= 1 && next_position <= capability.maximum_tags);
        return free_ok && next_ok ? finished(RESULT_OK) : rejected();
    });
    if (result != RESULT_OK) {
        free_spaces = 0;
        next_position = -1;
    }
    return result;
}

// ---- Field download ----

Result_code download_field_exchange(Serial_link& link, const Capability& capability, int field, int position,
                                    std::string_view value, std::string& reply) {
    std::string command = "TAG_DNLD " + std::to_string(field) + " " + std::to_string(position) + " ";
    command += value;
    frame_command(command, capability.framed);
    link.send_command(command);
    const Result_code r = link.receive_line(reply, REPLY_CAPACITY, false);
    switch (r) {
    case RESULT_OK:
    case RESULT_PARTIAL:
        // A line that fell silent without CR counts once its frame, if any, is right.
        if (check_response_frame(reply, -1, capability.framed)) return RESULT_OK;
        return recover(link) ? RESULT_INVALID : RESULT_PORT_CLOSED;
    case RESULT_DOCUMENT_MODE:
    case RESULT_CANCELLED:
        return r;
    default:
        return recover(link) ? r : RESULT_PORT_CLOSED;
    }
}

// ---- Field upload ----

bool is_error_line(std::string_view line) { return line.substr(0, 7) == "<Error "; }

int error_code(std::string_view line) { return line.size() > 7 ? reports::read_decimal_int(line.substr(7)) : 0; }

std::string calibrator_error_message(int code) {
    if (code >= 1 && code <= 25) return res::str(res::IDS_CALIBRATOR_ERROR_BASE + code);
    return res::format(res::IDS_UNKNOWN_ERROR_CODE, code);
}

namespace {

// One send of a field upload and the check of its reply.
Attempt upload_field_attempt(Serial_link& link, const Capability& capability, std::string_view command, int field,
                             std::string& line) {
    Result_code r = exchange(link, command, line);
    switch (r) {
    case RESULT_OK:
    case RESULT_PARTIAL:
        // A line that fell silent without CR counts once its frame, if any, is right.
        return check_response_frame(line, field, capability.framed) ? finished(RESULT_OK) : rejected();
    case RESULT_BAD_LINE:
    case RESULT_NO_RESPONSE:
    case RESULT_PORT_CLOSED:
        return {r, true};
    default:
        return finished(r);  // document mode, cancelled
    }
}

int upload_failure_message(Result_code result) {
    switch (result) {
    case RESULT_INVALID: return res::IDS_OPERATION_FAILED;
    case RESULT_DOCUMENT_MODE: return res::IDS_EXIT_DOCUMENT_MODE;
    case RESULT_CANCELLED: return res::IDS_USER_CANCELLED_UPLOAD;
    default: return res::IDS_NO_RESPONSE;
    }
}

}  // namespace

bool upload_field(Serial_link& link, const Capability& capability, bool& success, int field, int position,
                  bool quiet, Result_code& result, std::string& value) {
    if (!success) {
        result = RESULT_OK;
        return false;
    }
    std::string command = "TAG_UPLD " + std::to_string(field) + " " + std::to_string(position);
    frame_command(command, capability.framed);

    // Up to four sends: the port is reopened after each failed one, the last included.
    std::string line;
    Result_code r = RESULT_OK;
    for (int failures = 0;;) {
        Attempt a = upload_field_attempt(link, capability, command, field, line);
        r = a.result;
        if (!a.reopen) break;
        if (!recover(link)) {
            r = RESULT_PORT_CLOSED;
            break;
        }
        if (++failures >= UPLOAD_FIELD_SENDS) break;
    }

    ui::Ui& ui = link.user_interface();
    if (r == RESULT_OK && is_error_line(line)) {
        if (!quiet) ui.message(calibrator_error_message(error_code(line)), ui::Caption::error, ui::Buttons::ok);
        success = false;
        result = RESULT_OK;
        return false;
    }
    if (r == RESULT_OK) {
        value = line;
        result = RESULT_OK;
        return true;
    }
    // A port that could not be reopened has shown its own message.
    if (!quiet && !link.port_lost())
        ui.message(res::str(upload_failure_message(r)), ui::Caption::error, ui::Buttons::ok);
    success = false;
    result = r;
    return false;
}

bool upload_field(Serial_link& link, const Capability& capability, bool& success, int field, int position,
                  bool quiet, Result_code& result, reports::Field_table& table) {
    std::string value;
    if (!upload_field(link, capability, success, field, position, quiet, result, value)) return false;
    table.store_field(field, value);
    return true;
}

}  // namespace comm
