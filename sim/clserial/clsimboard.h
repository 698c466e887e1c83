#pragma once

// A simulated frame grabber behind the Camera Link serial API: a few serial ports, each
// wired to a simulated camera. The three simulated libraries share it; each library file
// holds its own board (the symbols stay inside each file).
//
// Environment variables shape the board, read at each call so a test can change them:
//   VELA_CLSIM_PORTS            number of serial ports (default 2)
//   VELA_CLSIM_MANUFACTURERS    comma-separated manufacturer names (default "VelaSim")
//   VELA_CLSIM_PORT_IDS         comma-separated port identifiers (default "Port 0", "Port 1", ...)
//   VELA_CLSIM_COUNT            count the enumeration functions report, whatever the lists hold
//   VELA_CLSIM_BAUD_MASK        supported-rates mask of baud-rate flags (default 0x1f)
//   VELA_CLSIM_OMIT             comma-separated entry points the library does not offer
//   VELA_CLSIM_FAIL             comma-separated entry points that return an error
//   VELA_CLSIM_LONG_NAMES=1     names fill the whole buffer with no terminator
//   VELA_CLSIM_OVERREPORT=1     clSerialRead reports more bytes than asked (and copies none extra)
//   VELA_CLSIM_INDEX_REFS=1     the port reference is the serial index, so port 0's is null
//   VELA_CLSIM_MODEL            model name of the cameras (default VELA-4K-MONO)
//   VELA_CLSIM_CAMERA_BAUD      rate the cameras listen at when first powered (default 9600)
//   VELA_CLSIM_PACED=1          answers arrive at the pace of the wire, 10 bits a byte
//   VELA_CLSIM_TRACE            file to which every call is appended as "<library file> <call> <args>"

#include <cstdint>
#include <string>
#include <vector>

namespace vela::sim::clserial {

using SerRef = void*;

// Return codes of the published Camera Link serial API.
constexpr std::int32_t kNoErr = 0;
constexpr std::int32_t kErrBufferTooSmall = -10001;
constexpr std::int32_t kErrManuDoesNotExist = -10002;
constexpr std::int32_t kErrPortInUse = -10003;
constexpr std::int32_t kErrTimeout = -10004;
constexpr std::int32_t kErrInvalidIndex = -10005;
constexpr std::int32_t kErrInvalidReference = -10006;
constexpr std::int32_t kErrErrorNotFound = -10007;
constexpr std::int32_t kErrBaudRateNotSupported = -10008;
constexpr std::int32_t kErrInvalidPtr = -10011;

// Plain C string work only: also called from the entry points' resolvers.
bool EnvListHas(const char* variable, const char* name);
bool Omitted(const char* entryPoint);
bool Failing(const char* entryPoint);
bool EnvFlag(const char* variable);
std::uint32_t EnvNumber(const char* variable, std::uint32_t fallback);

std::vector<std::string> Manufacturers();
std::uint32_t PortCount();
std::string PortIdentifier(std::uint32_t index);
// What clGetNumManufacturers / clGetNumPorts report for a list of `actual` entries.
std::uint32_t ReportedCount(std::uint32_t actual);
const char* ErrorText(std::int32_t code);  // nullptr for an unknown code

// Writes `name` into a caller's buffer of *size bytes, terminated, and sets *size to the
// bytes used; with VELA_CLSIM_LONG_NAMES the whole buffer is filled with no terminator.
std::int32_t CopyName(const std::string& name, char* buffer, std::uint32_t* size);

// Appends "<library file> <text>" to $VELA_CLSIM_TRACE.
void Trace(const std::string& text);

// The board's ports. All calls are safe from any thread.
std::int32_t SerialInit(std::uint32_t serialIndex, SerRef* serialRefPtr);
void SerialClose(SerRef serialRef);
std::int32_t SerialRead(SerRef serialRef, char* buffer, std::uint32_t* numBytes, std::uint32_t timeoutMs);
std::int32_t SerialWrite(SerRef serialRef, const char* buffer, std::uint32_t* numBytes,
                         std::uint32_t timeoutMs);
std::int32_t FlushPort(SerRef serialRef);
std::int32_t NumBytesAvail(SerRef serialRef, std::uint32_t* numBytes);
std::int32_t SupportedBaudRates(SerRef serialRef, std::uint32_t* baudRates);
// Only the rates of the mask, one flag at a time.
std::int32_t SetBaudRate(SerRef serialRef, std::uint32_t baudRate);

}  // namespace vela::sim::clserial

// Each entry point is an indirect function: its resolver gives no address when the
// entry point is omitted, so dlsym finds nothing, as with a library that lacks it.
#define VELA_CLSIM_ENTRY(ret, name, params, impl)                                    \
    extern "C" {                                                                     \
    __attribute__((visibility("hidden"))) auto Resolve_##name() -> decltype(&impl) { \
        return vela::sim::clserial::Omitted(#name) ? nullptr : &impl;                \
    }                                                                                \
    __attribute__((visibility("default"), ifunc("Resolve_" #name))) ret name params; \
    }
