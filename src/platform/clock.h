#pragma once

#include <cstdint>

namespace vela {

// Millisecond tick counter; elapsed times are unsigned differences of two ticks, so
// they stay right across the counter's wrap.
std::uint32_t TickCount();
void SleepMs(std::uint32_t ms);

// Milliseconds since `start` (a TickCount()). Ticks are whole milliseconds, so an
// interval measured with them may be up to one millisecond shorter than it says.
std::uint32_t ElapsedMs(std::uint32_t start);

}  // namespace vela
