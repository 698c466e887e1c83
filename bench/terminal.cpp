// The terminal's AddLine on a full list (32786 lines), as during a LUT transfer: one line
// in, then the events that the transfer lets through between transactions (layout and
// painting of the visible rows). Reports the median and 95th percentile per line, and the
// heap the full list holds. The same for a QListWidget, for comparison.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <QApplication>
#include <QListWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "camera/terminallog.h"
#include "dialogs/terminaldialog.h"
#include "support/recordingprompt.h"

namespace {

constexpr int kFull = static_cast<int>(vela::TerminalLog::kMaxEntries);

int Lines() {
    return std::getenv("VELA_BENCH_BRIEF") ? 200 : 5000;
}

// A line as a LUT transfer logs it.
std::string LutLine(int i) {
    return "Rx: LUTD" + std::to_string(i % 256) + "=" + std::to_string((i * 16) % 4096);
}

// Bytes allocated on the heap and not yet freed.
long HeapKb() {
    return static_cast<long>(mallinfo2().uordblks / 1024);
}

struct Figures {
    double medianUs = 0;
    double p95Us = 0;
    long fullListKb = 0;
};

// Fills a list to 32786 lines with `add`, then times `Lines()` more, each followed by
// the pending events.
Figures Measure(const std::function<void(const std::string&)>& add) {
    Figures figures;
    // The window's first layout and painting are not the list's.
    QCoreApplication::processEvents();
    const long before = HeapKb();
    for (int i = 0; i < kFull; ++i) add(LutLine(i));
    QCoreApplication::processEvents();
    figures.fullListKb = HeapKb() - before;

    std::vector<double> us;
    for (int i = 0; i < Lines(); ++i) {
        const std::string line = LutLine(i);
        const auto t0 = std::chrono::steady_clock::now();
        add(line);
        QCoreApplication::processEvents();
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(us.begin(), us.end());
    figures.medianUs = us[us.size() / 2];
    figures.p95Us = us[std::min(us.size() - 1, (us.size() * 95 + 99) / 100 - 1)];
    return figures;
}

void Report(benchmark::State& state, const char* what, const Figures& f) {
    state.counters["median_us"] = f.medianUs;
    state.counters["p95_us"] = f.p95Us;
    state.counters["full_list_kB"] = static_cast<double>(f.fullListKb);
    std::printf(
        "%s: %d lines on a full list, median %.1f us, p95 %.1f us per line (target median well under "
        "1000 us); full list %ld kB of heap\n",
        what, Lines(), f.medianUs, f.p95Us, f.fullListKb);
}

void BM_TerminalAddLine(benchmark::State& state) {
    vela::RecordingPrompt prompt;
    Figures figures;
    for (auto _ : state) {
        vela::CTerminalDialog terminal;
        terminal.Create();
        terminal.show();
        figures = Measure([&](const std::string& line) { terminal.AddLine(line); });
    }
    Report(state, "CTerminalDialog::AddLine", figures);
}

void BM_ListWidgetAddLine(benchmark::State& state) {
    Figures figures;
    for (auto _ : state) {
        QListWidget list;
        list.setUniformItemSizes(true);
        list.resize(480, 320);
        list.show();
        figures = Measure([&](const std::string& line) {
            list.insertItem(0, QString::fromStdString(line));
            if (list.count() > kFull) delete list.takeItem(list.count() - 1);
        });
    }
    Report(state, "QListWidget insert at the top", figures);
}

}  // namespace

BENCHMARK(BM_TerminalAddLine)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListWidgetAddLine)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
