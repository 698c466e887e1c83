#pragma once

#include <chrono>
#include <cstdint>

namespace vela::test {

// Real time since construction, for timing assertions. Whole milliseconds rounded down
// from the steady clock: a lower bound N holds exactly when N ms have passed, where two
// tick-counter readings can show one less.
class Stopwatch {
  public:
    Stopwatch() : m_start(std::chrono::steady_clock::now()) {}

    std::uint32_t Ms() const {
        return static_cast<std::uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start)
                .count());
    }
    void Restart() { m_start = std::chrono::steady_clock::now(); }

  private:
    std::chrono::steady_clock::time_point m_start;
};

}  // namespace vela::test
