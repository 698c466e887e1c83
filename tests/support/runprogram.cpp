#include "support/runprogram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

// An unlinked temporary file: output of any size without a reader thread.
int TempFile() {
    char name[] = "/tmp/vela-run-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) ::unlink(name);
    return fd;
}

}  // namespace

ProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args) {
    ProgramResult result;
    const int outFd = TempFile();
    const int errFd = TempFile();
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
    if (spawned == 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    }
    result.out = ReadAll(outFd);
    result.err = ReadAll(errFd);
    ::close(outFd);
    ::close(errFd);
    return result;
}

}  // namespace vela::test
