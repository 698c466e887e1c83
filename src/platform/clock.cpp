#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace vela {
namespace {

std::uint64_t NowUs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

// A tick taken as a start is rounded up and the end of an interval rounded down, so the
// difference of the two never overstates the time that passed.
std::uint32_t TickCount() {
    return static_cast<std::uint32_t>((NowUs() + 999) / 1000);
}

std::uint32_t ElapsedMs(std::uint32_t start) {
    const auto now = static_cast<std::uint32_t>(NowUs() / 1000);
    const auto diff = static_cast<std::int32_t>(now - start);
    return diff < 0 ? 0 : static_cast<std::uint32_t>(diff);
}

void SleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace vela
