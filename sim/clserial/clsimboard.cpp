#include "clserial/clsimboard.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "core/cameracore.h"

namespace vela::sim::clserial {
namespace {

constexpr std::uint32_t kDefaultPorts = 2;
constexpr std::uint32_t kDefaultBaudMask = 0x1f;  // 9600 .. 115200
constexpr std::size_t kMaxLine = 4096;            // a longer line is noise and is dropped

using Micros = long long;

// Rounded up, so a deadline counted from now is never short of its time-out.
Micros NowUs() {
    using namespace std::chrono;
    return ceil<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepUntil(Micros when) {
    std::this_thread::sleep_until(std::chrono::steady_clock::time_point(std::chrono::microseconds(when)));
}

int RateFromFlag(std::uint32_t flag) {
    switch (flag) {
        case 1:
            return 9600;
        case 2:
            return 19200;
        case 4:
            return 38400;
        case 8:
            return 57600;
        case 16:
            return 115200;
        case 32:
            return 230400;
        case 64:
            return 460800;
        case 128:
            return 921600;
        default:
            return 0;
    }
}

struct OutByte {
    char byte;
    Micros readyAt;  // when the byte has crossed the wire
};

struct Port {
    std::unique_ptr<CameraCore> camera;
    bool open = false;
    SerRef ref = nullptr;
    int rate = 9600;
    std::string line;
    bool lineTooLong = false;
    std::deque<OutByte> out;
};

// The cameras are hardware beyond the library: they keep their state while the tool
// unloads and reloads the library (the file is linked not to be unloaded).
struct Board {
    std::mutex mutex;
    std::map<std::uint32_t, Port> ports;

    Port* Find(SerRef ref) {
        for (auto& [index, port] : ports)
            if (port.open && port.ref == ref) return &port;
        return nullptr;
    }
};

// Never destroyed: a client may still close its port from its own exit handlers, which run
// after those of this library when the client's objects were made first.
Board& TheBoard() {
    static Board* board = new Board;
    return *board;
}

std::vector<std::string> EnvList(const char* variable) {
    std::vector<std::string> items;
    const char* value = std::getenv(variable);
    if (!value || !*value) return items;
    std::string text = value;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        items.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return items;
}

std::unique_ptr<CameraCore> MakeCamera() {
    CameraOptions options;
    if (const char* model = std::getenv("VELA_CLSIM_MODEL"); model && *model) options.model = model;
    options.baudRate = static_cast<int>(EnvNumber("VELA_CLSIM_CAMERA_BAUD", 9600));
    return std::make_unique<CameraCore>(options);
}

// Queues the answer lines behind whatever is still on the wire.
void QueueAnswers(Port& port, const std::vector<std::string>& answers, int delayMs) {
    Micros at = NowUs() + Micros{delayMs} * 1000;
    if (!port.out.empty() && port.out.back().readyAt > at) at = port.out.back().readyAt;
    const Micros perByte = EnvFlag("VELA_CLSIM_PACED") ? 10'000'000 / port.rate : 0;
    for (const std::string& answer : answers) {
        for (char c : answer + "\r\n") {
            at += perByte;
            port.out.push_back({c, at});
        }
    }
}

void HandleLine(Port& port) {
    // A line sent at another rate than the camera's reaches it as noise.
    if (port.rate != port.camera->BaudRate()) {
        Trace("ignored at " + std::to_string(port.rate) + ": " + port.line);
        return;
    }
    const std::vector<std::string> answers = port.camera->HandleLine(port.line);
    QueueAnswers(port, answers, port.camera->AnswerDelayMs());
    if (port.camera->PendingBaudRate() != 0) port.camera->ApplyPendingBaudRate();
}

void TakeByte(Port& port, char c) {
    if (c == '\r' || c == '\n') {
        if (!port.line.empty() && !port.lineTooLong) HandleLine(port);
        port.line.clear();
        port.lineTooLong = false;
        return;
    }
    if (port.line.size() >= kMaxLine) {
        port.lineTooLong = true;
        return;
    }
    port.line.push_back(c);
}

}  // namespace

bool EnvListHas(const char* variable, const char* name) {
    const char* list = std::getenv(variable);
    if (!list) return false;
    const std::size_t length = std::strlen(name);
    for (const char* p = list; *p;) {
        const char* end = std::strchr(p, ',');
        const std::size_t itemLength = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
        if (itemLength == length && std::strncmp(p, name, length) == 0) return true;
        if (!end) break;
        p = end + 1;
    }
    return false;
}

bool Omitted(const char* entryPoint) {
    return EnvListHas("VELA_CLSIM_OMIT", entryPoint);
}
bool Failing(const char* entryPoint) {
    return EnvListHas("VELA_CLSIM_FAIL", entryPoint);
}

bool EnvFlag(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value && std::strcmp(value, "0") != 0;
}

std::uint32_t EnvNumber(const char* variable, std::uint32_t fallback) {
    const char* value = std::getenv(variable);
    if (!value || !*value) return fallback;
    char* end = nullptr;
    const unsigned long number = std::strtoul(value, &end, 0);
    return *end == '\0' ? static_cast<std::uint32_t>(number) : fallback;
}

std::vector<std::string> Manufacturers() {
    std::vector<std::string> names = EnvList("VELA_CLSIM_MANUFACTURERS");
    if (names.empty()) names.push_back("VelaSim");
    return names;
}

std::uint32_t PortCount() {
    return EnvNumber("VELA_CLSIM_PORTS", kDefaultPorts);
}

std::string PortIdentifier(std::uint32_t index) {
    const std::vector<std::string> ids = EnvList("VELA_CLSIM_PORT_IDS");
    if (index < ids.size()) return ids[index];
    return "Port " + std::to_string(index);
}

std::uint32_t ReportedCount(std::uint32_t actual) {
    return EnvNumber("VELA_CLSIM_COUNT", actual);
}

const char* ErrorText(std::int32_t code) {
    switch (code) {
        case kNoErr:
            return "No error";
        case kErrBufferTooSmall:
            return "Buffer too small";
        case kErrManuDoesNotExist:
            return "Manufacturer does not exist";
        case kErrPortInUse:
            return "Port in use";
        case kErrTimeout:
            return "Time-out";
        case kErrInvalidIndex:
            return "Invalid index";
        case kErrInvalidReference:
            return "Invalid reference";
        case kErrErrorNotFound:
            return "Error not found";
        case kErrBaudRateNotSupported:
            return "Baud rate not supported";
        case kErrInvalidPtr:
            return "Invalid pointer";
        default:
            return nullptr;
    }
}

std::int32_t CopyName(const std::string& name, char* buffer, std::uint32_t* size) {
    if (!size) return kErrInvalidPtr;
    if (EnvFlag("VELA_CLSIM_LONG_NAMES")) {
        if (!buffer) return kErrInvalidPtr;
        // Exactly the buffer, not a byte more, and no terminator.
        for (std::uint32_t i = 0; i < *size; ++i) buffer[i] = i < name.size() ? name[i] : '#';
        return kNoErr;
    }
    const std::uint32_t needed = static_cast<std::uint32_t>(name.size() + 1);
    if (!buffer || *size < needed) {
        *size = needed;
        return kErrBufferTooSmall;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed;
    return kNoErr;
}

void Trace(const std::string& text) {
    const char* path = std::getenv("VELA_CLSIM_TRACE");
    if (!path || !*path) return;
    Dl_info info{};
    std::string file = "?";
    if (::dladdr(reinterpret_cast<void*>(&Trace), &info) && info.dli_fname) {
        file = info.dli_fname;
        if (const std::size_t slash = file.rfind('/'); slash != std::string::npos) file.erase(0, slash + 1);
    }
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%s %s\n", file.c_str(), text.c_str());
        std::fclose(f);
    }
}

std::int32_t SerialInit(std::uint32_t serialIndex, SerRef* serialRefPtr) {
    if (!serialRefPtr) return kErrInvalidPtr;
    if (serialIndex >= PortCount()) return kErrInvalidIndex;
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    Port& port = board.ports[serialIndex];
    if (port.open) return kErrPortInUse;
    if (!port.camera) port.camera = MakeCamera();
    port.open = true;
    port.rate = 9600;
    port.line.clear();
    port.out.clear();
    port.ref = EnvFlag("VELA_CLSIM_INDEX_REFS")
                   ? reinterpret_cast<SerRef>(static_cast<std::uintptr_t>(serialIndex))
                   : static_cast<SerRef>(&port);
    *serialRefPtr = port.ref;
    return kNoErr;
}

void SerialClose(SerRef serialRef) {
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    if (Port* port = board.Find(serialRef)) {
        port->open = false;
        port->out.clear();
        port->line.clear();
    }
}

std::int32_t SerialRead(SerRef serialRef, char* buffer, std::uint32_t* numBytes, std::uint32_t timeoutMs) {
    Board& board = TheBoard();
    std::unique_lock lock(board.mutex);
    Port* port = board.Find(serialRef);
    if (!port) return kErrInvalidReference;
    if (!numBytes || (!buffer && *numBytes)) return kErrInvalidPtr;
    const std::uint32_t wanted = *numBytes;
    if (wanted == 0) return kNoErr;
    const Micros deadline = NowUs() + Micros{timeoutMs} * 1000;
    if (port->out.size() >= wanted && port->out[wanted - 1].readyAt <= deadline) {
        const Micros readyAt = port->out[wanted - 1].readyAt;
        lock.unlock();
        SleepUntil(readyAt);
        lock.lock();
        port = board.Find(serialRef);
        if (port && port->out.size() >= wanted) {
            for (std::uint32_t i = 0; i < wanted; ++i) {
                buffer[i] = port->out.front().byte;
                port->out.pop_front();
            }
            *numBytes = EnvFlag("VELA_CLSIM_OVERREPORT") ? wanted + 1000 : wanted;
            return kNoErr;
        }
        if (!port) return kErrInvalidReference;
    }
    lock.unlock();
    SleepUntil(deadline);
    *numBytes = 0;
    return kErrTimeout;
}

std::int32_t SerialWrite(SerRef serialRef, const char* buffer, std::uint32_t* numBytes, std::uint32_t) {
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    Port* port = board.Find(serialRef);
    if (!port) return kErrInvalidReference;
    if (!numBytes || (!buffer && *numBytes)) return kErrInvalidPtr;
    for (std::uint32_t i = 0; i < *numBytes; ++i) TakeByte(*port, buffer[i]);
    return kNoErr;
}

std::int32_t FlushPort(SerRef serialRef) {
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    Port* port = board.Find(serialRef);
    if (!port) return kErrInvalidReference;
    port->out.clear();
    return kNoErr;
}

std::int32_t NumBytesAvail(SerRef serialRef, std::uint32_t* numBytes) {
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    Port* port = board.Find(serialRef);
    if (!port) return kErrInvalidReference;
    if (!numBytes) return kErrInvalidPtr;
    const Micros now = NowUs();
    std::uint32_t count = 0;
    for (const OutByte& b : port->out) {
        if (b.readyAt > now) break;
        ++count;
    }
    *numBytes = count;
    return kNoErr;
}

std::int32_t SupportedBaudRates(SerRef serialRef, std::uint32_t* baudRates) {
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    if (!board.Find(serialRef)) return kErrInvalidReference;
    if (!baudRates) return kErrInvalidPtr;
    *baudRates = EnvNumber("VELA_CLSIM_BAUD_MASK", kDefaultBaudMask);
    return kNoErr;
}

std::int32_t SetBaudRate(SerRef serialRef, std::uint32_t baudRate) {
    Board& board = TheBoard();
    std::lock_guard lock(board.mutex);
    Port* port = board.Find(serialRef);
    if (!port) return kErrInvalidReference;
    const int rate = RateFromFlag(baudRate);
    if (rate == 0 || (EnvNumber("VELA_CLSIM_BAUD_MASK", kDefaultBaudMask) & baudRate) == 0)
        return kErrBaudRateNotSupported;
    port->rate = rate;
    return kNoErr;
}

}  // namespace vela::sim::clserial
