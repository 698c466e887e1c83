#pragma once

// Entry-point bodies shared by the simulated libraries of every generation. Each traces
// its call and gives the error of VELA_CLSIM_FAIL before it does anything.

#include <cstdint>
#include <string>

#include "clserial/clsimboard.h"

namespace vela::sim::clserial {

// The error an entry point named in VELA_CLSIM_FAIL returns.
constexpr std::int32_t kInjectedError = kErrInvalidIndex;

// Written bytes as one trace line: CR and LF shown as \r and \n.
inline std::string Escaped(const char* bytes, std::uint32_t count) {
    std::string text;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (bytes[i] == '\r')
            text += "\\r";
        else if (bytes[i] == '\n')
            text += "\\n";
        else
            text += bytes[i];
    }
    return text;
}

inline std::int32_t EntrySerialInit(std::uint32_t serialIndex, SerRef* serialRefPtr) {
    Trace("clSerialInit " + std::to_string(serialIndex));
    if (Failing("clSerialInit")) return kInjectedError;
    return SerialInit(serialIndex, serialRefPtr);
}

inline void EntrySerialClose(SerRef serialRef) {
    Trace("clSerialClose");
    SerialClose(serialRef);
}

inline std::int32_t EntrySerialRead(SerRef serialRef, char* buffer, std::uint32_t* numBytes,
                                    std::uint32_t serialTimeout) {
    if (Failing("clSerialRead")) return kInjectedError;
    return SerialRead(serialRef, buffer, numBytes, serialTimeout);
}

inline std::int32_t EntrySerialWrite(SerRef serialRef, char* buffer, std::uint32_t* bufferSize,
                                     std::uint32_t serialTimeout) {
    Trace("clSerialWrite " + (bufferSize && buffer ? Escaped(buffer, *bufferSize) : std::string()));
    if (Failing("clSerialWrite")) return kInjectedError;
    return SerialWrite(serialRef, buffer, bufferSize, serialTimeout);
}

inline std::int32_t EntryFlushPort(SerRef serialRef) {
    Trace("clFlushPort");
    if (Failing("clFlushPort")) return kInjectedError;
    return FlushPort(serialRef);
}

inline std::int32_t EntryGetNumBytesAvail(SerRef serialRef, std::uint32_t* numBytes) {
    if (Failing("clGetNumBytesAvail")) return kInjectedError;
    return NumBytesAvail(serialRef, numBytes);
}

inline std::int32_t EntryGetSupportedBaudRates(SerRef serialRef, std::uint32_t* baudRates) {
    Trace("clGetSupportedBaudRates");
    if (Failing("clGetSupportedBaudRates")) return kInjectedError;
    return SupportedBaudRates(serialRef, baudRates);
}

inline std::int32_t EntrySetBaudRate(SerRef serialRef, std::uint32_t baudRate) {
    Trace("clSetBaudRate " + std::to_string(baudRate));
    if (Failing("clSetBaudRate")) return kInjectedError;
    return SetBaudRate(serialRef, baudRate);
}

inline std::int32_t EntryGetErrorText(std::int32_t errorCode, char* errorText, std::uint32_t* errorTextSize) {
    Trace("clGetErrorText " + std::to_string(errorCode));
    if (Failing("clGetErrorText")) return kInjectedError;
    const char* text = ErrorText(errorCode);
    if (!text) return kErrErrorNotFound;
    return CopyName(text, errorText, errorTextSize);
}

inline std::int32_t EntryGetNumSerialPorts(std::uint32_t* numSerialPorts) {
    Trace("clGetNumSerialPorts");
    if (Failing("clGetNumSerialPorts")) return kInjectedError;
    if (!numSerialPorts) return kErrInvalidPtr;
    *numSerialPorts = ReportedCount(PortCount());
    return kNoErr;
}

inline std::int32_t EntryGetSerialPortIdentifier(std::uint32_t serialIndex, char* portId,
                                                 std::uint32_t* bufferSize) {
    Trace("clGetSerialPortIdentifier " + std::to_string(serialIndex));
    if (Failing("clGetSerialPortIdentifier")) return kInjectedError;
    if (serialIndex >= PortCount()) return kErrInvalidIndex;
    return CopyName(PortIdentifier(serialIndex), portId, bufferSize);
}

}  // namespace vela::sim::clserial
