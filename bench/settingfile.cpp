// Applying a 36-line setting file (Shipping Data) at 115200 bit/s against the simulated
// camera with bytes paced at that rate. Each line is one write that waits for COMPLETE,
// and the engine first looks for the answer 20 ms after sending, so 36 x 20 ms = 720 ms
// is the floor. The progress window's one-second pause at the end is not part of this.
#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "camera/parameterreader.h"
#include "camera/settingfile.h"
#include "pacedcamera.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"

namespace {

constexpr int kComNumber = 14;
constexpr double kFloorMs = 36 * 20.0;

struct NoProgress : vela::ParameterReadProgress {
    void Start(const std::string&) override {}
    void SetPos(int) override {}
    void Finish() override {}
    void DrainMessages() override {}
};

void BM_ApplySettingFile(benchmark::State& state) {
    vela::bench::PacedCamera camera(kComNumber);
    if (camera.Error()) {
        state.SkipWithError(camera.Error());
        return;
    }
    const std::string path = camera.ConfigDir() + "/shipping.cam";
    vela::Command& command = camera.command();
    vela::CameraModel model(command);
    NoProgress progress;
    model.Read();
    vela::ReadParameterRows(command, model, 1, progress);
    vela::SaveSettingFile(path, vela::SettingFileKind::ShippingData, command, model, 1);

    const int runs = std::getenv("VELA_BENCH_BRIEF") ? 1 : 10;
    std::vector<double> ms;
    for (auto _ : state) {
        for (int i = 0; i < runs; ++i) {
            const auto t0 = std::chrono::steady_clock::now();
            vela::LoadSettingFile(path, command, model, 1, progress);
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    state.counters["median_ms"] = median;
    state.counters["ratio_to_floor"] = median / kFloorMs;
    std::printf(
        "36-line file at 115200 bit/s: %zu runs, median %.1f ms, min %.1f, max %.1f; floor %.0f ms, "
        "ratio %.3f; %zu boxes shown\n",
        ms.size(), median, ms.front(), ms.back(), kFloorMs, median / kFloorMs,
        camera.prompt().entries().size());
}

}  // namespace

BENCHMARK(BM_ApplySettingFile)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
