// The time source of the link: whole seconds, injectable so that time-out
// tests run without waiting.
#pragma once

#include <ctime>

namespace comm {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since the epoch; the transaction only ever looks at differences.
    virtual std::time_t now() = 0;
    // Lets time pass without doing anything else (used for the pause between
    // attempts of the tag list).  A fake clock simply advances.
    virtual void sleep_ms(int ms) = 0;
};

// The real clock of the PC.
class System_clock : public Clock {
public:
    std::time_t now() override;
    void sleep_ms(int ms) override;
};

}  // namespace comm
