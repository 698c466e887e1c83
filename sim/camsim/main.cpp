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
#include <vector>

#include "camsim/ptycamera.h"
#include "core/cameracore.h"
#include "platform/optiontable.h"

namespace {

struct Settings {
    vela::sim::CameraOptions camera;
    vela::sim::WireOptions wire;
    int comNumber = 0;
    int failParam = 0;
    bool help = false;
};

bool ParseInt(const std::string& text, int min, int max, int* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    *out = static_cast<int>(v);
    return true;
}

bool SetPort(Settings& s, const std::string& v) {
    return v.rfind("COM", 0) == 0 && ParseInt(v.substr(3), 1, 16, &s.comNumber);
}

bool SetModel(Settings& s, const std::string& v) {
    s.camera.model = v;
    return !v.empty();
}

bool SetBaud(Settings& s, const std::string& v) {
    return ParseInt(v, 1, 1000000, &s.camera.baudRate) &&
           vela::sim::CameraCore::BaudCode(s.camera.baudRate) != 0;
}

bool SetAnswerDelay(Settings& s, const std::string& v) {
    return ParseInt(v, 0, 600000, &s.camera.processingDelayMs);
}

bool SetDelayCmd(Settings& s, const std::string& v) {
    const std::size_t eq = v.find('=');
    int ms = 0;
    if (eq == std::string::npos || eq == 0 || !ParseInt(v.substr(eq + 1), 0, 600000, &ms)) return false;
    std::string name = v.substr(0, eq);
    for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    s.camera.commandDelayMs[name] = ms;
    return true;
}

// One row per option: the table behind both the parser and --help. `invalid` is the usage
// message for a value the row refuses.
struct CamsimOption {
    vela::OptionRow row;
    bool (*apply)(Settings&, const std::string&);
    const char* invalid;
};

const std::vector<CamsimOption>& Options() {
    static const std::vector<CamsimOption> options = {
        {{"port", 0, "COMn", "link the terminal as <config>/ports/COMn (n 1-16), removed at exit"},
         SetPort,
         "--port takes COM1 to COM16"},
        {{"model", 0, "NAME",
          "answer to MD: VELA-4K-MONO (default), VELA-8K-MONO, VELA-4K-MONO2,\n"
          "VELA-8K-MONO2, or any other text for a model the tool does not support"},
         SetModel,
         "--model needs a name"},
        {{"baud", 0, "RATE", "the camera's baud rate: 9600, 19200, 38400, 57600 or 115200 (default 9600)"},
         SetBaud,
         "--baud takes 9600, 19200, 38400, 57600 or 115200"},
        {{"pace", 0, nullptr, "send and take bytes at the baud rate, 10 bits per byte"},
         [](Settings& s, const std::string&) {
             s.wire.paceBytes = true;
             return true;
         },
         ""},
        {{"answer-delay", 0, "MS",
          "how long after a line is complete the camera answers it, as a real camera's firmware\n"
          "takes its time (default 0); on a paced wire the line's own time on the wire comes first"},
         SetAnswerDelay,
         "--answer-delay takes milliseconds"},
        {{"delay", 0, "MS", "the same as --answer-delay"}, SetAnswerDelay, "--delay takes milliseconds"},
        {{"delay-cmd", 0, "NAME=MS", "extra processing time for one command, e.g. LD=800 (repeatable)"},
         SetDelayCmd,
         "--delay-cmd takes NAME=MS, e.g. LD=800"},
        {{"recal-ms", 0, "MS", "how long a recalibration runs, its status reading 0 (default 300)"},
         [](Settings& s, const std::string& v) { return ParseInt(v, 0, 3600000, &s.camera.recalibrationMs); },
         "--recal-ms takes milliseconds"},
        {{"recal-result", 0, "N",
          "recalibration status once done: 1 ok, 2 too bright, 3 too dark, 4 time-out"},
         [](Settings& s, const std::string& v) {
             return ParseInt(v, 0, 1000, &s.camera.recalibrationResult);
         },
         "--recal-result takes a status number (1-4; others read as unknown)"},
        {{"fail", 0, "NAME", "show a fault, one of the failure modes below (default none)"},
         [](Settings& s, const std::string& v) { return vela::sim::FailureModeFromName(v, &s.wire.failure); },
         "--fail takes a failure mode of --help"},
        {{"fail-after", 0, "N",
          "the fault's number: lines before hangup, length of overlong, pause of split"},
         [](Settings& s, const std::string& v) { return ParseInt(v, 0, 1000000, &s.failParam); },
         "--fail-after takes a number"},
        {{"trace", 0, nullptr, "log every line received and sent to stderr"},
         [](Settings& s, const std::string&) {
             s.wire.trace = true;
             return true;
         },
         ""},
        {{"help", 'h', nullptr, "show this help and exit"},
         [](Settings& s, const std::string&) {
             s.help = true;
             return true;
         },
         ""},
    };
    return options;
}

std::vector<vela::OptionRow> OptionRows() {
    std::vector<vela::OptionRow> rows;
    for (const CamsimOption& o : Options()) rows.push_back(o.row);
    return rows;
}

void PrintHelp() {
    std::printf(
        "Usage: vela-camsim [options]\n"
        "Serves a simulated VELA line-scan camera on a pseudo-terminal, prints the terminal's\n"
        "path (and the COM link) and runs until SIGINT or SIGTERM.\n"
        "\n"
        "Options:\n%s\n"
        "Failure modes:\n",
        vela::FormatOptionTable(OptionRows()).c_str());
    for (const vela::sim::FailureModeName& n : vela::sim::FailureModeNames()) {
        std::printf("  %-12s %s\n", n.name, n.help);
    }
    std::printf(
        "\n"
        "<config> is $VELA_CONFIG_DIR, else $XDG_CONFIG_HOME/Corvane, else ~/.config/Corvane.\n"
        "A second vela-camsim for the same COMn in the same <config> refuses to start (exit status 1).\n"
        "Talk to it with any serial terminal at the camera's rate, e.g. picocom -b 9600 --echo <path>.\n");
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "vela-camsim: %s\nTry 'vela-camsim --help'.\n", message.c_str());
    return 2;
}

