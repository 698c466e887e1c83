#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "support/cameraonport.h"

namespace vela::bench {

// The simulated camera at 115200 bit/s with its bytes paced at that rate, linked as COMn
// in a config folder of its own (removed at the end), and the tool's engine on a real
// port to it. Message boxes are recorded, not shown.
class PacedCamera {
  public:
    static constexpr int kBaudRate = 115200;

    explicit PacedCamera(int comNumber) {
        char dir[] = "/tmp/vela-bench-XXXXXX";
        if (!::mkdtemp(dir)) {
            m_error = "no config folder";
            return;
        }
        m_configDir = dir;
        ::setenv("VELA_CONFIG_DIR", dir, 1);
        sim::CameraOptions options;
        options.baudRate = kBaudRate;
        sim::WireOptions wire;
        wire.paceBytes = true;
        m_error = m_engine.ConnectCamera(comNumber, options, wire);
    }
    ~PacedCamera() {
        m_engine.Disconnect();
        std::error_code ec;
        if (!m_configDir.empty()) std::filesystem::remove_all(m_configDir, ec);
    }
    PacedCamera(const PacedCamera&) = delete;
    PacedCamera& operator=(const PacedCamera&) = delete;

    // Why the camera cannot be reached; nullptr when it can.
    const char* Error() const { return m_error.empty() ? nullptr : m_error.c_str(); }
    const std::string& ConfigDir() const { return m_configDir; }
    Command& command() { return m_engine.command; }
    const RecordingPrompt& prompt() const { return m_engine.prompt; }

  private:
    std::string m_error;
    std::string m_configDir;
    test::CameraOnPort m_engine;
};

}  // namespace vela::bench
