#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/cameracore.h"

namespace vela::sim {

// Faults the camera can show on the wire, asked for by name (--fail NAME).
enum class FailureMode {
    None,          // a healthy camera
    Silent,        // takes every line, answers nothing
    Garbage,       // answers every line with a line of random non-ASCII bytes ended by CR LF
    SplitAnswers,  // sends each answer in pieces of three bytes with a pause (splitPauseMs) between them
    OverlongLine,  // answers every line with overlongLength printable bytes and no line end
    RefuseWrites,  // answers every write with ERROR, whatever its value; queries work
    WrongName,     // answers every query with the value under the next command's name
    HangUp,        // answers hangUpAfterLines lines, then closes the pseudo-terminal when the next arrives
};

struct FailureModeName {
    FailureMode mode;
    const char* name;  // as given to --fail
    const char* help;  // one line for --help
};
// Every mode with its name and help line, None first.
const std::vector<FailureModeName>& FailureModeNames();
// false when `name` is none of the names above.
bool FailureModeFromName(const std::string& name, FailureMode* mode);
const char* FailureModeToName(FailureMode mode);

struct WireOptions {
    bool paceBytes = false;  // send (and take) bytes at the baud rate, 10 bits each
    FailureMode failure = FailureMode::None;
    int hangUpAfterLines = 0;   // HangUp: lines answered before the next one closes the line
    bool trace = false;         // log every line received and sent (to traceSink, else stderr)
    int splitPauseMs = 30;      // SplitAnswers: pause between two pieces
    int overlongLength = 1100;  // OverlongLine: bytes sent without a line end
    // At a baud rate other than the camera's, answer each line with a few bytes of framing
    // garbage (never CR or LF), as a real line does; false: stay silent.
    bool mismatchGarbage = true;
    std::function<void(const std::string&)> traceSink;
};

// The camera on a pseudo-terminal, served by a thread of its own. The tool (or a test)
// opens SlavePath(), or the COMn link to it, like a serial port. The camera answers only
// while the slave side's baud rate, as the tool set it, equals the camera's own.
class PtyCamera {
  public:
    explicit PtyCamera(CameraOptions camera = {}, WireOptions wire = {});
    ~PtyCamera();
    PtyCamera(const PtyCamera&) = delete;
    PtyCamera& operator=(const PtyCamera&) = delete;

    // Opens the pseudo-terminal and starts serving; false (with the reason in Error()) when
    // no pseudo-terminal could be had.
    bool Start();
    // Stops serving, closes the pseudo-terminal and removes the COMn link made by
    // LinkAsComPort. Returns promptly even in the middle of a paced answer.
    void Stop();
    bool Running() const { return m_running.load(); }
    // True once the HangUp fault has closed the line.
    bool HungUp() const { return m_hungUp.load(); }
    const std::string& Error() const { return m_error; }

    // "/dev/pts/N"; empty before Start.
    std::string SlavePath() const { return m_slavePath; }
    // Makes <config>/ports/COMn a symbolic link to the slave (creating the folders) and
    // returns "COMn"; "" on failure (reason in Error()). Refuses a name that a live camera
    // serves (its lock file <config>/ports/.COMn.camsim is held) and a link or file that
    // is no camera's (it points outside /dev/pts); a stale camera link is replaced.
    std::string LinkAsComPort(int comNumber);
    // The full path of the link LinkAsComPort made; "" when none.
    std::string LinkPath() const { return m_linkPath; }

    // Every line received at the right rate (without CR LF), and every answer line sent.
    std::vector<std::string> ReceivedLines() const;
    std::vector<std::string> SentLines() const;
    // When each of those lines was received whole, and when each answer began to go out:
    // what a test measures the tool's pauses by.
    using Clock = std::chrono::steady_clock;
    std::vector<Clock::time_point> ReceivedTimes() const;
    std::vector<Clock::time_point> SentTimes() const;
    void ClearLines();
    // Waits until at least `count` lines were received; false after `timeoutMs`.
    bool WaitForReceived(std::size_t count, int timeoutMs) const;
    // Lines that arrived at a wrong baud rate (dropped as framing garbage).
    int GarbledLines() const { return m_garbledLines.load(); }

