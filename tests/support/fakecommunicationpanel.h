#pragma once

#include <vector>

#include "dialogs/communicationpanel.h"

namespace vela::test {

// Stands in for the Communication window: records what the main window asks of it.
struct FakeCommunicationPanel : CommunicationPanel {
    void SetBaudRateSelection(int index) override { baudSelections.push_back(index); }
    void UpdateControlModeItems() override { ++modeUpdates; }
    void ShowNormal() override { ++shown; }
    std::vector<int> baudSelections;
    int modeUpdates = 0;
    int shown = 0;
};

}  // namespace vela::test
