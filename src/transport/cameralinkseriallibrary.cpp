#include "transport/cameralinkseriallibrary.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/prompt.h"

namespace vela {
namespace {

constexpr const char* kRateNotSupported = "Selected baud rate is not supported.";
constexpr const char* kRateNotSupportedIn = "Selected baud rate is not supported in %s.";

std::uint32_t ToLibraryTimeout(int timeoutMs) {
    return timeoutMs > 0 ? static_cast<std::uint32_t>(timeoutMs) : 0;
}

}  // namespace

std::uint32_t CameraLinkBaudRateFlag(int rate) {
    switch (rate) {
        case 9600:
            return 1;
        case 19200:
            return 2;
        case 38400:
            return 4;
        case 57600:
            return 8;
        case 115200:
            return 16;
        case 230400:
            return 32;
        case 460800:
            return 64;
        case 921600:
            return 128;
        default:
            return 0;
    }
}

// --- Module ----------------------------------------------------------------------------

template <typename Fn>
bool CameraLinkSerialLibrary::Module::Find(const char* name, Fn& entry, std::string& error) {
    void* address = Address(name);
    if (!address) {
        error = std::string("missing entry point ") + name;
        return false;
    }
    entry = reinterpret_cast<Fn>(address);
    return true;
}

void* CameraLinkSerialLibrary::Module::Take() {
    void* handle = m_handle;
    m_handle = nullptr;
    return handle;
}

// --- CameraLinkSerialLibrary -----------------------------------------------------------

CameraLinkSerialLibrary::~CameraLinkSerialLibrary() {
    ClosePort();
    m_portList.clear();
}

bool CameraLinkSerialLibrary::LoadModule(Module& module, Api& api, const std::string& file) {
    api = Api{};
    m_loadError.clear();
    if (!module.Open(file, m_loadError)) return false;
    if (!FindEntryPoints(module, api, m_loadError)) {
        api = Api{};
        return false;
    }
    return true;
}

bool CameraLinkSerialLibrary::LoadForPort(const std::string& file) {
    ClosePort();
    Module module;
    if (!LoadModule(module, m_api, file)) return false;
    m_library = module.Take();
    return true;
}

bool CameraLinkSerialLibrary::InitSerial(int serialIndex) {
    if (!m_library || serialIndex < 0) return false;
    SerRef ref = nullptr;
    if (m_api.serialInit(static_cast<std::uint32_t>(serialIndex), &ref) != 0) return false;
    m_serialRef = ref;
    m_open = true;
    return true;
}

bool CameraLinkSerialLibrary::TrySetMaskedBaudRate(int rate) {
    std::uint32_t mask = 0;
    const std::uint32_t flag = CameraLinkBaudRateFlag(rate);
    if (m_api.getSupportedBaudRates(m_serialRef, &mask) != 0 || flag == 0 || (mask & flag) == 0) return false;
    m_api.setBaudRate(m_serialRef, flag);
    return true;
}

std::string CameraLinkSerialLibrary::CutName(const char* buffer) {
    // A library may fill the whole buffer without a terminator.
    return std::string(buffer, ::strnlen(buffer, kNameBufferSize));
}

std::string CameraLinkSerialLibrary::GetPortName(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_portList.size()) return {};
    return m_portList[static_cast<std::size_t>(index)];
}

int CameraLinkSerialLibrary::Write(const char* buffer, int length, int timeoutMs) {
    if (!m_open || length < 0) return 0;
    // The published prototype takes a writable buffer; the caller's text stays untouched.
    std::vector<char> copy(buffer, buffer + length);
    copy.push_back('\0');
    std::uint32_t count = static_cast<std::uint32_t>(length);
    return m_api.serialWrite(m_serialRef, copy.data(), &count, ToLibraryTimeout(timeoutMs)) == 0 ? 1 : 0;
}

