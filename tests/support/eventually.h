#pragma once

#include <chrono>
#include <thread>

namespace vela::test {

// Waits until `done()` holds, asking again every few milliseconds; false when `timeoutMs`
// passed first. For what another thread or process settles a moment after the test can see
// it: the bound is a generous limit for a loaded machine, never a measurement.
template <class Done>
bool Eventually(Done done, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace vela::test
