#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace vela {

// Millisecond tick counter; elapsed times are unsigned differences of two ticks, so
// they stay right across the counter's wrap.
std::uint32_t TickCount();
void SleepMs(std::uint32_t ms);

// Milliseconds since `start` (a TickCount()). Ticks are whole milliseconds, so an
// interval measured with them may be up to one millisecond shorter than it says: never
// end a time-out on it, use a Deadline.
std::uint32_t ElapsedMs(std::uint32_t start);

// The end of a time-out as a point in real time. A wait that runs until Passed() has
// waited its whole time-out, whichever fraction of a tick it started in.
class Deadline {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(std::uint32_t timeoutMs) : m_end(Clock::now() + std::chrono::milliseconds(timeoutMs)) {}

    bool Passed() const { return Clock::now() >= m_end; }
    Clock::time_point When() const { return m_end; }
    // What is left, rounded up to whole milliseconds so a wait of that long reaches the
    // end; 0 once passed.
    std::uint32_t LeftMs() const;

  private:
    Clock::time_point m_end;
};

// The current UTC time, broken down, with milliseconds.
struct UtcTime {
    int year = 1970;
    int month = 1;  // 1-12
    int day = 1;    // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};
UtcTime CurrentUtcTime();
UtcTime ToUtcTime(std::chrono::system_clock::time_point time);

// Where CurrentUtcTime takes the time from: the system clock unless a source is set.
// Tests set one (an empty function restores the system clock) before the code under
// test runs; it is not meant to change while another thread reads the time.
using UtcTimeSource = std::function<std::chrono::system_clock::time_point()>;
void SetUtcTimeSource(UtcTimeSource source);

}  // namespace vela
