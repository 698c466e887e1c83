#pragma once

#include <cstdint>

namespace vela {

// Millisecond tick counter; elapsed times are unsigned differences of two ticks, so
// they stay right across the counter's wrap.
std::uint32_t TickCount();
void SleepMs(std::uint32_t ms);

// Milliseconds since `start` (a TickCount()), never more than have really passed: a
// time-out measured with it never ends early, even by the fraction of a tick.
std::uint32_t ElapsedMs(std::uint32_t start);

}  // namespace vela
