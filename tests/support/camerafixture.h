#pragma once

#include <gtest/gtest.h>

#include "protocol/cameramodel.h"
#include "protocol/commandtable.h"
#include "support/cameraonport.h"
#include "support/recorders.h"

namespace vela::test {

// The tool's engine over a real COM port, the simulated camera on the other end of a
// pseudo-terminal. Connect again to swap the camera for another.
class CameraTest : public ::testing::Test, protected CameraOnPort {
  protected:
    // Connects and reads the camera's model, then forgets the lines that took.
    void Connect(sim::CameraOptions options = {}, sim::WireOptions wire = {}, int comNumber = 3) {
        ASSERT_EQ(ConnectCamera(comNumber, options, wire), "");
        ASSERT_EQ(model.Read(), 1);
        camera->ClearLines();
    }
    void TearDown() override {
        Disconnect();
        ResetControlTable();
    }

    CameraModel model{command};
    RecordedProgress progress;
};

}  // namespace vela::test
