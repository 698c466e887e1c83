#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/configpaths.h"
#include "app/registrysettings.h"
#include "support/pty.h"
#include "transport/commandlog.h"
#include "transport/comport.h"
#include "transport/seriallink.h"

using namespace vela;
using namespace std::chrono;
using vela::test::PtyPeer;

namespace {

struct LogRecorder : CommandLogSink {
    std::vector<std::string> lines;
    CommandLog& log;
    explicit LogRecorder(CommandLog& to = CommandLog::Instance()) : log(to) { log.Join(this); }
    ~LogRecorder() override { log.Leave(this); }
    void OnLogLine(const std::string& line) override { lines.push_back(line); }
};

// A library channel that records what the link asks of it.
struct FakeLibrary : LibraryChannel {
    std::vector<std::string> calls;
    std::string pending;
    int reads = 0;
    std::vector<int> readTimeouts;
    int GetPortCount() override { return 2; }
    std::string GetPortName(int index) override { return index == 0 ? "A" : index == 1 ? "B" : ""; }
    int OpenPort(int index) override {
        calls.push_back("open " + std::to_string(index));
        return 1;
    }
    int SetBaudRate(int rate) override {
        calls.push_back("rate " + std::to_string(rate));
        return rate == 9600;
    }
    int Write(const char* b, int n, int t) override {
        calls.push_back("write " + std::string(b, static_cast<size_t>(n)) + " " + std::to_string(t));
        return 1;
    }
    int Read(char* b, int n, int t) override {
        EXPECT_EQ(n, 1);
        readTimeouts.push_back(t);
        ++reads;
        if (pending.empty()) return 0;
        b[0] = pending[0];
        pending.erase(0, 1);
        return 1;
    }
    void ClosePort() override { calls.push_back("close"); }
};

}  // namespace

TEST(SerialLink, FreshStartAndTheBaudList) {
    RegistrySettings settings;
    SerialLink link(SerialLink::Channels{}, &settings);
    EXPECT_EQ(link.GetKind(), ComPortKind);
    EXPECT_EQ(link.GetBaudRate(), 9600);
    EXPECT_EQ(link.GetPortIndex(), 0);
    EXPECT_EQ(link.GetPortCount(), 16);
    EXPECT_EQ(link.GetPortName(0), "COM1");
    EXPECT_EQ(link.GetPortName(16), "ERROR");
    EXPECT_EQ(SerialLink::BaudRateFromIndex(7), 9600);
    EXPECT_EQ(SerialLink::BaudRateFromIndex(0), 9600);
    EXPECT_EQ(SerialLink::BaudRateFromIndex(4), 115200);
    EXPECT_STREQ(SerialLink::BaudRateText(3), "57600bps");
    link.Open(ComPortKind, 230400, 0);
    EXPECT_EQ(link.GetBaudRateIndex(), 0);
    link.Open(ComPortKind, 38400, 0);
    EXPECT_EQ(link.GetBaudRateIndex(), 2);
}

TEST(SerialLink, EachKindKeepsItsOwnPort) {
    PtyPeer com3;
    com3.LinkAsComPort(3);
    std::filesystem::create_symlink("/dev/does-not-exist-vela", ConfigDir() + "/ports/COM1");
    ComPort port;
    FakeLibrary cl2000, cl2001;
    SerialLink link(SerialLink::Channels{&port, &cl2000, &cl2001, nullptr}, nullptr);
    ASSERT_EQ(link.Open(ComPortKind, 38400, 0), 0);  // COM1 is not there
    ASSERT_EQ(link.SelectPort(2), 1);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(com3.SlaveBaudRate(), 38400);

    EXPECT_EQ(link.SwitchKind(CameraLink2001), 0);  // the fake refuses 38400
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(cl2001.calls, (std::vector<std::string>{"open 0", "rate 38400"}));
    EXPECT_TRUE(cl2000.calls.empty());
    EXPECT_EQ(link.GetBaudRate(), 38400);

    EXPECT_EQ(link.SwitchKind(ComPortKind), 1);  // COM3 again
    EXPECT_EQ(link.GetPortIndex(), 2);
    EXPECT_EQ(cl2001.calls.back(), "close");

    // A kind without a library behaves as a missing library.
    EXPECT_EQ(link.SwitchKind(CameraLinkVer11), 0);
    EXPECT_EQ(link.GetPortCount(), 0);
    EXPECT_EQ(link.GetPortName(0), "");
    char c;
    EXPECT_EQ(link.Read(&c, 1, 0), 0);
}

TEST(SerialLink, WritesAreLoggedWithoutTheirLineEnd) {
    PtyPeer peer;
    peer.LinkAsComPort(1);
    ComPort port;
    FakeLibrary lib;
    SerialLink link(SerialLink::Channels{&port, &lib, nullptr, nullptr}, nullptr);
    LogRecorder log(link.Log());
    LogRecorder processWide;  // the window's log hears only the window's link
    ASSERT_EQ(link.ReopenCurrent(), 1);
    EXPECT_EQ(link.Write("GA=100\r\n"), 1);
    EXPECT_EQ(peer.ReadFor(2000, "\n"), "GA=100\r\n");
    EXPECT_EQ(link.Write("ABC\n\r\n"), 1);
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "Tx: GA=100");
    EXPECT_EQ(log.lines[1], "Tx: ABC");

    // A library kind gets the whole text at once with 500 ms.
    ASSERT_EQ(link.SwitchKind(CameraLink2000), 1);
    EXPECT_EQ(link.Write("MD?\r\n"), 1);
    EXPECT_EQ(lib.calls.back(), "write MD?\r\n 500");
    lib.pending = "MD=X\r\n";
    char buf[16];
    EXPECT_EQ(link.Read(buf, 6, 1000), 6);
    EXPECT_EQ(std::string(buf, 6), "MD=X\r\n");
    EXPECT_EQ(log.lines.back(), "Tx: MD?");
    EXPECT_TRUE(processWide.lines.empty());
}

