#include "link/checks.h"

#include <cerrno>
#include <climits>

#include "link/transactions.h"
#include "reports/field_table.h"
#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace comm {

namespace {

// The decimal number at a position of the clock reply (after any spaces).
int number_at(std::string_view text, std::size_t pos) {
    return pos < text.size() ? reports::read_decimal_int(text.substr(pos)) : 0;
}

void show_error(ui::Ui& ui, int id) { ui.message(res::str(id), ui::Caption::error, ui::Buttons::ok); }

}  // namespace

// ---- Identity ----

Result_code query_identity(Serial_link& link, Calibrator_identity& identity) {
    identity.manufacturer.clear();
    identity.model.clear();
    identity.firmware_suffix.clear();
    identity.firmware_major = 0;
    identity.firmware_minor = 0;

    std::string line;
    link.send_command("*IDN?");
    Result_code r = link.receive_line(line, REPLY_CAPACITY, true);
    if (r == RESULT_PARTIAL) {
        if (!accept_unterminated_identity(line)) return recover(link) ? RESULT_PARTIAL : RESULT_PORT_CLOSED;
    } else if (r != RESULT_OK) {
        return r;
    }
    if (!parse_identity(line, identity)) return recover(link) ? RESULT_NOT_IDENTITY : RESULT_PORT_CLOSED;
    return RESULT_OK;
}

Result_code query_serial(Serial_link& link, const Capability& capability, Calibrator_identity& identity) {
    if (capability.framed) {
        bool success = true;
        Result_code result = RESULT_OK;
        std::string value;
        if (!upload_field(link, capability, success, 129, 1, true, result, value))
            return result == RESULT_OK ? RESULT_INVALID : result;
        identity.serial_number = value;
        return RESULT_OK;
    }
    identity.serial_number.clear();
    std::string line;
    Result_code result = read_serial(link, line);
    if (result == RESULT_OK) identity.serial_number = line;
    return result;
}

bool identity_check(Calibrator_session& session) {
    Serial_link& link = session.link;
    ui::Ui& ui = link.user_interface();
    if (!link.open_port()) return false;
    ui.set_status(res::str(res::IDS_VERIFYING_IDENTITY));
    ui.set_wait_cursor(true);

    Result_code result = query_identity(link, session.identity);
    session.capability = Capability{};
    if (result == RESULT_OK) {
        session.capability = classify(session.identity);
        if (session.capability.level == 0) result = RESULT_INVALID;
    }

    link.close_port();
    ui.set_wait_cursor(false);
    switch (result) {
    case RESULT_OK: break;
    case RESULT_INVALID: show_error(ui, res::IDS_NOT_SUPPORTED); break;
    case RESULT_NOT_IDENTITY: show_error(ui, res::IDS_NOT_IDENTITY); break;
    case RESULT_DOCUMENT_MODE: show_error(ui, res::IDS_EXIT_DOCUMENT_MODE); break;
    case RESULT_CANCELLED: show_error(ui, res::IDS_CANCELLED); break;
    default: if (!link.port_lost()) show_error(ui, res::IDS_NO_RESPONSE); break;
    }
    session.refresh();
    return result == RESULT_OK;
}

// ---- Clock ----

Clock_reading parse_clock_reading(std::string_view reply) {
    return {number_at(reply, 0),  number_at(reply, 5),  number_at(reply, 8),
            number_at(reply, 11), number_at(reply, 14), number_at(reply, 17)};
}

