#include "link/serial_link.h"

#include "resources/link_strings.h"
#include "resources/shell_strings.h"
#include "resources/strings.h"

namespace comm {

Serial_link::Serial_link(Serial_port& port, Clock& clock, ui::Ui& ui,
                         std::function<Port_device()> device_name)
    : port_(port), clock_(clock), ui_(ui), device_name_(std::move(device_name)) {}

bool Serial_link::open_port() {
    std::string reason;
    const Port_device target = device_name_();
    Open_failure failure = port_.open(target.device, reason);
    port_lost_ = failure != Open_failure::none;
    if (!port_lost_) return true;

    int id = res::IDS_PORT_OPEN_FAILED;
    switch (failure) {
    case Open_failure::open: id = res::IDS_PORT_OPEN_FAILED; break;
    case Open_failure::buffers: id = res::IDS_PORT_BUFFERS_FAILED; break;
    case Open_failure::timeouts: id = res::IDS_PORT_TIMEOUTS_FAILED; break;
    case Open_failure::get_state: id = res::IDS_PORT_GET_STATE_FAILED; break;
    case Open_failure::set_state: id = res::IDS_PORT_SET_STATE_FAILED; break;
    case Open_failure::none: break;
    }
    std::string text = res::str(id);
    if (failure == Open_failure::open)
        text = open_failure_text(target, reason);
    else if (!reason.empty())
        text += ": " + reason;
    ui_.message(text, ui::Caption::error,
                failure == Open_failure::open ? ui::Buttons::ok : ui::Buttons::ok_information_icon);
    port_.close();
    return false;
}

std::string open_failure_text(const Port_device& port, const std::string& reason) {
    std::string text = res::str(res::IDS_PORT_OPEN_FAILED);
    if (!port.name.empty())
        text += " " + port.name + " (" + port.device + ")";
    else if (!port.device.empty())
        text += " " + port.device;
    if (!reason.empty()) text += ": " + reason;
    // The usual cure is another device for the port, chosen where the
    // devices are listed.
    return text + "\n" + res::str(res::IDS_PORT_OPEN_FAILED_HINT);
}

void Serial_link::close_port() {
    if (port_.is_open()) port_.close();
}

void Serial_link::send_command(std::string_view text) {
    if (!port_.is_open()) return;
    // The reply is delivered in whole lines (see receive_line); switching
    // before the purge leaves nothing of an earlier reply behind.
    port_.set_whole_lines(true);
    port_.purge();
    pending_command_ = std::string(text) + '\r';
    bool written = port_.write(pending_command_);
    if (written)
        port_.wait_transmitted(TRANSMIT_WAIT_MS);
    else
        port_.clear_error();
}

Result_code Serial_link::receive_line(std::string& buffer, int capacity, bool allow_resend) {
    buffer.clear();
    if (!port_.is_open()) {
        pending_command_.clear();
        return RESULT_PORT_CLOSED;
    }

    std::time_t start = clock_.now();
    std::time_t last = start;
    bool received_any = false;
    int resends = 0;
    bool done = false;
    Result_code result = RESULT_OK;

    // Until the seconds clock first ticks, the port wakes this loop only for
    // whole lines, so a reply that comes at once costs one wake-up.  From
    // that tick on it delivers every byte as it comes, so that a line falling
    // silent without its CR, and the re-send after silence, keep their timing.
    bool whole_lines = port_.set_whole_lines(true);
    const std::time_t wait_began = start;
    std::size_t held = 0;          // bytes whole-line delivery held back until that tick
    std::time_t held_since = 0;    // the last reading before it: when they had arrived by

    for (;;) {
        unsigned char byte = 0;
        Read_status status = port_.read_byte(byte);
        if (status == Read_status::error) port_.clear_error();
        bool got_byte = status == Read_status::byte;
        if (got_byte) {
            received_any = true;
            if (held > 0) {
                --held;
                start = held_since;
            } else {
                start = clock_.now();
            }
            byte &= 0x7F;
            if (byte >= 0x20 && byte <= 0x7E && static_cast<int>(buffer.size()) < capacity - 1) {
                buffer += static_cast<char>(byte);
            } else {
                done = true;
                if (byte != '\r') result = RESULT_BAD_LINE;
            }
        }

        if (ui_.pump_events()) {
            done = true;
            result = RESULT_CANCELLED;
        }
        if (cancel_requested_) {
            cancel_requested_ = false;
            done = true;
            result = RESULT_CANCELLED;
        }

        std::time_t now = clock_.now();
        // A loop held up for more than a second (a modal dialog opened while
        // events were pumped) does not count against the calibrator.
        const bool held_up = now - last > 1;
        if (held_up) start = now;
        if (whole_lines && now != wait_began) {
            whole_lines = false;
            port_.set_whole_lines(false);
            held = port_.bytes_waiting();
            held_since = held_up ? now : last;
        }
        last = now;

        if (done) break;

        if (received_any || pending_command_.empty()) {
            if (now - start > 3) {
                result = buffer.empty() ? RESULT_NO_RESPONSE : RESULT_PARTIAL;
                break;
            }
        } else if (now - start > 1) {
            ++resends;
            if (resends > 3 || !allow_resend) {
                result = RESULT_NO_RESPONSE;
                break;
            }
            start = now;
            if (!port_.write(pending_command_)) port_.clear_error();
        }

        // Nothing more to do until a byte arrives: wait on the port for a short,
        // bounded time instead of spinning.  A byte that arrives ends the wait at once.
        if (!got_byte) port_.wait_readable(POLL_INTERVAL_MS);
    }

    pending_command_.clear();
    if (result == RESULT_OK && buffer == "<Exit DOCUMENT mode>") return RESULT_DOCUMENT_MODE;
    return result;
}

int standard_message_id(Result_code result) {
    switch (result) {
    case RESULT_INVALID: return res::IDS_OPERATION_FAILED;
    case RESULT_DOCUMENT_MODE: return res::IDS_EXIT_DOCUMENT_MODE;
    case RESULT_NOT_IDENTITY: return res::IDS_NOT_IDENTITY;
    case RESULT_CANCELLED: return res::IDS_CANCELLED;  // the user ended the wait: the calibrator did not fail
    default: return res::IDS_NO_RESPONSE;
    }
}

void show_result_message(ui::Ui& ui, Result_code result) {
    if (result == RESULT_OK) return;
    ui.message(res::str(standard_message_id(result)), ui::Caption::error, ui::Buttons::ok);
}

void Serial_link::show_result_message(Result_code result) {
    if (result == RESULT_PORT_CLOSED && port_lost_) return;
    comm::show_result_message(ui_, result);
}

bool recover(Serial_link& link) {
    link.close_port();
    return link.open_port();
}

}  // namespace comm
