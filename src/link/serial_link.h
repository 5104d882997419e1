// The command transaction over the serial line: open and close the port,
// send one command line, receive one reply line under the time-out and
// re-send rules, and turn a result code into its standard message.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/port_names.h"
#include "link/result_code.h"
#include "link/serial_port.h"
#include "ui/ui.h"

namespace comm {

// Every reply buffer of the program has this capacity: a line holds at most 59 characters.
constexpr int REPLY_CAPACITY = 60;

class Serial_link {
public:
    // device_name gives the port and device to open for the configured port
    // each time the port is opened (the port setting may change between
    // operations); the open failure message names both.
    Serial_link(Serial_port& port, Clock& clock, ui::Ui& ui, std::function<Port_device()> device_name);

    // Opens and configures the port; on failure shows its message and returns false.
    bool open_port();
    // Closes the port if one is open.
    void close_port();
    bool port_open() const { return port_.is_open(); }
    // The last open_port failed (its message has been shown): an operation
    // whose recovery could not reopen the port ends without a second message.
    bool port_lost() const { return port_lost_; }

    // Sends text followed by CR, after discarding anything unread.
    void send_command(std::string_view text);

    // Receives one reply line into buffer (without its CR, at most capacity - 1
    // characters).  Only the first line after send_command may re-send the command.
    Result_code receive_line(std::string& buffer, int capacity, bool allow_resend);

    // Set by a cancel window's Cancel button; receive_line acts on it and clears it.
    void request_cancel() { cancel_requested_ = true; }
    bool cancel_requested() const { return cancel_requested_; }
    // Drops a cancel request no wait has consumed (the end of a cancellable operation).
    void clear_cancel() { cancel_requested_ = false; }

    // The command awaiting its first reply line ("" when none).
    const std::string& pending_command() const { return pending_command_; }

    // How long one idle wait on the port lasts between event pumps.
    static constexpr int POLL_INTERVAL_MS = 20;
    // Upper bound of the wait for the transmitter to empty after a write.
    static constexpr int TRANSMIT_WAIT_MS = 2000;

    // The standard message of a result at the end of an operation, except
    // RESULT_PORT_CLOSED after a failed reopen: that failure has said why.
    void show_result_message(Result_code result);

    ui::Ui& user_interface() { return ui_; }
    Clock& clock() { return clock_; }

private:
    Serial_port& port_;
    Clock& clock_;
    ui::Ui& ui_;
    std::function<Port_device()> device_name_;
    std::string pending_command_;
    bool cancel_requested_ = false;
    bool port_lost_ = false;
};

// "Unable to open communications port COM5 (/dev/ttyS4): No such file or
// directory" and where the devices are chosen: the message of a port that
// could not be opened at all.
std::string open_failure_text(const Port_device& port, const std::string& reason);

// The standard message of a non-zero result at the end of an operation
// (caption "ERROR", OK): shown through ui.  Nothing for RESULT_OK.
void show_result_message(ui::Ui& ui, Result_code result);

// The id of the standard message text for a non-zero result.
int standard_message_id(Result_code result);

// The recovery rule of the command transactions: close the port and open it
// again.  False when it could not be opened (its message has been shown):
// the transaction then ends at once with RESULT_PORT_CLOSED.
bool recover(Serial_link& link);

}  // namespace comm
