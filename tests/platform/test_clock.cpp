// The UTC time broken down, and the settable source the tests fix it with.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.h"

namespace vela {
namespace {

using namespace std::chrono;

TEST(UtcTimeTest, BreaksDownToTheMillisecond) {
    const UtcTime t = ToUtcTime(sys_days{2024y / 2 / 29} + 23h + 59min + 58s + 7ms);
    EXPECT_EQ(t.year, 2024);
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.second, 58);
    EXPECT_EQ(t.millisecond, 7);

    // Before 1970 the fraction still counts forwards from the whole second.
    const UtcTime early = ToUtcTime(sys_days{1969y / 12 / 31} + 23h + 59min + 59s + 999ms);
    EXPECT_EQ(early.year, 1969);
    EXPECT_EQ(early.second, 59);
    EXPECT_EQ(early.millisecond, 999);
}

TEST(UtcTimeTest, ASetSourceStandsInForTheSystemClockUntilCleared) {
    SetUtcTimeSource([] { return sys_days{2026y / 12 / 8} + 10h + 7min + 42s + 15ms; });
    const UtcTime fixed = CurrentUtcTime();
    EXPECT_EQ(fixed.minute, 7);
    EXPECT_EQ(fixed.second, 42);
    EXPECT_EQ(fixed.millisecond, 15);

    SetUtcTimeSource({});
    const auto before = floor<milliseconds>(system_clock::now());
    const UtcTime live = CurrentUtcTime();
    const auto after = system_clock::now();
    const auto back = sys_days{year{live.year} / month{static_cast<unsigned>(live.month)} /
                               day{static_cast<unsigned>(live.day)}} +
                      hours{live.hour} + minutes{live.minute} + seconds{live.second} +
                      milliseconds{live.millisecond};
    EXPECT_GE(back, before);
    EXPECT_LE(back, after);
}

}  // namespace
}  // namespace vela
