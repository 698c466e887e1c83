// The LUT core: the table under a 16-point curve (target: under 1 ms), and a full read and
// write of the table against the simulated camera at 115200 bit/s with its bytes paced,
// each against its floor of 512 transactions at 20 ms (the engine's first look at an
// answer is 20 ms after the line went out).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "camera/lutcurve.h"
#include "camera/luttransfer.h"
#include "pacedcamera.h"
#include "protocol/command.h"

namespace {

constexpr int kComNumber = 14;
constexpr double kFloorMs = 512 * 20.0;

// An S-shaped curve with overshoot near both ends, the most samples there can be.
vela::EditPoints SixteenPoints() {
    vela::EditPoints points;
    points.Assign({{0, 256},
                   {17, 250},
                   {34, 252},
                   {51, 240},
                   {68, 220},
                   {85, 190},
                   {102, 160},
                   {119, 130},
                   {136, 110},
                   {153, 80},
                   {170, 60},
                   {187, 30},
                   {204, 10},
                   {221, 4},
                   {238, 6},
                   {256, 0}});
    return points;
}

void BM_ComputeTableFromPoints16(benchmark::State& state) {
    const vela::EditPoints points = SixteenPoints();
    for (auto _ : state) {
        vela::LutTable table = vela::ComputeTableFromPoints(points);
        benchmark::DoNotOptimize(table);
    }
}

struct QuietProgress : vela::LutTransferProgress {
    void Start(const std::string&) override {}
    void SetMessage(const std::string&) override {}
    void SetPos(int) override {}
    void Finish() override {}
    void EntryDone() override {}
};

// One full transfer per run against a paced camera; prints the time against the floor.
void Transfer(benchmark::State& state, bool write) {
    vela::bench::PacedCamera camera(kComNumber);
    if (camera.Error()) {
        state.SkipWithError(camera.Error());
        return;
    }
    vela::Command& command = camera.command();
    vela::LutTable table = vela::ComputeTableFromPoints(SixteenPoints());
    QuietProgress progress;
    double ms = 0;
    int ok = 1;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (write) {
            vela::WriteLutTable(command, table, progress);
        } else {
            ok = vela::ReadLutTable(command, table, progress);
        }
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["ms"] = ms;
    state.counters["floor_ms"] = kFloorMs;
    std::printf(
        "%s of 256 entries at 115200 bit/s, paced: %.0f ms, floor %.0f ms (%+.1f %%), %zu prompts%s\n",
        write ? "write" : "read", ms, kFloorMs, 100.0 * (ms - kFloorMs) / kFloorMs,
        camera.prompt().entries().size(), ok ? "" : ", READ FAILED");
}

void BM_ReadTable(benchmark::State& state) {
    Transfer(state, false);
}

void BM_WriteTable(benchmark::State& state) {
    Transfer(state, true);
}

}  // namespace

BENCHMARK(BM_ComputeTableFromPoints16)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_ReadTable)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTable)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