int CameraLinkSerialLibrary::Read(char* buffer, int length, int timeoutMs) {
    if (!m_open || length <= 0) return 0;
    std::uint32_t count = static_cast<std::uint32_t>(length);
    if (m_api.serialRead(m_serialRef, buffer, &count, ToLibraryTimeout(timeoutMs)) != 0) return 0;
    return static_cast<int>(std::min(count, static_cast<std::uint32_t>(length)));
}

void CameraLinkSerialLibrary::ClosePort() {
    if (m_open) {
        m_api.serialClose(m_serialRef);
        m_open = false;
        m_serialRef = nullptr;
    }
    if (m_library) {
        Module::Release(m_library);
        m_library = nullptr;
    }
    m_api = Api{};
}

// --- 2000 ------------------------------------------------------------------------------

CameraLink2000Library::CameraLink2000Library(std::string systemDirectory)
    : m_systemDirectory(std::move(systemDirectory)) {}

std::string CameraLink2000Library::SystemDirectory() const {
    if (!m_systemDirectory.empty()) return m_systemDirectory;
    const char* fromEnvironment = std::getenv("CLSERIAL_SYSTEM_DIR");
    return fromEnvironment && *fromEnvironment ? fromEnvironment : DefaultSystemDirectory();
}

bool CameraLink2000Library::FindEntryPoints(Module& module, Api& api, std::string& error) {
    return module.Find("clSerialInit", api.serialInit, error) &&
           module.Find("clSerialClose", api.serialClose, error) &&
           module.Find("clSerialRead", api.serialRead, error) &&
           module.Find("clSerialWrite", api.serialWrite, error);
}

int CameraLink2000Library::GetPortCount() {
    m_portList.clear();
    m_portList = LibraryFiles(SystemDirectory());
    if (m_portList.size() > kMaxPorts) m_portList.resize(kMaxPorts);
    return static_cast<int>(m_portList.size());
}

int CameraLink2000Library::OpenPort(int index) {
    const std::string file = GetPortName(index);
    if (file.empty()) {
        // No file name: the path would name the directory itself.
        ClosePort();
        return 0;
    }
    if (!LoadForPort(PathIn(SystemDirectory(), file))) return 0;
    return InitSerial(index) ? 1 : 0;
}

int CameraLink2000Library::SetBaudRate(int rate) {
    // The 2000 generation has no way to change the rate: the link runs at 9600.
    if (rate == 9600) return 1;
    ShowMessage(kRateNotSupported);
    return 0;
}

// --- 2001 ------------------------------------------------------------------------------

CameraLink2001Library::CameraLink2001Library(std::string file) : m_file(std::move(file)) {}

bool CameraLink2001Library::FindEntryPoints(Module& module, Api& api, std::string& error) {
    // clGetNumSerialPorts, clGetSerialPortIdentifier and clGetErrorText are never called, but a
    // library without them is not a complete one.
    std::int32_t (*unused)() = nullptr;
    return module.Find("clGetManufacturer", api.getManufacturer, error) &&
           module.Find("clGetNumManufacturers", api.getNumManufacturers, error) &&
           module.Find("clSelectManufacturer", api.selectManufacturer, error) &&
           module.Find("clGetNumSerialPorts", unused, error) &&
           module.Find("clGetSerialPortIdentifier", unused, error) &&
           module.Find("clSerialInit", api.serialInit, error) &&
           module.Find("clSerialClose", api.serialClose, error) &&
           module.Find("clSerialRead", api.serialRead, error) &&
           module.Find("clSerialWrite", api.serialWrite, error) &&
           module.Find("clGetSupportedBaudRates", api.getSupportedBaudRates, error) &&
           module.Find("clSetBaudRate", api.setBaudRate, error) &&
           module.Find("clGetErrorText", unused, error);
}

