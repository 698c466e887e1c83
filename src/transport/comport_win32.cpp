#include <windows.h>

#include <cstdio>
#include <optional>

#include "platform/prompt.h"
#include "platform/win32text.h"
#include "transport/comport.h"

namespace vela {
namespace {

constexpr DWORD kQueueSize = 1024;
constexpr DWORD kWriteTimeoutMs = 20000;
// The receive thread also looks at the input queue this often while it waits for the
// character-received event, so that an event a driver lost (Wine's is emulated) cannot
// hold bytes back for good.
constexpr DWORD kQueueCheckMs = 50;
// The pause after a wait that ended without bringing bytes.
constexpr DWORD kQuietMs = 2;

struct OpenFailure {
    const char* step;
    std::string reason;
};
using StepResult = std::optional<OpenFailure>;

StepResult Check(BOOL ok, const char* step) {
    if (ok) return std::nullopt;
    return OpenFailure{step, SystemErrorText(::GetLastError())};
}

// The line settings record changed as the serial link asks; the driver's other fields stay.
StepResult ApplyLineSettings(HANDLE port, int baudRate, int byteSize, int stopBits, int xonXoff,
                             int parityCheck) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (StepResult f = Check(::GetCommState(port, &dcb), "GetCommState()")) return f;
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = static_cast<DWORD>(baudRate);
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fOutX = dcb.fInX = xonXoff == 1 ? TRUE : FALSE;
    dcb.fParity = (parityCheck & 1) ? TRUE : FALSE;
    dcb.ByteSize = static_cast<BYTE>(byteSize);
    dcb.Parity = NOPARITY;
    dcb.StopBits = static_cast<BYTE>(stopBits);
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 100;
    dcb.XoffLim = 1500;
    return Check(::SetCommState(port, &dcb), "SetCommState()");
}

// Starts an overlapped operation and waits for its end; the byte count, or nothing.
std::optional<DWORD> Finish(HANDLE port, BOOL started, OVERLAPPED& overlapped) {
    DWORD count = 0;
    if (started) {
        if (!::GetOverlappedResult(port, &overlapped, &count, FALSE)) return std::nullopt;
        return count;
    }
    if (::GetLastError() != ERROR_IO_PENDING) return std::nullopt;
    if (!::GetOverlappedResult(port, &overlapped, &count, TRUE)) return std::nullopt;
    return count;
}

}  // namespace

std::string ComPort::DevicePath(const std::string& name) {
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
        name.find_first_not_of("0123456789", 3) == std::string::npos && name.size() <= 8) {
        return "\\\\.\\" + name;
    }
    return name;
}

