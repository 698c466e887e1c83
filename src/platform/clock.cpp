#include "platform/clock.h"

#include <chrono>
#include <thread>
#include <utility>

namespace vela {
namespace {

UtcTimeSource& TimeSource() {
    static UtcTimeSource source;
    return source;
}

}  // namespace

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

UtcTime ToUtcTime(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    // floor, not a cast: a time before 1970 must not round towards zero.
    const auto day = floor<days>(time);
    const year_month_day date(day);
    const hh_mm_ss clock(floor<milliseconds>(time - day));
    UtcTime utc;
    utc.year = static_cast<int>(date.year());
    utc.month = static_cast<int>(static_cast<unsigned>(date.month()));
    utc.day = static_cast<int>(static_cast<unsigned>(date.day()));
    utc.hour = static_cast<int>(clock.hours().count());
    utc.minute = static_cast<int>(clock.minutes().count());
    utc.second = static_cast<int>(clock.seconds().count());
    utc.millisecond = static_cast<int>(clock.subseconds().count());
    return utc;
}

UtcTime CurrentUtcTime() {
    const UtcTimeSource& source = TimeSource();
    return ToUtcTime(source ? source() : std::chrono::system_clock::now());
}

void SetUtcTimeSource(UtcTimeSource source) {
    TimeSource() = std::move(source);
}

}  // namespace vela
