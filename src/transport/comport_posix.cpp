#include "transport/comport.h"

#include <fcntl.h>
#ifdef __linux__
#include <linux/serial.h>
#endif
#include <grp.h>
#include <limits.h>
#include <poll.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/configpaths.h"
#include "platform/prompt.h"
#include "transport/baudrate.h"
#include "transport/portholders.h"

namespace vela {
namespace {

// The driver's write time-out for one byte.
constexpr int kWriteTimeoutMs = 20000;

// "<path>" or "<path> -> <target>" for a link, as ls -l names it.
std::string Described(const std::string& path) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return path;
    return path + " -> " + std::string(target, static_cast<std::size_t>(n));
}

bool ProcessHasGroup(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(got, 0), gid) !=
           groups.begin() + std::max(got, 0);
}

bool UserIsListedInGroup(gid_t gid) {
    const passwd* pw = ::getpwuid(::geteuid());
    if (!pw) return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &count) < 0) return false;
    }
    groups.resize(static_cast<std::size_t>(count));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::string GroupName(gid_t gid) {
    const group* g = ::getgrgid(gid);
    return g ? g->gr_name : std::to_string(gid);
}

// What a user refused a device can do: join its group where the group may read and write it
// (and is not root's), else only its owner or an administrator can change anything.
std::string PermissionHint(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::string();
    const bool groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && st.st_gid != 0;
    if (groupMayUse) {
        const std::string group = GroupName(st.st_gid);
        if (!ProcessHasGroup(st.st_gid) && UserIsListedInGroup(st.st_gid)) {
            return ": the user is in the " + group + " group, but this session started before: log in again";
        }
        if (!ProcessHasGroup(st.st_gid)) return ": the user must be in the " + group + " group";
    }
    const passwd* owner = ::getpwuid(st.st_uid);
    char mode[16];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
    return ": owned by " + (owner ? std::string(owner->pw_name) : std::to_string(st.st_uid)) + ":" +
           GroupName(st.st_gid) + ", mode " + mode;
}

// The reason line below the step's message: the device, the system's words and a hint.
std::string Reason(int err, const std::string& path) {
    std::string text = Described(path) + ": " + std::strerror(err);
    switch (err) {
        case EACCES:
        case EPERM:
            return text + PermissionHint(path);
        case EBUSY:
            return text + ": " + BusyReason(path);
        default:
            return text;
    }
}

