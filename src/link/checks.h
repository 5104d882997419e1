// The checks that open every calibrator operation: is the device on the port
// a supported calibrator, and does its clock agree with the PC's?  Also the
// Upload > Calibrator Identity command.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "link/capability.h"
#include "link/result_code.h"
#include "link/serial_link.h"

namespace comm {

// A date and time as the calibrator's clock gives it (month 1..12).
struct Clock_reading {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What the last clock check compared.
struct Clock_comparison {
    bool valid = false;          // the calibrator's clock was read
    Clock_reading calibrator;
    Clock_reading pc;            // the PC's local time at the moment of comparing
    long long difference = 0;    // PC time minus calibrator time, in seconds
};

// The calibrator state kept for the whole run of the program: what the last
// identity check found and whether the clock check is still on.  The main
// window owns one and hands it to every calibrator operation.
struct Calibrator_session {
    Calibrator_session(Serial_link& link, std::function<void()> refresh_status_line = {})
        : link(link), refresh_status_line(std::move(refresh_status_line)) {}

    Serial_link& link;
    Calibrator_identity identity;    // rewritten by every identity query
    Capability capability;           // level 0 and unframed until a check passes
    bool clock_check_enabled = true; // switched off by the user for the rest of the run
    Clock_comparison last_clock;     // filled by clock_check when it read the clock

    // The main window's refresh of the status line (the configured format
    // and port); called at the end of each check.
    std::function<void()> refresh_status_line;
    // Empties the Tag ID list and the tag list behind it; when unset the
    // checks empty the list shown through the ui.
    std::function<void()> empty_tag_list;

    void refresh() {
        if (refresh_status_line) refresh_status_line();
    }
};

// Maximum difference between the calibrator's clock and the PC's, in seconds
// (exactly 15 minutes still passes).
constexpr long long CLOCK_TOLERANCE_SECONDS = 900;

// "*IDN?" (port open): fills manufacturer, model, firmware major, minor and
// suffix.  RESULT_NOT_IDENTITY when the reply is not an identity string; a
// reply that fell silent without CR is taken when it has the shape of an
// identity.  After a rejected reply the port has been closed and reopened.
Result_code query_identity(Serial_link& link, Calibrator_identity& identity);

// The serial number (port open): under the framed protocol field 129 of tag
// position 1, quietly (an error line gives RESULT_INVALID); otherwise "GET_SN".
Result_code query_serial(Serial_link& link, const Capability& capability, Calibrator_identity& identity);

// Opens the port, asks for the identity and decides the capability; shows
// its messages; closes the port and refreshes the status line.  True when a
// supported calibrator answered.
bool identity_check(Calibrator_session& session);

// Unless switched off, reads the calibrator's clock and, when it is more than
// 15 minutes from the PC's, offers to set it (and then to switch the check
// off for the rest of the run).  Opens and closes the port itself.  True when
// the clocks agree, the user declined, the clock was set, or the check is off.
bool clock_check(Calibrator_session& session);

// Upload > Calibrator Identity: identity check, then identity and serial
// number shown in the identification dialog.  True when the dialog was shown;
// a failure after the check shows its message and empties the Tag ID list.
bool calibrator_identity_command(Calibrator_session& session);

// The calibrator's date and time from a GET_CLOCK reply: the numbers at
// positions 0, 5, 8, 11, 14 and 17.
Clock_reading parse_clock_reading(std::string_view reply);

// now minus the calibrator's time, with the calibrator's values taken as
// local time under the PC's daylight-saving state at now.
long long clock_difference(std::time_t now, const Clock_reading& calibrator);

// The PC's local date and time.
Clock_reading local_reading(std::time_t when);

}  // namespace comm
