#pragma once

#include <string>
#include <vector>

#include "platform/optiontable.h"

namespace vela::cli {

// Exit codes, each listed in --help.
enum ExitCode : int { kDone = 0, kRefused = 1, kUsage = 2, kNoAnswer = 3, kFileError = 4 };

// The global options; defaults come from the tool's own settings file.
struct Options {
    int kind = -1;       // -1: the settings' link kind
    int portIndex = -1;  // -1: the settings' port of that kind
    // --port with a list or a range: the port indexes in the order given (two or more);
    // --port all: every port of the kind where a camera answers.
    std::vector<int> ports;
    bool allPorts = false;
    int baudRate = 0;  // 0: auto (the window's search)
    int timeoutMs = 2000;
    double everySeconds = 1.0;  // watch: the time from one row to the next
    int count = 0;              // watch: rows per camera; 0 until stopped
    bool factory = false;
    bool fast = false;
    bool shipping = false;
    bool json = false;
    bool verbose = false;
    bool quiet = false;
    bool help = false;
    std::string command;
    std::vector<std::string> args;
};

// The options table drives both the parser and --help.
using OptionRow = ::vela::OptionRow;
const std::vector<OptionRow>& OptionTable();

// One row of the subcommand table.
struct CommandRow {
    const char* name;
    const char* synopsis;
    const char* help;
};
const std::vector<CommandRow>& CommandTable();

// Parses argv; on a usage error returns false with `error` set.
bool ParseOptions(int argc, char** argv, Options& options, std::string& error);

std::string MainHelp();
// "" when `command` is not a subcommand.
std::string CommandHelp(const std::string& command);

}  // namespace vela::cli
