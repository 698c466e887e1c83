#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "camsim/ptycamera.h"
#include "platform/recordingprompt.h"
#include "protocol/command.h"
#include "transport/comport.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

namespace vela::bench {

// The simulated camera at 115200 bit/s with its bytes paced at that rate, linked as COMn
// in a config folder of its own (removed at the end), and the tool's engine on a real
// port to it. Message boxes are recorded, not shown.
class PacedCamera {
  public:
    static constexpr int kBaudRate = 115200;

    explicit PacedCamera(int comNumber) : m_camera(CameraOptionsAt(kBaudRate), PacedWire()) {
        char dir[] = "/tmp/vela-bench-XXXXXX";
        if (!::mkdtemp(dir)) {
            m_error = "no config folder";
            return;
        }
        m_configDir = dir;
        ::setenv("VELA_CONFIG_DIR", dir, 1);
        if (!m_camera.Start() || m_camera.LinkAsComPort(comNumber).empty()) {
            m_error = "no pseudo-terminal for the simulated camera";
        } else if (!m_link.Open(ComPortKind, kBaudRate, comNumber - 1)) {
            m_error = "cannot open the simulated camera's port";
        }
    }
    ~PacedCamera() {
        m_link.Close();
        m_camera.Stop();
        std::error_code ec;
        if (!m_configDir.empty()) std::filesystem::remove_all(m_configDir, ec);
    }
    PacedCamera(const PacedCamera&) = delete;
    PacedCamera& operator=(const PacedCamera&) = delete;

    // Why the camera cannot be reached; nullptr when it can.
    const char* Error() const { return m_error; }
    const std::string& ConfigDir() const { return m_configDir; }
    Command& command() { return m_command; }
    const RecordingPrompt& prompt() const { return m_prompt; }

  private:
    static sim::CameraOptions CameraOptionsAt(int baudRate) {
        sim::CameraOptions options;
        options.baudRate = baudRate;
        return options;
    }
    static sim::WireOptions PacedWire() {
        sim::WireOptions wire;
        wire.paceBytes = true;
        return wire;
    }

    const char* m_error = nullptr;
    std::string m_configDir;
    RecordingPrompt m_prompt;
    sim::PtyCamera m_camera;
    ComPort m_port;
    SerialLink m_link{SerialLink::Channels{&m_port}, nullptr};
    Command m_command{m_link};
};

}  // namespace vela::bench
