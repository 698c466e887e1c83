#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/recordingprompt.h"
#include "platform/waitcursor.h"
#include "protocol/command.h"
#include "protocol/onlinestatusregistry.h"
#include "support/rawpty.h"
#include "transport/commandlog.h"
#include "transport/comport.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

namespace vela::test {

struct LogLines : CommandLogSink {
    void OnLogLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

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

// A Command over a real ComPort whose far end is a RawPty driven by the test.
class PtyCommandTest : public ::testing::Test {
  protected:
    static constexpr int kComNumber = 7;

    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        pty.LinkAsComPort(kComNumber);
        ASSERT_EQ(link.Open(ComPortKind, 115200, kComNumber - 1), 1);
        CommandLog::Instance().Join(&log);
        OnlineStatusRegistry::Instance().SetOffline();  // as at start, also when cases share a process
        OnlineStatusRegistry::Instance().Register(&bar);
        WaitCursor::Install(&cursor);
    }
    void TearDown() override {
        WaitCursor::Install(nullptr);
        OnlineStatusRegistry::Instance().Unregister(&bar);
        CommandLog::Instance().Leave(&log);
        link.Close();
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const auto& e : prompt.entries()) captions.push_back(e.caption);
        return captions;
    }

    RecordingPrompt prompt;
    RawPty pty;
    ComPort port;
    SerialLink link{SerialLink::Channels{&port}, nullptr};
    Command command{link};
    LogLines log;
    StatusBar bar;
    CountingCursor cursor;
};

}  // namespace vela::test
