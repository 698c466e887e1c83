#include "cli/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// One port of --port: "COMn" chooses the COM kind and its port; a plain number is a port
// index of the kind.
bool ParsePort(const std::string& text, Options& o, int& index) {
    bool comName = false;
    if (!ParsePortName(text, index, comName)) return false;
    if (!comName) return true;
    if (o.kind < 0) o.kind = ComPortKind;
    return o.kind == ComPortKind;
}

// A port, "all", or a list of ports and ranges: "COM1,COM2,COM5", "0-3", "COM1-COM4,COM9".
bool SetPort(const std::string& text, Options& o) {
    o.ports.clear();
    o.allPorts = text == "all";
    if (o.allPorts) return true;
    std::vector<int> ports;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        int first = 0;
        int last = 0;
        if (!ParsePort(item.substr(0, dash), o, first)) return false;
        last = first;
        if (dash != std::string::npos && (!ParsePort(item.substr(dash + 1), o, last) || last < first))
            return false;
        for (int p = first; p <= last; ++p) {
            if (std::find(ports.begin(), ports.end(), p) == ports.end()) ports.push_back(p);
        }
        start = comma + 1;
    }
    o.portIndex = ports.front();
    if (ports.size() > 1) o.ports = ports;
    return true;
}

bool SetEvery(const std::string& text, Options& o) {
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !(v >= 0.1 && v <= 86400)) return false;
    o.everySeconds = v;
    return true;
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
        {"port", 'p', "PORTS",
         "COM1..COM16, or a port index 0-15 of the link kind (default: the window's);\n"
         "a list (COM1,COM2,COM5), a range (0-3, COM1-COM4) or 'all' (every port of the\n"
         "kind where a camera answers): the command runs on each camera at once"},
        {"kind", 'k', "KIND", "link kind: com, cl2000, cl2001 or cl11 (default: the window's)"},
        {"baud", 'b', "RATE",
         "9600, 19200, 38400, 57600, 115200 or auto (default auto: the window's search)"},
        {"timeout", 't', "MS", "answer time-out per transaction, 100-100000 ms (default 2000)"},
        {"factory", 0, nullptr, "the factory control mode's rows and commands"},
        {"fast", 0, nullptr,
         "take each answer the moment it is complete instead of every 20 ms (default: the\n"
         "window's pace, which a camera's firmware may rely on)"},
        {"every", 0, "SECONDS", "watch: the time from one row to the next, 0.1-86400 (default 1)"},
        {"count", 0, "N", "watch: stop after N rows per camera (default: until Ctrl+C)"},
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
         "Read the camera, then write a setting file, the same bytes as the window writes.\n"
         "On several ports FILE must hold {port}, which becomes each camera's port:\n"
         "  vela-cli --port COM1,COM2 save 'line4-{port}.cam'"},
        {"apply", "apply FILE",
         "Apply a setting file with the window's rules.\n"
         "Skipped lines are reported and refusals listed; exit status 1 when the camera refused\n"
         "or did not answer a line. On several ports every camera gets the file at once:\n"
         "  vela-cli --port COM1-COM4 -b 115200 apply line4.cam"},
        {"diff", "diff FILE",
         "Compare the camera with a setting file; nothing is written.\n"
         "One 'NAME file=VALUE camera=VALUE' line for each value the camera does not have, one\n"
         "'LINE refused: WHY' for a line the camera would refuse (a value out of range, or a\n"
         "parameter it does not answer), one 'line N skipped: LINE' for a line an apply passes\n"
         "over. Exit status 0 when the camera has the file's values, 1 when it differs or would\n"
         "refuse a line. For example, after 'vela-cli set GA=200':\n"
         "  $ vela-cli diff line4.cam\n"
         "  GA file=333 camera=200"},
        {"watch", "watch NAME...",
         "Query parameters again and again and print CSV, for a log over a shift.\n"
         "Options: --every SECONDS, --count N. A header line 'time,port,NAME...' first, then one\n"
         "row per camera every SECONDS (default 1): the UTC time in ISO 8601 (with milliseconds\n"
         "when SECONDS is below 1), the port, one column per name. A value the camera does not\n"
         "give leaves its column empty. Ends after N rows per camera, or on Ctrl+C with exit\n"
         "status 0 (1 or 3 when a query failed on the way):\n"
         "  $ vela-cli --port all watch TMP0 --every 60 >> shift.csv"},
        {"lut", "lut read|write FILE",
         "Move the camera's LUT to or from a gamma file (*.csv).\n"
         "'read' writes the camera's 256 entries to FILE: one column for a supported model, as the\n"
         "window writes it. On several ports FILE must hold {port}. 'write' reads the whole of FILE first "
         "and sends nothing when it is\n"
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
        } else if (name == "every") {
            ok = SetEvery(value, o);
        } else if (name == "count") {
            ok = ParseOptionNumber(value, 1, 1000000000, o.count);
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
         "\nSeveral cameras:\n"
         "  With a list, a range or 'all' after --port, every command but ports (get, set, apply,\n"
         "  diff, save, store, load, info, lut, watch ...) talks to every camera at the same time,\n"
         "  one conversation per port; a camera that fails does not stop the others. Each output\n"
         "  line starts with the port ('COM2: GA=200'); with --json the output is one array of\n"
         "  objects, one per camera, with its port, exit status, outcome, the command's own\n"
         "  document as 'result' and its messages. save and lut read need a FILE name with {port}\n"
         "  in it, which becomes each camera's port. The exit status is the highest of the\n"
         "  cameras' (3 over 1 over 0). 'all' searches every port of the kind at once and leaves\n"
         "  out those without a camera.\n"
         "\nExamples:\n"
         "  A setting file into four cameras at once:\n"
         "    vela-cli --port COM1-COM4 -b 115200 apply line4.cam\n"
         "\n"
         "  The identity of every camera found, as one JSON array:\n"
         "    vela-cli --port all --json info > cameras.json\n"
         "\n"
         "  One setting file per camera, backup-COM1.cam and so on:\n"
         "    vela-cli --port COM1,COM2,COM5 save 'backup-{port}.cam'\n"
         "\n"
         "  Whether a camera still has a file's values:\n"
         "    vela-cli --port COM2 diff line4.cam || echo changed\n"
         "\n"
         "  Every camera's temperature once a minute over a shift:\n"
         "    vela-cli --port all watch TMP0 --every 60 >> shift.csv\n"
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
