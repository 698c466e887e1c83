#include "protocol/cameramodel.h"

#include "protocol/command.h"

namespace vela {
namespace {

constexpr const char* kModelNames[CameraModel::kModelCount] = {"VELA-4K-MONO", "VELA-8K-MONO",
                                                               "VELA-4K-MONO2", "VELA-8K-MONO2"};

}  // namespace

CameraModel::CameraModel(Command& command) : m_command(command) {}

CameraModel& CameraModel::Instance() {
    static CameraModel instance(Command::Instance());
    return instance;
}

const char* CameraModel::ModelName(int index) {
    return (index >= 0 && index < kModelCount) ? kModelNames[index] : "";
}

int CameraModel::Read() {
    std::string answer;
    if (!m_command.ReadString(kCmdMD, answer, kReadTimeoutMs)) return 0;
    m_index = kUnknown;
    for (int i = 0; i < kModelCount; ++i) {
        if (answer == kModelNames[i]) m_index = i;
    }
    if (m_index == kUnknown && m_command.Events()) m_command.Events()->UnsupportedModel(answer);
    m_name = answer;
    return 1;
}

}  // namespace vela
