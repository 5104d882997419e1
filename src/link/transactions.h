// The calibrator's command transactions: each sends one command, reads its
// reply and checks it against the forms the command allows, trying again
// (with the port closed and reopened in between) when the reply is damaged
// or unexpected.
//
// Every transaction expects the port to be open and returns a Result_code;
// none shows a message of its own, except upload_field when not quiet.
#pragma once

#include <string>
#include <string_view>

#include "link/capability.h"
#include "link/result_code.h"
#include "link/serial_link.h"

namespace reports {
class Field_table;
}

namespace comm {

// Replies the transactions accept.
inline constexpr std::string_view REPLY_COMPLETE = "<Complete>";
inline constexpr std::string_view REPLY_NO_TAGS = "<No tags available>";
inline constexpr std::string_view REPLY_NO_SPACE = "<No space between command and parameter>";
inline constexpr std::string_view REPLY_DATE_INVALID = "<Date or time invalid>";

// Attempts of the transactions that follow the common attempt loop.
constexpr int TRANSACTION_ATTEMPTS = 3;
// Sends of one field upload at most.
constexpr int UPLOAD_FIELD_SENDS = 4;

// "TAG_CLEAR_ALL": 0 on "<Complete>" or "<No tags available>" (reply holds which).
Result_code erase_all_tags(Serial_link& link, std::string& reply);

// "TAG_CLEAR <tag id>": 0 on "<Complete>", "<No space between command and
// parameter>" or the not-found line "<Tag [ID] not found>"; reply holds
// which.  From the second attempt on a not-found line counts as "<Complete>"
// (the first attempt's erase may have worked with its reply lost).
Result_code erase_tag(Serial_link& link, std::string_view tag_id, std::string& reply);

// The not-found line for a tag ID: "<Tag [PUMP1] not found>" for "pump1".
std::string tag_not_found_text(std::string_view tag_id);

// "GET_CLOCK": on 0 reply holds "YYYY/MM/DD HH:MM:SS" (the hour's first
// digit may be a space).
Result_code read_clock(Serial_link& link, std::string& reply);

// True for the 19-character date and time form of the calibrator's clock.
bool valid_clock_reply(std::string_view line);

// The SET_CLOCK command for a local date and time (month 1..12, four-digit year).
std::string set_clock_command(int year, int month, int day, int hour, int minute, int second);

// Sends a SET_CLOCK command: 0 on "<Complete>"; RESULT_INVALID when the
// calibrator answered "<Date or time invalid>" (after one attempt).
Result_code write_clock(Serial_link& link, std::string_view command, std::string& reply);

// "GET_SN": on 0 the whole reply line is the serial number.
Result_code read_serial(Serial_link& link, std::string& serial);

// "TAG_DNLD 0" (framed under the framed protocol): the calibrator's free tag
// spaces and its next free position.  Unless the result is 0, free_spaces is
// 0 and next_position -1.  Free spaces 0 or position -1 mean no room.
Result_code query_free_space(Serial_link& link, const Capability& capability, int& free_spaces,
                             int& next_position);

// "TAG_DNLD field position value" (framed under the framed protocol): one
// field of a tag download, sent once and never re-sent automatically.  On 0
// reply holds the calibrator's answer without its frame ("<Complete>" or an
// error line; the caller judges it).  A damaged frame gives RESULT_INVALID,
// no answer or a broken line its own code; after either the port has been
// closed and reopened, and a port that could not be reopened gives
// RESULT_PORT_CLOSED.  DOCUMENT mode and Cancel are returned as they are.
Result_code download_field_exchange(Serial_link& link, const Capability& capability, int field, int position,
                                    std::string_view value, std::string& reply);

// "TAG_UPLD field position" (framed under the framed protocol): one field of
// the tag at a position.  A caller that requests many fields passes the same
// success flag to every call: once it is false, later calls send nothing
// (result 0).  On success value holds the field's value and the function
// returns true; value is left as it was otherwise.  An error line from the
// calibrator gives false with result 0.  Unless quiet, failures are shown
// (caption "ERROR").  At most four sends; the port is closed and reopened
// after each failed one.
bool upload_field(Serial_link& link, const Capability& capability, bool& success, int field, int position,
                  bool quiet, Result_code& result, std::string& value);
// The same, storing the value in slot `field` of the field value table.
bool upload_field(Serial_link& link, const Capability& capability, bool& success, int field, int position,
                  bool quiet, Result_code& result, reports::Field_table& table);

// True when a reply line is a calibrator error line ("<Error n>").
bool is_error_line(std::string_view line);
// The code of an error line: the number from its eighth character.
int error_code(std::string_view line);
// The message for a calibrator error code: the table for 1..25, else
// "Unknown error code %i returned.".
std::string calibrator_error_message(int code);

}  // namespace comm
