#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "transport/comportringbuffer.h"
#include "transport/rsmutex.h"

namespace vela {

// The channel to the camera through a serial port ("COM1".."COM16"). A receive thread
// waits for bytes and moves them into a 1024-byte ring, from which the serial link
// takes them without waiting.
class ComPort {
  public:
    ComPort();
    ~ComPort();
    ComPort(const ComPort&) = delete;
    ComPort& operator=(const ComPort&) = delete;

    static ComPort& Instance();

    // 1 on success; 0 after a message box, with the port closed. stopBits 0 is one stop
    // bit, 1 one and a half (two on this platform), 2 two.
    int Open(const std::string& name, int baudRate, int byteSize, int stopBits, int xonXoff, int parityCheck);
    void Close();
    int Write(const char* data, int length);
    int Read(char* buffer, int length);
    int Available() const { return m_ring.Available(); }
    void Clear() { m_ring.Clear(); }
#ifdef _WIN32
    bool IsOpen() const {
        return m_handle != nullptr;
    }
#else
    bool IsOpen() const {
        return m_fd >= 0;
    }
    // Asks a USB serial driver to hand on received bytes at once instead of holding them for
    // up to 16 ms. The old flags when the driver took the request, to be given back at
    // close; -1 where the driver offers no such mode (a pseudo-terminal), which is no fault.
    static int RequestLowLatency(int fd);
    static void RestoreSerialFlags(int fd, int flags);
#endif

    // Waits until the ring holds a byte or `timeoutMs` passed; true when a byte is there.
    // Wakes as soon as the receive thread stores a byte; never spins.
    bool WaitForData(std::uint32_t timeoutMs);

    static int GetPortCount() {
        return 16;
    }
    static std::string GetPortName(int index);
    // "COMn" names <config>/ports/COMn when that exists, else /dev/ttyS<n-1>; any other
    // name is taken as a device path. On Windows "COMn" is "\\.\COMn".
    static std::string DevicePath(const std::string& name);

  private:
    void ReceiveThread();
    bool Drain();           // false once the device is gone
    void StartReceiving();  // with an empty ring
    void NotifyData();

#ifdef _WIN32
    void* m_handle = nullptr;      // the port, opened for overlapped I/O; null when closed
    void* m_stopEvent = nullptr;   // Close sets it to end the thread's wait
    void* m_writeEvent = nullptr;  // of the write's overlapped record
    void* m_readEvent = nullptr;   // of the drain's overlapped record
#else
    int m_fd = -1;
    int m_wakeFd[2] = {-1, -1};  // Close writes here to end the thread's poll()
    int m_serialFlags = -1;      // the driver's flags before low latency was asked for; -1: none
#endif
    RsMutex m_mutex;
    ComPortRingBuffer m_ring;
    std::thread m_thread;
    std::atomic<int> m_running{1};

    std::mutex m_dataMutex;
    std::condition_variable m_dataArrived;
};

}  // namespace vela
