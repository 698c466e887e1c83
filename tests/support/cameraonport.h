#pragma once

#include <memory>
#include <string>

#include "camsim/ptycamera.h"
#include "protocol/command.h"
#include "support/recordingevents.h"
#include "support/recordingprompt.h"
#include "transport/comport.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

// Free of the test framework, so the benchmarks bring up their camera with it too.
namespace vela::test {

// Starts a simulated camera on a pseudo-terminal, linked as COM<comNumber>, in place of the
// one `camera` held; "" when it serves, else why not. `camera` is set either way.
inline std::string StartPtyCamera(std::unique_ptr<sim::PtyCamera>& camera, int comNumber,
                                  sim::CameraOptions options = {}, sim::WireOptions wire = {}) {
    if (camera) camera->Stop();
    camera = std::make_unique<sim::PtyCamera>(options, wire);
    if (!camera->Start()) return "no pseudo-terminal for the simulated camera: " + camera->Error();
    const std::string name = "COM" + std::to_string(comNumber);
    if (camera->LinkAsComPort(comNumber) != name)
        return "cannot link the camera as " + name + ": " + camera->Error();
    return {};
}

// That camera and the tool's engine on a real port of its own (not the process-wide link).
// Message boxes are recorded, not shown.
struct CameraOnPort {
    CameraOnPort() { command.SetEvents(&events); }
    // Starts the camera and opens the link to it at the camera's rate; "" or why not.
    std::string ConnectCamera(int comNumber, sim::CameraOptions options = {}, sim::WireOptions wire = {}) {
        link.Close();
        std::string error = StartPtyCamera(camera, comNumber, options, wire);
        if (error.empty() && link.Open(ComPortKind, options.baudRate, comNumber - 1) != 1)
            error = "cannot open COM" + std::to_string(comNumber) + " at " + std::to_string(options.baudRate);
        return error;
    }
    void Disconnect() {
        link.Close();
        if (camera) camera->Stop();
    }

    RecordingPrompt prompt;
    // What the engine tells during its transactions (refusals, unknown ids, ...).
    RecordingEvents events;
    std::unique_ptr<sim::PtyCamera> camera;
    ComPort port;
    SerialLink link{SerialLink::Channels{&port}, nullptr};
    Command command{link};
};

}  // namespace vela::test