    // Switches the fault. `param` sets the mode's number when not 0: the lines before a
    // HangUp, the length of an OverlongLine, the pause of SplitAnswers.
    void SetFailure(FailureMode mode, int param = 0);
    WireOptions Wire() const;
    void SetPaceBytes(bool pace);

    // Runs f(CameraCore&) under the camera's lock and returns its result.
    template <class F>
    auto WithCore(F f) {
        std::lock_guard<std::mutex> lock(m_coreMutex);
        return f(m_core);
    }

  private:
    // What the camera sends back for one line, and when.
    struct Reply {
        std::vector<std::string> lines;
        int delayMs = -1;      // -1: the core was not asked; its plain processing delay applies
        long long lineUs = 0;  // on a paced wire: the line's own time on it, before the camera has it
        int baud = 0;          // the rate the reply goes out at
    };

    void Serve();
    void HandleBytes(const char* data, std::size_t length, int slaveBaud);
    void Answer(const std::string& line);
    void RecordReceived(const std::string& line);
    // HangUp: true when the lines to answer are used up, so this one closes the line.
    bool HangUpDue(const WireOptions& wire) const;
    // The lines of the reply: made up by Garbage, OverlongLine and RefuseWrites (for a
    // write), else the core's answer with its delay.
    Reply ComposeReply(const std::string& line, const WireOptions& wire);
    // Settles the reply's rate and its delay, which on a paced wire includes the line's own time.
    void TimeReply(Reply& reply, const std::string& line, bool paced);
    // One answer line with its line end (none for OverlongLine), whole or in SplitAnswers
    // pieces; false when Stop came during a pause between pieces.
    bool SendAnswer(const std::string& answer, int baud, const WireOptions& wire);
    void ApplyPendingBaudRate();
    // `length` bytes with the top bit set: what a wrong rate or the Garbage fault shows.
    std::string Noise(int length);
    bool SendBytes(const std::string& bytes, int baud, bool pace);
    bool SleepMs(int ms);        // false when Stop was asked meanwhile
    bool SleepUs(long long us);  // the same, to the microsecond
    int SlaveBaudRate() const;
    void Trace(const std::string& text);
    void HangUpNow();
    // Counts the slave's opens and closes by others; when the last one closes, clears the
    // exclusive flag it may have left (a client killed outright never clears it) and drops
    // the answers no one will read. Runs on the serving thread before every read and write.
    void TakeClientEvents();
    void CloseKeeper();

    CameraCore m_core;
    mutable std::mutex m_coreMutex;

    mutable std::mutex m_wireMutex;  // m_wire and the line logs
    WireOptions m_wire;
    std::vector<std::string> m_received;
    std::vector<std::string> m_sent;
    std::vector<Clock::time_point> m_receivedAt;
    std::vector<Clock::time_point> m_sentAt;
    int m_answeredLines = 0;  // lines answered since the fault was last set, for HangUp
    mutable std::condition_variable m_receivedChanged;

    int m_masterFd = -1;
    // Our own descriptor of the slave, kept so that the exclusive flag can be cleared: no
    // one can open an exclusive slave to clear it, and it outlives its setter. -1 when the
    // opens cannot be watched; the line then works as before, without the clearing.
    int m_keeperFd = -1;
    int m_watchFd = -1;  // inotify on the slave: the others' opens and closes
    int m_clients = 0;   // the others' open descriptions of the slave
    int m_wakeFd[2] = {-1, -1};
    std::string m_slavePath;
    std::string m_linkPath;
    int m_linkLockFd = -1;  // flock()ed while we serve the link; the kernel frees it if we die
    std::string m_error;
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hungUp{false};
    std::atomic<int> m_garbledLines{0};
    std::string m_partial;            // bytes of the line being received
    std::size_t m_partialLength = 0;  // its length, also past what m_partial keeps
    bool m_garbling = false;          // bytes at a wrong rate arrived since the last line end
    unsigned m_random = 12345;
};

}  // namespace vela::sim
