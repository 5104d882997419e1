// The simulator's time: the calendar clock it reports with GET_CLOCK and a
// monotonic microsecond clock for pacing replies.  Injectable, so that tests
// run without sleeping.
#pragma once

#include <cstdint>
#include <ctime>

namespace sim {

class Time_source {
public:
    virtual ~Time_source() = default;
    // Seconds since the epoch (the host's calendar clock).
    virtual std::time_t wall_now() = 0;
    // Microseconds from an arbitrary start; never goes back.
    virtual std::int64_t monotonic_us() = 0;
};

class System_time_source : public Time_source {
public:
    std::time_t wall_now() override;
    std::int64_t monotonic_us() override;
};

// A clock that moves only when told to.
class Manual_time_source : public Time_source {
public:
    explicit Manual_time_source(std::time_t wall = 1718452800) : wall_(wall) {}
    std::time_t wall_now() override { return wall_; }
    std::int64_t monotonic_us() override { return mono_us_; }
    void set_wall(std::time_t wall) { wall_ = wall; }
    void advance_us(std::int64_t us) { mono_us_ += us; }

private:
    std::time_t wall_;
    std::int64_t mono_us_ = 0;
};

}  // namespace sim
