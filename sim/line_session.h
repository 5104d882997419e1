// The serial line side of the engine: assembles command lines from the bytes
// as they come (a command may arrive in pieces), hands them to the engine and
// schedules the reply bytes in time.  No I/O: the host passes the time in and
// takes out the bytes that are due.
//
// Timing: a reply can be held back by a fixed delay, and with a baud rate set
// every byte takes 10 bit times on the line in both directions: a command of N
// bytes is complete N byte times after its first byte came, and the reply's
// bytes leave one byte time apart.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "engine.h"

namespace sim {

struct Timing_options {
    int baud = 0;            // 0: no line pacing
    int reply_delay_ms = 0;  // extra wait before a reply starts
};

// The longest command line the calibrator takes; longer lines are not
// executed (they are answered as an unknown command).
constexpr size_t MAX_COMMAND_LINE = 200;

class Line_session {
public:
    using Log = std::function<void(std::string_view)>;

    Line_session(Engine& engine, Timing_options timing, Log log = {});

    // Bytes received from the line at time now_us.
    void receive(std::string_view bytes, std::int64_t now_us);
    // Time at which the next reply byte is due, or -1 when none is waiting.
    std::int64_t next_due_us() const;
    // Removes and returns every reply byte due at now_us.
    std::string take_due(std::int64_t now_us);

private:
    void complete_line(std::int64_t complete_ns);
    void schedule(const std::string& bytes, std::int64_t ready_ns);

    Engine& engine_;
    Timing_options timing_;
    Log log_;
    std::int64_t byte_ns_ = 0;       // one byte on the line
    std::string line_;
    bool overlong_ = false;
    std::int64_t rx_busy_until_ns_ = 0;  // the incoming line carries bytes until then
    std::int64_t tx_busy_until_ns_ = 0;  // the outgoing line is taken until then
    struct Timed_byte {
        std::int64_t due_ns;
        char byte;
    };
    std::deque<Timed_byte> out_;
};

// Control characters and bytes above 0x7E written as \r, \n, \t or \xHH.
std::string escape_control(std::string_view bytes);

}  // namespace sim
