#include "platform/optiontable.h"

#include <cerrno>
#include <cstdlib>

namespace vela {
namespace {

const OptionRow* FindLong(const std::vector<OptionRow>& table, const std::string& name) {
    for (const OptionRow& r : table) {
        if (name == r.longName) return &r;
    }
    return nullptr;
}

const OptionRow* FindShort(const std::vector<OptionRow>& table, char name) {
    for (const OptionRow& r : table) {
        if (r.shortName != 0 && name == r.shortName) return &r;
    }
    return nullptr;
}

}  // namespace

bool ParseOptionTable(int argc, char** argv, const std::vector<OptionRow>& table,
                      const OptionHandlers& handlers, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() < 2 || arg[0] != '-') {
            if (handlers.word) handlers.word(arg, false);
            continue;
        }
        if (arg == "--") {
            for (++i; i < argc; ++i) {
                if (handlers.word) handlers.word(argv[i], true);
            }
            break;
        }
        const OptionRow* row = nullptr;
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            std::string name = arg.substr(2);
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name.resize(eq);
                hasValue = true;
            }
            row = FindLong(table, name);
        } else {
            row = FindShort(table, arg[1]);
            if (arg.size() > 2) {
                value = arg.substr(2);
                hasValue = true;
            }
        }
        if (!row) {
            if (handlers.unknownIsWord && handlers.unknownIsWord(arg)) {
                if (handlers.word) handlers.word(arg, false);
                continue;
            }
            error = "unknown option '" + arg + "'";
            return false;
        }
        if (row->argument && !hasValue) {
            if (i + 1 >= argc) {
                error = std::string("--") + row->longName + " needs " + row->argument;
                return false;
            }
            value = argv[++i];
        } else if (!row->argument && hasValue) {
            error = std::string("--") + row->longName + " takes no value";
            return false;
        }
        if (handlers.option && !handlers.option(*row, value, error)) return false;
    }
    return true;
}

std::string FormatOptionTable(const std::vector<OptionRow>& table, std::size_t column) {
    std::string s;
    for (const OptionRow& r : table) {
        std::string left = r.shortName ? std::string("-") + r.shortName + ", " : std::string("    ");
        left += std::string("--") + r.longName;
        if (r.argument) left += std::string(" ") + r.argument;
        // A help text of several lines continues under its first line.
        std::string help = r.help;
        for (std::size_t nl = help.find('\n'); nl != std::string::npos; nl = help.find('\n', nl + 1)) {
            help.insert(nl + 1, column + 2, ' ');
        }
        s += "  " + left + std::string(left.size() < column ? column - left.size() : 1, ' ') + help + "\n";
    }
    return s;
}

bool ParseOptionNumber(const std::string& text, long low, long high, int& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace vela
