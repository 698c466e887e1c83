#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/configpaths.h"
#include "camsim/ptycamera.h"
#include "support/eventually.h"
#include "support/runprogram.h"
#include "transport/baudrate.h"

using vela::SpeedForBaud;
using vela::sim::CameraCore;
using vela::sim::CameraOptions;
using vela::sim::FailureMode;
using vela::sim::PtyCamera;
using vela::sim::WireOptions;

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// A plain serial client: what any terminal program does with the port.
class Client {
  public:
    explicit Client(const std::string& path, int baud = 9600) {
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd >= 0) SetBaud(baud);
    }
    ~Client() {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    void SetBaud(int baud) {
        termios t{};
        tcgetattr(m_fd, &t);
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&t, SpeedForBaud(baud));
        cfsetospeed(&t, SpeedForBaud(baud));
        tcsetattr(m_fd, TCSANOW, &t);
    }
    bool Send(const std::string& bytes) {
        return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // What arrives within `timeoutMs`, as soon as there is something.
    std::string ReadSome(int timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return std::string();
        char buf[4096];
        ssize_t n = ::read(m_fd, buf, sizeof buf);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
    }
    // Reads for up to `timeoutMs`, stopping early once `until` has arrived.
    std::string Read(int timeoutMs, const std::string& until = "\n") {
        std::string got;
        auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end) {
            if (!until.empty() && got.find(until) != std::string::npos) break;
            pollfd p{m_fd, POLLIN, 0};
            int left = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
            if (::poll(&p, 1, std::max(left, 1)) <= 0) continue;
            char buf[4096];
            ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                hungUp = true;
                break;
            }
        }
        return got;
    }
    std::string Ask(const std::string& line, int timeoutMs = 2000) {
        EXPECT_TRUE(Send(line + "\r\n")) << line;
        return Read(timeoutMs);
    }
    bool hungUp = false;

  private:
    int m_fd = -1;
};

// The camera thread finishes its bookkeeping just after the bytes went out.
using vela::test::Eventually;

std::unique_ptr<PtyCamera> StartCamera(CameraOptions camera = {}, WireOptions wire = {}) {
    auto cam = std::make_unique<PtyCamera>(camera, wire);
    EXPECT_TRUE(cam->Start()) << cam->Error();
    return cam;
}

TEST(PtyCameraTest, AnswersAtItsOwnRateAndKeepsState) {
    auto cam = StartCamera();
    Client c(cam->SlavePath());
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(c.Ask("GA?"), "GA=100\r\n");
    EXPECT_EQ(c.Ask("GA=250"), "COMPLETE\r\n");
    EXPECT_EQ(cam->WithCore([](CameraCore& core) { return core.Value("GA"); }), 250);
    EXPECT_EQ(c.Ask("NOPE?"), "ERROR\r\n");
    // Someone typing at a terminal: CR alone ends the line, DEL takes back a character.
    EXPECT_TRUE(
        c.Send("MX\x7f"
               "D?\r"));
    EXPECT_EQ(c.Read(2000), "MD=VELA-4K-MONO\r\n");
    EXPECT_EQ(cam->ReceivedLines(), (std::vector<std::string>{"GA?", "GA=250", "NOPE?", "MD?"}));
    EXPECT_EQ(cam->SentLines(), (std::vector<std::string>{"GA=100", "COMPLETE", "ERROR", "MD=VELA-4K-MONO"}));
}

