#pragma once

#include "dialogs/communicationhost.h"

namespace vela::test {

// Stands in for the main window behind the Communication window: counts the flows asked of it.
struct RecordingHost : CommunicationHost {
    void ReadCameraSettings() override { ++reads; }
    void SaveSettingFileDialog() override { ++saves; }
    void OpenSettingFileDialog() override { ++opens; }
    int reads = 0;
    int saves = 0;
    int opens = 0;
};

}  // namespace vela::test
