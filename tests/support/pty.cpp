#include "support/pty.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/configpaths.h"
#include "transport/baudrate.h"

namespace vela::test {

PtyPeer::PtyPeer() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0) return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        CloseMaster();
        return;
    }
    m_slavePath = ::ptsname(m_master);
    // Raw from the start, so nothing the test writes is echoed back.
    m_keepSlave = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    if (m_keepSlave >= 0 && ::tcgetattr(m_keepSlave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_keepSlave, TCSANOW, &tio);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer() {
    if (m_keepSlave >= 0) ::close(m_keepSlave);
    CloseMaster();
}

void PtyPeer::CloseMaster() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
}

std::string PtyPeer::LinkAsComPort(int comNumber) {
    const std::string dir = vela::ConfigDir() + "/ports";
    vela::MakeDirs(dir);
    const std::string name = "COM" + std::to_string(comNumber);
    std::error_code ec;
    std::filesystem::remove(dir + "/" + name, ec);
    std::filesystem::create_symlink(m_slavePath, dir + "/" + name, ec);
    return name;
}

void PtyPeer::Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 50);
        }
    }
}

std::string PtyPeer::ReadFor(int timeoutMs, const std::string& until) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0) break;
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buf[512];
        ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) out.append(buf, static_cast<size_t>(n));
        if (!until.empty() && out.find(until) != std::string::npos) break;
        if (n <= 0) ::usleep(1000);
    }
    return out;
}

int PtyPeer::SlaveBaudRate() const {
    termios tio{};
    if (::tcgetattr(m_master, &tio) != 0) return 0;
    return BaudForSpeed(::cfgetospeed(&tio));
}

}  // namespace vela::test
