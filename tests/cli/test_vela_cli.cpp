// vela-cli as a script runs it: the real binary against the simulated camera on a
// pseudo-terminal, with assertions on its output, its exit code and the camera's state.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/configpaths.h"
#include "camera/settingfile.h"
#include "camsim/ptycamera.h"
#include "support/camerafixture.h"
#include "support/runprogram.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

using test::ProgramResult;

ProgramResult Cli(std::vector<std::string> args) {
    return test::RunProgram(VELA_CLI_EXE, args);
}

class CliTest : public ::testing::Test {
  protected:
    void StartCamera(int baudRate = 9600, sim::FailureMode fault = sim::FailureMode::None) {
        sim::CameraOptions options;
        options.baudRate = baudRate;
        sim::WireOptions wire;
        wire.failure = fault;
        m_camera = std::make_unique<sim::PtyCamera>(options, wire);
        ASSERT_TRUE(m_camera->Start()) << m_camera->Error();
        ASSERT_EQ(m_camera->LinkAsComPort(3), "COM3");
    }
    long long CameraValue(const std::string& name) {
        return m_camera->WithCore([&](sim::CameraCore& c) { return c.Value(name).value_or(-1); });
    }
    std::unique_ptr<sim::PtyCamera> m_camera;
};

TEST_F(CliTest, ProbeFindsTheCameraAt38400) {
    StartCamera(38400);
    const ProgramResult r = Cli({"--port", "COM3", "probe"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("baud=38400\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("model=VELA-4K-MONO\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("port=COM3\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, GetAndSetGoToTheCamera) {
    StartCamera();
    ProgramResult r = Cli({"-p", "COM3", "-b", "9600", "get", "GA", "bl"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "GA=" + std::to_string(CameraValue("GA")) + "\nBL=" + std::to_string(CameraValue("BL")) + "\n");

    r = Cli({"-p", "COM3", "set", "GA=200"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(CameraValue("GA"), 200);

    // Written in order up to the refusal: BL is written, GA refused, and TS never sent.
    m_camera->ClearLines();
    const long long ts = CameraValue("TS");
    r = Cli({"-p", "COM3", "set", "BL=7", "GA=5000", "TS=1"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("GA=5000"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ERROR"), std::string::npos) << r.err;
    EXPECT_EQ(CameraValue("GA"), 200);
    EXPECT_EQ(CameraValue("BL"), 7);
    EXPECT_EQ(CameraValue("TS"), ts);
    for (const std::string& line : m_camera->ReceivedLines()) EXPECT_NE(line.rfind("TS=", 0), 0u) << line;
}

// The port chosen in the window is the default; the window's settings file is only read.
TEST_F(CliTest, DefaultsComeFromTheWindowsSettingsWhichStayUntouched) {
    StartCamera();
    const std::string reg = ConfigDir() + "/VELA-4K Control Tool.reg";
    const std::string content =
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool]\r\n"
        "\"Previous Application Shutdown Status\"=dword:00000000\r\n\"Communication Mode\"=dword:00000000\r\n"
        "\"Com Port No\"=dword:00000002\r\n";
    test::WriteFile(reg, content);
    const ProgramResult r = Cli({"-b", "9600", "get", "GA"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "GA=" + std::to_string(CameraValue("GA")) + "\n");
    EXPECT_EQ(test::ReadFile(reg), content);
}

TEST_F(CliTest, UnknownNamesAndBadUsageExit2WithoutTouchingThePort) {
    StartCamera();
    ProgramResult r = Cli({"-p", "COM3", "set", "XX=1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("unknown name 'XX'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("did you mean"), std::string::npos) << r.err;
    r = Cli({"-p", "COM3", "get", "GAA"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("GA"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"--baud", "12345", "probe"}).exitCode, 2);
    EXPECT_EQ(Cli({"-p", "COM3", "store", "7"}).exitCode, 2);
    EXPECT_EQ(Cli({"frobnicate"}).exitCode, 2);
    EXPECT_TRUE(m_camera->ReceivedLines().empty());
}

TEST_F(CliTest, HelpListsEveryCommandAndExitCode) {
    const ProgramResult r = Cli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* word : {"ports", "probe", "get", "set", "area", "store", "load", "send", "--json",
                             "--timeout", "  3  no answer"}) {
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
    }
    const ProgramResult sub = Cli({"store", "--help"});
    EXPECT_EQ(sub.exitCode, 0);
    EXPECT_EQ(sub.out.rfind("Usage: vela-cli [options] store N\n", 0), 0u) << sub.out;
}

TEST_F(CliTest, FlashAreasStoreAndLoad) {
    StartCamera();
    ASSERT_EQ(Cli({"-p", "COM3", "set", "GA=321"}).exitCode, 0);
    ProgramResult r = Cli({"-p", "COM3", "store", "2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(m_camera->WithCore([](sim::CameraCore& c) { return c.AreaValue(2, "GA").value_or(-1); }), 321);
    ASSERT_EQ(Cli({"-p", "COM3", "set", "GA=100"}).exitCode, 0);
    EXPECT_EQ(Cli({"-p", "COM3", "load", "2"}).exitCode, 0);
    EXPECT_EQ(CameraValue("GA"), 321);
    r = Cli({"-p", "COM3", "area"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2 User 2 Data\n");
    // The factory area is the factory control mode's.
    EXPECT_EQ(Cli({"-p", "COM3", "store", "0"}).exitCode, 2);
}

TEST_F(CliTest, SendPrintsTheRawAnswerAndJsonParses) {
    StartCamera();
    ProgramResult r = Cli({"-p", "COM3", "send", "MD?"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "MD=VELA-4K-MONO\n");

    r = Cli({"-p", "COM3", "--json", "get", "GA", "MD"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string file = ConfigDir() + "/out.json";
    {
        FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(r.out.data(), 1, r.out.size(), f);
        std::fclose(f);
    }
    const ProgramResult parsed = test::RunProgram(
        "/usr/bin/python3",
        {"-c", "import json,sys; d=json.load(open(sys.argv[1])); print(d['MD'], d['GA']+1)", file});
    EXPECT_EQ(parsed.exitCode, 0) << parsed.err;
    EXPECT_EQ(parsed.out, "VELA-4K-MONO " + std::to_string(CameraValue("GA") + 1) + "\n");
}

TEST_F(CliTest, SilentCameraExits3WithinTheTimeOut) {
    StartCamera(9600, sim::FailureMode::Silent);
    const test::Stopwatch watch;
    const ProgramResult r = Cli({"-p", "COM3", "-b", "9600", "-t", "500", "get", "GA"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("no answer"), std::string::npos) << r.err;
    // The model query's own time-out is the floor; one query, never a search.
    EXPECT_LT(watch.Ms(), 20000);
}

TEST_F(CliTest, PortHeldByAnotherProgramIsBusyNotAHang) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens an exclusive tty anyway; scripts/test-unprivileged runs this";
    StartCamera();
    // What the window's COM port does to the device it has open.
    const int fd = ::open(m_camera->LinkPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
    const ProgramResult r = Cli({"-p", "COM3", "probe"});
    ::close(fd);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("another program has"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Device or resource busy"), std::string::npos) << r.err;
}

// save on one camera, apply to another: the second takes the first one's values, and the
// file is the very bytes the window writes for the same camera and mode.
class CliFileTest : public test::CameraTest {};

TEST_F(CliFileTest, SaveThenApplyCopiesACameraAndMatchesTheWindowsFile) {
    Connect();
    camera->WithCore([](sim::CameraCore& c) { return c.SetValue("GA", 333) && c.SetValue("BL", 12); });
    link.Close();
    const std::string cliFile = ConfigDir() + "/cli.cam";
    ProgramResult r = Cli({"-p", "COM3", "-b", "9600", "save", cliFile});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    ASSERT_EQ(link.Open(ComPortKind, 9600, 2), 1);
    ReadParameterRows(command, model, 0, progress);
    const std::string windowFile = ConfigDir() + "/window.cam";
    ASSERT_EQ(SaveSettingFile(windowFile, SettingFileKind::AllData, command, model, 0), 1);
    link.Close();
    const std::string bytes = test::ReadFile(cliFile);
    EXPECT_EQ(bytes, test::ReadFile(windowFile));
    EXPECT_NE(bytes.find("GA=333\r\n"), std::string::npos) << bytes;

    sim::PtyCamera second;
    ASSERT_TRUE(second.Start()) << second.Error();
    ASSERT_EQ(second.LinkAsComPort(4), "COM4");
    r = Cli({"-p", "COM4", "apply", cliFile});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"GA", "BL", "TS", "LS0"}) {
        EXPECT_EQ(second.WithCore([&](sim::CameraCore& c) { return c.Value(name); }),
                  camera->WithCore([&](sim::CameraCore& c) { return c.Value(name); }))
            << name;
    }

    // A line the camera refuses is listed and makes the exit status 1; a stray line is reported.
    test::WriteFile(cliFile, "GA=5000\r\nnonsense\r\nBL=3\r\n");
    r = Cli({"-p", "COM4", "apply", cliFile});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("GA=5000"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(":2: skipped: nonsense"), std::string::npos) << r.err;
    EXPECT_EQ(second.WithCore([](sim::CameraCore& c) { return c.Value("BL"); }), 3);
    second.Stop();
}

TEST_F(CliFileTest, MissingOrUnwritableFilesExit4) {
    ProgramResult r = Cli({"-p", "COM9", "apply", ConfigDir() + "/no-such.cam"});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_NE(r.err.find("no-such.cam"), std::string::npos) << r.err;
    Connect();
    link.Close();
    r = Cli({"-p", "COM3", "save", ConfigDir() + "/no-such-folder/x.cam"});
    EXPECT_EQ(r.exitCode, 4) << r.err;
}

}  // namespace
}  // namespace vela
