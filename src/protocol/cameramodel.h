#pragma once

#include <string>

namespace vela {

class Command;

// Which of the four supported camera models is connected, as the MD query answers.
class CameraModel {
  public:
    static constexpr int kModelCount = 4;
    static constexpr int kUnknown = 4;
    static constexpr int kReadTimeoutMs = 1000;

    explicit CameraModel(Command& command);
    CameraModel(const CameraModel&) = delete;
    CameraModel& operator=(const CameraModel&) = delete;

    // The process-wide record, over Command::Instance().
    static CameraModel& Instance();

    // Queries MD. 1 when the camera answered, whatever the model (an unknown one is
    // told to the engine's listener); 0 when the query failed, index and name unchanged.
    int Read();

    bool IsSupported() const { return m_index >= 0 && m_index < kModelCount; }
    bool Is4K() const { return m_index == 0 || m_index == 2; }
    bool Is8K() const { return m_index == 1 || m_index == 3; }
    int Index() const { return m_index; }
    // The last answer to MD; empty until one came.
    const std::string& Name() const { return m_name; }

    // "VELA-4K-MONO", "VELA-8K-MONO", "VELA-4K-MONO2", "VELA-8K-MONO2" for 0-3; "" otherwise.
    static const char* ModelName(int index);

  private:
    Command& m_command;
    int m_index = kUnknown;
    std::string m_name;
};

}  // namespace vela
