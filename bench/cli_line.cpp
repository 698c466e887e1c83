// vela-cli on a line of cameras: a 36-line setting file (Shipping Data, factory mode) applied
// at 115200 bit/s to four simulated cameras at once, with bytes paced at that rate, against
// the same file applied to one of them. Each run is the whole program as a script runs it,
// start to exit; the figure is the ratio of the medians (four / one), which one thread per
// camera keeps near 1. VELA_BENCH_BRIEF: three runs of each instead of seven.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/cameraonport.h"
#include "support/runprogram.h"
#include "support/tempconfig.h"

namespace {

constexpr int kBaudRate = 115200;
constexpr int kCameras = 4;

double MedianMsOfRuns(int runs, const std::vector<std::string>& args, std::string& error) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const vela::test::ProgramResult r =
            vela::test::RunProgram(vela::test::BuiltPath("bin/vela-cli"), args);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        if (r.exitCode != 0) error = "vela-cli exited " + std::to_string(r.exitCode) + ": " + r.err;
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void BM_ApplyToFourCameras(benchmark::State& state) {
    char dir[] = "/tmp/vela-bench-XXXXXX";
    if (!::mkdtemp(dir)) {
        state.SkipWithError("no config folder");
        return;
    }
    ::setenv("VELA_CONFIG_DIR", dir, 1);
    std::vector<std::unique_ptr<vela::sim::PtyCamera>> cameras(kCameras);
    vela::sim::CameraOptions options;
    options.baudRate = kBaudRate;
    vela::sim::WireOptions wire;
    wire.paceBytes = true;
    for (int n = 1; n <= kCameras; ++n) {
        const std::string error = vela::test::StartPtyCamera(cameras[n - 1], n, options, wire);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    const std::string file = std::string(dir) + "/shipping.cam";
    const std::vector<std::string> common = {"--factory", "-b", std::to_string(kBaudRate), "-q"};
    auto args = [&](const std::string& ports, std::vector<std::string> command) {
        std::vector<std::string> all = common;
        all.push_back("-p");
        all.push_back(ports);
        all.insert(all.end(), command.begin(), command.end());
        return all;
    };
    std::string error;
    MedianMsOfRuns(1, args("COM1", {"--shipping", "save", file}), error);
    const int runs = std::getenv("VELA_BENCH_BRIEF") ? 3 : 7;
    double one = 0;
    double four = 0;
    for (auto _ : state) {
        one = MedianMsOfRuns(runs, args("COM1", {"apply", file}), error);
        four = MedianMsOfRuns(runs, args("COM1-COM4", {"apply", file}), error);
    }
    std::size_t lines = 0;
    for (const char c : vela::test::ReadFile(file)) lines += c == '\n' ? 1 : 0;
    for (auto& camera : cameras) camera->Stop();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    state.counters["one_ms"] = one;
    state.counters["four_ms"] = four;
    state.counters["ratio"] = four / one;
    std::printf(
        "%zu-line file at %d bit/s, median of %d runs of vela-cli: one camera %.1f ms, "
        "%d cameras at once %.1f ms, ratio %.3f\n",
        lines, kBaudRate, runs, one, kCameras, four, four / one);
}

}  // namespace

BENCHMARK(BM_ApplyToFourCameras)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
