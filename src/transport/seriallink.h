#pragma once

#include <cstdint>
#include <string>

#include "transport/commandlog.h"
#include "transport/librarychannel.h"
#include "transport/linkkind.h"

namespace vela {

class ComPort;
class RegistrySettings;

// The one way to the camera: hides which kind of link is in use, remembers a port per
// kind, keeps the baud rate, sends text (logged as "Tx: ") and reads bytes.
class SerialLink {
  public:
    struct Channels {
        ComPort* comPort = nullptr;
        LibraryChannel* cl2000 = nullptr;  // nullptr: no library channel for that kind
        LibraryChannel* cl2001 = nullptr;
        LibraryChannel* clVer11 = nullptr;
    };

    // `settings` may be null: defaults are used and nothing is saved.
    SerialLink(Channels channels, RegistrySettings* settings);
    ~SerialLink();  // saves the settings
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // The window's link; its lines go to the process-wide CommandLog::Instance().
    static SerialLink& Instance();

    // Where the lines that cross this link are logged: the link's own log unless another
    // is given (the window's link gives the process-wide one). The engine over the link
    // logs what it receives there too.
    CommandLog& Log() const { return *m_log; }
    void SetLog(CommandLog& log) { m_log = &log; }

    int Open(int kind, int baudRate, int portIndex);
    int Reopen(int kind, int baudRate);
    int ReopenCurrent();
    int SwitchKind(int kind);
    int SetBaudRate(int baudRate);
    int SelectPort(int portIndex);
    void Close();

    int Write(const std::string& text);
    int Read(char* buffer, int length, std::uint32_t timeoutMs);
    // A Camera Link library's read waits the whole time-out in one call instead of in
    // 10 ms steps, for the engine's fast answers.
    void SetWholeWaitReads(bool whole) { m_wholeWaitReads = whole; }

    int GetPortCount();
    std::string GetPortName(int index);

    int GetKind() const { return m_kind; }
    void SetKind(int kind) { m_kind = kind; }
    int GetBaudRate() const { return m_baudRate; }
    int GetPortIndex() const;
    int GetBaudRateIndex() const;
    static int BaudRateFromIndex(int index);
    static const char* BaudRateText(int index);  // "9600bps" .. "115200bps"; "" outside 0-4

    void LoadSettings();
    void SaveSettings();

  private:
    LibraryChannel* Library(int kind) const;
    void CloseChannel(int kind);

    // Field order as the settings store saves them.
    int m_kind = ComPortKind;
    int m_baudRate = 9600;
    int m_comPortIndex = 0;
    int m_cl2000Index = 0;
    int m_cl2001Index = 0;
    int m_clVer11Index = 0;

    bool m_wholeWaitReads = false;
    Channels m_channels;
    RegistrySettings* m_settings;
    CommandLog m_ownLog;
    CommandLog* m_log = &m_ownLog;
};

// The process-wide library channel of a Camera Link kind (1-3), created on first use;
// nullptr for any other kind.
LibraryChannel* DefaultLibraryChannel(int kind);

}  // namespace vela