int ComPort::Open(const std::string& name, int baudRate, int byteSize, int stopBits, int xonXoff,
                  int parityCheck) {
    if (IsOpen()) Close();
    HANDLE port = ::CreateFileW(Widen(DevicePath(name)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    StepResult failure;
    if (port == INVALID_HANDLE_VALUE) {
        failure = OpenFailure{"CreateFile()", SystemErrorText(::GetLastError())};
        port = nullptr;
    }
    if (!failure) failure = Check(::SetCommMask(port, EV_RXCHAR), "SetCommMask()");
    if (!failure) failure = Check(::SetupComm(port, kQueueSize, kQueueSize), "SetupComm()");
    if (!failure) {
        // A read returns at once with whatever has arrived; a write gives up after 20 s.
        COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, kWriteTimeoutMs};
        failure = Check(::SetCommTimeouts(port, &timeouts), "SetCommTimeouts()");
    }
    if (!failure) failure = ApplyLineSettings(port, baudRate, byteSize, stopBits, xonXoff, parityCheck);
    if (failure) {
        // The port is closed again before the box shows: nothing holds it while the operator reads.
        if (port) ::CloseHandle(port);
        char text[256];
        std::snprintf(text, sizeof text, "Failed to initialize %s port!\nError in %s", name.c_str(),
                      failure->step);
        ShowMessage(std::string(text) + "\n" + failure->reason, PromptIcon::Exclamation);
        return 0;
    }
    ::EscapeCommFunction(port, SETDTR);
    // A fresh open starts with empty queues.
    ::PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    m_stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_writeEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_readEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_handle = port;
    StartReceiving();
    return 1;
}

void ComPort::Close() {
    m_running = 0;
    if (m_stopEvent) ::SetEvent(m_stopEvent);
    // A cleared event mask ends the thread's pending wait for the next event.
    if (m_handle) ::SetCommMask(m_handle, 0);
    if (m_thread.joinable()) m_thread.join();
    if (m_handle) ::CloseHandle(m_handle);
    m_handle = nullptr;
    for (void** event : {&m_stopEvent, &m_writeEvent, &m_readEvent}) {
        if (*event) ::CloseHandle(*event);
        *event = nullptr;
    }
    m_dataArrived.notify_all();
}

// Waits for the character-received event and drains. Wine ends most of these waits as
// aborted, data or not: such a wait counts as a wake-up, is followed by a drain and is
// started again at once when the drain found bytes; otherwise, and after a wait that
// failed outright, the thread only looks at the queue once more after kQuietMs, so an
// emulated event that keeps ending can never make it spin.
void ComPort::ReceiveThread() {
    OVERLAPPED overlapped{};
    overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent) return;
    bool waiting = false;  // a WaitCommEvent is pending on `overlapped`
    bool rearm = true;     // start the next wait now
    while (m_running == 1) {
        if (!waiting && rearm) {
            ::ResetEvent(overlapped.hEvent);
            DWORD mask = 0;
            if (::WaitCommEvent(m_handle, &mask, &overlapped)) {
                if (!Drain()) break;
                continue;
            }
            waiting = ::GetLastError() == ERROR_IO_PENDING;
        }
        HANDLE events[2] = {m_stopEvent, overlapped.hEvent};
        const DWORD woken =
            ::WaitForMultipleObjects(waiting ? 2 : 1, events, FALSE, waiting ? kQueueCheckMs : kQuietMs);
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;  // stopped
        bool ended = true;
        if (woken == WAIT_OBJECT_0 + 1) {
            DWORD unused = 0;
            ended = ::GetOverlappedResult(m_handle, &overlapped, &unused, FALSE) != FALSE;
            waiting = false;
        }
        // The consumer only takes bytes out: a ring that grew got bytes from this drain.
        const int before = m_ring.Available();
        if (!Drain()) break;
        rearm = ended || m_ring.Available() > before;
    }
    if (waiting) {
        ::CancelIo(m_handle);
        DWORD unused = 0;
        ::GetOverlappedResult(m_handle, &overlapped, &unused, TRUE);
    }
    ::CloseHandle(overlapped.hEvent);
}

bool ComPort::Drain() {
    bool alive = true;
    bool stored = false;
    {
        std::lock_guard<RsMutex> lock(m_mutex);
        DWORD errors = 0;
        COMSTAT status{};
        // Also clears a pending line error, which would stop the port's I/O.
        if (!::ClearCommError(m_handle, &errors, &status)) return false;
        DWORD waiting = status.cbInQue;
        unsigned char chunk[256];
        while (waiting > 0) {
            OVERLAPPED overlapped{};
            overlapped.hEvent = m_readEvent;
            ::ResetEvent(m_readEvent);
            const DWORD want = waiting < sizeof chunk ? waiting : static_cast<DWORD>(sizeof chunk);
            const std::optional<DWORD> got =
                Finish(m_handle, ::ReadFile(m_handle, chunk, want, nullptr, &overlapped), overlapped);
            if (!got) {
                alive = false;
                break;
            }
            if (*got == 0) break;
            for (DWORD i = 0; i < *got; ++i) m_ring.Put(chunk[i]);
            stored = true;
            waiting -= *got < waiting ? *got : waiting;
        }
    }
    if (stored) NotifyData();
    return alive;
}

int ComPort::Write(const char* data, int length) {
    if (!IsOpen() || length <= 0) return 0;
    std::lock_guard<RsMutex> lock(m_mutex);
    for (int i = 0; i < length; ++i) {
        // One byte, then flush, which waits until it has left: a line goes out at the
        // wire's pace. A failed single write is ignored; the write time-out bounds it.
        OVERLAPPED overlapped{};
        overlapped.hEvent = m_writeEvent;
        ::ResetEvent(m_writeEvent);
        Finish(m_handle, ::WriteFile(m_handle, data + i, 1, nullptr, &overlapped), overlapped);
        ::FlushFileBuffers(m_handle);
    }
    return 1;
}

}  // namespace vela
