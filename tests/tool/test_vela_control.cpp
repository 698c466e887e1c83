// vela-control ended by a signal, as a desktop session ends it at logout: the real program
// against the simulated camera, with assertions on its exit, its settings file and the port.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/configpaths.h"
#include "support/cameraonport.h"
#include "support/eventually.h"
#include "support/runprogram.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

std::string Settings(int kind) {
    return "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool]\r\n"
           "\"Previous Application Shutdown Status\"=dword:00000001\r\n"
           "\"Communication Mode\"=dword:0000000" +
           std::to_string(kind) + "\r\n";
}

struct EndCase {
    const char* when;
    int kind;  // the link kind the settings name
    // True once the run has reached the moment the signal is meant for.
    bool (*reached)(const test::RunningProgram& tool, sim::PtyCamera& camera);
    int settleMs;  // then this long before the signal
};

const EndCase kCases[] = {
    {"idle, the pages up", 0,
     [](const test::RunningProgram& tool, sim::PtyCamera&) {
         return tool.ErrSoFar().find("pages show the camera's values") != std::string::npos;
     },
     0},
    {"during the start-up read", 0,
     [](const test::RunningProgram&, sim::PtyCamera& camera) { return camera.ReceivedLines().size() >= 10; },
     0},
    // No library of the kind is found: start-up holds in a message box until it is answered.
    {"with a box up, on a library kind", 1, [](const test::RunningProgram&, sim::PtyCamera&) { return true; },
     2000},
};

TEST(VelaControl, SignalEndsTheRunAsExitDoes) {
    std::unique_ptr<sim::PtyCamera> camera;
    ASSERT_EQ(test::StartPtyCamera(camera, 1), "");
    const std::string reg = ConfigDir() + "/VELA-4K Control Tool.reg";
    ::setenv("QT_LOGGING_RULES", "vela.startup.info=true", 1);
    ::setenv("CLSERIAL_SYSTEM_DIR", ConfigDir().c_str(), 1);
    for (const EndCase& c : kCases) {
        SCOPED_TRACE(c.when);
        test::WriteFile(reg, Settings(c.kind));
        camera->ClearLines();
        test::RunningProgram tool(test::BuiltPath("bin/vela-control"), {});
        ASSERT_TRUE(test::Eventually([&] { return c.reached(tool, *camera); }, 30000));
        std::this_thread::sleep_for(std::chrono::milliseconds(c.settleMs));
        tool.Signal(SIGTERM);
        const test::ProgramResult r = tool.Wait(30000);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        const std::string settings = test::ReadFile(reg);
        EXPECT_NE(settings.find("\"Previous Application Shutdown Status\"=dword:00000001"), std::string::npos)
            << settings;
        EXPECT_NE(settings.find("\"Communication Mode\"=dword:0000000" + std::to_string(c.kind)),
                  std::string::npos)
            << settings;
        // Every line the tool sent was answered: none was cut off by the end.
        EXPECT_EQ(camera->ReceivedLines().size(), camera->SentLines().size());
        test::CameraOnPort next;
        EXPECT_EQ(next.link.Open(ComPortKind, 9600, 0), 1);
    }
}

}  // namespace
}  // namespace vela