TEST(SerialLink, AnInvalidKindDoesNothing) {
    RegistrySettings settings;
    ASSERT_EQ(settings.SetInt(CommunicationMode, 5), 1);
    ComPort port;
    SerialLink link(SerialLink::Channels{&port, nullptr, nullptr, nullptr}, &settings);
    LogRecorder log(link.Log());
    EXPECT_EQ(link.GetKind(), 5);
    EXPECT_EQ(link.GetPortCount(), 0);
    EXPECT_EQ(link.GetPortName(0), "ERROR");
    EXPECT_EQ(link.GetPortIndex(), 0);
    EXPECT_EQ(link.Write("GA?\r\n"), 0);
    EXPECT_TRUE(log.lines.empty());
    char c;
    const auto t0 = steady_clock::now();
    EXPECT_EQ(link.Read(&c, 1, 5000), 0);
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - t0).count(), 2500);
    EXPECT_EQ(link.Reopen(9, 9600), 0);
    EXPECT_EQ(link.ReopenCurrent(), 0);
}

TEST(SerialLink, ReadWaitsForItsTimeOutOnASilentPortAndNoLonger) {
    PtyPeer peer;
    peer.LinkAsComPort(1);
    ComPort port;
    SerialLink link(SerialLink::Channels{&port, nullptr, nullptr, nullptr}, nullptr);
    ASSERT_EQ(link.ReopenCurrent(), 1);
    char c;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = steady_clock::now();
        EXPECT_EQ(link.Read(&c, 1, 10), 0);
        const auto ms = duration_cast<microseconds>(steady_clock::now() - t0).count() / 1000.0;
        EXPECT_GE(ms, 10.0);
        EXPECT_LT(ms, 500.0);  // about 10 ms; room for a loaded machine under a sanitizer
    }
    // A time-out of 0 still hands out a byte that is already waiting.
    peer.Write("Z");
    port.WaitForData(1000);
    EXPECT_EQ(link.Read(&c, 1, 0), 1);
    EXPECT_EQ(c, 'Z');
}

TEST(SerialLink, ReadReturnsAsSoonAsTheBytesAreThere) {
    PtyPeer peer;
    peer.LinkAsComPort(1);
    ComPort port;
    SerialLink link(SerialLink::Channels{&port, nullptr, nullptr, nullptr}, nullptr);
    ASSERT_EQ(link.ReopenCurrent(), 1);
    steady_clock::time_point written;
    std::thread late([&] {
        std::this_thread::sleep_for(milliseconds(100));
        written = steady_clock::now();
        peer.Write("OK");
    });
    char buf[2];
    const auto t0 = steady_clock::now();
    EXPECT_EQ(link.Read(buf, 2, 5000), 2);
    const auto done = steady_clock::now();
    late.join();
    EXPECT_GE(done, written);
    EXPECT_LT(duration_cast<milliseconds>(done - t0).count(), 2500) << "not the whole time-out";
    EXPECT_EQ(std::string(buf, 2), "OK");
}

TEST(SerialLink, ALibraryThatAnswersAtOnceIsNotSpunOn) {
    FakeLibrary lib;  // returns at once with nothing, as a library with no open port does
    SerialLink link(SerialLink::Channels{nullptr, &lib, nullptr, nullptr}, nullptr);
    link.SetKind(CameraLink2000);
    char c;
    const auto t0 = steady_clock::now();
    EXPECT_EQ(link.Read(&c, 1, 100), 0);
    EXPECT_GE(duration_cast<milliseconds>(steady_clock::now() - t0).count(), 100);
    EXPECT_LE(lib.reads, 12);  // one call per 10 ms library time-out, not thousands
    EXPECT_EQ(lib.readTimeouts, std::vector<int>(static_cast<std::size_t>(lib.reads), 10));
}

TEST(SerialLink, ATimeOutOfZeroAsksALibraryOnlyForWhatHasArrived) {
    FakeLibrary lib;
    SerialLink link(SerialLink::Channels{nullptr, &lib, nullptr, nullptr}, nullptr);
    link.SetKind(CameraLink2000);
    lib.pending = "A";
    char c = 0;
    EXPECT_EQ(link.Read(&c, 1, 0), 1);
    EXPECT_EQ(c, 'A');
    EXPECT_EQ(link.Read(&c, 1, 0), 0);
    EXPECT_EQ(lib.readTimeouts, (std::vector<int>{0, 0}));
}

TEST(CommandLog, ASinkThatLeavesDuringALineGetsNoMore) {
    // The terminal closing the communication window while it shows a line: the window
    // leaves the log and is destroyed before the log reaches it.
    struct Closer : CommandLogSink {
        std::function<void()> onLine;
        Closer() { CommandLog::Instance().Join(this); }
        ~Closer() override { CommandLog::Instance().Leave(this); }
        void OnLogLine(const std::string&) override { onLine(); }
    };
    Closer closer;
    LogRecorder stays;
    auto destroyed = std::make_unique<LogRecorder>();
    LogRecorder leaves;
    closer.onLine = [&] {
        destroyed.reset();
        CommandLog::Instance().Leave(&leaves);
    };
    CommandLog::Instance().Log("Rx: COMPLETE");
    EXPECT_EQ(stays.lines, std::vector<std::string>{"Rx: COMPLETE"});
    EXPECT_TRUE(leaves.lines.empty());
}