// A port left exclusive refuses every later open by a normal user for as long as any
// other descriptor keeps the tty alive (the far end of a pseudo-terminal, another program).
void CloseExclusive(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

void ClosePlain(int fd) {
    ::close(fd);
}

// A descriptor that closes itself unless handed on with Release().
class OwnedFd {
  public:
    explicit OwnedFd(void (*closer)(int)) : m_closer(closer) {}
    ~OwnedFd() { Reset(-1); }
    OwnedFd(const OwnedFd&) = delete;
    OwnedFd& operator=(const OwnedFd&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd) {
        if (m_fd >= 0) m_closer(m_fd);
        m_fd = fd;
    }
    int Release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

  private:
    int m_fd = -1;
    void (*m_closer)(int);
};

struct OpenFailure {
    const char* step;
    std::string reason;
};
using StepResult = std::optional<OpenFailure>;

// What Open has set up so far; whatever a failed step leaves here is closed again.
struct OpeningPort {
    OwnedFd port{CloseExclusive};
    OwnedFd wakeRead{ClosePlain};
    OwnedFd wakeWrite{ClosePlain};
};

// Opened for reading and writing, not shared, existing device only.
StepResult OpenDevice(const std::string& path, OpeningPort& p) {
    p.port.Reset(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (p.port.Get() < 0) return OpenFailure{"CreateFile()", Reason(errno, path)};
    if (!::isatty(p.port.Get()))
        return OpenFailure{"CreateFile()", Described(path) + " is not a serial port"};
    if (::ioctl(p.port.Get(), TIOCEXCL) != 0) return OpenFailure{"CreateFile()", Reason(errno, path)};
    return std::nullopt;
}

// The event mask's stand-in: the receive thread polls the port and this pipe, which Close
// writes to end the wait.
StepResult MakeWakePipe(const std::string& path, OpeningPort& p) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return OpenFailure{"SetCommMask()", Reason(errno, path)};
    p.wakeRead.Reset(fds[0]);
    p.wakeWrite.Reset(fds[1]);
    return std::nullopt;
}

// Queue sizes (SetupComm) have no termios counterpart: the driver's queues stand.

StepResult ReadLineSettings(const std::string& path, int fd, termios& tio) {
    if (::tcgetattr(fd, &tio) != 0) return OpenFailure{"GetCommState()", Reason(errno, path)};
    return std::nullopt;
}

struct LineSettings {
    int baudRate;
    int byteSize;
    int stopBits;
    int xonXoff;
    int parityCheck;
};

StepResult ApplyLineSettings(const std::string& path, int fd, termios tio, const LineSettings& line) {
    // Raw binary line: no echo, no line editing, no CR/LF translation.
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL;
    switch (line.byteSize) {
        case 5:
            tio.c_cflag |= CS5;
            break;
        case 6:
            tio.c_cflag |= CS6;
            break;
        case 7:
            tio.c_cflag |= CS7;
            break;
        default:
            tio.c_cflag |= CS8;
            break;
    }
    if (line.stopBits != 0) tio.c_cflag |= CSTOPB;  // termios knows one or two stop bits only
    if (line.parityCheck & 1) tio.c_iflag |= INPCK;
    if (line.xonXoff == 1) {
        tio.c_iflag |= IXON | IXOFF;
        tio.c_cc[VSTART] = 0x11;
        tio.c_cc[VSTOP] = 0x13;
        // The XON and XOFF limits (100 and 1500 bytes) are the driver's own on Linux.
    }
    // A read returns at once with whatever has arrived.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedForBaud(line.baudRate);
    if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) {
        return OpenFailure{"SetCommState()",
                           "Invalid argument: " + std::to_string(line.baudRate) + " bit/s is not supported"};
    }
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return OpenFailure{"SetCommState()", Reason(errno, path)};
    return std::nullopt;
}

void Fail(const std::string& name, const char* step, const std::string& reason) {
    char text[256];
    std::snprintf(text, sizeof text, "Failed to initialize %s port!\nError in %s", name.c_str(), step);
    ShowMessage(std::string(text) + "\n" + reason, PromptIcon::Exclamation);
}

}  // namespace

int ComPort::RequestLowLatency(int fd) {
#if defined(__linux__) && defined(ASYNC_LOW_LATENCY)
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return -1;
    const int old = serial.flags;
    if ((old & ASYNC_LOW_LATENCY) != 0) return -1;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0 ? old : -1;
#else
    (void)fd;
    return -1;
#endif
}

void ComPort::RestoreSerialFlags(int fd, int flags) {
#if defined(__linux__) && defined(ASYNC_LOW_LATENCY)
    serial_struct serial{};
    if (flags < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    serial.flags = flags;
    ::ioctl(fd, TIOCSSERIAL, &serial);
#else
    (void)fd;
    (void)flags;
#endif
}

std::string ComPort::DevicePath(const std::string& name) {
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
        name.find_first_not_of("0123456789", 3) == std::string::npos && name.size() <= 8) {
        const std::string link = ConfigDir() + "/ports/" + name;
        std::error_code ec;
        if (std::filesystem::symlink_status(link, ec).type() != std::filesystem::file_type::not_found)
            return link;
        const int n = std::stoi(name.substr(3));
        return "/dev/ttyS" + std::to_string(n - 1);
    }
    return name;
}

