#pragma once

#include <string>

namespace vela::test {

// The far end of a pseudo-terminal, driven by the test: the code under test opens the
// slave (through "COMn"), the test reads and writes the master.
class PtyPeer {
  public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return m_master >= 0; }
    const std::string& slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Links <config>/ports/COMn to the slave and returns "COMn".
    std::string LinkAsComPort(int comNumber);

    void Write(const std::string& bytes);
    // Reads what arrives within `timeoutMs`, until `until` has been seen (if not empty).
    std::string ReadFor(int timeoutMs, const std::string& until = std::string());
    // The baud rate the slave side is set to (the master sees the slave's settings); 0
    // for a speed no port of ours uses.
    int SlaveBaudRate() const;
    void CloseMaster();

  private:
    int m_master = -1;
    int m_keepSlave = -1;  // keeps the slave side alive while the code under test reopens it
    std::string m_slavePath;
};

}  // namespace vela::test
