// libclallserial.so: a serial library of version 1.1, which lists the ports of every
// grabber in the machine, each with its manufacturer and port identifier.

#include "clserial/clsimentries.h"

using namespace vela::sim::clserial;

namespace {

std::int32_t GetNumPorts(std::uint32_t* numPorts) {
    Trace("clGetNumPorts");
    if (Failing("clGetNumPorts")) return kInjectedError;
    if (!numPorts) return kErrInvalidPtr;
    *numPorts = ReportedCount(PortCount());
    return kNoErr;
}

std::int32_t GetPortInfo(std::uint32_t serialIndex, char* manufacturerName, std::uint32_t* nameBytes,
                         char* portId, std::uint32_t* idBytes, std::uint32_t* version) {
    Trace("clGetPortInfo " + std::to_string(serialIndex));
    if (Failing("clGetPortInfo")) return kInjectedError;
    if (serialIndex >= PortCount()) return kErrInvalidIndex;
    const std::vector<std::string> names = Manufacturers();
    if (version) *version = 0x11;  // CL_DLL_VERSION_1_1
    const std::int32_t result = CopyName(names[serialIndex % names.size()], manufacturerName, nameBytes);
    if (result != kNoErr) return result;
    return CopyName(PortIdentifier(serialIndex), portId, idBytes);
}

// Version 1.1 names the manufacturer whose error text is wanted.
std::int32_t GetErrorText(const char*, std::int32_t errorCode, char* errorText,
                          std::uint32_t* errorTextSize) {
    return EntryGetErrorText(errorCode, errorText, errorTextSize);
}

}  // namespace

VELA_CLSIM_ENTRY(std::int32_t, clSerialInit, (std::uint32_t, SerRef*), EntrySerialInit)
VELA_CLSIM_ENTRY(void, clSerialClose, (SerRef), EntrySerialClose)
VELA_CLSIM_ENTRY(std::int32_t, clSetBaudRate, (SerRef, std::uint32_t), EntrySetBaudRate)
VELA_CLSIM_ENTRY(std::int32_t, clSerialRead, (SerRef, char*, std::uint32_t*, std::uint32_t), EntrySerialRead)
VELA_CLSIM_ENTRY(std::int32_t, clSerialWrite, (SerRef, char*, std::uint32_t*, std::uint32_t),
                 EntrySerialWrite)
VELA_CLSIM_ENTRY(std::int32_t, clFlushPort, (SerRef), EntryFlushPort)
VELA_CLSIM_ENTRY(std::int32_t, clGetErrorText, (const char*, std::int32_t, char*, std::uint32_t*),
                 GetErrorText)
VELA_CLSIM_ENTRY(std::int32_t, clGetNumPorts, (std::uint32_t*), GetNumPorts)
VELA_CLSIM_ENTRY(std::int32_t, clGetNumBytesAvail, (SerRef, std::uint32_t*), EntryGetNumBytesAvail)
VELA_CLSIM_ENTRY(std::int32_t, clGetPortInfo,
                 (std::uint32_t, char*, std::uint32_t*, char*, std::uint32_t*, std::uint32_t*), GetPortInfo)
VELA_CLSIM_ENTRY(std::int32_t, clGetSupportedBaudRates, (SerRef, std::uint32_t*), EntryGetSupportedBaudRates)
