#include "link/clock.h"

#include <chrono>
#include <thread>

namespace comm {

std::time_t System_clock::now() { return std::time(nullptr); }

void System_clock::sleep_ms(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace comm
