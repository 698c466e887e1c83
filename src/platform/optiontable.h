#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vela {

// One row of a program's options table; the same table drives its parser and its --help.
struct OptionRow {
    const char* longName;
    char shortName;        // 0: none
    const char* argument;  // nullptr: a flag
    const char* help;
};

struct OptionHandlers {
    // A known option with its value ("" for a flag); false with `error` set stops the parse.
    std::function<bool(const OptionRow& row, const std::string& value, std::string& error)> option;
    // A word that is no option; `afterDashDash` for every word after "--".
    std::function<void(const std::string& word, bool afterDashDash)> word;
    // An argument that looks like an option but is in no row: true takes it as a word.
    std::function<bool(const std::string& arg)> unknownIsWord;
};

// Walks argv[1..]: "--name VALUE", "--name=VALUE", "-n VALUE", "-nVALUE", flags, "--" and
// words. On a usage error returns false with `error` set.
bool ParseOptionTable(int argc, char** argv, const std::vector<OptionRow>& table,
                      const OptionHandlers& handlers, std::string& error);

// The "Options:" lines of --help: "  -p, --port PORT" padded to `column`, then the help.
std::string FormatOptionTable(const std::vector<OptionRow>& table, std::size_t column = 24);

// A whole decimal number from `low` to `high` (strtol's syntax, nothing after it) into
// `out`; false, `out` untouched, otherwise.
bool ParseOptionNumber(const std::string& text, long low, long high, int& out);

}  // namespace vela
