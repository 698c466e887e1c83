#pragma once

#include <cstdint>

namespace vela {

// Millisecond tick counter; elapsed times are unsigned differences of two ticks, so
// they stay right across the counter's wrap.
std::uint32_t TickCount();
void SleepMs(std::uint32_t ms);

inline std::uint32_t ElapsedMs(std::uint32_t start) {
    return TickCount() - start;
}

}  // namespace vela
