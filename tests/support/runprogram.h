#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vela::test {

struct ProgramResult {
    int exitCode = -1;  // -1: did not start or ended on a signal
    std::string out;
    std::string err;
};

// A file of the build tree this test program belongs to, named from the tree's top
// ("bin/vela-cli", "lib"). Found from the running program's own place, so that a copy of
// bin/ and lib/ elsewhere (scripts/test-unprivileged runs one) uses its own programs.
// Inline: the fixture libraries that need it link no other support library.
inline std::string BuiltPath(const std::string& relative) {
    // <top>/bin/<this program>
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / relative).string();
}

// Runs `exe` with `args` in this process's environment, waits for it and returns what it
// wrote. stdin is /dev/null, so a program that would ask something cannot hang the test.
ProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args);

// RunProgram with stderr on a terminal (a pseudo-terminal's slave, in raw mode): `err` is
// what the terminal received.
ProgramResult RunProgramOnTerminal(const std::string& exe, const std::vector<std::string>& args);

// One of our programs running as a child while the test acts on it: sends it a signal,
// reads what it has written so far, waits for its end. A child still running at the end of
// the test is killed.
class RunningProgram {
  public:
    RunningProgram(const std::string& exe, const std::vector<std::string>& args);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return m_pid > 0; }
    int Pid() const { return m_pid; }
    void Signal(int signal) const;
    // stderr as written so far.
    std::string ErrSoFar() const;
    // Waits up to `timeoutMs` for the end; exitCode stays -1 when it did not end in time
    // (it is then killed) or ended on a signal, and `signal` names that signal.
    ProgramResult Wait(int timeoutMs, int* signal = nullptr);

  private:
    int m_pid = 0;
    int m_outFd = -1;
    int m_errFd = -1;
};

}  // namespace vela::test