bool Parse(int argc, char** argv, Settings& settings, std::string& error) {
    const std::vector<vela::OptionRow> rows = OptionRows();
    vela::OptionHandlers handlers;
    handlers.word = [&error](const std::string& word, bool) {
        if (error.empty()) error = "unexpected argument '" + word + "'";
    };
    handlers.option = [&settings, &rows](const vela::OptionRow& row, const std::string& value,
                                         std::string& message) {
        const CamsimOption& option = Options()[static_cast<std::size_t>(&row - rows.data())];
        if (option.apply(settings, value)) return true;
        message = std::string(option.invalid) + ", not '" + value + "'";
        return false;
    };
    return ParseOptionTable(argc, argv, rows, handlers, error) && error.empty();
}

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    std::string error;
    if (!Parse(argc, argv, settings, error)) return Usage(error);
    if (settings.help) {
        PrintHelp();
        return 0;
    }
    const vela::sim::CameraOptions& camera = settings.camera;
    const vela::sim::WireOptions& wire = settings.wire;

    // Only the main thread takes the stop signals; the serving thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    vela::sim::PtyCamera cam(camera, wire);
    if (settings.failParam != 0) cam.SetFailure(wire.failure, settings.failParam);
    if (!cam.Start()) {
        std::fprintf(stderr, "vela-camsim: %s\n", cam.Error().c_str());
        return 1;
    }
    if (settings.comNumber != 0 && cam.LinkAsComPort(settings.comNumber).empty()) {
        std::fprintf(stderr, "vela-camsim: %s\n", cam.Error().c_str());
        cam.Stop();
        return 1;
    }
    std::printf("%s\n", cam.SlavePath().c_str());
    // The link first, then where it points, as ls -l shows it.
    if (!cam.LinkPath().empty()) std::printf("%s -> %s\n", cam.LinkPath().c_str(), cam.SlavePath().c_str());
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
