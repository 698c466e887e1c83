#include "transport/comport.h"

#include <chrono>

// What the POSIX and the Win32 port share: the names, the ring and the wait on it.
namespace vela {

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

void ComPort::StartReceiving() {
    m_running = 1;
    m_ring.Clear();
    m_thread = std::thread(&ComPort::ReceiveThread, this);
}

void ComPort::NotifyData() {
    { std::lock_guard<std::mutex> lock(m_dataMutex); }
    m_dataArrived.notify_all();
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
