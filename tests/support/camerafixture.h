#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "camera/parameterreader.h"
#include "camsim/ptycamera.h"
#include "platform/recordingprompt.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "transport/comport.h"
#include "transport/seriallink.h"

namespace vela::test {

using Strings = std::vector<std::string>;

// Records what a camera procedure reports to its progress window. `onLine` runs before
// each line (at every SetPos), so a test can change the camera half-way.
struct RecordedProgress : ParameterReadProgress {
    void Start(const std::string& message) override { messages.push_back(message); }
    void SetPos(int percent) override {
        positions.push_back(percent);
        if (onLine) onLine(positions.size());
    }
    void Finish() override { ++finished; }
    void DrainMessages() override { ++drains; }
    Strings messages;
    std::vector<int> positions;
    int finished = 0;
    int drains = 0;
    std::function<void(std::size_t)> onLine;
};

// The tool's engine over a real COM port, the simulated camera on the other end of a
// pseudo-terminal. Connect again to swap the camera for another.
class CameraTest : public ::testing::Test {
  protected:
    void Connect(sim::CameraOptions options = {}, sim::WireOptions wire = {}, int comNumber = 3) {
        link.Close();
        if (camera) camera->Stop();
        camera = std::make_unique<sim::PtyCamera>(options, wire);
        ASSERT_TRUE(camera->Start()) << camera->Error();
        ASSERT_EQ(camera->LinkAsComPort(comNumber), "COM" + std::to_string(comNumber));
        ASSERT_EQ(link.Open(ComPortKind, options.baudRate, comNumber - 1), 1);
        ASSERT_EQ(model.Read(), 1);
        camera->ClearLines();
    }
    void TearDown() override {
        link.Close();
        if (camera) camera->Stop();
        ResetControlTable();
    }

    RecordingPrompt prompt;
    std::unique_ptr<sim::PtyCamera> camera;
    ComPort port;
    SerialLink link{SerialLink::Channels{&port}, nullptr};
    Command command{link};
    CameraModel model{command};
    RecordedProgress progress;
};

}  // namespace vela::test
