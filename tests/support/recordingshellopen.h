#pragma once

#include <string>
#include <vector>

#include "platform/shellopen.h"

namespace vela {

// The tests' ShellOpen: keeps every target it is asked to open and opens nothing.
// Installs itself on construction and restores the previous opener on destruction.
class RecordingShellOpen final : public ShellOpen {
  public:
    RecordingShellOpen();
    ~RecordingShellOpen() override;
    RecordingShellOpen(const RecordingShellOpen&) = delete;
    RecordingShellOpen& operator=(const RecordingShellOpen&) = delete;

    bool Open(const std::string& target) override;

    const std::vector<std::string>& opened() const { return m_opened; }

  private:
    std::vector<std::string> m_opened;
    ShellOpen* m_previous;
};

}  // namespace vela
