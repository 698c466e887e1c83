#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.h"

using namespace std::chrono;

TEST(Clock, AnElapsedTimeNeverOverstatesTheTimeThatPassed) {
    // Time-outs end when ElapsedMs reaches them; they must not end early by a fraction
    // of a tick, or a "no answer within 500 ms" comes after 499.2 ms.
    for (int i = 0; i < 200; ++i) {
        const auto t0 = steady_clock::now();
        const std::uint32_t start = vela::TickCount();
        while (vela::ElapsedMs(start) < 2) {
        }
        EXPECT_GE(duration_cast<microseconds>(steady_clock::now() - t0).count(),
                  1990);  // 2 ms, to the microsecond
    }
    EXPECT_EQ(vela::ElapsedMs(vela::TickCount()), 0u);
}
