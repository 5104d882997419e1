#include "time_source.h"

#include <chrono>

namespace sim {

std::time_t System_time_source::wall_now() { return std::time(nullptr); }

std::int64_t System_time_source::monotonic_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace sim