TEST(PtyCameraTest, WrongRateGetsGarbageOrSilenceButNeverALine) {
    auto cam = StartCamera();
    {
        Client c(cam->SlavePath(), 19200);
        EXPECT_TRUE(c.Send("GA?\r\n"));
        std::string got = c.Read(400, "");
        EXPECT_FALSE(got.empty());
        EXPECT_EQ(got.find_first_of("\r\n"), std::string::npos);
        for (char ch : got) EXPECT_GE(static_cast<unsigned char>(ch), 0x80);
        EXPECT_EQ(cam->GarbledLines(), 1);
        EXPECT_TRUE(cam->ReceivedLines().empty());
        EXPECT_EQ(cam->WithCore([](CameraCore& core) { return core.Value("GA"); }), 100);
    }
    WireOptions quiet;
    quiet.mismatchGarbage = false;
    auto silent = StartCamera({}, quiet);
    Client c(silent->SlavePath(), 115200);
    EXPECT_TRUE(c.Send("GA=300\r\n"));
    EXPECT_EQ(c.Read(300, ""), "");
    EXPECT_EQ(silent->WithCore([](CameraCore& core) { return core.Value("GA"); }), 100);
    // The same client at the right rate is answered.
    c.SetBaud(9600);
    EXPECT_EQ(c.Ask("GA?"), "GA=100\r\n");
}

TEST(PtyCameraTest, BaudSwitchAnswersAtTheOldRateThenMoves) {
    auto cam = StartCamera();
    Client c(cam->SlavePath(), 9600);
    EXPECT_EQ(c.Ask("CBDRT=4"), "COMPLETE\r\n");
    EXPECT_TRUE(
        Eventually([&] { return cam->WithCore([](CameraCore& core) { return core.BaudRate(); }) == 38400; }));
    EXPECT_EQ(c.Ask("GA?", 300).find('\n'), std::string::npos);
    c.SetBaud(38400);
    EXPECT_EQ(c.Ask("CBDRT?"), "CBDRT=4\r\n");

    // A line that follows in the same write went out at the old rate: garbage to the camera.
    EXPECT_TRUE(c.Send("CBDRT=16\r\nGA?\r\n"));
    std::string got = c.Read(2000);
    got += c.Read(300, "");
    EXPECT_EQ(got.substr(0, 10), "COMPLETE\r\n");
    EXPECT_EQ(got.find('\n', 10), std::string::npos);
    EXPECT_TRUE(Eventually([&] { return cam->GarbledLines() == 2; }));
    EXPECT_EQ(cam->ReceivedLines().back(), "CBDRT=16");
}

TEST(PtyCameraTest, ServesAgainAfterTheClientClosedAndReopened) {
    auto cam = StartCamera();
    {
        Client c(cam->SlavePath());
        EXPECT_EQ(c.Ask("GA=300"), "COMPLETE\r\n");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(cam->Running());
    Client again(cam->SlavePath());
    EXPECT_EQ(again.Ask("GA?"), "GA=300\r\n");
}

TEST(PtyCameraTest, ProcessingDelayAndPacedBytesTakeTheirTime) {
    CameraOptions slow;
    slow.processingDelayMs = 200;
    auto cam = StartCamera(slow);
    Client c(cam->SlavePath());
    auto t = Clock::now();
    EXPECT_EQ(c.Ask("GA?", 5000), "GA=100\r\n");
    EXPECT_GE(MsSince(t), 190);
    EXPECT_LT(MsSince(t), 5000);

    // HP? answers over 400 bytes: at 9600 bit/s each takes 1.04 ms on the wire.
    WireOptions paced;
    paced.paceBytes = true;
    auto pacedCam = StartCamera({}, paced);
    Client p(pacedCam->SlavePath());
    t = Clock::now();
    std::string help = p.Ask("HP?", 10000);
    long long ms = MsSince(t);
    ASSERT_GT(help.size(), 400u);
    EXPECT_EQ(help.substr(help.size() - 2), "\r\n");
    EXPECT_GE(ms, static_cast<long long>(help.size()) * 10 * 1000 / 9600 - 10);
    EXPECT_LT(ms, 10000);
}

TEST(PtyCameraTest, StopReturnsPromptlyInTheMiddleOfALongAnswer) {
    WireOptions wire;
    wire.paceBytes = true;
    wire.failure = FailureMode::OverlongLine;
    wire.overlongLength = 100000;  // more than 100 s at 9600 bit/s
    auto cam = StartCamera({}, wire);
    Client c(cam->SlavePath());
    EXPECT_TRUE(c.Send("GA?\r\n"));
    // The answer has started once its first bytes are here (slow under the sanitizers).
    std::string first;
    for (int i = 0; i < 50 && first.empty(); ++i) first = c.Read(100, "");
    EXPECT_FALSE(first.empty());
    auto t = Clock::now();
    cam->Stop();
    EXPECT_LT(MsSince(t), 2000);
    EXPECT_FALSE(cam->Running());
}

TEST(PtyCameraTest, FailureSilentTakesLinesAndAnswersNothing) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::Silent);
    Client c(cam->SlavePath());
    EXPECT_EQ(c.Ask("GA=300", 300), "");
    EXPECT_TRUE(cam->WaitForReceived(1, 1000));
    EXPECT_EQ(cam->WithCore([](CameraCore& core) { return core.Value("GA"); }), 100);
    cam->SetFailure(FailureMode::None);
    EXPECT_EQ(c.Ask("GA?"), "GA=100\r\n");
}

