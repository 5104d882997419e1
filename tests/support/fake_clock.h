// A clock for tests: time stands still until something waits.
//
// Time only moves when the code under test sleeps (sleep_ms) or when a
// Scripted_port is waited on (wait_readable advances this clock), so an
// eight-second time-out runs in microseconds and every run sees the same
// sequence of clock readings.
#pragma once

#include <cstdint>
#include <ctime>

#include "link/clock.h"

namespace test {

class Fake_clock : public comm::Clock {
public:
    // Starts at start_seconds (seconds since the epoch); the default is
    // 2024-06-15 12:00:00 UTC, a day well away from any daylight-saving change.
    explicit Fake_clock(std::time_t start_seconds = 1718452800);

    // comm::Clock: whole seconds, as the transaction reads them.
    std::time_t now() override;
    // Advances the clock by ms; never really sleeps.
    void sleep_ms(int ms) override;

    // Lets ms milliseconds pass.
    void advance_ms(std::int64_t ms);
    // Milliseconds since the epoch.
    std::int64_t now_ms() const { return now_ms_; }
    // Jumps to a time (seconds since the epoch).
    void set(std::time_t seconds) { now_ms_ = static_cast<std::int64_t>(seconds) * 1000; }

    // Total milliseconds passed in sleep_ms calls.
    std::int64_t slept_ms() const { return slept_ms_; }

private:
    std::int64_t now_ms_;
    std::int64_t slept_ms_ = 0;
};

}  // namespace test
