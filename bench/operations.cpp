// The tool's long camera operations against the simulated camera with bytes paced at its
// baud rate, each printed as time and as a ratio to its floor, at 115200 and 9600 bit/s:
// the whole read in both control modes, applying a 36-line setting file, a LUT read and a
// LUT write, run by the real main window with its receive timer, progress window and logs;
// then the real vela-control process: start-up until the pages show the camera's values,
// and the CPU time it uses while connected to an idle camera.
//
// A transaction's first look for its answer is 20 ms after the line went out, so its floor
// is 20 ms, or its time on the wire (line and answer, 10 bits a byte) and the camera's answer
// delay where that is longer; a line the camera cannot understand costs its time-out. With
// fast answers the tool takes each answer as it completes, so the floor is the wire time and
// the answer delay alone. The in-process operations run in both paces against a camera that
// answers 2 ms after a line is complete, as a camera's firmware takes a moment. The progress window's
// one-second pause at the end of an operation is not counted. Times are medians of three runs (one for a LUT
// transfer). VELA_BENCH_BRIEF: one run of each at 115200 bit/s (start-up at 9600), no LUT transfers, 2 s of
// idling.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <numeric>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/registrysettings.h"
#include "camera/luttransfer.h"
#include "camera/settingfile.h"
#include "camsim/ptycamera.h"
#include "dialogs/progressbardialog.h"
#include "mainwindow/ctrltooldlg.h"
#include "platform/clock.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "support/cameraonport.h"
#include "support/recordingprompt.h"
#include "support/tempconfig.h"
#include "transport/seriallink.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using Strings = std::vector<std::string>;

constexpr double kFinishPauseMs = vela::CProgressBarDialog::kFinishPauseMs;
constexpr int kAnswerDelayMs = 2;
// What vela-control writes to stderr, with QT_LOGGING_RULES="vela.startup.info=true", once
// its pages show the camera's values.
constexpr const char* kValuesShown = "pages show the camera's values";

bool Brief() {
    return std::getenv("VELA_BENCH_BRIEF") != nullptr;
}

