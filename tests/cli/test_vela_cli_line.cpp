// vela-cli on a line of cameras: a command on several ports at once, `--port all`, diff
// and watch, the real binary against simulated cameras on pseudo-terminals.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/configpaths.h"
#include "support/cameraonport.h"
#include "support/runprogram.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

using test::ProgramResult;

ProgramResult Cli(std::vector<std::string> args) {
    return test::RunProgram(test::BuiltPath("bin/vela-cli"), args);
}

// The lines of `text`, sorted: the cameras of a run answer in any order.
std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

// What a Python expression over the JSON document `json` (as `d`) prints.
std::string PythonOnJson(const std::string& json, const std::string& expression) {
    const std::string file = ConfigDir() + "/out.json";
    test::WriteFile(file, json);
    const ProgramResult r = test::RunProgram(
        "/usr/bin/python3",
        {"-c", "import json,sys; d=json.load(open(sys.argv[1])); print(" + expression + ")", file});
    return r.exitCode == 0 ? r.out : "python failed: " + r.err;
}

class CliLineTest : public ::testing::Test {
  protected:
    // A camera at 9600 bit/s on COM<n>.
    sim::PtyCamera& Start(int n, sim::FailureMode fault = sim::FailureMode::None) {
        sim::WireOptions wire;
        wire.failure = fault;
        std::unique_ptr<sim::PtyCamera>& camera = m_cameras.emplace_back();
        const std::string error = test::StartPtyCamera(camera, n, {}, wire);
        EXPECT_EQ(error, "");
        return *camera;
    }
    static long long Value(sim::PtyCamera& camera, const std::string& name) {
        return camera.WithCore([&](sim::CameraCore& c) { return c.Value(name).value_or(-1); });
    }
    std::vector<std::unique_ptr<sim::PtyCamera>> m_cameras;
};