TEST(PtyCameraTest, FailureGarbageAnswersALineOfNonAsciiBytes) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::Garbage);
    Client c(cam->SlavePath());
    std::string got = c.Ask("GA?");
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got.substr(got.size() - 2), "\r\n");
    for (std::size_t i = 0; i + 2 < got.size(); ++i) EXPECT_GE(static_cast<unsigned char>(got[i]), 0x80);
}

TEST(PtyCameraTest, FailureSplitAnswersArriveInPiecesWithPauses) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::SplitAnswers, 100);
    Client c(cam->SlavePath());
    auto t = Clock::now();
    EXPECT_TRUE(c.Send("GA?\r\n"));
    // "GA=", "100", "\r\n": the first piece comes alone, the line end two pauses later.
    std::string first = c.ReadSome(2000);
    EXPECT_FALSE(first.empty());
    EXPECT_LT(first.size(), 8u);
    std::string rest = c.Read(3000);
    EXPECT_GE(MsSince(t), 2 * 100);
    EXPECT_EQ(first + rest, "GA=100\r\n");
}

// The camera's buffer holds 1024 bytes: a longer line is dropped unanswered, and the trace
// says so (a line of exactly 1024 bytes is still answered).
TEST(PtyCameraTest, AnOverlongLineIsTracedAndDroppedAndTheNextIsAnswered) {
    std::mutex mutex;
    std::vector<std::string> trace;
    WireOptions wire;
    wire.trace = true;
    wire.traceSink = [&](const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex);
        trace.push_back(line);
    };
    auto cam = StartCamera({}, wire);
    Client c(cam->SlavePath());
    EXPECT_TRUE(c.Send("GA=" + std::string(1097, '1') + "\r\n"));
    EXPECT_EQ(c.Ask("GA?"), "GA=100\r\n");
    EXPECT_TRUE(c.Send(std::string(1024, 'X') + "\r\n"));  // fits: refused as an unknown name
    EXPECT_NE(c.Read(2000), "");
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_GE(trace.size(), 1u);
    EXPECT_EQ(trace[0], "rx GA=" + std::string(37, '1') +
                            "... dropped: 1100 bytes, over the 1024-byte buffer; no answer");
    EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                            [](const std::string& t) { return t.find("dropped") != std::string::npos; }),
              1);
}

TEST(PtyCameraTest, FailureOverlongLineSendsBytesWithoutALineEnd) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::OverlongLine, 1500);
    Client c(cam->SlavePath());
    EXPECT_TRUE(c.Send("GA?\r\n"));
    std::string got;
    EXPECT_TRUE(Eventually([&] {
        got += c.Read(100, "");
        return got.size() >= 1500;
    }));
    EXPECT_EQ(got.size(), 1500u);
    EXPECT_EQ(got.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(c.Read(200, ""), "");
}

