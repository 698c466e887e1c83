#include "camsim/ptycamera.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/configpaths.h"
#include "transport/baudrate.h"

namespace vela::sim {
namespace {

// The camera's receive buffer; a longer line is dropped up to its end.
constexpr std::size_t kMaxLineLength = 1024;
// How often the serving thread looks again while the tool has the slave closed.
constexpr int kClosedRetryMs = 20;

// A rate the table does not know leaves the slave at the camera's default rate.
speed_t SpeedOf(int rate) {
    const speed_t speed = SpeedForBaud(rate);
    return speed == B0 ? B9600 : speed;
}

std::string Printed(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        }
    }
    return out;
}

bool IsWrite(const std::string& line) {
    return line.find('=') != std::string::npos;
}

// WrongName: each NAME=value answer carries the next command's name (the last wraps to the first).
void RenameToNextCommand(std::vector<std::string>& answers) {
    const std::vector<std::string>& names = CameraCore::CommandNames();
    for (std::string& a : answers) {
        const std::size_t eq = a.find('=');
        if (eq == std::string::npos) continue;
        auto it = std::find(names.begin(), names.end(), a.substr(0, eq));
        if (it == names.end()) continue;
        ++it;
        if (it == names.end()) it = names.begin();
        a = *it + a.substr(eq);
    }
}

}  // namespace

const std::vector<FailureModeName>& FailureModeNames() {
    static const std::vector<FailureModeName> names = {
        {FailureMode::None, "none", "a healthy camera"},
        {FailureMode::Silent, "silent", "takes every line and answers nothing"},
        {FailureMode::Garbage, "garbage",
         "answers every line with a line of random non-ASCII bytes and CR LF"},
        {FailureMode::SplitAnswers, "split",
         "sends every answer in pieces of three bytes with a pause between them (--fail-after MS sets "
         "the pause, default 30)"},
        {FailureMode::OverlongLine, "overlong",
         "answers every line with 1100 printable bytes and no line end (--fail-after N sets the length)"},
        {FailureMode::RefuseWrites, "refuse",
         "answers every write with ERROR and keeps its settings; queries work"},
        {FailureMode::WrongName, "wrongname",
         "answers every query with the value under the next command's name"},
        {FailureMode::HangUp, "hangup",
         "answers N lines (--fail-after N, default 0), then closes the pseudo-terminal when the next "
         "line arrives"},
    };
    return names;
}

bool FailureModeFromName(const std::string& name, FailureMode* mode) {
    for (const FailureModeName& n : FailureModeNames()) {
        if (name == n.name) {
            *mode = n.mode;
            return true;
        }
    }
    return false;
}

const char* FailureModeToName(FailureMode mode) {
    for (const FailureModeName& n : FailureModeNames()) {
        if (n.mode == mode) return n.name;
    }
    return "none";
}

PtyCamera::PtyCamera(CameraOptions camera, WireOptions wire)
    : m_core(std::move(camera)), m_wire(std::move(wire)) {}

PtyCamera::~PtyCamera() {
    Stop();
}

