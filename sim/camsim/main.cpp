// vela-camsim: the simulated camera on a pseudo-terminal, for the tool, the tests and for
// anyone who wants to learn the tool without a camera.

#include <signal.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "camsim/ptycamera.h"
#include "core/cameracore.h"

namespace {

void PrintHelp() {
    std::printf(
        "Usage: vela-camsim [options]\n"
        "Serves a simulated VELA line-scan camera on a pseudo-terminal, prints the terminal's\n"
        "path (and the COM link) and runs until SIGINT or SIGTERM.\n"
        "\n"
        "Options:\n"
        "  --port COMn        link the terminal as <config>/ports/COMn (n 1-16), removed at exit\n"
        "  --model NAME       answer to MD: VELA-4K-MONO (default), VELA-8K-MONO, VELA-4K-MONO2,\n"
        "                     VELA-8K-MONO2, or any other text for a model the tool does not support\n"
        "  --baud RATE        the camera's baud rate: 9600, 19200, 38400, 57600 or 115200 (default 9600)\n"
        "  --pace             send and take bytes at the baud rate, 10 bits per byte\n"
        "  --delay MS         processing time before every answer (default 0)\n"
        "  --delay-cmd NAME=MS  extra processing time for one command, e.g. LD=800 (repeatable)\n"
        "  --recal-ms MS      how long a recalibration runs, its status reading 0 (default 300)\n"
        "  --recal-result N   recalibration status once done: 1 ok, 2 too bright, 3 too dark, 4 time-out\n"
        "  --fail NAME        show a fault, one of the failure modes below (default none)\n"
        "  --fail-after N     the fault's number: lines before hangup, length of overlong, pause of split\n"
        "  --trace            log every line received and sent to stderr\n"
        "  --help             show this help and exit\n"
        "\n"
        "Failure modes:\n");
    for (const vela::sim::FailureModeName& n : vela::sim::FailureModeNames()) {
        std::printf("  %-12s %s\n", n.name, n.help);
    }
    std::printf(
        "\n"
        "<config> is $VELA_CONFIG_DIR, else $XDG_CONFIG_HOME/Corvane, else ~/.config/Corvane.\n"
        "Talk to it with any serial terminal at the camera's rate, e.g. picocom -b 9600 --echo <path>.\n");
}

bool ParseInt(const char* text, int min, int max, int* out) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    *out = static_cast<int>(v);
    return true;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "vela-camsim: %s\nTry 'vela-camsim --help'.\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    vela::sim::CameraOptions camera;
    vela::sim::WireOptions wire;
    int comNumber = 0;
    int failParam = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        auto needValue = [&]() -> bool {
            if (next == nullptr) return false;
            ++i;
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            return 0;
        } else if (arg == "--port") {
            if (!needValue()) return Usage("--port needs COMn");
            std::string port = next;
            if (port.rfind("COM", 0) != 0 || !ParseInt(port.c_str() + 3, 1, 16, &comNumber)) {
                return Usage("--port takes COM1 to COM16, not '" + port + "'");
            }
        } else if (arg == "--model") {
            if (!needValue() || *next == '\0') return Usage("--model needs a name");
            camera.model = next;
        } else if (arg == "--baud") {
            if (!needValue() || !ParseInt(next, 1, 1000000, &camera.baudRate) ||
                vela::sim::CameraCore::BaudCode(camera.baudRate) == 0) {
                return Usage("--baud takes 9600, 19200, 38400, 57600 or 115200");
            }
        } else if (arg == "--pace") {
            wire.paceBytes = true;
        } else if (arg == "--delay") {
            if (!needValue() || !ParseInt(next, 0, 600000, &camera.processingDelayMs)) {
                return Usage("--delay takes milliseconds");
            }
        } else if (arg == "--delay-cmd") {
            std::string spec = needValue() ? next : "";
            std::size_t eq = spec.find('=');
            int ms = 0;
            if (eq == std::string::npos || eq == 0 || !ParseInt(spec.c_str() + eq + 1, 0, 600000, &ms)) {
                return Usage("--delay-cmd takes NAME=MS, e.g. LD=800");
            }
            std::string name = spec.substr(0, eq);
            for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            camera.commandDelayMs[name] = ms;
        } else if (arg == "--recal-ms") {
            if (!needValue() || !ParseInt(next, 0, 3600000, &camera.recalibrationMs)) {
                return Usage("--recal-ms takes milliseconds");
            }
        } else if (arg == "--recal-result") {
            if (!needValue() || !ParseInt(next, 0, 1000, &camera.recalibrationResult)) {
                return Usage("--recal-result takes a status number (1-4; others read as unknown)");
            }
        } else if (arg == "--fail") {
            if (!needValue() || !vela::sim::FailureModeFromName(next, &wire.failure)) {
                return Usage(std::string("unknown failure mode '") + (next ? next : "") + "'");
            }
        } else if (arg == "--fail-after") {
            if (!needValue() || !ParseInt(next, 0, 1000000, &failParam)) {
                return Usage("--fail-after takes a number");
            }
        } else if (arg == "--trace") {
            wire.trace = true;
        } else {
            return Usage("unknown option '" + arg + "'");
        }
    }

    // Only the main thread takes the stop signals; the serving thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    vela::sim::PtyCamera cam(camera, wire);
    if (failParam != 0) cam.SetFailure(wire.failure, failParam);
    if (!cam.Start()) {
        std::fprintf(stderr, "vela-camsim: %s\n", cam.Error().c_str());
        return 1;
    }
    std::printf("%s\n", cam.SlavePath().c_str());
    if (comNumber != 0) {
        std::string com = cam.LinkAsComPort(comNumber);
        if (com.empty()) {
            std::fprintf(stderr, "vela-camsim: %s\n", cam.Error().c_str());
            cam.Stop();
            return 1;
        }
        std::printf("%s -> %s\n", com.c_str(), cam.LinkPath().c_str());
    }
    std::fflush(stdout);
    std::fprintf(
        stderr, "vela-camsim: %s at %d bit/s%s%s; stop with Ctrl+C\n", camera.model.c_str(), camera.baudRate,
        wire.failure != vela::sim::FailureMode::None ? ", fault " : "",
        wire.failure != vela::sim::FailureMode::None ? vela::sim::FailureModeToName(wire.failure) : "");

    timespec tick{0, 200 * 1000 * 1000};
    for (;;) {
        int sig = sigtimedwait(&stopSignals, nullptr, &tick);
        if (sig > 0) break;
        if (cam.HungUp()) {
            std::fprintf(stderr, "vela-camsim: hung up as asked\n");
            break;
        }
    }
    cam.Stop();
    return 0;
}
