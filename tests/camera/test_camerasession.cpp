// Camera sessions as values: two simulated cameras on two ports, driven from two threads at
// once in one process; each camera hears exactly its own session's lines, each session's log
// holds exactly its own lines, and each session keeps its own values and online state.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "camera/camerasession.h"
#include "protocol/controlids.h"
#include "support/cameraonport.h"
#include "support/recorders.h"

namespace vela {
namespace {

using test::Strings;

TEST(CameraSession, TwoSessionsOnTwoPortsAtOnceEachReachOnlyTheirCamera) {
    RecordingPrompt prompt;
    struct Side {
        Side(int com, const char* command, int first) : comNumber(com), name(command), base(first) {}
        int comNumber;
        const char* name;
        int base;
        std::unique_ptr<sim::PtyCamera> camera;
        CameraSession session;
        Strings expected;
        test::LogLines log;
    };
    test::LogLines processWide;  // the window's log: no session's line goes there
    CommandLog::Instance().Join(&processWide);
    Side sides[2] = {{5, "GA", 100}, {6, "BL", -50}};
    for (Side& side : sides) {
        ASSERT_EQ(test::StartPtyCamera(side.camera, side.comNumber), "");
        ASSERT_EQ(side.session.link.Open(ComPortKind, 9600, side.comNumber - 1), 1);
        side.session.command.SetFastAnswers(true);
        side.session.link.Log().Join(&side.log);
    }
    constexpr int kWrites = 40;
    std::vector<std::thread> threads;
    for (Side& side : sides) {
        threads.emplace_back([&side] {
            const int cmdId = FindCommand(side.name);
            for (int i = 0; i < kWrites; ++i) {
                const int value = side.base + i;
                if (side.session.command.WriteValue(cmdId, value, 2000) != 1) return;
                side.expected.push_back(std::string(side.name) + "=" + std::to_string(value));
            }
            CommandValue v;
            if (side.session.command.Query(cmdId, v, 2000).Ok())
                side.expected.push_back(std::string(side.name) + "?");
        });
    }
    for (std::thread& t : threads) t.join();
    for (Side& side : sides) {
        SCOPED_TRACE(side.name);
        EXPECT_EQ(side.expected.size(), static_cast<std::size_t>(kWrites + 1));
        EXPECT_EQ(side.camera->ReceivedLines(), side.expected);
        EXPECT_TRUE(side.session.command.Online().IsOnline());
        Strings sent;
        for (const std::string& line : side.log.lines) {
            if (line.rfind("Tx: ", 0) == 0) sent.push_back(line.substr(4));
        }
        EXPECT_EQ(sent, side.expected);
        side.session.link.Log().Leave(&side.log);
    }
    CommandLog::Instance().Leave(&processWide);
    EXPECT_TRUE(processWide.lines.empty());
    // The value tables are the sessions' own: neither sees the other's value.
    const int before = sides[1].session.command.GetDataValue(ctl::kGainLevel);
    sides[0].session.command.SetDataValue(ctl::kGainLevel, before + 7);
    EXPECT_EQ(sides[0].session.command.GetDataValue(ctl::kGainLevel), before + 7);
    EXPECT_EQ(sides[1].session.command.GetDataValue(ctl::kGainLevel), before);
    EXPECT_TRUE(prompt.entries().empty());
}

}  // namespace
}  // namespace vela