bool PtyCamera::Start() {
    if (m_running.load() || m_thread.joinable()) return true;
    m_stop = false;
    m_hungUp = false;
    m_partial.clear();
    m_partialLength = 0;
    int fd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        m_error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0) {
        m_error = std::string("pseudo-terminal setup: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    // Raw from the start: a slave left in cooked mode echoes our answers back to us and
    // turns CR into LF before anyone opens it.
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
        termios t{};
        if (tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            t.c_cflag |= CLOCAL | CREAD;
            int baud = WithCore([](CameraCore& c) { return c.BaudRate(); });
            cfsetispeed(&t, SpeedOf(baud));
            cfsetospeed(&t, SpeedOf(baud));
            tcsetattr(slave, TCSANOW, &t);
        }
        // Opened before the watch, so our own descriptor is not counted as a client.
        m_watchFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_watchFd >= 0 && inotify_add_watch(m_watchFd, name, IN_OPEN | IN_CLOSE) >= 0) {
            m_keeperFd = slave;
            m_clients = 0;
        } else {
            if (m_watchFd >= 0) ::close(m_watchFd);
            m_watchFd = -1;
            ::close(slave);
        }
    }
    int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    if (pipe2(m_wakeFd, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_error = std::string("pipe: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_masterFd = fd;
    m_slavePath = name;
    m_running = true;
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void PtyCamera::Stop() {
    m_stop = true;
    if (m_wakeFd[1] >= 0) {
        char c = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeFd[1], &c, 1);
    }
    if (m_thread.joinable()) m_thread.join();
    m_running = false;
    CloseKeeper();
    if (m_masterFd >= 0) {
        ::close(m_masterFd);
        m_masterFd = -1;
    }
    for (int& fd : m_wakeFd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    if (!m_linkPath.empty()) {
        // Only our own link: someone may have pointed the name elsewhere since.
        std::error_code ec;
        if (std::filesystem::is_symlink(m_linkPath, ec) &&
            std::filesystem::read_symlink(m_linkPath, ec).string() == m_slavePath) {
            std::filesystem::remove(m_linkPath, ec);
        }
        m_linkPath.clear();
    }
    // Released after the link is gone, so the next camera never sees ours as live. The lock
    // file stays: removing it would let two cameras lock two different files of one name.
    if (m_linkLockFd >= 0) {
        ::close(m_linkLockFd);
        m_linkLockFd = -1;
    }
}

std::string PtyCamera::LinkAsComPort(int comNumber) {
    if (m_slavePath.empty()) {
        m_error = "the camera has not been started";
        return std::string();
    }
    std::string dir = ConfigDir() + "/ports";
    if (!MakeDirs(dir)) {
        m_error = "cannot create " + dir;
        return std::string();
    }
    std::string com = "COM" + std::to_string(comNumber);
    std::string path = dir + "/" + com;
    const std::string lockPath = dir + "/." + com + ".camsim";
    const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0) {
        m_error = "cannot open " + lockPath + ": " + std::strerror(errno);
        return std::string();
    }
    if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        char owner[32] = {};
        [[maybe_unused]] ssize_t n = ::pread(lockFd, owner, sizeof owner - 1, 0);
        ::close(lockFd);
        std::error_code ec;
        const std::string target = std::filesystem::read_symlink(path, ec).string();
        m_error = com + " is served by another vela-camsim" +
                  (owner[0] != '\0' ? std::string(" (pid ") + owner + ")" : std::string()) +
                  " in this folder: " + path + (target.empty() ? std::string() : " -> " + target) +
                  "; stop it or choose another --port";
        return std::string();
    }
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(path, ec);
    if (status.type() != std::filesystem::file_type::not_found) {
        // Only a link that a camera made (to a pseudo-terminal) is ours to replace; a link to
        // a real port is the operator's.
        const std::string target = std::filesystem::is_symlink(status)
                                       ? std::filesystem::read_symlink(path, ec).string()
                                       : std::string();
        if (target.rfind("/dev/pts/", 0) != 0) {
            ::close(lockFd);
            m_error = path + (target.empty() ? std::string(" exists") : " -> " + target) +
                      " is not a simulated camera's link; remove it or choose another --port";
            return std::string();
        }
        std::filesystem::remove(path, ec);
    }
    std::filesystem::create_symlink(m_slavePath, path, ec);
    if (ec) {
        ::close(lockFd);
        m_error = "cannot link " + path + ": " + ec.message();
        return std::string();
    }
    const std::string pid = std::to_string(::getpid());
    if (::ftruncate(lockFd, 0) == 0) {
        [[maybe_unused]] ssize_t n = ::pwrite(lockFd, pid.data(), pid.size(), 0);
    }
    m_linkLockFd = lockFd;
    m_linkPath = path;
    return com;
}

std::vector<std::string> PtyCamera::ReceivedLines() const {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    return m_received;
}

std::vector<std::string> PtyCamera::SentLines() const {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    return m_sent;
}

std::vector<PtyCamera::Clock::time_point> PtyCamera::ReceivedTimes() const {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    return m_receivedAt;
}

std::vector<PtyCamera::Clock::time_point> PtyCamera::SentTimes() const {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    return m_sentAt;
}

void PtyCamera::ClearLines() {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    m_received.clear();
    m_sent.clear();
    m_receivedAt.clear();
    m_sentAt.clear();
}

bool PtyCamera::WaitForReceived(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(m_wireMutex);
    return m_receivedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return m_received.size() >= count; });
}

