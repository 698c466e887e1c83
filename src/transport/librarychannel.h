#pragma once

#include <string>

namespace vela {

// The channel behind one Camera Link kind of the serial link: a frame grabber's serial
// library loaded at run time. Results are 1 for success and 0 for failure unless said.
class LibraryChannel {
  public:
    virtual ~LibraryChannel() = default;

    // Rebuilds the port list and returns its length.
    virtual int GetPortCount() = 0;
    // The entry at `index` of the list built by the last GetPortCount, or "" outside it.
    virtual std::string GetPortName(int index) = 0;
    virtual int OpenPort(int index) = 0;
    // 1 when the rate is in force; 0 (after a message, unless no port is open) otherwise.
    virtual int SetBaudRate(int rate) = 0;
    virtual int Write(const char* buffer, int length, int timeoutMs) = 0;
    // The number of bytes delivered.
    virtual int Read(char* buffer, int length, int timeoutMs) = 0;
    virtual void ClosePort() = 0;
};

}  // namespace vela
