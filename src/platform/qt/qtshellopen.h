#pragma once

#include "platform/shellopen.h"

namespace vela {

// The shell's "open" as QDesktopServices: files as file URLs, anything with a scheme as is.
class QtShellOpen final : public ShellOpen {
  public:
    bool Open(const std::string& target) override;
};

}  // namespace vela
