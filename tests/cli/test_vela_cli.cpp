// vela-cli as a script runs it: the real binary against the simulated camera on a
// pseudo-terminal, with assertions on its output, its exit code and the camera's state.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/configpaths.h"
#include "camera/gammafile.h"
#include "camera/settingfile.h"
#include "support/camerafixture.h"
#include "support/runprogram.h"
#include "support/stopwatch.h"
#include "support/tempconfig.h"

namespace vela {
namespace {

using test::ProgramResult;

ProgramResult Cli(std::vector<std::string> args) {
    return test::RunProgram(test::BuiltPath("bin/vela-cli"), args);
}

class CliTest : public ::testing::Test {
  protected:
    void StartCamera(int baudRate = 9600, sim::FailureMode fault = sim::FailureMode::None) {
        sim::CameraOptions options;
        options.baudRate = baudRate;
        sim::WireOptions wire;
        wire.failure = fault;
        ASSERT_EQ(test::StartPtyCamera(m_camera, 3, options, wire), "");
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
    r = Cli({"-p", "COM3", "--fast", "get", "GA"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "GA=200\n");

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
    for (const char* word : {"ports", "probe", "get", "set", "area", "store", "load", "send",
                             "lut read|write", "info", "--json", "--timeout", "  3  no answer"}) {
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

TEST_F(CliTest, PortHeldByAnotherProgramIsBusyAndNamesIt) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens an exclusive tty anyway; scripts/test-unprivileged runs this";
    StartCamera();
    // What the window's COM port does to the device it has open, handed to a second process
    // (the descriptor is inherited); this one, at the camera's end of the line, keeps none.
    const int fd = ::open(m_camera->LinkPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
    {
        test::RunningProgram holder("/bin/sleep", {"60"});
        ::close(fd);
        ASSERT_TRUE(holder.Started());
        const ProgramResult r = Cli({"-p", "COM3", "probe"});
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_NE(r.err.find("Device or resource busy: held by sleep, pid " + std::to_string(holder.Pid())),
                  std::string::npos)
            << r.err;
    }
    // The holder was killed outright and never cleared the flag: the camera's end clears it.
    EXPECT_EQ(Cli({"-p", "COM3", "probe"}).exitCode, 0);
}

// Ended half-way through a LUT read: by Ctrl+C the run stops after the line on the wire,
// writes no file and exits 130; killed outright, it cannot clean up, and the camera's end
// of the line frees the port. Either way the next run opens the port.
TEST_F(CliTest, LutReadEndedHalfWayLeavesNoFileAndThePortFree) {
    StartCamera();
    const std::string file = ConfigDir() + "/lut.csv";
    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(signal);
        m_camera->ClearLines();
        test::RunningProgram cli(test::BuiltPath("bin/vela-cli"),
                                 {"-p", "COM3", "-b", "9600", "lut", "read", file});
        ASSERT_TRUE(m_camera->WaitForReceived(20, 20000));
        cli.Signal(signal);
        int endedBy = 0;
        const ProgramResult r = cli.Wait(20000, &endedBy);
        if (signal == SIGKILL) {
            EXPECT_EQ(endedBy, SIGKILL);
        } else {
            EXPECT_EQ(r.exitCode, 128 + signal) << r.err;
            EXPECT_NE(r.err.find("the LUT read stopped at entry"), std::string::npos) << r.err;
            // The last line sent was answered before the run ended.
            EXPECT_EQ(m_camera->ReceivedLines().size(), m_camera->SentLines().size());
        }
        EXPECT_FALSE(std::filesystem::exists(file));
        const ProgramResult next = Cli({"-p", "COM3", "-b", "9600", "get", "GA"});
        EXPECT_EQ(next.exitCode, 0) << next.err;
    }
}

// An apply ended by a signal says how many of its lines reached the camera.
TEST_F(CliTest, ApplyEndedBySignalReportsTheLinesSent) {
    StartCamera();
    const std::string file = ConfigDir() + "/many.cam";
    std::string lines;
    for (int i = 0; i < 200; ++i) lines += "GA=" + std::to_string(100 + i % 50) + "\r\n";
    test::WriteFile(file, lines);
    test::RunningProgram cli(test::BuiltPath("bin/vela-cli"),
                             {"-p", "COM3", "-b", "9600", "--json", "apply", file});
    ASSERT_TRUE(m_camera->WaitForReceived(15, 20000));
    cli.Signal(SIGTERM);
    const ProgramResult r = cli.Wait(20000);
    EXPECT_EQ(r.exitCode, 143) << r.err;
    std::size_t sent = 0;
    for (const std::string& line : m_camera->ReceivedLines()) sent += line.rfind("GA=", 0) == 0 ? 1 : 0;
    EXPECT_LT(sent, 200u);
    EXPECT_NE(r.out.find("\"stopped\":\"SIGTERM\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"sent\":" + std::to_string(sent) + "}"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(std::to_string(sent) + " line(s) of " + file + " were sent"), std::string::npos)
        << r.err;
}

// LUT transfers: a gamma file to the camera and back, with the window's file layout.
class CliLutTest : public CliTest {
  protected:
    void FillCameraLut(int step) {
        m_camera->WithCore([step](sim::CameraCore& c) {
            for (int i = 0; i < 256; ++i) c.SetLut(i, (i * step + 3) % 4096);
            return 0;
        });
    }
    int CameraLut(int i) {
        return m_camera->WithCore([i](sim::CameraCore& c) { return c.Lut(i); });
    }
    static std::string MonoFile(int step) {
        LutTable t;
        for (int i = 0; i < 256; ++i) t[i] = (i * step + 3) % 4096;
        return FormatGammaFile(true, {&t, &t, &t});
    }
    std::string m_file = ConfigDir() + "/gamma.csv";
};

TEST_F(CliLutTest, WriteThenReadRoundTripsAGammaFileWithProgressOnlyOnATerminal) {
    StartCamera();
    FillCameraLut(5);
    test::WriteFile(m_file, MonoFile(131));
    ProgramResult r = Cli({"-p", "COM3", "-b", "9600", "lut", "write", m_file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (int i = 0; i < 256; ++i) ASSERT_EQ(CameraLut(i), (i * 131 + 3) % 4096) << i;
    // Stderr is a file here: no progress drawn.
    EXPECT_EQ(r.err.find("gamma data"), std::string::npos) << r.err;

    const std::string back = ConfigDir() + "/back.csv";
    r = test::RunProgramOnTerminal(test::BuiltPath("bin/vela-cli"),
                                   {"-p", "COM3", "-b", "9600", "lut", "read", back});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(test::ReadFile(back), MonoFile(131));
    EXPECT_NE(r.err.find("Now, reading camera gamma data    (256 / 256) [#"), std::string::npos) << r.err;

    // An unsupported model gets the three-column layout, each column the one camera table.
    m_camera->WithCore([](sim::CameraCore& c) {
        c.SetModel("VELA-2K-X");
        return 0;
    });
    r = Cli({"-p", "COM3", "-b", "9600", "--json", "lut", "read", back});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"layout\":\"GammaData (R G B)\""), std::string::npos) << r.out;
    const std::string rgb = test::ReadFile(back);
    EXPECT_EQ(rgb.rfind("GammaData (R G B)\r\n3,3,3\r\n134,134,134\r\n", 0), 0u) << rgb.substr(0, 60);
}

TEST_F(CliLutTest, MalformedShortOrMissingFilesExit4AndSendNothing) {
    StartCamera();
    m_camera->ClearLines();
    // A three-column file has no reader: its first data line is refused.
    LutTable t{};
    test::WriteFile(m_file, FormatGammaFile(false, {&t, &t, &t}));
    ProgramResult r = Cli({"-p", "COM3", "lut", "write", m_file});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("Invaild data count format"), std::string::npos) << r.err;

    // Ten entries would leave the other 246 to chance.
    std::string shortFile = "GammaData\r\n";
    for (int i = 0; i < 10; ++i) shortFile += "100\r\n";
    test::WriteFile(m_file, shortFile);
    r = Cli({"-p", "COM3", "lut", "write", m_file});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("holds 10 LUT entries"), std::string::npos) << r.err;

    r = Cli({"-p", "COM3", "lut", "write", ConfigDir() + "/none.csv"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find("Couldn't open this file"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"-p", "COM3", "lut", "erase", m_file}).exitCode, 2);
    EXPECT_TRUE(m_camera->ReceivedLines().empty());

    // A value above 4095 is reported and written as 4095, as the window does.
    std::string big = MonoFile(1);
    big.replace(big.find("\r\n4\r\n"), 5, "\r\n9999\r\n");
    test::WriteFile(m_file, big);
    r = Cli({"-p", "COM3", "lut", "write", m_file});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Invalid data value: Line(1) : Value(9999)"), std::string::npos) << r.err;
    EXPECT_EQ(CameraLut(1), 4095);
    EXPECT_EQ(CameraLut(2), 5);
}

TEST_F(CliLutTest, ACameraThatStopsHalfWayGivesExit3AndARefusalExit1) {
    sim::CameraOptions options;
    sim::WireOptions wire;
    wire.failure = sim::FailureMode::HangUp;
    wire.hangUpAfterLines = 1 + 2 * 40;  // the model query, then entries 0 .. 39
    ASSERT_EQ(test::StartPtyCamera(m_camera, 3, options, wire), "");
    FillCameraLut(7);
    test::WriteFile(m_file, MonoFile(11));
    const test::Stopwatch watch;
    ProgramResult r = Cli({"-p", "COM3", "-b", "9600", "lut", "write", m_file});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_NE(r.err.find("stopped at entry 40 of 256"), std::string::npos) << r.err;
    // Never the 2 x 1000 ms per remaining entry that running to the end would cost.
    EXPECT_LT(watch.Ms(), 60000);
    for (int i = 0; i < 40; ++i) EXPECT_EQ(CameraLut(i), (i * 11 + 3) % 4096) << i;
    for (int i = 40; i < 256; ++i) EXPECT_EQ(CameraLut(i), (i * 7 + 3) % 4096) << i;

    // A read that stops half-way writes no file.
    ASSERT_EQ(test::StartPtyCamera(m_camera, 3, options, wire), "");
    const std::string out = ConfigDir() + "/half.csv";
    r = Cli({"-p", "COM3", "-b", "9600", "lut", "read", out});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_NE(r.err.find("stopped at entry 40"), std::string::npos) << r.err;
    EXPECT_EQ(::access(out.c_str(), F_OK), -1);

    // A refused entry stops the write at once, its LUTD never sent.
    m_camera->Stop();
    StartCamera(9600, sim::FailureMode::RefuseWrites);
    r = Cli({"-p", "COM3", "-b", "9600", "lut", "write", m_file});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("ERROR"), std::string::npos) << r.err;
    EXPECT_EQ(m_camera->ReceivedLines(), (std::vector<std::string>{"MD?", "LUTI=0"}));
}

TEST_F(CliTest, InfoPrintsTheIdentity) {
    StartCamera();
    m_camera->WithCore([](sim::CameraCore& c) {
        c.SetText("UD", "LINE4");
        c.SetValue("XMLVR", 213);
        return 0;
    });
    ProgramResult r = Cli({"-p", "COM3", "-b", "9600", "info"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto text = [&](const char* name) {
        return m_camera->WithCore([name](sim::CameraCore& c) { return c.Text(name); });
    };
    const long long vn = CameraValue("VN");
    const long long pv = CameraValue("PV");
    char firmware[32];
    char fpga[32];
    std::snprintf(firmware, sizeof firmware, "%lld.%02lld", vn / 100, vn % 100);
    std::snprintf(fpga, sizeof fpga, "%lld.%02lld", pv / 100, pv % 100);
    EXPECT_EQ(r.out, "model=VELA-4K-MONO\nfirmware=" + std::string(firmware) + "\nfpga=" + fpga +
                         "\ncamera_id=" + text("ID") + "\nuser_id=" + text("UD") +
                         "\ndevice_version=" + text("DV") + "\nxml_version=2.1.3\n");

    StartCamera(9600, sim::FailureMode::Silent);
    r = Cli({"-p", "COM3", "-b", "9600", "-t", "500", "info"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.out.empty()) << r.out;
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
    ASSERT_TRUE(SaveSettingFile(windowFile, SettingFileKind::AllData, command, model, 0).Ok());
    link.Close();
    const std::string bytes = test::ReadFile(cliFile);
    EXPECT_EQ(bytes, test::ReadFile(windowFile));
    EXPECT_NE(bytes.find("GA=333\r\n"), std::string::npos) << bytes;

    std::unique_ptr<sim::PtyCamera> second;
    ASSERT_EQ(test::StartPtyCamera(second, 4), "");
    r = Cli({"-p", "COM4", "apply", cliFile});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"GA", "BL", "TS", "LS0"}) {
        EXPECT_EQ(second->WithCore([&](sim::CameraCore& c) { return c.Value(name); }),
                  camera->WithCore([&](sim::CameraCore& c) { return c.Value(name); }))
            << name;
    }

    // A line the camera refuses is listed and makes the exit status 1; a stray line is reported.
    test::WriteFile(cliFile, "GA=5000\r\nnonsense\r\nBL=3\r\n");
    r = Cli({"-p", "COM4", "apply", cliFile});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("GA=5000"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(":2: skipped: nonsense"), std::string::npos) << r.err;
    EXPECT_EQ(second->WithCore([](sim::CameraCore& c) { return c.Value("BL"); }), 3);
    second->Stop();
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
