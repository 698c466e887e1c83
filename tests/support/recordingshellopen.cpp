#include "support/recordingshellopen.h"

namespace vela {

RecordingShellOpen::RecordingShellOpen() : m_previous(&ShellOpen::Instance()) {
    ShellOpen::Install(this);
}

RecordingShellOpen::~RecordingShellOpen() {
    ShellOpen::Install(m_previous);
}

bool RecordingShellOpen::Open(const std::string& target) {
    m_opened.push_back(target);
    return true;
}

}  // namespace vela
