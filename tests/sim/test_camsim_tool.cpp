// The camera against the tool's own tables and transport: each keeps its own definitions,
// so a slip in either shows here.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/clock.h"
#include "protocol/commandtable.h"
#include "support/cameraonport.h"
#include "support/stopwatch.h"

namespace vela {
namespace {

TEST(CamsimAgainstToolTest, CommandNamesAndSpinRangesAgree) {
    const auto& names = sim::CameraCore::CommandNames();
    ASSERT_EQ(static_cast<int>(names.size()), kCommandCount);
    sim::CameraCore cam;
    for (int id = 0; id < kCommandCount; ++id) {
        const std::string& name = names[static_cast<std::size_t>(id)];
        EXPECT_EQ(name, g_commandTable[id].name) << id;
        // The camera holds text for exactly the commands the tool writes and reads as text
        // (HP, whose answer is many lines of help, holds no value at all).
        if (name != "HP") {
            EXPECT_EQ(g_commandTable[id].kind == ValueKind::Text, !cam.Value(name).has_value()) << name;
        }
    }

    auto ask = [&cam](const std::string& line) {
        auto a = cam.HandleLine(line);
        return a.size() == 1 ? a[0] : std::string("<") + std::to_string(a.size()) + " lines>";
    };
    int spinRows = 0;
    for (const ControlEntry& e : ControlRows()) {
        const std::string name = g_commandTable[e.cmdId].name;
        if (e.kind == Button) continue;
        EXPECT_EQ(ask(name + "?").rfind(name + "=", 0), 0u) << name;
        if (e.kind != SpinEdit) continue;
        ++spinRows;
        // LUTI points at the entry LUTD then uses, so it is left there.
        EXPECT_EQ(ask(name + "=" + std::to_string(e.maximum)), "COMPLETE") << name;
        EXPECT_EQ(ask(name + "=" + std::to_string(e.minimum)), "COMPLETE") << name;
        EXPECT_EQ(ask(name + "=" + std::to_string(static_cast<long long>(e.minimum) - 1)), "ERROR") << name;
        if (e.maximum < INT_MAX) {
            EXPECT_EQ(ask(name + "=" + std::to_string(static_cast<long long>(e.maximum) + 1)), "ERROR")
                << name;
        }
    }
    EXPECT_GT(spinRows, 15);
}

// The baud search and the baud-rate change as the tool does them, through the real COM
// port on the camera's pseudo-terminal.
TEST(CamsimAgainstToolTest, BaudSearchAndSwitchThroughTheComPort) {
    test::CameraOnPort on;
    sim::CameraOptions options;
    options.baudRate = 38400;
    ASSERT_EQ(test::StartPtyCamera(on.camera, 4, options), "");
    ASSERT_EQ(on.link.Open(ComPortKind, 9600, 3), 1);
    std::string model;
    EXPECT_EQ(on.command.ReadString(kCmdMD, model, 300), 0);
    EXPECT_EQ(on.link.SetBaudRate(115200), 1);
    EXPECT_EQ(on.command.ReadString(kCmdMD, model, 300), 0);
    EXPECT_EQ(on.link.SetBaudRate(38400), 1);
    EXPECT_EQ(on.command.ReadString(kCmdMD, model, 2000), 1);
    EXPECT_EQ(model, "VELA-4K-MONO");
    EXPECT_EQ(on.camera->GarbledLines(), 2);

    int code = 0;
    EXPECT_EQ(on.command.ReadValue(kCmdCBDRT, code, 2000), 1);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(on.command.WriteValue(kCmdCBDRT, 16, 5000), 1);  // answered at the old rate
    EXPECT_EQ(on.link.SetBaudRate(115200), 1);
    EXPECT_EQ(on.command.WriteValue(kCmdCBDRT, 16, 5000), 1);
    EXPECT_EQ(on.command.ReadValue(kCmdCBDRT, code, 2000), 1);
    EXPECT_EQ(code, 16);
    EXPECT_EQ(on.camera->WithCore([](sim::CameraCore& c) { return c.BaudRate(); }), 115200);
    // No message box: the unanswered probes are time-outs, not wrong answers.
    EXPECT_TRUE(on.prompt.entries().empty());
    on.link.Close();
}

// The recalibration procedure: start, then one status read after another until it is done.
TEST(CamsimAgainstToolTest, RecalibrationStatusThroughTheComPort) {
    test::CameraOnPort on;
    sim::CameraOptions options;
    options.recalibrationMs = 400;
    options.recalibrationResult = 2;
    ASSERT_EQ(on.ConnectCamera(6, options), "");

    const vela::test::Stopwatch start;
    EXPECT_EQ(on.command.WriteValue(kCmdPGR, 0, 100000), 1);
    int status = 0;
    int zeros = 0;
    while (start.Ms() < 10000) {
        ASSERT_EQ(on.command.ReadValue(kCmdPGS, status, 5000), 1);
        if (status != 0) break;
        ++zeros;
        SleepMs(100);
    }
    EXPECT_EQ(status, 2);
    EXPECT_GE(zeros, 1);
    // The simulated camera counts whole milliseconds.
    EXPECT_GE(start.Ms(), 399u);
    on.link.Close();
}

}  // namespace
}  // namespace vela