int CameraLink2001Library::GetPortCount() {
    Module module;
    Api api;
    // A missing library keeps the list of the last good enumeration.
    if (!LoadModule(module, api, m_file)) return static_cast<int>(m_portList.size());
    m_portList.clear();
    std::uint32_t count = 0;
    if (api.getNumManufacturers(&count) != 0) count = 0;
    count = std::min(count, kMaxPorts);
    for (std::uint32_t i = 0; i < count; ++i) {
        char name[kNameBufferSize] = {};
        std::uint32_t size = kNameBufferSize;
        std::uint32_t version = 0;
        // The entry is kept even when the call fails: positions are serial indices.
        api.getManufacturer(i, name, &size, &version);
        m_portList.push_back(CutName(name));
    }
    return static_cast<int>(m_portList.size());
}

int CameraLink2001Library::OpenPort(int index) {
    if (!LoadForPort(m_file)) return 0;
    std::string manufacturer = GetPortName(index);
    std::vector<char> name(manufacturer.begin(), manufacturer.end());
    name.push_back('\0');
    if (m_api.selectManufacturer(name.data()) != 0) return 0;
    return InitSerial(index) ? 1 : 0;
}

int CameraLink2001Library::SetBaudRate(int rate) {
    if (!IsOpen()) return 0;
    if (TrySetMaskedBaudRate(rate)) return 1;
    ShowMessage(kRateNotSupported);
    return 0;
}

// --- 1.1 -------------------------------------------------------------------------------

CameraLinkVer11Library::CameraLinkVer11Library(std::string file) : m_file(std::move(file)) {}

bool CameraLinkVer11Library::FindEntryPoints(Module& module, Api& api, std::string& error) {
    // clFlushPort, clGetErrorText and clGetNumBytesAvail are required but never called.
    std::int32_t (*unused)() = nullptr;
    return module.Find("clSerialInit", api.serialInit, error) &&
           module.Find("clSerialClose", api.serialClose, error) &&
           module.Find("clSetBaudRate", api.setBaudRate, error) &&
           module.Find("clSerialRead", api.serialRead, error) &&
           module.Find("clSerialWrite", api.serialWrite, error) &&
           module.Find("clFlushPort", unused, error) && module.Find("clGetErrorText", unused, error) &&
           module.Find("clGetNumPorts", api.getNumPorts, error) &&
           module.Find("clGetNumBytesAvail", unused, error) &&
           module.Find("clGetPortInfo", api.getPortInfo, error) &&
           module.Find("clGetSupportedBaudRates", api.getSupportedBaudRates, error);
}

int CameraLinkVer11Library::GetPortCount() {
    m_portList.clear();
    Module module;
    Api api;
    if (!LoadModule(module, api, m_file)) return 0;
    std::uint32_t count = 0;
    if (api.getNumPorts(&count) != 0) count = 0;
    count = std::min(count, kMaxPorts);
    for (std::uint32_t i = 0; i < count; ++i) {
        char manufacturer[kNameBufferSize] = {};
        char portId[kNameBufferSize] = {};
        std::uint32_t manufacturerSize = kNameBufferSize;
        std::uint32_t portIdSize = kNameBufferSize;
        std::uint32_t version = 0;
        api.getPortInfo(i, manufacturer, &manufacturerSize, portId, &portIdSize, &version);
        m_portList.push_back(CutName(manufacturer) + " - " + CutName(portId));
    }
    return static_cast<int>(m_portList.size());
}

int CameraLinkVer11Library::OpenPort(int index) {
    if (!LoadForPort(m_file)) return 0;
    if (!InitSerial(index)) return 0;
    m_openPortName = GetPortName(index);
    if (m_openPortName.empty()) m_openPortName = "port " + std::to_string(index);
    return 1;
}

int CameraLinkVer11Library::SetBaudRate(int rate) {
    if (!IsOpen()) return 0;
    if (TrySetMaskedBaudRate(rate)) return 1;
    std::string text = kRateNotSupportedIn;
    text.replace(text.find("%s"), 2, m_openPortName);
    ShowMessage(text);
    return 0;
}

}  // namespace vela