int ComPort::Open(const std::string& name, int baudRate, int byteSize, int stopBits, int xonXoff,
                  int parityCheck) {
    if (IsOpen()) Close();
    const std::string path = DevicePath(name);
    StepResult failure;
    {
        OpeningPort p;
        termios tio{};
        failure = OpenDevice(path, p);
        if (!failure) failure = MakeWakePipe(path, p);
        if (!failure) failure = ReadLineSettings(path, p.port.Get(), tio);
        if (!failure) {
            failure = ApplyLineSettings(path, p.port.Get(), tio,
                                        {baudRate, byteSize, stopBits, xonXoff, parityCheck});
        }
        if (!failure) {
            // DTR raised, RTS held low; pseudo-terminals have no modem lines and refuse both.
            int dtr = TIOCM_DTR;
            ::ioctl(p.port.Get(), TIOCMBIS, &dtr);
            int rts = TIOCM_RTS;
            ::ioctl(p.port.Get(), TIOCMBIC, &rts);
            // A fresh open starts with empty queues, as a newly opened Windows port does.
            ::tcflush(p.port.Get(), TCIOFLUSH);

            m_serialFlags = RequestLowLatency(p.port.Get());
            m_fd = p.port.Release();
            m_wakeFd[0] = p.wakeRead.Release();
            m_wakeFd[1] = p.wakeWrite.Release();
        }
    }
    // The port is closed again before the box shows: nothing holds it while the operator reads.
    if (failure) {
        Fail(name, failure->step, failure->reason);
        return 0;
    }
    StartReceiving();
    return 1;
}

void ComPort::Close() {
    m_running = 0;
    if (m_wakeFd[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFd[1], &c, 1);
    }
    if (m_thread.joinable()) m_thread.join();
    if (m_fd >= 0) {
        RestoreSerialFlags(m_fd, m_serialFlags);
        m_serialFlags = -1;
        CloseExclusive(m_fd);
        m_fd = -1;
    }
    for (int& w : m_wakeFd) {
        if (w >= 0) ::close(w);
        w = -1;
    }
    m_dataArrived.notify_all();
}

void ComPort::ReceiveThread() {
    while (m_running == 1) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd[0], POLLIN, 0}};
        int r = ::poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0 || m_running != 1) return;
        if (fds[0].revents & POLLIN) {
            if (!Drain()) return;
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // The device went away (a USB adapter pulled, the far end of a
            // pseudo-terminal closed): nothing more will arrive.
            return;
        }
    }
}

bool ComPort::Drain() {
    bool alive = true;
    {
        std::lock_guard<RsMutex> lock(m_mutex);
        int waiting = 0;
        if (::ioctl(m_fd, FIONREAD, &waiting) != 0) waiting = 0;
        // Read at least one byte, so an end of file or an error is seen even when the
        // driver reports nothing queued.
        int want = waiting > 0 ? waiting : 1;
        unsigned char chunk[256];
        while (want > 0) {
            ssize_t n = ::read(m_fd, chunk, static_cast<size_t>(want < 256 ? want : 256));
            if (n > 0) {
                for (ssize_t i = 0; i < n; ++i) m_ring.Put(chunk[i]);
                want -= static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) alive = false;
            break;
        }
    }
    NotifyData();
    return alive;
}

int ComPort::Write(const char* data, int length) {
    if (!IsOpen() || length <= 0) return 0;
    std::lock_guard<RsMutex> lock(m_mutex);
    for (int i = 0; i < length; ++i) {
        // One byte, then wait until it has left, so a line goes out at the wire's pace.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
        for (;;) {
            ssize_t n = ::write(m_fd, data + i, 1);
            if (n == 1) break;
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                // Rounded up: a poll cut to whole milliseconds would give up before the time-out.
                auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                        .count();
                if (left <= 0) break;
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, static_cast<int>(left));
                continue;
            }
            break;  // a failed single write is ignored, as the driver's would be
        }
        ::tcdrain(m_fd);
    }
    return 1;
}

}  // namespace vela
