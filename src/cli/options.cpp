#include "cli/options.h"

#include <cstring>

#include "camera/scriptsession.h"
#include "protocol/valuetext.h"
#include "transport/linkkind.h"

namespace vela::cli {
namespace {

bool SetKind(const std::string& text, Options& o) {
    const int kind = LinkKindFromName(text);
    if (kind < 0) return false;
    o.kind = kind;
    return true;
}

// "COMn" chooses the COM kind and its port; a plain number is a port index of the kind.
bool SetPort(const std::string& text, Options& o) {
    bool comName = false;
    if (!ParsePortName(text, o.portIndex, comName)) return false;
    if (!comName) return true;
    if (o.kind < 0) o.kind = ComPortKind;
    return o.kind == ComPortKind;
}

bool SetBaud(const std::string& text, Options& o) {
    if (text == "auto") {
        o.baudRate = 0;
        return true;
    }
    for (const int rate : {9600, 19200, 38400, 57600, 115200}) {
        if (text == std::to_string(rate)) {
            o.baudRate = rate;
            return true;
        }
    }
    return false;
}

}  // namespace

const std::vector<OptionRow>& OptionTable() {
    static const std::vector<OptionRow> rows = {
        {"port", 'p', "PORT", "COM1..COM16, or a port index 0-15 of the link kind (default: the window's)"},
        {"kind", 'k', "KIND", "link kind: com, cl2000, cl2001 or cl11 (default: the window's)"},
        {"baud", 'b', "RATE",
         "9600, 19200, 38400, 57600, 115200 or auto (default auto: the window's search)"},
        {"timeout", 't', "MS", "answer time-out per transaction, 100-100000 ms (default 2000)"},
        {"factory", 0, nullptr, "the factory control mode's rows and commands"},
        {"fast", 0, nullptr,
         "take each answer the moment it is complete instead of every 20 ms (default: the\n"
         "window's pace, which a camera's firmware may rely on)"},
        {"shipping", 0, nullptr, "save: a Shipping Data file (every file row of both groups)"},
        {"json", 0, nullptr, "one JSON document on stdout"},
        {"verbose", 'v', nullptr, "the Tx/Rx log on stderr"},
        {"quiet", 'q', nullptr, "no messages on stderr"},
        {"help", 'h', nullptr, "this help; after a command, that command's help"},
    };
    return rows;
}

const std::vector<CommandRow>& CommandTable() {
    static const std::vector<CommandRow> rows = {
        {"ports", "ports",
         "List every port of every link kind.\n"
         "One 'KIND<tab>PORT<tab>DEVICE' line each: the COM names with the device each maps to,\n"
         "then the ports each Camera Link serial library reports."},
        {"probe", "probe", "Find the camera: baud rate, model and current flash area."},
        {"get", "get [NAME...]",
         "Query parameters and print NAME=value lines.\n"
         "Without names, every control row of the current control mode."},
        {"set", "set NAME=VALUE...",
         "Write in order; stop at the first refusal and show the camera's answer."},
        {"area", "area", "Print the flash area the camera runs from."},
        {"store", "store N", "Store the working settings into flash area N (0 factory, 1-3 user)."},
        {"load", "load N", "Load flash area N (0 factory, 1-3 user) into the working settings."},
        {"save", "save FILE [--shipping]",
         "Read the camera, then write a setting file, the same bytes as the window writes."},
        {"apply", "apply FILE",
         "Apply a setting file with the window's rules.\n"
         "Skipped lines are reported and refusals listed; exit status 1 when the camera refused\n"
         "or did not answer a line."},
        {"lut", "lut read|write FILE",
         "Move the camera's LUT to or from a gamma file (*.csv).\n"
         "'read' writes the camera's 256 entries to FILE: one column for a supported model, as the\n"
         "window writes it. 'write' reads the whole of FILE first and sends nothing when it is\n"
         "malformed or has fewer than 256 entries; it stops at the first entry the camera refuses\n"
         "or does not answer, and the exit status says which (1 or 3)."},
        {"info", "info",
         "Print the camera's identity.\n"
         "One NAME=value line each: model, firmware, fpga, camera_id, user_id, device_version and\n"
         "xml_version. A field the camera does not give is left out, and the exit status says why."},
        {"send", "send LINE", "Send one raw line and print what the camera answers until it is quiet."},
    };
    return rows;
}

bool ParseOptions(int argc, char** argv, Options& o, std::string& error) {
    OptionHandlers handlers;
    handlers.word = [&o](const std::string& word, bool afterDashDash) {
        if (o.command.empty() && !afterDashDash) {
            o.command = word;
        } else {
            o.args.push_back(word);
        }
    };
    // "-5" after the command is an argument (a value for `send`), not an option.
    handlers.unknownIsWord = [&o](const std::string& arg) {
        return !o.command.empty() && arg[1] >= '0' && arg[1] <= '9';
    };
    handlers.option = [&o](const OptionRow& row, const std::string& value, std::string& message) {
        const std::string name = row.longName;
        bool ok = true;
        if (name == "port") {
            ok = SetPort(value, o);
        } else if (name == "kind") {
            ok = SetKind(value, o);
        } else if (name == "baud") {
            ok = SetBaud(value, o);
        } else if (name == "timeout") {
            ok = ParseOptionNumber(value, 100, 100000, o.timeoutMs);
        } else if (name == "factory") {
            o.factory = true;
        } else if (name == "fast") {
            o.fast = true;
        } else if (name == "shipping") {
            o.shipping = true;
        } else if (name == "json") {
            o.json = true;
        } else if (name == "verbose") {
            o.verbose = true;
        } else if (name == "quiet") {
            o.quiet = true;
        } else if (name == "help") {
            o.help = true;
        }
        if (!ok) message = "--" + name + ": '" + value + "' is not valid; " + row.help;
        return ok;
    };
    return ParseOptionTable(argc, argv, OptionTable(), handlers, error);
}

std::string MainHelp() {
    std::string s =
        "Usage: vela-cli [options] COMMAND [ARGS...]\n"
        "The VELA-4K/8K camera from scripts: the same procedures as the control tool, without a window.\n"
        "\nCommands:\n";
    for (const CommandRow& c : CommandTable()) {
        std::string first = c.help;
        first = first.substr(0, first.find('\n'));
        s += "  " + std::string(c.synopsis);
        s += std::string(std::strlen(c.synopsis) < 24 ? 24 - std::strlen(c.synopsis) : 1, ' ');
        s += first + "\n";
    }
    s += "\nOptions:\n" + FormatOptionTable(OptionTable());
    s += "\nExit status:\n"
         "  0  done\n"
         "  1  the camera refused something\n"
         "  2  usage error or unknown name\n"
         "  3  no answer from the camera (or the port could not be opened)\n"
         "  4  file error\n"
         "  128+N  stopped by signal N (130 SIGINT, 143 SIGTERM, 129 SIGHUP): the command ends\n"
         "     after the line on the wire is answered, the port is closed, no output file is\n"
         "     left half-written, and what was done so far is reported\n"
         "\n'vela-cli COMMAND --help' describes one command.\n";
    return s;
}

std::string CommandHelp(const std::string& command) {
    for (const CommandRow& c : CommandTable()) {
        if (command == c.name) {
            return "Usage: vela-cli [options] " + std::string(c.synopsis) + "\n" + c.help +
                   "\n\nSee 'vela-cli --help' for the options and exit status.\n";
        }
    }
    return "";
}

}  // namespace vela::cli
