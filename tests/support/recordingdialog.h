#pragma once

#include <vector>

#include "dialogs/dialogregistry.h"

namespace vela::test {

// A dialog in the registry without a window: records every enable and disable it is asked for.
struct RecordingDialog : RegisteredDialog {
    bool HasWindow() const override { return hasWindow; }
    void EnableWindow(bool enable) override {
        enabled = enable;
        calls.push_back(enable);
    }
    bool hasWindow = true;  // false: as a dialog whose window is already destroyed
    bool enabled = true;
    std::vector<bool> calls;
};

}  // namespace vela::test
