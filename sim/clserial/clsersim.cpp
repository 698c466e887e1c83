// libclsersim.so: a serial library of the 2000 generation (the four calls of the first
// Camera Link serial API) with the later published companions.

#include "clserial/clsimentries.h"

using namespace vela::sim::clserial;

namespace {

std::int32_t GetManufacturerInfo(char* manufacturerName, std::uint32_t* bufferSize, std::uint32_t* version) {
    Trace("clGetManufacturerInfo");
    if (Failing("clGetManufacturerInfo")) return kInjectedError;
    if (version) *version = 0x10;  // CL_DLL_VERSION_1_0
    return CopyName(Manufacturers().front(), manufacturerName, bufferSize);
}

std::int32_t GetErrorText(std::int32_t errorCode, char* errorText, std::uint32_t* errorTextSize) {
    return EntryGetErrorText(errorCode, errorText, errorTextSize);
}

}  // namespace

VELA_CLSIM_ENTRY(std::int32_t, clSerialInit, (std::uint32_t, SerRef*), EntrySerialInit)
VELA_CLSIM_ENTRY(void, clSerialClose, (SerRef), EntrySerialClose)
VELA_CLSIM_ENTRY(std::int32_t, clSerialRead, (SerRef, char*, std::uint32_t*, std::uint32_t), EntrySerialRead)
VELA_CLSIM_ENTRY(std::int32_t, clSerialWrite, (SerRef, char*, std::uint32_t*, std::uint32_t),
                 EntrySerialWrite)
VELA_CLSIM_ENTRY(std::int32_t, clGetErrorText, (std::int32_t, char*, std::uint32_t*), GetErrorText)
VELA_CLSIM_ENTRY(std::int32_t, clGetNumSerialPorts, (std::uint32_t*), EntryGetNumSerialPorts)
VELA_CLSIM_ENTRY(std::int32_t, clGetSerialPortIdentifier, (std::uint32_t, char*, std::uint32_t*),
                 EntryGetSerialPortIdentifier)
VELA_CLSIM_ENTRY(std::int32_t, clGetManufacturerInfo, (char*, std::uint32_t*, std::uint32_t*),
                 GetManufacturerInfo)
VELA_CLSIM_ENTRY(std::int32_t, clGetNumBytesAvail, (SerRef, std::uint32_t*), EntryGetNumBytesAvail)
VELA_CLSIM_ENTRY(std::int32_t, clFlushPort, (SerRef), EntryFlushPort)
VELA_CLSIM_ENTRY(std::int32_t, clGetSupportedBaudRates, (SerRef, std::uint32_t*), EntryGetSupportedBaudRates)
VELA_CLSIM_ENTRY(std::int32_t, clSetBaudRate, (SerRef, std::uint32_t), EntrySetBaudRate)