TEST(PtyCameraTest, FailureRefuseWritesKeepsSettingsAndAnswersQueries) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::RefuseWrites);
    Client c(cam->SlavePath());
    EXPECT_EQ(c.Ask("GA=200"), "ERROR\r\n");
    EXPECT_EQ(c.Ask("GA?"), "GA=100\r\n");
    EXPECT_EQ(cam->WithCore([](CameraCore& core) { return core.Value("GA"); }), 100);
}

TEST(PtyCameraTest, FailureWrongNameAnswersUnderTheNextName) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::WrongName);
    Client c(cam->SlavePath());
    EXPECT_EQ(c.Ask("GA?"), "AGC=100\r\n");
    EXPECT_EQ(c.Ask("PBC00?"), "EB=0\r\n");
    EXPECT_EQ(c.Ask("GA=300"), "COMPLETE\r\n");
}

TEST(PtyCameraTest, FailureHangUpClosesTheLineAfterNLines) {
    auto cam = StartCamera();
    cam->SetFailure(FailureMode::HangUp, 2);
    Client c(cam->SlavePath());
    EXPECT_EQ(c.Ask("GA?"), "GA=100\r\n");
    EXPECT_EQ(c.Ask("GA=300"), "COMPLETE\r\n");
    EXPECT_FALSE(cam->HungUp());
    EXPECT_EQ(c.Ask("GA?"), "");
    EXPECT_TRUE(c.hungUp);
    EXPECT_TRUE(Eventually([&] { return cam->HungUp(); }));
    EXPECT_FALSE(c.Send("GA?\r\n"));

    // 0: the first line already finds the line closing.
    auto early = StartCamera();
    early->SetFailure(FailureMode::HangUp);
    Client e(early->SlavePath());
    EXPECT_EQ(e.Ask("GA?"), "");
    EXPECT_TRUE(e.hungUp);
    EXPECT_TRUE(Eventually([&] { return early->HungUp(); }));
}

