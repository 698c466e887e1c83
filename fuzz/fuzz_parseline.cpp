// Answer lines: any bytes must parse or be refused cleanly, a parsed line must name a
// command of the table, and a value the engine writes must read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "protocol/command.h"
#include "transport/seriallink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static vela::SerialLink link(vela::SerialLink::Channels{}, nullptr);
    static vela::Command command(link);

    const std::string line(reinterpret_cast<const char*>(data), size);
    vela::ParsedLine p;
    const int result = vela::Command::ParseLine(line, p);
    if (result != 1 - p.error) std::abort();
    if (p.rawLine.size() > line.size() || p.rawLine.find_first_of(" \r\n") != std::string::npos) std::abort();
    if (!result) return 0;

    if (p.cmdId < 0 || p.cmdId >= vela::kCommandCount) std::abort();
    if (p.name != vela::g_commandTable[p.cmdId].name || (p.op != '=' && p.op != '?')) std::abort();
    if (p.value.kind != vela::g_commandTable[p.cmdId].kind) std::abort();

    // A written value ends at the first comma, so only comma-free values come back whole.
    if (p.valueText.find(',') == std::string::npos) {
        const std::string written = command.FormatSetLine(p.cmdId, p.value, true);
        vela::ParsedLine back;
        if (!vela::Command::ParseLine(written, back) || back.cmdId != p.cmdId) std::abort();
        if (back.value.integerValue != p.value.integerValue || back.value.text != p.value.text) std::abort();
    }

    int id = -1, value = 0;
    std::string name, text;
    if (!vela::Command::ParseValueLine(line, id, name, value, text) || id != p.cmdId) std::abort();
    return 0;
}
