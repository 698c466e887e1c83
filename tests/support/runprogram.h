#pragma once

#include <string>
#include <vector>

namespace vela::test {

struct ProgramResult {
    int exitCode = -1;  // -1: did not start or ended on a signal
    std::string out;
    std::string err;
};

// Runs `exe` with `args` in this process's environment, waits for it and returns what it
// wrote. stdin is /dev/null, so a program that would ask something cannot hang the test.
ProgramResult RunProgram(const std::string& exe, const std::vector<std::string>& args);

// RunProgram with stderr on a terminal (a pseudo-terminal's slave, in raw mode): `err` is
// what the terminal received.
ProgramResult RunProgramOnTerminal(const std::string& exe, const std::vector<std::string>& args);

}  // namespace vela::test
