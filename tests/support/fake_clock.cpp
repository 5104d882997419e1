#include "support/fake_clock.h"

namespace test {

Fake_clock::Fake_clock(std::time_t start_seconds) : now_ms_(static_cast<std::int64_t>(start_seconds) * 1000) {}

std::time_t Fake_clock::now() { return static_cast<std::time_t>(now_ms_ / 1000); }

void Fake_clock::sleep_ms(int ms) {
    if (ms <= 0) return;
    now_ms_ += ms;
    slept_ms_ += ms;
}

void Fake_clock::advance_ms(std::int64_t ms) {
    if (ms > 0) now_ms_ += ms;
}

}  // namespace test
