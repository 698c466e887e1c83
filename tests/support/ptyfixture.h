#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/waitcursor.h"
#include "protocol/command.h"
#include "protocol/onlinestatusregistry.h"
#include "support/rawpty.h"
#include "support/recorders.h"
#include "support/recordingevents.h"
#include "support/recordingprompt.h"
#include "transport/commandlog.h"
#include "transport/comport.h"
#include "transport/linkkind.h"
#include "transport/seriallink.h"

namespace vela::test {

// A Command over a real ComPort whose far end is a RawPty driven by the test.
class PtyCommandTest : public ::testing::Test {
  protected:
    static constexpr int kComNumber = 7;

    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        command.SetEvents(&events);
        pty.LinkAsComPort(kComNumber);
        ASSERT_EQ(link.Open(ComPortKind, 115200, kComNumber - 1), 1);
        link.Log().Join(&log);
        command.Online().SetOffline();  // as at start, also when cases share a process
        command.Online().Register(&bar);
        WaitCursor::Install(&cursor);
    }
    void TearDown() override {
        WaitCursor::Install(nullptr);
        command.Online().Unregister(&bar);
        link.Log().Leave(&log);
        link.Close();
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const auto& e : events.entries()) captions.push_back(e.caption);
        return captions;
    }

    RecordingPrompt prompt;
    // What the engine tells during its transactions, as the window's boxes would say it.
    RecordingEvents events;
    RawPty pty;
    ComPort port;
    SerialLink link{SerialLink::Channels{&port}, nullptr};
    Command command{link};
    LogLines log;
    StatusBar bar;
    CountingCursor cursor;
};

}  // namespace vela::test
