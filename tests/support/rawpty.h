#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/pty.h"

namespace vela::test {

// A PtyPeer that answers on a thread of its own: it collects the lines the tool sends and
// answers each one as the test's responder says, with pauses, while the tool's transaction
// blocks. So a test can put on the wire what no well-behaved camera would say.
class RawPty {
  public:
    struct Chunk {
        std::string bytes;
        int pauseMs = 0;  // before these bytes go out
    };
    using Responder = std::function<std::vector<Chunk>(const std::string& line)>;

    RawPty();
    ~RawPty();
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    // Links <config>/ports/COM<n> to the slave; the port index to open is n - 1.
    void LinkAsComPort(int n);
    bool Ok() const { return m_peer.ok(); }

    void SetResponder(Responder responder);
    // Answers every line with these bytes.
    void AnswerWith(const std::string& bytes);
    // Sends bytes unasked.
    void Send(const std::string& bytes);

    // Every byte received, and the lines (without CR LF) among them.
    std::string ReceivedBytes() const;
    std::vector<std::string> ReceivedLines() const;
    bool WaitForLines(std::size_t count, int timeoutMs) const;

  private:
    void Serve();

    PtyPeer m_peer;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Responder m_responder;
    std::string m_bytes;
    std::string m_partial;
    std::vector<std::string> m_lines;
};

}  // namespace vela::test