void PtyCamera::SetFailure(FailureMode mode, int param) {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    m_wire.failure = mode;
    m_answeredLines = 0;
    if (param != 0) {
        if (mode == FailureMode::HangUp) m_wire.hangUpAfterLines = param;
        if (mode == FailureMode::OverlongLine) m_wire.overlongLength = param;
        if (mode == FailureMode::SplitAnswers) m_wire.splitPauseMs = param;
    }
}

WireOptions PtyCamera::Wire() const {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    return m_wire;
}

void PtyCamera::SetPaceBytes(bool pace) {
    std::lock_guard<std::mutex> lock(m_wireMutex);
    m_wire.paceBytes = pace;
}

void PtyCamera::Trace(const std::string& text) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard<std::mutex> lock(m_wireMutex);
        if (!m_wire.trace) return;
        sink = m_wire.traceSink;
    }
    if (sink) {
        sink(text);
    } else {
        std::fprintf(stderr, "vela-camsim: %s\n", text.c_str());
        std::fflush(stderr);
    }
}

// termios of the slave as the tool set it: on Linux the master's tcgetattr reports the
// slave's settings. 0 when the framing is not 8N1, which garbles every byte just the same.
int PtyCamera::SlaveBaudRate() const {
    termios t{};
    if (tcgetattr(m_masterFd, &t) != 0) return 0;
    if ((t.c_cflag & CSIZE) != CS8 || (t.c_cflag & PARENB) != 0) return 0;
    return BaudForSpeed(cfgetospeed(&t));
}

bool PtyCamera::SleepMs(int ms) {
    return SleepUs(ms * 1000LL);
}

bool PtyCamera::SleepUs(long long us) {
    if (us <= 0) return !m_stop.load();
    auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(us);
    while (!m_stop.load()) {
        // To the microsecond: an answer delay of 2 ms must not become 3 by rounding.
        const auto left =
            std::chrono::ceil<std::chrono::microseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return true;
        const timespec wait{static_cast<time_t>(left.count() / 1'000'000),
                            static_cast<long>(left.count() % 1'000'000) * 1000};
        pollfd p{m_wakeFd[0], POLLIN, 0};
        ::ppoll(&p, 1, &wait, nullptr);
    }
    return false;
}

bool PtyCamera::SendBytes(const std::string& bytes, int baud, bool pace) {
    using Clock = std::chrono::steady_clock;
    // 10 bits per byte: start, 8 data, stop.
    auto perByte = std::chrono::nanoseconds(10'000'000'000LL / std::max(baud, 1));
    auto next = Clock::now();
    std::size_t i = 0;
    while (i < bytes.size()) {
        TakeClientEvents();
        if (m_stop.load() || m_masterFd < 0) return false;
        if (m_keeperFd >= 0 && m_clients == 0) return false;
        std::size_t chunk = bytes.size() - i;
        if (pace) {
            std::this_thread::sleep_until(next);
            next += perByte;
            chunk = 1;
        }
        ssize_t n = ::write(m_masterFd, bytes.data() + i, chunk);
        if (n > 0) {
            i += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The tool does not read: wait for room, but stay stoppable.
            pollfd p[2] = {{m_masterFd, POLLOUT, 0}, {m_wakeFd[0], POLLIN, 0}};
            ::poll(p, 2, 50);
            continue;
        }
        return false;  // the line is gone (the slave side was closed)
    }
    return true;
}

void PtyCamera::HangUpNow() {
    Trace("hanging up");
    m_hungUp = true;
    CloseKeeper();
    ::close(m_masterFd);
    m_masterFd = -1;
}

void PtyCamera::TakeClientEvents() {
    if (m_watchFd < 0) return;
    alignas(inotify_event) char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(m_watchFd, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < n;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            at += static_cast<ssize_t>(sizeof event + event.len);
            if ((event.mask & IN_OPEN) != 0) ++m_clients;
            if ((event.mask & IN_CLOSE) == 0 || m_clients == 0) continue;
            if (--m_clients > 0) continue;
            ::ioctl(m_keeperFd, TIOCNXCL);
            ::tcflush(m_keeperFd, TCIFLUSH);
            m_partial.clear();
            m_partialLength = 0;
            Trace("the line was closed");
        }
    }
}