// Runs vela-camsim with `args`; stdout comes back through a pipe.
pid_t Spawn(const std::vector<std::string>& args, int* out) {
    int pipeFd[2];
    if (pipe(pipeFd) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipeFd[1], 1);
        ::close(pipeFd[0]);
        ::close(pipeFd[1]);
        std::vector<char*> argv;
        std::string exe = vela::test::BuiltPath("bin/vela-camsim");
        argv.push_back(exe.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    ::close(pipeFd[1]);
    *out = pipeFd[0];
    return pid;
}

std::string ReadLine(int fd, int timeoutMs) {
    std::string line;
    auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char ch;
    while (Clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        if (::read(fd, &ch, 1) != 1) break;
        if (ch == '\n') return line;
        line += ch;
    }
    return line;
}

int WaitExit(pid_t pid, int timeoutMs) {
    int status = 0;
    if (Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeoutMs))
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

TEST(CamsimProgramTest, ServesAComPortAndStopsCleanlyOnSigterm) {
    int out = -1;
    pid_t pid = Spawn({"--port", "COM7", "--baud", "19200", "--model", "VELA-8K-MONO2"}, &out);
    ASSERT_GT(pid, 0);
    std::string slave = ReadLine(out, 5000);
    std::string link = ReadLine(out, 5000);
    std::string expectedLink = vela::ConfigDir() + "/ports/COM7";
    EXPECT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    EXPECT_EQ(link, expectedLink + " -> " + slave);
    {
        Client c(expectedLink, 19200);
        ASSERT_TRUE(c.ok());
        EXPECT_EQ(c.Ask("MD?"), "MD=VELA-8K-MONO2\r\n");
        EXPECT_EQ(c.Ask("CBDRT?"), "CBDRT=2\r\n");
    }
    kill(pid, SIGTERM);
    EXPECT_EQ(WaitExit(pid, 5000), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(expectedLink));
    ::close(out);
}

TEST(CamsimProgramTest, HelpNamesEveryOptionAndFailureMode) {
    int out = -1;
    pid_t pid = Spawn({"--help"}, &out);
    ASSERT_GT(pid, 0);
    std::string text;
    char buf[1024];
    for (ssize_t n; (n = ::read(out, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    EXPECT_EQ(WaitExit(pid, 3000), 0);
    for (const char* opt : {"--port", "--model", "--baud", "--pace", "--delay", "--delay-cmd", "--recal-ms",
                            "--recal-result", "--fail ", "--fail-after", "--trace", "--help"}) {
        EXPECT_NE(text.find(opt), std::string::npos) << opt;
    }
    for (const auto& n : vela::sim::FailureModeNames()) {
        EXPECT_NE(text.find(std::string("  ") + n.name + " "), std::string::npos) << n.name;
    }
    ::close(out);

    pid = Spawn({"--fail", "bogus"}, &out);
    EXPECT_EQ(WaitExit(pid, 3000), 2);
    ::close(out);
}

// One port, one camera: a second vela-camsim on the same COMn in the same folder refuses
// and leaves the first one's link alone; one killed outright leaves a stale link that the
// next one replaces; a camera removes the link at exit only while it still points at it.
TEST(CamsimProgramTest, OneCameraPerPortAndOnlyItsOwnLink) {
    const std::string link = vela::ConfigDir() + "/ports/COM5";
    int out = -1;
    pid_t first = Spawn({"--port", "COM5"}, &out);
    ASSERT_GT(first, 0);
    const std::string firstSlave = ReadLine(out, 5000);
    EXPECT_EQ(ReadLine(out, 5000), link + " -> " + firstSlave);
    ::close(out);

    const vela::test::ProgramResult second =
        vela::test::RunProgram(vela::test::BuiltPath("bin/vela-camsim"), {"--port", "COM5"});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_EQ(second.out, "");
    EXPECT_NE(second.err.find("COM5 is served by another vela-camsim (pid " + std::to_string(first) + ")"),
              std::string::npos)
        << second.err;
    EXPECT_NE(second.err.find(link + " -> " + firstSlave), std::string::npos) << second.err;
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), firstSlave);
    {
        Client c(link);
        EXPECT_EQ(c.Ask("MD?"), "MD=VELA-4K-MONO\r\n");
    }

    kill(first, SIGKILL);
    EXPECT_EQ(WaitExit(first, 5000), 128);
    ASSERT_TRUE(std::filesystem::is_symlink(link));  // stale: nobody removed it

    pid_t next = Spawn({"--port", "COM5", "--model", "VELA-8K-MONO"}, &out);
    ASSERT_GT(next, 0);
    const std::string nextSlave = ReadLine(out, 5000);
    EXPECT_EQ(ReadLine(out, 5000), link + " -> " + nextSlave);
    ::close(out);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), nextSlave);
    {
        Client c(link);
        EXPECT_EQ(c.Ask("MD?"), "MD=VELA-8K-MONO\r\n");
    }
    // Someone points the name elsewhere meanwhile: at exit the camera leaves it be.
    std::filesystem::remove(link);
    std::filesystem::create_symlink("/dev/pts/9999", link);
    kill(next, SIGTERM);
    EXPECT_EQ(WaitExit(next, 5000), 0);
    EXPECT_EQ(std::filesystem::read_symlink(link).string(), "/dev/pts/9999");

    // A link to a real port is the operator's, not a stale camera's.
    const std::string real = vela::ConfigDir() + "/ports/COM6";
    std::filesystem::create_symlink("/dev/ttyUSB7", real);
    const vela::test::ProgramResult refused =
        vela::test::RunProgram(vela::test::BuiltPath("bin/vela-camsim"), {"--port", "COM6"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(real + " -> /dev/ttyUSB7 is not a simulated camera's link"), std::string::npos)
        << refused.err;
    EXPECT_EQ(std::filesystem::read_symlink(real).string(), "/dev/ttyUSB7");
}

}  // namespace
