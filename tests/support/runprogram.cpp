#include "support/runprogram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include "support/pty.h"

extern char** environ;

namespace vela::test {

namespace {

std::string ReadAll(int fd) {
    std::string data;
    char buffer[4096];
    ::lseek(fd, 0, SEEK_SET);
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

// What a non-blocking descriptor holds now.
std::string DrainNonBlocking(int fd) {
    std::string data;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<std::size_t>(n));
    return data;
}

// An unlinked temporary file: output of any size without a reader thread.
int TempFile() {
    char name[] = "/tmp/vela-run-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) ::unlink(name);
    return fd;
}

// Starts `exe` with stdin /dev/null, stdout to `outFd` and stderr to `errFd`; 0 on failure.
pid_t Spawn(const std::string& exe, const std::vector<std::string>& args, int outFd, int errFd) {
    std::vector<std::string> copy = args;
    std::vector<char*> argv;
    std::string exeCopy = exe;
    argv.push_back(exeCopy.data());
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : 0;
}

// The exit code, or -1 after a signal; `hang` is 0 or WNOHANG. False while it still runs.
bool Reap(pid_t pid, int hang, int& exitCode) {
    int status = 0;
    pid_t r = 0;
    while ((r = ::waitpid(pid, &status, hang)) < 0 && errno == EINTR) {
    }
    if (r != pid) return false;
    exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

}  // namespace

ProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args) {
    ProgramResult result;
    const int outFd = TempFile();
    const int errFd = TempFile();
    if (const pid_t pid = Spawn(exe, args, outFd, errFd)) Reap(pid, 0, result.exitCode);
    result.out = ReadAll(outFd);
    result.err = ReadAll(errFd);
    ::close(outFd);
    ::close(errFd);
    return result;
}

RunningProgram::RunningProgram(const std::string& exe, const std::vector<std::string>& args)
    : m_outFd(TempFile()), m_errFd(TempFile()) {
    m_pid = Spawn(exe, args, m_outFd, m_errFd);
}

RunningProgram::~RunningProgram() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        int ignored = 0;
        Reap(m_pid, 0, ignored);
    }
    ::close(m_outFd);
    ::close(m_errFd);
}

void RunningProgram::Signal(int signal) const {
    if (m_pid > 0) ::kill(m_pid, signal);
}

std::string RunningProgram::ErrSoFar() const {
    // pread: the child writes through the same file offset, which a seek here would move.
    std::string data;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::pread(m_errFd, buffer, sizeof buffer, static_cast<off_t>(data.size()))) > 0)
        data.append(buffer, static_cast<std::size_t>(n));
    return data;
}

ProgramResult RunningProgram::Wait(int timeoutMs, int* signal) {
    ProgramResult result;
    if (signal) *signal = 0;
    int status = 0;
    for (int waited = 0; m_pid > 0;) {
        const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
        if (r == m_pid) {
            if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
            if (WIFSIGNALED(status) && signal) *signal = WTERMSIG(status);
            m_pid = 0;
        } else if (r < 0 && errno != EINTR) {
            m_pid = 0;
        } else if (r == 0 && waited >= timeoutMs) {
            ::kill(m_pid, SIGKILL);
            Reap(m_pid, 0, result.exitCode);
            result.exitCode = -1;
            m_pid = 0;
        } else if (r == 0) {
            ::usleep(10'000);
            waited += 10;
        }
    }
    result.out = ReadAll(m_outFd);
    result.err = ReadAll(m_errFd);
    return result;
}

ProgramResult RunProgramOnTerminal(const std::string& exe, const std::vector<std::string>& args) {
    ProgramResult result;
    PtyPeer terminal;
    const int outFd = TempFile();
    const int errFd = ::open(terminal.slavePath().c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    const pid_t pid = terminal.ok() && errFd >= 0 ? Spawn(exe, args, outFd, errFd) : 0;
    if (errFd >= 0) ::close(errFd);
    // Read while it runs: a terminal holds a few kilobytes, and a writer beyond that blocks.
    bool done = pid == 0;
    while (!done) {
        done = Reap(pid, WNOHANG, result.exitCode);
        result.err += terminal.ReadFor(done ? 0 : 50);
    }
    result.err += DrainNonBlocking(terminal.masterFd());
    result.out = ReadAll(outFd);
    ::close(outFd);
    return result;
}

}  // namespace vela::test
