#include "support/rawpty.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

namespace vela::test {

RawPty::RawPty() {
    if (!m_peer.ok() || ::pipe2(m_wake, O_CLOEXEC) != 0) return;
    m_thread = std::thread([this] { Serve(); });
}

RawPty::~RawPty() {
    m_stop = true;
    if (m_wake[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &byte, 1);
    }
    if (m_thread.joinable()) m_thread.join();
    for (int fd : m_wake) {
        if (fd >= 0) ::close(fd);
    }
}

void RawPty::LinkAsComPort(int n) {
    m_peer.LinkAsComPort(n);
}

void RawPty::SetResponder(Responder responder) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responder = std::move(responder);
}

void RawPty::AnswerWith(const std::string& bytes) {
    SetResponder([bytes](const std::string&) { return std::vector<Chunk>{{bytes, 0}}; });
}

void RawPty::Send(const std::string& bytes) {
    m_peer.Write(bytes);
}

std::string RawPty::ReceivedBytes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytes;
}

std::vector<std::string> RawPty::ReceivedLines() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

bool RawPty::WaitForLines(std::size_t count, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                              [&] { return m_lines.size() >= count; });
}

void RawPty::Serve() {
    while (!m_stop) {
        pollfd fds[2] = {{m_peer.masterFd(), POLLIN, 0}, {m_wake[0], POLLIN, 0}};
        if (::poll(fds, 2, 100) < 0) continue;
        if (fds[1].revents) break;
        if (!(fds[0].revents & POLLIN)) {
            // No slave open yet (or closed again): the master reports a hang-up.
            if (fds[0].revents) ::usleep(5000);
            continue;
        }
        char buffer[512];
        const ssize_t n = ::read(m_peer.masterFd(), buffer, sizeof buffer);
        if (n <= 0) {
            ::usleep(5000);
            continue;
        }
        std::vector<std::string> complete;
        Responder responder;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bytes.append(buffer, static_cast<std::size_t>(n));
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == '\n') {
                    if (!m_partial.empty() && m_partial.back() == '\r') m_partial.pop_back();
                    m_lines.push_back(m_partial);
                    complete.push_back(m_partial);
                    m_partial.clear();
                } else {
                    m_partial += buffer[i];
                }
            }
            responder = m_responder;
        }
        m_changed.notify_all();
        if (!responder) continue;
        for (const std::string& line : complete) {
            for (const Chunk& chunk : responder(line)) {
                if (chunk.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(chunk.pauseMs));
                Send(chunk.bytes);
            }
        }
    }
}

}  // namespace vela::test
