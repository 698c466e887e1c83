#include "platform/stoprequest.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vela {
namespace {

// Lock-free atomics are async-signal-safe.
std::atomic<bool> g_requested{false};
std::atomic<int> g_signal{0};

#ifndef _WIN32
int g_pipe[2] = {-1, -1};

void OnStopSignal(int signal) {
    const int saved = errno;
    RequestStop(signal);
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        // A full pipe already tells the loop; nothing more to say.
        [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    }
    errno = saved;
}
#endif

}  // namespace

bool StopRequested() noexcept {
    return g_requested.load();
}

int StopSignal() noexcept {
    return g_signal.load();
}

void RequestStop(int signal) noexcept {
    // The first signal names the stop; a second one (an impatient Ctrl+C) changes nothing.
    int none = 0;
    if (signal != 0) g_signal.compare_exchange_strong(none, signal);
    g_requested.store(true);
}

void ClearStopRequest() noexcept {
    g_requested.store(false);
    g_signal.store(0);
}

int InstallStopSignals() {
#ifdef _WIN32
    std::signal(SIGINT, [](int signal) { RequestStop(signal); });
    std::signal(SIGTERM, [](int signal) { RequestStop(signal); });
    return -1;
#else
    if (g_pipe[0] >= 0) return g_pipe[0];
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: a read or a sleep goes on, and the run ends at the next boundary.
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    return g_pipe[0];
#endif
}

void DrainStopPipe(int fd) {
#ifndef _WIN32
    char buffer[64];
    while (fd >= 0 && ::read(fd, buffer, sizeof buffer) > 0) {
    }
#else
    (void)fd;
#endif
}

std::string SignalName(int signal) {
    switch (signal) {
        case SIGINT:
            return "SIGINT";
        case SIGTERM:
            return "SIGTERM";
#ifdef SIGHUP
        case SIGHUP:
            return "SIGHUP";
#endif
        default:
            return "signal " + std::to_string(signal);
    }
}

}  // namespace vela
