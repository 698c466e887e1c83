// The Communication window's message list under load: one more line on a full list (4096
// items, so every line also drops the oldest), and the 1024 log lines of a LUT transfer
// (512 sent, 512 answered). Both go through the command log as the transactions log them.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QString>
#include <cstdlib>
#include <string>

#include "dialogs/communicationdialog.h"
#include "dialogs/communicationhost.h"
#include "support/tempconfig.h"
#include "transport/commandlog.h"

namespace {

struct NoHost : vela::CommunicationHost {
    void ReadCameraSettings() override {}
    void SaveSettingFileDialog() override {}
    void OpenSettingFileDialog() override {}
};

struct Window {
    Window() : comm(host) {
        comm.Create();
        comm.show();
        for (int i = 0; i < vela::CCommunicationDialog::kMaxMessages; ++i)
            comm.AddMessage(QStringLiteral("Rx: LUTD=%1").arg(i));
        QCoreApplication::processEvents();
    }
    NoHost host;
    vela::CCommunicationDialog comm;
};

void BM_AddMessageToFullList(benchmark::State& state) {
    Window window;
    int n = 0;
    for (auto _ : state) vela::CommandLog::Instance().Log("Tx: LUTI=" + std::to_string(n++ & 255));
    QCoreApplication::processEvents();
}
BENCHMARK(BM_AddMessageToFullList)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LutTransferLines(benchmark::State& state) {
    Window window;
    for (auto _ : state) {
        for (int i = 0; i < 512; ++i) {
            vela::CommandLog::Instance().Log("Tx: LUTI=" + std::to_string(i & 255));
            vela::CommandLog::Instance().Log("Rx: LUTD=" + std::to_string(i * 16));
        }
        // What the window does with them once the transfer lets the event loop run.
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_LutTransferLines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The window reads the settings store when it is made: a folder of its own.
    vela::test::UseFreshConfigDir();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
