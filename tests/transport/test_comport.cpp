#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "app/configpaths.h"
#include "support/eventually.h"
#include "support/pty.h"
#include "support/recordingprompt.h"
#include "support/tempconfig.h"
#include "transport/comport.h"
#include "transport/comportringbuffer.h"

using namespace vela;
using namespace std::chrono;
using vela::test::PtyPeer;

namespace {

std::string ReadAll(ComPort& port, size_t expected, int timeoutMs = 2000) {
    std::string out;
    char buf[64];
    vela::test::Eventually(
        [&] {
            port.WaitForData(20);
            const int n = port.Read(buf, sizeof buf);
            out.append(buf, static_cast<size_t>(n));
            return out.size() >= expected;
        },
        timeoutMs);
    return out;
}

void WaitForAvailable(ComPort& port, int n) {
    vela::test::Eventually([&] {
        port.WaitForData(20);
        return port.Available() >= n;
    });
}

}  // namespace

TEST(ComPortRingBuffer, HandsOutInOrderAndWraps) {
    ComPortRingBuffer ring;
    char buf[16];
    EXPECT_EQ(ring.Get(buf, 4), 0);
    for (char c : std::string("abcde")) ring.Put(static_cast<unsigned char>(c));
    EXPECT_EQ(ring.Get(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");
    EXPECT_EQ(ring.Get(buf, 3), 2);
    EXPECT_EQ(std::string(buf, 2), "de");

    ComPortRingBuffer wrap;
    for (int i = 0; i < 1020; ++i) wrap.Put('x');
    char big[1024];
    EXPECT_EQ(wrap.Get(big, 1024), 1020);
    for (int i = 0; i < 10; ++i) wrap.Put(static_cast<unsigned char>('0' + i));
    EXPECT_EQ(wrap.Available(), 10);
    EXPECT_EQ(wrap.Get(big, 1024), 10);
    EXPECT_EQ(std::string(big, 10), "0123456789");
}

TEST(ComPortRingBuffer, NeverHoldsMoreThan1023Bytes) {
    ComPortRingBuffer ring;
    int stored = 0;
    for (int i = 0; i < 3000; ++i) stored += ring.Put(static_cast<unsigned char>(i & 0xff)) ? 1 : 0;
    EXPECT_EQ(stored, 1023);
    EXPECT_EQ(ring.Available(), 1023);
    char big[2048];
    ASSERT_EQ(ring.Get(big, sizeof big), 1023);
    for (int i = 0; i < 1023; ++i) ASSERT_EQ(static_cast<unsigned char>(big[i]), i & 0xff);
}

TEST(ComPortRingBuffer, ProducerAndConsumerOnTwoThreads) {
    ComPortRingBuffer ring;
    constexpr int kCount = 200000;
    std::thread producer([&] {
        for (int i = 0; i < kCount; ++i)
            while (!ring.Put(static_cast<unsigned char>(i % 251))) std::this_thread::yield();
    });
    int got = 0;
    char buf[97];
    while (got < kCount) {
        int n = ring.Get(buf, sizeof buf);
        for (int i = 0; i < n; ++i, ++got) ASSERT_EQ(static_cast<unsigned char>(buf[i]), got % 251);
        if (n == 0) std::this_thread::yield();
    }
    producer.join();
}

TEST(ComPort, PortNamesAndPaths) {
    EXPECT_EQ(ComPort::GetPortCount(), 16);
    EXPECT_EQ(ComPort::GetPortName(0), "COM1");
    EXPECT_EQ(ComPort::GetPortName(15), "COM16");
    EXPECT_EQ(ComPort::GetPortName(16), "ERROR");
    EXPECT_EQ(ComPort::GetPortName(-1), "ERROR");
    EXPECT_EQ(ComPort::DevicePath("COM12"), "/dev/ttyS11");
    PtyPeer peer;
    peer.LinkAsComPort(12);
    EXPECT_EQ(ComPort::DevicePath("COM12"), ConfigDir() + "/ports/COM12");
}

TEST(ComPort, WritesArriveInOrderAndReadsTakeWhatIsThere) {
    PtyPeer peer;
    ASSERT_TRUE(peer.ok());
    ComPort port;
    ASSERT_EQ(port.Open(peer.LinkAsComPort(3), 38400, 8, 0, 0, 0), 1);
    EXPECT_EQ(peer.SlaveBaudRate(), 38400);

    std::string line;
    for (int i = 0; i < 200; ++i) line.push_back(static_cast<char>(i));
    EXPECT_EQ(port.Write(line.data(), static_cast<int>(line.size())), 1);
    EXPECT_EQ(peer.ReadFor(2000, std::string(1, static_cast<char>(199))), line);

    char buf[8];
    EXPECT_EQ(port.Read(buf, 3), 0);  // empty ring: at once
    peer.Write("hello");
    WaitForAvailable(port, 5);
    EXPECT_EQ(port.Read(buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "hel");
    EXPECT_EQ(port.Read(buf, 3), 2);
    EXPECT_EQ(std::string(buf, 2), "lo");
    EXPECT_EQ(port.Read(buf, 0), 0);
}

TEST(ComPort, MoreThanTheRingHoldsNeverCorruptsIt) {
    PtyPeer peer;
    ComPort port;
    ASSERT_EQ(port.Open(peer.LinkAsComPort(1), 115200, 8, 0, 0, 0), 1);
    std::string data;
    for (int i = 0; i < 3000; ++i) data.push_back(static_cast<char>('A' + i % 26));
    peer.Write(data);
    WaitForAvailable(port, 1023);
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(port.Available(), 1023);
    std::string got = ReadAll(port, 1023);
    EXPECT_EQ(got, data.substr(0, 1023));
}

TEST(ComPort, ReopeningEndsTheOldThreadAndDiscardsUnreadBytes) {
    PtyPeer peer;
    ComPort port;
    const std::string name = peer.LinkAsComPort(2);
    ASSERT_EQ(port.Open(name, 9600, 8, 0, 0, 0), 1);
    peer.Write("stale");
    WaitForAvailable(port, 5);
    ASSERT_EQ(port.Available(), 5);
    ASSERT_EQ(port.Open(name, 57600, 8, 0, 0, 0), 1);
    EXPECT_EQ(port.Available(), 0);
    EXPECT_EQ(peer.SlaveBaudRate(), 57600);
    peer.Write("new");
    EXPECT_EQ(ReadAll(port, 3), "new");
}

TEST(ComPort, CloseWhileTheThreadWaitsReturnsPromptly) {
    PtyPeer peer;
    ComPort port;
    ASSERT_EQ(port.Open(peer.LinkAsComPort(4), 9600, 8, 0, 0, 0), 1);
    std::this_thread::sleep_for(milliseconds(50));
    const auto t0 = steady_clock::now();
    port.Close();
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - t0).count(), 2000);
    EXPECT_FALSE(port.IsOpen());
    port.Close();  // harmless when closed
    char c = 'x';
    EXPECT_EQ(port.Write(&c, 1), 0);
    EXPECT_EQ(port.Read(&c, 1), 0);
}

TEST(ComPort, AFarEndThatHangsUpEndsTheReceiverButNotTheTool) {
    auto peer = std::make_unique<PtyPeer>();
    ComPort port;
    ASSERT_EQ(port.Open(peer->LinkAsComPort(5), 9600, 8, 0, 0, 0), 1);
    peer->Write("ab");
    WaitForAvailable(port, 2);
    peer.reset();
    std::this_thread::sleep_for(milliseconds(50));
    char buf[4];
    EXPECT_EQ(port.Read(buf, 4), 2);
    EXPECT_FALSE(port.WaitForData(30));
    EXPECT_EQ(port.Write("x", 1), 1);
    port.Close();
}

TEST(ComPort, OpenFailuresShowTheStepAndTheReason) {
    RecordingPrompt prompt;
    ComPort port;
    // Port index 6 names COM7; its link points nowhere.
    MakeDirs(ConfigDir() + "/ports");
    std::filesystem::create_symlink("/dev/does-not-exist-vela", ConfigDir() + "/ports/COM7");
    EXPECT_EQ(port.Open("COM7", 9600, 8, 0, 0, 0), 0);
    EXPECT_FALSE(port.IsOpen());
    ASSERT_EQ(prompt.entries().size(), 1u);
    const auto& e = prompt.entries()[0];
    // The reason names the link and the device behind it.
    EXPECT_EQ(e.text, "Failed to initialize COM7 port!\nError in CreateFile()\n" + ConfigDir() +
                          "/ports/COM7 -> /dev/does-not-exist-vela: No such file or directory");
    EXPECT_EQ(e.icon, PromptIcon::Exclamation);

    // A file that is not a serial port.
    const std::string plain = ConfigDir() + "/plain";
    std::filesystem::create_directories(ConfigDir());
    {
        std::FILE* f = std::fopen(plain.c_str(), "w");
        std::fclose(f);
    }
    EXPECT_EQ(port.Open(plain, 9600, 8, 0, 0, 0), 0);
    ASSERT_EQ(prompt.entries().size(), 2u);
    EXPECT_NE(prompt.entries()[1].text.find("is not a serial port"), std::string::npos);

    // The port is taken: the second open is refused, the first stays usable.
    PtyPeer peer;
    const std::string name = peer.LinkAsComPort(8);
    ComPort first;
    ASSERT_EQ(first.Open(name, 9600, 8, 0, 0, 0), 1);
    if (::geteuid() != 0) {  // root may open an exclusive tty anyway
        EXPECT_EQ(port.Open(name, 9600, 8, 0, 0, 0), 0);
        EXPECT_NE(prompt.entries().back().text.find("COM8"), std::string::npos);
    }
    // A rate the line cannot run at is refused by the line settings step.
    ComPort other;
    PtyPeer peer2;
    EXPECT_EQ(other.Open(peer2.LinkAsComPort(9), 12345, 8, 0, 0, 0), 0);
    EXPECT_EQ(
        prompt.entries().back().text.rfind("Failed to initialize COM9 port!\nError in SetCommState()\n", 0),
        0u);
    EXPECT_FALSE(other.IsOpen());
}

// A device the user may not open: the hint says what would help. Root opens anything, so
// this runs as a normal user (scripts/test-unprivileged).
TEST(ComPort, PermissionHintOnlyWhereAGroupWouldHelp) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may open any device";
    RecordingPrompt prompt;
    PtyPeer peer;
    const std::string name = peer.LinkAsComPort(4);
    const std::string described = ConfigDir() + "/ports/COM4 -> " + peer.slavePath();
    struct stat st {};
    ASSERT_EQ(::stat(peer.slavePath().c_str(), &st), 0);
    const group* g = ::getgrgid(st.st_gid);
    ASSERT_NE(g, nullptr);
    const std::string groupName = g->gr_name;
    ComPort port;

    // Only the group may use it: joining that group helps (unless the test runs in it).
    ASSERT_EQ(::chmod(peer.slavePath().c_str(), 0060), 0);
    EXPECT_EQ(port.Open(name, 9600, 8, 0, 0, 0), 0);
    ASSERT_EQ(prompt.entries().size(), 1u);
    const std::string groupHint = prompt.entries()[0].text;
    EXPECT_NE(groupHint.find("\n" + described + ": Permission denied: "), std::string::npos) << groupHint;
    const int groups = ::getgroups(0, nullptr);
    if (st.st_gid != 0 && st.st_gid != ::getegid() && groups == 0) {
        EXPECT_EQ(groupHint.substr(groupHint.rfind(": ") + 2),
                  "the user must be in the " + groupName + " group");
    }

    // Nobody but its owner, who may not either: no group helps, so owner and mode are named.
    ASSERT_EQ(::chmod(peer.slavePath().c_str(), 0000), 0);
    EXPECT_EQ(port.Open(name, 9600, 8, 0, 0, 0), 0);
    ASSERT_EQ(prompt.entries().size(), 2u);
    const passwd* owner = ::getpwuid(st.st_uid);
    const std::string ownerName = owner ? owner->pw_name : std::to_string(st.st_uid);
    EXPECT_EQ(prompt.entries()[1].text, "Failed to initialize COM4 port!\nError in CreateFile()\n" +
                                            described + ": Permission denied: owned by " + ownerName + ":" +
                                            groupName + ", mode 0000");
    EXPECT_FALSE(port.IsOpen());
    ::chmod(peer.slavePath().c_str(), 0620);
}

