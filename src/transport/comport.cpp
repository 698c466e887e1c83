#include "transport/comport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/configpaths.h"
#include "platform/prompt.h"

namespace vela {
namespace {

// The driver's write time-out for one byte.
constexpr int kWriteTimeoutMs = 20000;

speed_t SpeedFor(int baudRate) {
    switch (baudRate) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        case 460800:
            return B460800;
        case 921600:
            return B921600;
        default:
            return B0;
    }
}

std::string Reason(int err, const std::string& path) {
    std::string text = std::strerror(err);
    switch (err) {
        case EACCES:
        case EPERM:
            return text + ": the user must be in the dialout group (" + path + ")";
        case ENOENT:
        case ENXIO:
        case ENODEV:
            return text + ": there is no serial port at " + path;
        case EBUSY:
            return text + ": another program has " + path + " open";
        default:
            return text + " (" + path + ")";
    }
}

// A port left exclusive refuses every later open by a normal user for as long as any
// other descriptor keeps the tty alive (the far end of a pseudo-terminal, another program).
void CloseExclusive(int fd) {
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

void Fail(const std::string& name, const char* step, const std::string& reason) {
    char text[256];
    std::snprintf(text, sizeof text, "Failed to initialize %s port!\nError in %s", name.c_str(), step);
    ShowMessage(std::string(text) + "\n" + reason, PromptIcon::Exclamation);
}

}  // namespace

ComPort::ComPort() = default;

ComPort::~ComPort() {
    Close();
}

ComPort& ComPort::Instance() {
    static ComPort port;
    return port;
}

std::string ComPort::GetPortName(int index) {
    if (index < 0 || index > 15) return "ERROR";
    return "COM" + std::to_string(index + 1);
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

    // Opened for reading and writing, not shared, existing device only.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Fail(name, "CreateFile()", Reason(errno, path));
        return 0;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        Fail(name, "CreateFile()", path + " is not a serial port");
        return 0;
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        CloseExclusive(fd);
        Fail(name, "CreateFile()", Reason(err, path));
        return 0;
    }

    // The event mask's stand-in: the receive thread polls the port and this pipe, which
    // Close writes to end the wait.
    if (::pipe2(m_wakeFd, O_CLOEXEC | O_NONBLOCK) != 0) {
        const int err = errno;
        CloseExclusive(fd);
        Fail(name, "SetCommMask()", Reason(err, path));
        return 0;
    }
    auto closeAll = [&] {
        CloseExclusive(fd);
        ::close(m_wakeFd[0]);
        ::close(m_wakeFd[1]);
        m_wakeFd[0] = m_wakeFd[1] = -1;
    };

    // Queue sizes (SetupComm) have no termios counterpart: the driver's queues stand.

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        closeAll();
        Fail(name, "GetCommState()", Reason(err, path));
        return 0;
    }

    // Raw binary line: no echo, no line editing, no CR/LF translation.
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON |
                                          IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CREAD | CLOCAL;
    switch (byteSize) {
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
    if (stopBits != 0) tio.c_cflag |= CSTOPB;  // termios knows one or two stop bits only
    if (parityCheck & 1) tio.c_iflag |= INPCK;
    if (xonXoff == 1) {
        tio.c_iflag |= IXON | IXOFF;
        tio.c_cc[VSTART] = 0x11;
        tio.c_cc[VSTOP] = 0x13;
        // The XON and XOFF limits (100 and 1500 bytes) are the driver's own on Linux.
    }
    // A read returns at once with whatever has arrived.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedFor(baudRate);
    if (speed == B0 || ::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) {
        closeAll();
        Fail(name, "SetCommState()",
             "Invalid argument: " + std::to_string(baudRate) + " bit/s is not supported");
        return 0;
    }
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int err = errno;
        closeAll();
        Fail(name, "SetCommState()", Reason(err, path));
        return 0;
    }

    // DTR raised, RTS held low; pseudo-terminals have no modem lines and refuse both.
    int dtr = TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &dtr);
    int rts = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &rts);

    // A fresh open starts with empty queues, as a newly opened Windows port does.
    ::tcflush(fd, TCIOFLUSH);

    m_fd = fd;
    m_running = 1;
    m_ring.Clear();
    m_thread = std::thread(&ComPort::ReceiveThread, this);
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
    { std::lock_guard<std::mutex> lock(m_dataMutex); }
    m_dataArrived.notify_all();
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

int ComPort::Read(char* buffer, int length) {
    if (!IsOpen() || length <= 0) return 0;
    return m_ring.Get(buffer, length);
}

bool ComPort::WaitForData(std::uint32_t timeoutMs) {
    if (m_ring.Available() > 0) return true;
    // A point in time, not a count of ticks: a wait woken early for nothing goes back to
    // sleep for what is left, never for less.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!IsOpen()) {
        // Nothing can arrive on a closed port; waiting out the time keeps callers that
        // poll in a loop from spinning.
        std::this_thread::sleep_until(until);
        return false;
    }
    std::unique_lock<std::mutex> lock(m_dataMutex);
    return m_dataArrived.wait_until(lock, until, [this] { return m_ring.Available() > 0 || !IsOpen(); }) &&
           m_ring.Available() > 0;
}

}  // namespace vela
