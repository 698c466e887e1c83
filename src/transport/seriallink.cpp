#include "transport/seriallink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/registrysettings.h"
#include "platform/clock.h"
#include "transport/commandlog.h"
#include "transport/comport.h"

namespace vela {
namespace {

constexpr int kBaudRates[5] = {9600, 19200, 38400, 57600, 115200};
constexpr const char* kBaudTexts[5] = {"9600bps", "19200bps", "38400bps", "57600bps", "115200bps"};

// A library write gets the whole text with this time-out; a library read one byte with 10 ms.
constexpr int kLibraryWriteTimeoutMs = 500;
constexpr int kLibraryReadTimeoutMs = 10;

}  // namespace

SerialLink::SerialLink(Channels channels, RegistrySettings* settings)
    : m_channels(channels), m_settings(settings) {
    LoadSettings();
}

SerialLink::~SerialLink() {
    SaveSettings();
}

SerialLink& SerialLink::Instance() {
    static SerialLink link(
        Channels{&ComPort::Instance(), DefaultLibraryChannel(CameraLink2000),
                 DefaultLibraryChannel(CameraLink2001), DefaultLibraryChannel(CameraLinkVer11)},
        &RegistrySettings::Instance());
    [[maybe_unused]] static const bool logged = (link.SetLog(CommandLog::Instance()), true);
    return link;
}

LibraryChannel* SerialLink::Library(int kind) const {
    switch (kind) {
        case CameraLink2000:
            return m_channels.cl2000;
        case CameraLink2001:
            return m_channels.cl2001;
        case CameraLinkVer11:
            return m_channels.clVer11;
        default:
            return nullptr;
    }
}

void SerialLink::CloseChannel(int kind) {
    if (kind == ComPortKind) {
        if (m_channels.comPort) m_channels.comPort->Close();
    } else if (LibraryChannel* lib = Library(kind)) {
        lib->ClosePort();
    }
}

int SerialLink::Open(int kind, int baudRate, int portIndex) {
    CloseChannel(m_kind);
    m_kind = kind;
    m_baudRate = baudRate;
    switch (kind) {
        case ComPortKind: {
            m_comPortIndex = portIndex;
            char name[64];
            std::snprintf(name, sizeof name, "COM%d", portIndex + 1);
            if (!m_channels.comPort) return 0;
            return m_channels.comPort->Open(name, baudRate, 8, 0, 0, 0) ? 1 : 0;
        }
        case CameraLink2000:
            m_cl2000Index = portIndex;
            break;
        case CameraLink2001:
            m_cl2001Index = portIndex;
            break;
        case CameraLinkVer11:
            m_clVer11Index = portIndex;
            break;
        default:
            return 0;
    }
    LibraryChannel* lib = Library(kind);
    if (!lib || !lib->OpenPort(portIndex)) return 0;
    return lib->SetBaudRate(baudRate) ? 1 : 0;
}

int SerialLink::Reopen(int kind, int baudRate) {
    int index = 0;
    switch (kind) {
        case ComPortKind:
            index = m_comPortIndex;
            break;
        case CameraLink2000:
            index = m_cl2000Index;
            break;
        case CameraLink2001:
            index = m_cl2001Index;
            break;
        case CameraLinkVer11:
            index = m_clVer11Index;
            break;
        default:
            return 0;
    }
    return Open(kind, baudRate, index);
}

int SerialLink::ReopenCurrent() {
    return Reopen(m_kind, m_baudRate);
}

int SerialLink::SwitchKind(int kind) {
    return Reopen(kind, m_baudRate);
}

int SerialLink::SetBaudRate(int baudRate) {
    return Reopen(m_kind, baudRate);
}

int SerialLink::SelectPort(int portIndex) {
    return Open(m_kind, m_baudRate, portIndex);
}

void SerialLink::Close() {
    CloseChannel(m_kind);
}

int SerialLink::Write(const std::string& text) {
    if (!IsValidLinkKind(m_kind)) return 0;
    if (m_kind == ComPortKind) {
        if (m_channels.comPort) m_channels.comPort->Write(text.data(), static_cast<int>(text.size()));
    } else if (LibraryChannel* lib = Library(m_kind)) {
        lib->Write(text.data(), static_cast<int>(text.size()), kLibraryWriteTimeoutMs);
    }
    m_log->Log(CommandLog::SentLine(text));
    return 1;
}

int SerialLink::Read(char* buffer, int length, std::uint32_t timeoutMs) {
    if (!IsValidLinkKind(m_kind) || length <= 0) return 0;
    const Deadline deadline(timeoutMs);
    int total = 0;
    if (m_kind == ComPortKind) {
        ComPort* port = m_channels.comPort;
        if (!port) return 0;
        for (;;) {
            total += port->Read(buffer + total, length - total);
            if (total >= length || deadline.Passed()) break;
            // Wait for the receive thread's signal instead of polling the ring in a loop.
            port->WaitForData(deadline.LeftMs());
        }
        return total;
    }
    LibraryChannel* lib = Library(m_kind);
    if (!lib) return 0;
    for (;;) {
        const auto before = Deadline::Clock::now();
        // A time-out of 0 asks only for what has arrived.
        const std::uint32_t step =
            m_wholeWaitReads ? deadline.LeftMs() : std::min<std::uint32_t>(timeoutMs, kLibraryReadTimeoutMs);
        const int got = lib->Read(buffer + total, 1, static_cast<int>(step));
        total += got;
        if (total >= length || deadline.Passed()) break;
        // A closed port, or a library that does not wait, answers at once: wait out the
        // read time-out here instead of spinning on it.
        if (got == 0 && Deadline::Clock::now() - before < std::chrono::milliseconds(1)) {
            std::this_thread::sleep_until(
                std::min(deadline.When(), before + std::chrono::milliseconds(kLibraryReadTimeoutMs)));
        }
    }
    return total;
}

int SerialLink::GetPortCount() {
    if (m_kind == ComPortKind) return ComPort::GetPortCount();
    LibraryChannel* lib = Library(m_kind);
    return lib ? lib->GetPortCount() : 0;
}

std::string SerialLink::GetPortName(int index) {
    if (m_kind == ComPortKind) return ComPort::GetPortName(index);
    if (!IsValidLinkKind(m_kind)) return "ERROR";
    LibraryChannel* lib = Library(m_kind);
    return lib ? lib->GetPortName(index) : std::string();
}

int SerialLink::GetPortIndex() const {
    switch (m_kind) {
        case ComPortKind:
            return m_comPortIndex;
        case CameraLink2000:
            return m_cl2000Index;
        case CameraLink2001:
            return m_cl2001Index;
        case CameraLinkVer11:
            return m_clVer11Index;
        default:
            return 0;
    }
}

int SerialLink::GetBaudRateIndex() const {
    for (int i = 0; i < 5; ++i)
        if (kBaudRates[i] == m_baudRate) return i;
    return 0;
}

int SerialLink::BaudRateFromIndex(int index) {
    return index >= 1 && index <= 4 ? kBaudRates[index] : 9600;
}

const char* SerialLink::BaudRateText(int index) {
    return index >= 0 && index <= 4 ? kBaudTexts[index] : "";
}

void SerialLink::LoadSettings() {
    m_baudRate = 9600;  // the stored "Baudrate" is never read back: the camera's rate is searched
    if (!m_settings) return;
    std::int32_t v = 0;
    m_settings->GetInt(CommunicationMode, v, 0);
    m_kind = v;
    m_settings->GetInt(ComPortNo, v, 0);
    m_comPortIndex = v;
    m_settings->GetInt(CameraLink2000DllIndex, v, 0);
    m_cl2000Index = v;
    m_settings->GetInt(CameraLink2001DllIndex, v, 0);
    m_cl2001Index = v;
    m_settings->GetInt(CameraLinkVer11DllIndex, v, 0);
    m_clVer11Index = v;
}

void SerialLink::SaveSettings() {
    if (!m_settings) return;
    m_settings->SetInt(CommunicationMode, m_kind);
    m_settings->SetInt(Baudrate, m_baudRate);
    m_settings->SetInt(ComPortNo, m_comPortIndex);
    m_settings->SetInt(CameraLink2000DllIndex, m_cl2000Index);
    m_settings->SetInt(CameraLink2001DllIndex, m_cl2001Index);
    m_settings->SetInt(CameraLinkVer11DllIndex, m_clVer11Index);
}

}  // namespace vela
