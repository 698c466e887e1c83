// The connected, idle tool: the command engine's timer reads one byte with 10 ms every
// 25 ms on a silent port. Prints the CPU time that loop costs as a share of one core.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "support/pty.h"
#include "transport/comport.h"
#include "transport/seriallink.h"

namespace {

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);  // all threads, the receive thread included
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

void BM_IdleReceiveLoop(benchmark::State& state) {
    vela::test::PtyPeer peer;
    setenv("VELA_CONFIG_DIR", "/tmp", 0);
    vela::ComPort port;
    vela::SerialLink link(vela::SerialLink::Channels{&port, nullptr, nullptr, nullptr}, nullptr);
    const std::string name = peer.LinkAsComPort(16);
    if (!port.Open(name, 115200, 8, 0, 0, 0)) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const double seconds = std::getenv("VELA_BENCH_BRIEF") ? 1.0 : 5.0;
    for (auto _ : state) {
        const double cpu0 = CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        auto next = t0;
        while (std::chrono::steady_clock::now() - t0 < std::chrono::duration<double>(seconds)) {
            char c;
            benchmark::DoNotOptimize(link.Read(&c, 1, 10));
            next += std::chrono::milliseconds(25);
            std::this_thread::sleep_until(next);
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double share = 100.0 * (CpuSeconds() - cpu0) / wall;
        state.counters["cpu_percent_of_core"] = share;
        std::printf("idle receive loop: %.3f %% of one core over %.1f s (target below 1 %%)\n", share, wall);
    }
    port.Close();
}

}  // namespace

BENCHMARK(BM_IdleReceiveLoop)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_MAIN();