double MsSince(Clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The floor of the lines the camera answered: per transaction the wire time of the line
// and its answer plus `answerDelayMs`, and at least `minimumMs` (the polled pace's 20 ms).
double AnsweredFloorMs(const Strings& received, const Strings& sent, int baud, double minimumMs = 20.0,
                       double answerDelayMs = 0.0) {
    double floor = 0.0;
    for (std::size_t i = 0; i < received.size(); ++i) {
        const std::size_t bytes = received[i].size() + 2 + (i < sent.size() ? sent[i].size() + 2 : 0);
        floor += std::max(minimumMs, static_cast<double>(bytes) * 10'000.0 / baud + answerDelayMs);
    }
    return floor;
}

struct Figure {
    std::vector<double> ms;
    double floorMs = 0.0;
    std::size_t transactions = 0;
    // Per run: what a tool that cost nothing would have taken with the camera as it answered
    // (20 ms per transaction, or from the camera taking the line to the end of its answer).
    std::vector<double> cameraMs;
};

// When the camera took each line and when it had sent the end of each answer.
struct WireClock {
    void Clear() {
        const std::lock_guard<std::mutex> lock(mutex);
        lineIn.clear();
        answerOut.clear();
    }
    void Note(const std::string& trace) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (trace.rfind("rx ", 0) == 0) lineIn.push_back(Clock::now());
        if (trace.rfind("tx ", 0) == 0) answerOut.push_back(Clock::now());
    }
    // At least `minimumMs` a transaction: the polled pace looks no sooner.
    double CameraMs(double minimumMs) {
        const std::lock_guard<std::mutex> lock(mutex);
        double ms = 0.0;
        for (std::size_t i = 0; i < lineIn.size() && i < answerOut.size(); ++i)
            ms += std::max(minimumMs,
                           std::chrono::duration<double, std::milli>(answerOut[i] - lineIn[i]).count());
        return ms;
    }
    std::mutex mutex;
    std::vector<Clock::time_point> lineIn;
    std::vector<Clock::time_point> answerOut;
};

void Report(benchmark::State& state, const std::string& what, int baud, const Figure& f) {
    if (f.ms.empty()) return;
    const double median = Median(f.ms);
    state.counters["median_ms"] = median;
    state.counters["floor_ms"] = f.floorMs;
    state.counters["ratio"] = median / f.floorMs;
    std::printf(
        "%-28s %6d bit/s: %4zu transactions, median %8.1f ms (%zu runs, %.1f .. %.1f), floor %8.1f ms, "
        "ratio %.3f\n",
        what.c_str(), baud, f.transactions, median, f.ms.size(), *std::min_element(f.ms.begin(), f.ms.end()),
        *std::max_element(f.ms.begin(), f.ms.end()), f.floorMs, median / f.floorMs);
    if (!f.cameraMs.empty()) {
        const double camera = Median(f.cameraMs);
        std::printf(
            "%-28s %6d bit/s: the camera's answers as they came %.1f ms (%.1f above the floor), "
            "the tool's own time %.1f ms (medians)\n",
            "  of which", baud, camera, camera - f.floorMs, median - camera);
    }
    std::fflush(stdout);
}

// The main window against one paced simulated camera, shared by the in-process operations.
struct Tool {
    Tool() {
        vela::test::UseFreshConfigDir();
        vela::sim::WireOptions wire;
        wire.paceBytes = true;
        wire.trace = true;
        wire.traceSink = [this](const std::string& text) { wireClock.Note(text); };
        vela::sim::CameraOptions options;
        options.processingDelayMs = kAnswerDelayMs;
        if (!vela::test::StartPtyCamera(camera, 1, options, wire).empty()) return;
        vela::ControlMode::Instance().Set(1);
        dlg = std::make_unique<vela::CCtrlToolDlg>();
        dlg->OnInitDialog();
        dlg->show();
        QCoreApplication::processEvents();
        shipping = vela::test::ConfigDirForTest() + "/shipping.cam";
        dlg->SaveSettingFile(shipping, vela::SettingFileKind::ShippingData);
        ok = true;
    }
    // Made on first use; main() ends it before the application goes.
    static std::unique_ptr<Tool>& Shared() {
        static std::unique_ptr<Tool> tool;
        return tool;
    }
    static Tool& Instance() {
        if (!Shared()) Shared() = std::make_unique<Tool>();
        return *Shared();
    }
    void UseBaud(int baud) {
        camera->WithCore([baud](vela::sim::CameraCore& c) {
            c.SetBaudRate(baud);
            return 0;
        });
        vela::SerialLink::Instance().SetBaudRate(baud);
    }
    // Runs `op` `runs` times at the pace chosen; `pauses` progress windows end in the
    // one-second pause.
    Figure Measure(int baud, bool fast, int runs, int pauses, const std::function<void()>& op) {
        dlg->SetFastAnswers(fast);
        Figure f;
        for (int r = 0; r < runs; ++r) {
            camera->ClearLines();
            wireClock.Clear();
            const auto t0 = Clock::now();
            op();
            f.ms.push_back(MsSince(t0) - pauses * kFinishPauseMs);
            f.cameraMs.push_back(wireClock.CameraMs(fast ? 0.0 : 20.0));
            const Strings received = camera->ReceivedLines();
            f.transactions = received.size();
            f.floorMs =
                AnsweredFloorMs(received, camera->SentLines(), baud, fast ? 0.0 : 20.0, kAnswerDelayMs);
        }
        dlg->SetFastAnswers(false);
        return f;
    }

    vela::RecordingPrompt prompt;
    WireClock wireClock;
    std::unique_ptr<vela::sim::PtyCamera> camera;
    std::unique_ptr<vela::CCtrlToolDlg> dlg;
    std::string shipping;
    bool ok = false;
};

// The LUT editor's side of a transfer: the progress window, the windows running after each
// entry.
struct WindowLutProgress : vela::LutTransferProgress {
    explicit WindowLutProgress(QWidget* owner) : owner(owner) {}
    void Start(const std::string& message) override {
        vela::CProgressBarDialog::Instance().Start(owner, QString::fromStdString(message));
    }
    void SetMessage(const std::string& message) override {
        vela::CProgressBarDialog::Instance().SetMessage(QString::fromStdString(message));
    }
    void SetPos(int percent) override { vela::CProgressBarDialog::Instance().SetPos(percent); }
    void Finish() override { vela::CProgressBarDialog::Instance().Finish(); }
    void EntryDone() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
    QWidget* owner;
};

int Runs(int normal) {
    return Brief() ? 1 : normal;
}

bool SkipBaud(benchmark::State& state, int baud) {
    if (Brief() && baud != 115200) {
        state.SkipWithError("brief run: 115200 bit/s only");
        return true;
    }
    if (!Tool::Instance().ok) {
        state.SkipWithError("no simulated camera");
        return true;
    }
    Tool::Instance().UseBaud(baud);
    return false;
}

std::string Paced(const char* what, bool fast) {
    return std::string(what) + (fast ? ", fast" : ", polled");
}

void BM_WholeRead(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const int mode = static_cast<int>(state.range(1));
    const bool fast = state.range(2) == 1;
    if (SkipBaud(state, baud)) return;
    Tool& tool = Tool::Instance();
    vela::ControlMode::Instance().Set(mode);
    for (auto _ : state) {
        const Figure f = tool.Measure(baud, fast, Runs(3), 1, [&tool] { tool.dlg->ReadCameraSettings(); });
        Report(state, Paced(mode == 1 ? "whole read, factory" : "whole read, user", fast), baud, f);
    }
}

void BM_ApplySettingFile(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const bool fast = state.range(1) == 1;
    if (SkipBaud(state, baud)) return;
    Tool& tool = Tool::Instance();
    vela::ControlMode::Instance().Set(1);
    for (auto _ : state) {
        const Figure f =
            tool.Measure(baud, fast, Runs(3), 1, [&tool] { tool.dlg->LoadSettingFile(tool.shipping); });
        Report(state, Paced("apply 36-line file", fast), baud, f);
    }
}

void BM_LutTransfer(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    const bool write = state.range(1) == 1;
    const bool fast = state.range(2) == 1;
    if (Brief()) {
        state.SkipWithError("brief run: no LUT transfers");
        return;
    }
    if (SkipBaud(state, baud)) return;
    Tool& tool = Tool::Instance();
    WindowLutProgress progress(tool.dlg.get());
    vela::LutTable table{};
    for (int i = 0; i < vela::kLutSize; ++i) table[static_cast<std::size_t>(i)] = (i * 16 * 7) % 4096;
    for (auto _ : state) {
        const Figure f = tool.Measure(baud, fast, 1, 1, [&] {
            if (write) {
                vela::WriteLutTable(vela::Command::Instance(), table, progress);
            } else {
                vela::ReadLutTable(vela::Command::Instance(), table, progress);
            }
        });
        Report(state, Paced(write ? "LUT write" : "LUT read", fast), baud, f);
    }
}

// ---- the real vela-control process ----

std::string ProgramDir() {
    return std::filesystem::canonical("/proc/self/exe").parent_path().string();
}

// Process CPU time (user and system, all threads) in seconds.
double ProcessCpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Fields after the command name, which may hold blanks, start after its ')'.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// vela-control against its own paced camera in a config folder of its own.
struct ToolProcess {
    explicit ToolProcess(int baud) {
        char dir[] = "/tmp/vela-bench-startup-XXXXXX";
        if (!::mkdtemp(dir)) return;
        configDir = dir;
        vela::sim::CameraOptions options;
        options.baudRate = baud;
        vela::sim::WireOptions wire;
        wire.paceBytes = true;
        wire.trace = true;
        wire.traceSink = [this](const std::string& text) {
            const std::lock_guard<std::mutex> lock(traceMutex);
            if (firstLine == Clock::time_point{}) firstLine = Clock::now();
            if (text.rfind("tx ", 0) == 0) lastAnswer = Clock::now();
        };
        const std::string saved = std::getenv("VELA_CONFIG_DIR") ? std::getenv("VELA_CONFIG_DIR") : "";
        ::setenv("VELA_CONFIG_DIR", dir, 1);
        const bool linked = vela::test::StartPtyCamera(camera, 1, options, wire).empty();
        if (saved.empty()) {
            ::unsetenv("VELA_CONFIG_DIR");
        } else {
            ::setenv("VELA_CONFIG_DIR", saved.c_str(), 1);
        }
        if (!linked) return;

        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) return;
        Strings env = {"VELA_CONFIG_DIR=" + configDir, "QT_LOGGING_RULES=vela.startup.info=true",
                       "HOME=" + configDir};
        for (char** e = environ; *e; ++e) {
            const std::string var = *e;
            if (var.rfind("VELA_", 0) != 0 && var.rfind("QT_LOGGING_RULES=", 0) != 0 &&
                var.rfind("HOME=", 0) != 0)
                env.push_back(var);
        }
        if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
            env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        const std::string exe = ProgramDir() + "/vela-control";
        char* argv[] = {const_cast<char*>(exe.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        started = Clock::now();
        if (posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, envp.data()) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        errFd = out[0];
    }
    ~ToolProcess() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        if (errFd >= 0) ::close(errFd);
        if (camera) camera->Stop();
        std::error_code ec;
        if (!configDir.empty()) std::filesystem::remove_all(configDir, ec);
    }
    // Reads the tool's stderr for up to `ms`, so its pipe never fills up; with a `text`,
    // returns true as soon as that has appeared, false when the time is up or the tool gone.
    bool ReadErrors(int ms, const std::string& text = {}) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            if (!text.empty() && err.find(text) != std::string::npos) return true;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return false;
            if (Pump(static_cast<int>(left))) continue;
            if (!text.empty()) return false;
            std::this_thread::sleep_until(until);
        }
    }
    bool Pump(int ms) {
        pollfd p{errFd, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return true;
        char buffer[4096];
        const ssize_t n = ::read(errFd, buffer, sizeof buffer);
        if (n <= 0) return false;
        err.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    std::string configDir;
    std::unique_ptr<vela::sim::PtyCamera> camera;
    pid_t pid = -1;
    int errFd = -1;
    std::string err;
    Clock::time_point started;
    // When the camera saw the first line and sent the end of its last answer.
    std::mutex traceMutex;
    Clock::time_point firstLine;
    Clock::time_point lastAnswer;
};

// At any rate but 9600 the tool's first two lines go out at 9600 and find no camera: the
// model query and the area query cost their time-outs before the search finds the rate.
double StartUpTimeoutsMs(int baud) {
    return baud == 9600 ? 0.0 : 1000.0 + 5000.0;
}

void BM_StartUp(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    if (Brief() && baud != 9600) {
        state.SkipWithError("brief run: 9600 bit/s only, the rate found without time-outs");
        return;
    }
    for (auto _ : state) {
        Figure f;
        std::vector<double> toFirstLine;
        std::vector<double> onTheWire;
        std::vector<double> afterLastAnswer;
        for (int r = 0; r < Runs(3); ++r) {
            ToolProcess tool(baud);
            if (tool.pid <= 0) {
                state.SkipWithError("cannot start vela-control against the simulated camera");
                return;
            }
            if (!tool.ReadErrors(60'000, kValuesShown)) {
                state.SkipWithError(("vela-control did not show the values:\n" + tool.err).c_str());
                return;
            }
            const auto shown = Clock::now();
            f.ms.push_back(MsSince(tool.started) - kFinishPauseMs);
            {
                const std::lock_guard<std::mutex> lock(tool.traceMutex);
                using Ms = std::chrono::duration<double, std::milli>;
                toFirstLine.push_back(Ms(tool.firstLine - tool.started).count());
                onTheWire.push_back(Ms(tool.lastAnswer - tool.firstLine).count());
                afterLastAnswer.push_back(Ms(shown - tool.lastAnswer).count() - kFinishPauseMs);
            }
            const Strings received = tool.camera->ReceivedLines();
            f.transactions = received.size() + (baud == 9600 ? 0 : 2);
            f.floorMs = AnsweredFloorMs(received, tool.camera->SentLines(), baud) + StartUpTimeoutsMs(baud);
        }
        Report(state, "start-up to values shown", baud, f);
        std::printf(
            "%-28s %6d bit/s: process start to first line %.1f ms, first line to last answer %.1f ms, "
            "last answer to values shown %.1f ms (medians)\n",
            "  of which", baud, Median(toFirstLine), Median(onTheWire), Median(afterLastAnswer));
        std::fflush(stdout);
    }
}

void BM_IdleCpu(benchmark::State& state) {
    const int seconds = Brief() ? 2 : 60;
    for (auto _ : state) {
        ToolProcess tool(9600);
        if (tool.pid <= 0 || !tool.ReadErrors(60'000, kValuesShown)) {
            state.SkipWithError("vela-control did not come up against the simulated camera");
            return;
        }
        tool.ReadErrors(2000);  // let start-up settle
        const double cpu0 = ProcessCpuSeconds(tool.pid);
        const auto t0 = Clock::now();
        tool.ReadErrors(seconds * 1000);
        const double cpu = ProcessCpuSeconds(tool.pid) - cpu0;
        const double wall = MsSince(t0) / 1000.0;
        const double share = 100.0 * cpu / wall;
        state.counters["cpu_percent_of_core"] = share;
        std::printf(
            "idle vela-control, connected: %.2f s CPU in %.1f s = %.3f %% of one core (target below 0.5 "
            "%%)\n",
            cpu, wall, share);
        std::fflush(stdout);
    }
}

// How late a 20 ms sleep wakes up on this machine right now: every transaction has one or
// more of them, so this is the share of the time above the floor that no code of the tool
// can take back.
void BM_WakeUpDelay(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<double> late;
        for (int i = 0; i < (Brief() ? 10 : 100); ++i) {
            const auto t0 = Clock::now();
            vela::SleepMs(20);
            late.push_back(MsSince(t0) - 20.0);
        }
        state.counters["median_late_ms"] = Median(late);
        std::printf(
            "a 20 ms sleep wakes up late by: median %.2f ms, mean %.2f ms, max %.2f ms (%zu sleeps)\n",
            Median(late), std::accumulate(late.begin(), late.end(), 0.0) / static_cast<double>(late.size()),
            *std::max_element(late.begin(), late.end()), late.size());
        std::fflush(stdout);
    }
}

// Each rate with both modes (control mode, or read and write) in both paces side by side,
// the faster rate first.
void RatesAndModes(benchmark::internal::Benchmark* b) {
    for (int rate : {115200, 9600}) {
        for (int mode : {0, 1}) {
            for (int fast : {0, 1}) b->Args({rate, mode, fast});
        }
    }
}

void RatesAndPaces(benchmark::internal::Benchmark* b) {
    for (int rate : {115200, 9600}) {
        for (int fast : {0, 1}) b->Args({rate, fast});
    }
}

}  // namespace

BENCHMARK(BM_WakeUpDelay)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUp)->Arg(115200)->Arg(9600)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IdleCpu)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_WholeRead)->Apply(RatesAndModes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplySettingFile)->Apply(RatesAndPaces)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LutTransfer)->Apply(RatesAndModes)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Tool::Shared().reset();
    return 0;
}