Clock_reading local_reading(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

long long clock_difference(std::time_t now, const Clock_reading& calibrator) {
    std::tm pc{};
    ::localtime_r(&now, &pc);
    std::tm cal{};
    cal.tm_year = calibrator.year - 1900;
    cal.tm_mon = calibrator.month - 1;
    cal.tm_mday = calibrator.day;
    cal.tm_hour = calibrator.hour;
    cal.tm_min = calibrator.minute;
    cal.tm_sec = calibrator.second;
    cal.tm_isdst = pc.tm_isdst;  // the calibrator keeps the PC's daylight-saving state
    errno = 0;
    std::time_t calibrator_time = std::mktime(&cal);
    // A date the C library cannot represent is as far from now as can be.
    if (calibrator_time == static_cast<std::time_t>(-1) && errno != 0) return LLONG_MAX;
    return static_cast<long long>(now) - static_cast<long long>(calibrator_time);
}

bool clock_check(Calibrator_session& session) {
    if (!session.clock_check_enabled) return true;
    Serial_link& link = session.link;
    ui::Ui& ui = link.user_interface();
    if (!link.open_port()) return false;
    ui.set_status(res::str(res::IDS_VERIFYING_CLOCK));
    ui.set_wait_cursor(true);

    session.last_clock = Clock_comparison{};
    std::string reply;
    Result_code result = read_clock(link, reply);
    if (result == RESULT_OK) {
        const Clock_reading cal = parse_clock_reading(reply);
        const std::time_t now = link.clock().now();
        const Clock_reading pc = local_reading(now);
        const long long difference = clock_difference(now, cal);
        session.last_clock = {true, cal, pc, difference};

        if (difference < -CLOCK_TOLERANCE_SECONDS || difference > CLOCK_TOLERANCE_SECONDS) {
            const std::string question =
                res::format(res::IDS_CLOCK_QUESTION, cal.year, cal.month, cal.day, cal.hour, cal.minute, cal.second,
                            pc.year, pc.month, pc.day, pc.hour, pc.minute, pc.second);
            if (ui.message(question, ui::Caption::confirmation, ui::Buttons::yes_no) == ui::Answer::yes) {
                const Clock_reading set = local_reading(link.clock().now());
                result = write_clock(link,
                                     set_clock_command(set.year, set.month, set.day, set.hour, set.minute, set.second),
                                     reply);
            } else if (ui.message(res::str(res::IDS_DISABLE_CLOCK_CHECK), ui::Caption::confirmation,
                                  ui::Buttons::yes_no) == ui::Answer::yes) {
                session.clock_check_enabled = false;
            }
        }
    }

    link.close_port();
    ui.set_wait_cursor(false);
    switch (result) {
    case RESULT_OK: break;
    case RESULT_INVALID: show_error(ui, res::IDS_CLOCK_FAILED); break;
    case RESULT_DOCUMENT_MODE: show_error(ui, res::IDS_EXIT_DOCUMENT_MODE); break;
    case RESULT_CANCELLED: show_error(ui, res::IDS_CANCELLED); break;
    default: if (!link.port_lost()) show_error(ui, res::IDS_NO_RESPONSE); break;
    }
    session.refresh();
    return result == RESULT_OK;
}

// ---- Upload > Calibrator Identity ----

bool calibrator_identity_command(Calibrator_session& session) {
    Serial_link& link = session.link;
    ui::Ui& ui = link.user_interface();
    if (!identity_check(session)) {
        session.refresh();
        return false;
    }
    if (!link.open_port()) return false;
    ui.set_status(res::str(res::IDS_UPLOADING_IDENTITY));
    ui.set_wait_cursor(true);

    Result_code result = query_identity(link, session.identity);
    if (result == RESULT_OK) result = query_serial(link, session.capability, session.identity);

    link.close_port();
    ui.set_wait_cursor(false);
    if (result != RESULT_OK) {
        switch (result) {
        case RESULT_DOCUMENT_MODE: show_error(ui, res::IDS_EXIT_DOCUMENT_MODE); break;
        case RESULT_NOT_IDENTITY: show_error(ui, res::IDS_NOT_IDENTITY); break;
        case RESULT_CANCELLED: show_error(ui, res::IDS_CANCELLED); break;
        default: if (!link.port_lost()) show_error(ui, res::IDS_NO_RESPONSE); break;
        }
        if (session.empty_tag_list)
            session.empty_tag_list();
        else
            ui.set_tag_list({});
    } else {
        const Calibrator_identity& id = session.identity;
        ui.show_identity({id.manufacturer, id.model, id.serial_number, firmware_text(id)});
    }
    session.refresh();
    return result == RESULT_OK;
}

}  // namespace comm