// Four cameras, the fourth silent: the three that answer take the file, the silent one is
// named, the exit status is the worst (3); --json carries all four; diff finds the three
// equal to the file.
TEST_F(CliLineTest, ApplyToFourCamerasOneSilent) {
    std::vector<sim::PtyCamera*> cameras;
    for (int n = 1; n <= 4; ++n)
        cameras.push_back(&Start(n, n == 4 ? sim::FailureMode::Silent : sim::FailureMode::None));
    const std::string file = ConfigDir() + "/line.cam";
    test::WriteFile(file, "GA=321\r\nBL=9\r\nLS0=1\r\n");
    const std::vector<std::string> common = {"-b", "9600", "-t", "500", "--port", "COM1-COM4"};
    auto args = [&](std::vector<std::string> more) {
        std::vector<std::string> all = common;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };

    ProgramResult r = Cli(args({"apply", file}));
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_NE(r.err.find("vela-cli: COM4: no answer from the camera on COM4"), std::string::npos) << r.err;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Value(*cameras[i], "GA"), 321) << i;
        EXPECT_EQ(Value(*cameras[i], "BL"), 9) << i;
        EXPECT_EQ(Value(*cameras[i], "LS0"), 1) << i;
    }

    r = Cli(args({"--json", "apply", file}));
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(PythonOnJson(r.out, "[(c['port'], c['exit'], c['outcome'], len(c['messages'])) for c in d]"),
              "[('COM1', 0, 'done', 0), ('COM2', 0, 'done', 0), ('COM3', 0, 'done', 0), "
              "('COM4', 3, 'no answer', 1)]\n")
        << r.out;

    // Each line after its port; a camera's document inside its object.
    r = Cli({"-b", "9600", "--port", "COM1,COM3,COM2", "get", "GA"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(SortedLines(r.out), (std::vector<std::string>{"COM1: GA=321", "COM2: GA=321", "COM3: GA=321"}));
    r = Cli({"-b", "9600", "--port", "0-2", "--json", "get", "GA"});
    EXPECT_EQ(PythonOnJson(r.out, "[c['result']['GA'] for c in d]"), "[321, 321, 321]\n") << r.out;

    r = Cli({"-b", "9600", "--port", "COM1-COM3", "diff", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

// save and lut read on several ports write one file per camera, named by {port}; a name
// without it is refused before any port is opened, and so is any other usage error, said once.
TEST_F(CliLineTest, PerCameraFilesNeedAPortPatternAndUsageErrorsTouchNoPort) {
    sim::PtyCamera& first = Start(1);
    Start(2);
    first.WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 444); });
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"save", ConfigDir() + "/one.cam"},
          std::vector<std::string>{"lut", "read", ConfigDir() + "/one.csv"}}) {
        std::vector<std::string> args = {"-b", "9600", "-p", "COM1,COM2"};
        args.insert(args.end(), command.begin(), command.end());
        const ProgramResult r = Cli(args);
        EXPECT_EQ(r.exitCode, 2) << command[0];
        EXPECT_NE(r.err.find("{port}"), std::string::npos) << r.err;
    }
    for (const char* ports : {"COM1,COM2", "all"}) {
        const ProgramResult r = Cli({"-b", "9600", "-p", ports, "get", "GAA"});
        EXPECT_EQ(r.exitCode, 2) << ports;
        EXPECT_EQ(r.err.rfind("vela-cli: unknown name 'GAA'"), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
    EXPECT_EQ(Cli({"-p", "COM1,COM2", "apply", ConfigDir() + "/none.cam"}).exitCode, 4);
    for (const auto& camera : m_cameras) EXPECT_TRUE(camera->ReceivedLines().empty());

    const ProgramResult r = Cli({"-b", "9600", "-p", "COM1,COM2", "save", ConfigDir() + "/cam-{port}.cam"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(test::ReadFile(ConfigDir() + "/cam-COM1.cam").find("GA=444\r\n"), std::string::npos);
    EXPECT_EQ(test::ReadFile(ConfigDir() + "/cam-COM2.cam").find("GA=444\r\n"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(ConfigDir() + "/cam-COM2.cam"));
}

TEST_F(CliLineTest, BadPortListsAreUsageErrors) {
    for (const char* list : {"COM3-COM1", "COM1,", ",COM1", "COM1,COM17", "0-16", "COM1--COM2", "alll"}) {
        const ProgramResult r = Cli({"--port", list, "get", "GA"});
        EXPECT_EQ(r.exitCode, 2) << list;
        EXPECT_NE(r.err.find("--port"), std::string::npos) << r.err;
    }
}

// `--port all` answers with exactly the ports that have a camera, and searches them at
// once: not much longer than one silent port's search, where one after another would
// take sixteen of them.
TEST_F(CliLineTest, PortAllFindsExactlyThePortsWithACamera) {
    Start(2);
    Start(5);
    Start(9, sim::FailureMode::Silent);
    const test::Stopwatch one;
    EXPECT_EQ(Cli({"-b", "9600", "-t", "1000", "--port", "COM9", "get", "GA"}).exitCode, 3);
    const std::uint32_t silentMs = one.Ms();

    const test::Stopwatch all;
    const ProgramResult r = Cli({"-b", "9600", "-t", "1000", "--port", "all", "get", "GA"});
    const std::uint32_t allMs = all.Ms();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string ga = std::to_string(Value(*m_cameras[0], "GA"));
    EXPECT_EQ(SortedLines(r.out), (std::vector<std::string>{"COM2: GA=" + ga, "COM5: GA=" + ga})) << r.err;
    EXPECT_LT(allMs, 4 * silentMs + 2000) << "one silent port: " << silentMs << " ms";

    m_cameras[0]->Stop();
    m_cameras[1]->Stop();
    const ProgramResult none = Cli({"-b", "9600", "-t", "300", "--port", "all", "get", "GA"});
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_NE(none.err.find("no camera answered on any com port"), std::string::npos) << none.err;
}

// diff of the file just saved finds nothing; after a set, exactly that line; a line the
// camera would refuse and a line an apply skips are named as such.
TEST_F(CliLineTest, DiffAgainstASavedFile) {
    sim::PtyCamera& camera = Start(3);
    const std::string file = ConfigDir() + "/saved.cam";
    ASSERT_EQ(Cli({"-b", "9600", "-p", "COM3", "save", file}).exitCode, 0);
    ProgramResult r = Cli({"-b", "9600", "-p", "COM3", "diff", file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");

    const long long ga = Value(camera, "GA");
    const long long other = ga == 200 ? 300 : 200;
    ASSERT_EQ(Cli({"-b", "9600", "-p", "COM3", "set", "GA=" + std::to_string(other)}).exitCode, 0);
    camera.ClearLines();
    r = Cli({"-b", "9600", "-p", "COM3", "diff", file});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "GA file=" + std::to_string(ga) + " camera=" + std::to_string(other) + "\n");
    // Nothing written: every line sent was a query.
    for (const std::string& line : camera.ReceivedLines()) EXPECT_EQ(line.back(), '?') << line;

    test::WriteFile(file, "GA=5000\r\nnonsense\r\nBL=" + std::to_string(Value(camera, "BL")) + "\r\n");
    r = Cli({"-b", "9600", "-p", "COM3", "diff", file});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, "GA=5000 refused: out of range 100..1600\nline 2 skipped: nonsense\n");
    r = Cli({"-b", "9600", "-p", "COM3", "--json", "diff", file});
    EXPECT_EQ(
        PythonOnJson(r.out, "d['equal'], d['refused'][0]['line'], d['skipped'][0]['text'], d['differences']"),
        "False 1 nonsense []\n")
        << r.out;
}

// watch: a header and one row per query, times to the millisecond when rows are less than
// a second apart; Ctrl+C ends it cleanly.
TEST_F(CliLineTest, WatchPrintsCsvRows) {
    sim::PtyCamera& camera = Start(3);
    ProgramResult r =
        Cli({"-b", "9600", "-p", "COM3", "watch", "GA", "bl", "--every", "0.1", "--count", "3"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string row = "\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z,COM3," +
                            std::to_string(Value(camera, "GA")) + "," + std::to_string(Value(camera, "BL")) +
                            "\n";
    EXPECT_TRUE(std::regex_match(r.out, std::regex("time,port,GA,BL\n" + row + row + row))) << r.out;

    camera.ClearLines();
    test::RunningProgram watch(test::BuiltPath("bin/vela-cli"),
                               {"-b", "9600", "-p", "COM3", "watch", "GA", "--every", "0.1"});
    ASSERT_TRUE(camera.WaitForReceived(4, 20000));
    watch.Signal(SIGINT);
    r = watch.Wait(20000);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("time,port,GA\n", 0), 0u) << r.out;
    EXPECT_EQ(r.out.back(), '\n') << r.out;
}

// Three ports of a Camera Link serial library at once: each session opens its own channel
// to the library, since one channel holds one open port. The simulated library's cameras
// live in the vela-cli process.
TEST(CliLineLibraryTest, PortsOfALibraryAtOnce) {
    ::setenv("LD_LIBRARY_PATH", test::BuiltPath("lib").c_str(), 1);
    ::setenv("VELA_CLSIM_PORTS", "3", 1);
    const ProgramResult r = Cli({"--kind", "cl11", "-b", "9600", "--port", "0-2", "set", "GA=250"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(SortedLines(r.out),
              (std::vector<std::string>{"0: GA=250 COMPLETE", "1: GA=250 COMPLETE", "2: GA=250 COMPLETE"}));
}

}  // namespace
}  // namespace vela
