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

}  // namespace vela::test