void PtyCamera::CloseKeeper() {
    if (m_watchFd >= 0) ::close(m_watchFd);
    if (m_keeperFd >= 0) ::close(m_keeperFd);
    m_watchFd = m_keeperFd = -1;
    m_clients = 0;
}

void PtyCamera::Serve() {
    char buffer[512];
    while (!m_stop.load() && m_masterFd >= 0) {
        pollfd p[3] = {{m_masterFd, POLLIN, 0}, {m_wakeFd[0], POLLIN, 0}, {m_watchFd, POLLIN, 0}};
        int r = ::poll(p, m_watchFd >= 0 ? 3 : 2, 200);
        if (m_stop.load()) break;
        // An open is seen before the bytes its opener writes, a close before the answer.
        TakeClientEvents();
        if (r < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (r == 0) continue;
        if ((p[0].revents & POLLIN) != 0) {
            ssize_t n = ::read(m_masterFd, buffer, sizeof buffer);
            if (n > 0) {
                HandleBytes(buffer, static_cast<std::size_t>(n), SlaveBaudRate());
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        } else if ((p[0].revents & (POLLHUP | POLLERR)) == 0) {
            continue;
        }
        // No one has the slave open (EIO, POLLHUP): not a hang-up; the tool may open it
        // again. Poll would report this at once, so look again a little later.
        m_partial.clear();
        m_partialLength = 0;
        SleepMs(kClosedRetryMs);
    }
    m_running = false;
}

void PtyCamera::HandleBytes(const char* data, std::size_t length, int slaveBaud) {
    auto cameraBaud = [this] { return WithCore([](CameraCore& c) { return c.BaudRate(); }); };
    int rate = cameraBaud();
    for (std::size_t i = 0; i < length && m_masterFd >= 0 && !m_stop.load(); ++i) {
        char c = data[i];
        if (slaveBaud != rate) {
            // At another rate every byte reaches the camera as framing garbage: nothing it
            // can take as a line. Its reply, at its own rate, is garbage to the tool.
            m_partial.clear();
            m_partialLength = 0;
            if (c != '\r' && c != '\n') {
                m_garbling = true;
                continue;
            }
            // The line end of a line already answered is no new line.
            if (!m_garbling) continue;
            m_garbling = false;
            ++m_garbledLines;
            Trace("line at " + std::to_string(slaveBaud) + " bit/s, camera at " + std::to_string(rate));
            if (Wire().mismatchGarbage) SendBytes(Noise(3), rate, false);
            continue;
        }
        // CR alone ends a line too, for terminals that send only CR on Enter; the LF of a
        // CR LF pair then ends an empty line, which the camera ignores.
        if (c == '\r' || c == '\n') {
            std::string line;
            line.swap(m_partial);
            const std::size_t length = m_partialLength;
            m_partialLength = 0;
            const bool overflowed = length > kMaxLineLength;
            if (overflowed) {
                Trace("rx " + Printed(line.substr(0, 40)) + "... dropped: " + std::to_string(length) +
                      " bytes, over the " + std::to_string(kMaxLineLength) + "-byte buffer; no answer");
            }
            if (!line.empty() && !overflowed) {
                Answer(line);
                // After a CBDRT the rest of this chunk, sent at the old rate, is garbage.
                rate = cameraBaud();
            }
            continue;
        }
        // Backspace and DEL from someone typing at a terminal.
        if (c == '\b' || c == '\x7f') {
            if (!m_partial.empty()) m_partial.pop_back();
            if (m_partialLength > 0) --m_partialLength;
            continue;
        }
        ++m_partialLength;
        if (m_partial.size() <= kMaxLineLength) m_partial += c;
    }
}

// Each fault acts at the step of an answer where a camera would show it: on arrival
// (HangUp, Silent), in what is answered (Garbage, OverlongLine, RefuseWrites), in the names
// (WrongName) or on the wire (SplitAnswers, OverlongLine).
void PtyCamera::Answer(const std::string& line) {
    const WireOptions wire = Wire();
    RecordReceived(line);
    if (HangUpDue(wire)) {
        HangUpNow();
        return;
    }
    if (wire.failure == FailureMode::Silent) return;

    Reply reply = ComposeReply(line, wire);
    TimeReply(reply, line, wire.paceBytes);
    if (!SleepUs(reply.delayMs * 1000LL + reply.lineUs)) return;
    if (wire.failure == FailureMode::WrongName && !IsWrite(line)) RenameToNextCommand(reply.lines);
    for (const std::string& answer : reply.lines) {
        if (!SendAnswer(answer, reply.baud, wire)) return;
    }
    ApplyPendingBaudRate();

    // HangUp closes only when the next line comes: closing the master now would throw
    // away the answer the tool has not read yet.
    std::lock_guard<std::mutex> lock(m_wireMutex);
    ++m_answeredLines;
}

void PtyCamera::RecordReceived(const std::string& line) {
    {
        std::lock_guard<std::mutex> lock(m_wireMutex);
        m_received.push_back(line);
        m_receivedAt.push_back(Clock::now());
    }
    m_receivedChanged.notify_all();
    Trace("rx " + Printed(line));
}

bool PtyCamera::HangUpDue(const WireOptions& wire) const {
    if (wire.failure != FailureMode::HangUp) return false;
    std::lock_guard<std::mutex> lock(m_wireMutex);
    return m_answeredLines >= wire.hangUpAfterLines;
}

PtyCamera::Reply PtyCamera::ComposeReply(const std::string& line, const WireOptions& wire) {
    switch (wire.failure) {
        case FailureMode::Garbage:
            return {{Noise(12)}};
        case FailureMode::OverlongLine: {
            std::string text;
            for (int k = 0; k < std::max(wire.overlongLength, 1); ++k)
                text += static_cast<char>('0' + k % 10);
            return {{text}};
        }
        case FailureMode::RefuseWrites:
            if (IsWrite(line)) return {{"ERROR"}};
            break;
        default:
            break;
    }
    std::lock_guard<std::mutex> lock(m_coreMutex);
    Reply reply{m_core.HandleLine(line)};
    reply.delayMs = m_core.AnswerDelayMs();
    if (!m_core.LastError().empty()) Trace("refused: " + m_core.LastError());
    return reply;
}

void PtyCamera::TimeReply(Reply& reply, const std::string& line, bool paced) {
    {
        std::lock_guard<std::mutex> lock(m_coreMutex);
        reply.baud = m_core.BaudRate();
        if (reply.delayMs < 0) reply.delayMs = std::max(0, m_core.Options().processingDelayMs);
    }
    if (paced) {
        // The line itself took its time on the wire before the camera had it whole.
        reply.lineUs =
            static_cast<long long>((line.size() + 2) * 10'000'000 / static_cast<std::size_t>(reply.baud));
    }
}

bool PtyCamera::SendAnswer(const std::string& answer, int baud, const WireOptions& wire) {
    // Logged first, so that whoever has read the answer finds it in SentLines(), and
    // timed before its first byte: no one can have read it earlier.
    {
        std::lock_guard<std::mutex> lock(m_wireMutex);
        m_sent.push_back(answer);
        m_sentAt.push_back(Clock::now());
    }
    std::string bytes = answer;
    if (wire.failure != FailureMode::OverlongLine) bytes += "\r\n";
    bool ok = true;
    if (wire.failure == FailureMode::SplitAnswers) {
        for (std::size_t i = 0; ok && i < bytes.size(); i += 3) {
            if (i > 0 && !SleepMs(wire.splitPauseMs)) return false;
            ok = SendBytes(bytes.substr(i, 3), baud, wire.paceBytes);
        }
    } else {
        ok = SendBytes(bytes, baud, wire.paceBytes);
    }
    Trace("tx " + Printed(answer) + (ok ? "" : " (lost: no one has the line open)"));
    return true;
}

// A baud-rate change takes effect once its answer went out at the old rate.
void PtyCamera::ApplyPendingBaudRate() {
    std::lock_guard<std::mutex> lock(m_coreMutex);
    if (m_core.PendingBaudRate() == 0) return;
    Trace("now at " + std::to_string(m_core.PendingBaudRate()) + " bit/s");
    m_core.ApplyPendingBaudRate();
}

std::string PtyCamera::Noise(int length) {
    std::string noise;
    for (int k = 0; k < length; ++k) {
        m_random = m_random * 1103515245u + 12345u;
        noise += static_cast<char>(0x80 | ((m_random >> 16) & 0x7F));
    }
    return noise;
}

}  // namespace vela::sim
