#pragma once

#include <string>

namespace vela {

// The shell's "open" of a file or an address. The tool installs the QDesktopServices
// implementation at start; tests install one that records what was opened.
class ShellOpen {
  public:
    virtual ~ShellOpen() = default;
    // Opens `target` (a file path or a URL) with the desktop's handler; true on success.
    virtual bool Open(const std::string& target) = 0;

    // The installed opener; one that opens nothing and fails when none is installed.
    static ShellOpen& Instance();
    static void Install(ShellOpen* opener);
};

}  // namespace vela
