#include "line_session.h"

#include <algorithm>

namespace sim {

Line_session::Line_session(Engine& engine, Timing_options timing, Log log)
    : engine_(engine), timing_(timing), log_(std::move(log)) {
    // 10 bits per byte: start bit, 8 data bits, stop bit.
    if (timing_.baud > 0) byte_ns_ = 10'000'000'000LL / timing_.baud;
}

void Line_session::receive(std::string_view bytes, std::int64_t now_us) {
    const std::int64_t now_ns = now_us * 1000;
    for (char c : bytes) {
        rx_busy_until_ns_ = std::max(rx_busy_until_ns_, now_ns) + byte_ns_;
        if (c == '\r') {
            complete_line(rx_busy_until_ns_);
        } else if (c == '\n' || c == '\0') {
            // Line feeds and NULs between commands mean nothing to the calibrator.
        } else if (line_.size() < MAX_COMMAND_LINE) {
            line_ += c;
        } else {
            overlong_ = true;
        }
    }
}

void Line_session::complete_line(std::int64_t complete_ns) {
    std::string bytes = overlong_ ? engine_.handle_overlong_line() : engine_.handle_line(line_);
    if (log_) {
        log_("> " + escape_control(line_) + (overlong_ ? "... (too long)" : ""));
        log_(bytes.empty() ? std::string("< (no reply)") : "< " + escape_control(bytes));
    }
    line_.clear();
    overlong_ = false;
    schedule(bytes, complete_ns + static_cast<std::int64_t>(timing_.reply_delay_ms) * 1'000'000);
}

void Line_session::schedule(const std::string& bytes, std::int64_t ready_ns) {
    std::int64_t t = std::max(ready_ns, tx_busy_until_ns_);
    for (char c : bytes) {
        t += byte_ns_;  // a byte is there once its last bit has gone out
        out_.push_back({t, c});
    }
    tx_busy_until_ns_ = t;
}

std::int64_t Line_session::next_due_us() const {
    if (out_.empty()) return -1;
    return (out_.front().due_ns + 999) / 1000;
}

std::string Line_session::take_due(std::int64_t now_us) {
    std::string due;
    const std::int64_t now_ns = now_us * 1000;
    while (!out_.empty() && out_.front().due_ns <= now_ns) {
        due += out_.front().byte;
        out_.pop_front();
    }
    return due;
}

std::string escape_control(std::string_view bytes) {
    static constexpr char HEX[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\r') text += "\\r";
        else if (c == '\n') text += "\\n";
        else if (c == '\t') text += "\\t";
        else if (c == '\\') text += "\\\\";
        else if (c < 0x20 || c > 0x7e) {
            text += "\\x";
            text += HEX[c >> 4];
            text += HEX[c & 15];
        } else {
            text += static_cast<char>(c);
        }
    }
    return text;
}

}  // namespace sim