TEST(ComPort, WritesOfTwoInstancesNeverInterleave) {
    // Another instance of the tool holds the mutex while it writes its line: ours waits.
    PtyPeer peer;
    ComPort port;
    ASSERT_EQ(port.Open(peer.LinkAsComPort(6), 9600, 8, 0, 0, 0), 1);
    RsMutex otherInstance;
    otherInstance.lock();
    std::thread writer([&] { port.Write("GA?\r\n", 5); });
    EXPECT_EQ(peer.ReadFor(150), "");
    otherInstance.unlock();
    EXPECT_EQ(peer.ReadFor(2000, "\n"), "GA?\r\n");
    writer.join();

    // And a drain waits for a write in progress elsewhere, then collects everything.
    otherInstance.lock();
    peer.Write("OK\r\n");
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(port.Available(), 0);
    otherInstance.unlock();
    WaitForAvailable(port, 4);
    EXPECT_EQ(port.Available(), 4);
}

TEST(ComPort, ClosingGivesUpTheExclusiveClaim) {
    PtyPeer peer;  // keeps the slave open, as the simulated camera or another program does
    const std::string name = peer.LinkAsComPort(3);
    {
        ComPort port;
        ASSERT_EQ(port.Open(name, 38400, 8, 0, 0, 0), 1);
        port.Close();
        // An open that fails after claiming the port gives the claim up too.
        RecordingPrompt prompt;
        EXPECT_EQ(port.Open(name, 12345, 8, 0, 0, 0), 0);
    }
    const int fd = ::open(peer.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    int exclusive = -1;
    EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(fd);
    // The baud search reopens the port once per rate.
    ComPort again;
    for (int baud : {9600, 19200, 38400}) EXPECT_EQ(again.Open(name, baud, 8, 0, 0, 0), 1) << baud;
}

// A pseudo-terminal has no low-latency mode: the request is skipped without a word.
TEST(ComPort, LowLatencyIsAskedOnlyWhereTheDriverOffersIt) {
    PtyPeer peer;
    const int fd = ::open(peer.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ComPort::RequestLowLatency(fd), -1);
    ::close(fd);
    RecordingPrompt prompt;
    ComPort port;
    EXPECT_EQ(port.Open(peer.LinkAsComPort(4), 9600, 8, 0, 0, 0), 1);
    EXPECT_TRUE(prompt.entries().empty());
}

namespace {

std::string UseFreshRuntimeDir() {
    const std::string dir = ConfigDir() + "/run";
    MakeDirs(dir);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    return dir;
}

// Whether another process could take the lock now.
bool LockIsFree(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

}  // namespace

TEST(RsMutex, ALockFileWeMayOnlyReadStillLocksAcrossProcesses) {
    UseFreshRuntimeDir();
    const std::string path = RsMutex::LockFilePath();
    vela::test::WriteFile(path, "");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);  // as if another user had created it
    RsMutex mutex;
    mutex.lock();
    EXPECT_FALSE(LockIsFree(path));
    mutex.unlock();
    EXPECT_TRUE(LockIsFree(path));
}

TEST(RsMutex, ANewLockFileIsOpenToEveryUser) {
    UseFreshRuntimeDir();
    const mode_t old = ::umask(022);
    { RsMutex mutex; }
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(RsMutex::LockFilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u);
}

// Another user may plant a link or a pipe under the lock file's name in /tmp: the tool
// must neither follow a symbolic link, nor change the mode of a file it did not create,
// nor stall on a pipe; what is not a regular file is not used as the lock.
TEST(RsMutex, APlantedLinkOrPipeIsNeitherFollowedNorMadeWritable) {
    enum class Plant { Symlink, HardLink, Pipe };
    for (const Plant plant : {Plant::Symlink, Plant::HardLink, Plant::Pipe}) {
        SCOPED_TRACE(static_cast<int>(plant));
        const std::string dir = UseFreshRuntimeDir();
        const std::string path = RsMutex::LockFilePath();
        const std::string victim = ConfigDir() + "/victim-" + std::to_string(static_cast<int>(plant));
        vela::test::WriteFile(victim, "private");
        ASSERT_EQ(::chmod(victim.c_str(), 0600), 0);
        switch (plant) {
            case Plant::Symlink:
                ASSERT_EQ(::symlink(victim.c_str(), path.c_str()), 0);
                break;
            case Plant::HardLink:
                ASSERT_EQ(::link(victim.c_str(), path.c_str()), 0);
                break;
            case Plant::Pipe:
                ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
                break;
        }
        testing::internal::CaptureStderr();
        {
            RsMutex mutex;
            std::lock_guard<RsMutex> lock(mutex);
            if (plant != Plant::HardLink) {
                EXPECT_TRUE(LockIsFree(victim));
            }
        }
        const std::string err = testing::internal::GetCapturedStderr();
        struct stat st {};
        ASSERT_EQ(::stat(victim.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(vela::test::ReadFile(victim), "private");
        struct stat planted {};
        ASSERT_EQ(::lstat(path.c_str(), &planted), 0);
        EXPECT_EQ(S_ISLNK(planted.st_mode), plant == Plant::Symlink);
        EXPECT_EQ(S_ISFIFO(planted.st_mode), plant == Plant::Pipe);
        std::filesystem::remove_all(dir);
    }
}

TEST(RsMutex, ALockFileThatCannotBeOpenedIsSaidOnce) {
    ::setenv("XDG_RUNTIME_DIR", (ConfigDir() + "/no-such-folder").c_str(), 1);
    testing::internal::CaptureStderr();
    {
        RsMutex first;
        RsMutex second;
        std::lock_guard<RsMutex> lock(first);  // still serialises within the process
    }
    const std::string err = testing::internal::GetCapturedStderr();
    const auto at = err.find("Rs Mutex");
    ASSERT_NE(at, std::string::npos) << err;
    EXPECT_EQ(err.find("Rs Mutex", at + 1), std::string::npos) << err;
}
