#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace vela {

std::uint32_t TickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint32_t ElapsedMs(std::uint32_t start) {
    return TickCount() - start;
}

void SleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint32_t Deadline::LeftMs() const {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_end - Clock::now()).count();
    return left > 0 ? static_cast<std::uint32_t>(left) : 0;
}

}  // namespace vela
