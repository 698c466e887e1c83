#pragma once

#include <functional>
#include <string>
#include <vector>

#include "camera/parameterreader.h"
#include "platform/waitcursor.h"
#include "protocol/onlinestatusregistry.h"
#include "transport/commandlog.h"

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

// Every line of the communication log, once joined to it.
struct LogLines : CommandLogSink {
    void OnLogLine(const std::string& line) override { lines.push_back(line); }
    Strings lines;
};

// A status bar that records every online status it is shown.
struct StatusBar : COnlineStatusUpdater {
    bool HasStatusBarWindow() const override { return true; }
    void UpdateOnlineStatus(int online) override { updates.push_back(online); }
    std::vector<int> updates;
};

struct CountingCursor : WaitCursor {
    void Begin() override { ++begun; }
    void End() override { ++ended; }
    int begun = 0;
    int ended = 0;
};

}  // namespace vela::test
