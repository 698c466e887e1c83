#pragma once

#include <string>
#include <vector>

namespace vela {

// A process that has a serial device open.
struct PortHolder {
    int pid = 0;
    std::string program;  // its command name, as ps shows it
};

// The processes that have the device behind `path` open, as far as
// /proc lets this user see them. A process that holds the master side of the very
// pseudo-terminal is the line's far end (a simulated camera), not a rival, and is left out.
std::vector<PortHolder> PortHolders(const std::string& path);

// The words that follow "Device or resource busy" for `path`: who holds it, or, when no
// one does, that an ended program left it exclusive and how to free it.
std::string BusyReason(const std::string& path);

}  // namespace vela
