// libclserial.so: a serial library of the 2001 generation, which reaches several
// manufacturers' grabbers: the tool selects a manufacturer, then opens a serial index.

#include <mutex>

#include "clserial/clsimentries.h"

using namespace vela::sim::clserial;

namespace {

std::mutex g_selectionMutex;
std::string g_selected;

std::int32_t GetNumManufacturers(std::uint32_t* count) {
    Trace("clGetNumManufacturers");
    if (Failing("clGetNumManufacturers")) return kInjectedError;
    if (!count) return kErrInvalidPtr;
    *count = ReportedCount(static_cast<std::uint32_t>(Manufacturers().size()));
    return kNoErr;
}

std::int32_t GetManufacturer(std::uint32_t index, char* name, std::uint32_t* nameSize,
                             std::uint32_t* version) {
    Trace("clGetManufacturer " + std::to_string(index));
    if (Failing("clGetManufacturer")) return kInjectedError;
    const std::vector<std::string> names = Manufacturers();
    if (index >= names.size()) return kErrInvalidIndex;
    if (version) *version = 0x11;
    return CopyName(names[index], name, nameSize);
}

std::int32_t SelectManufacturer(char* name) {
    Trace(std::string("clSelectManufacturer ") + (name ? name : "(null)"));
    if (Failing("clSelectManufacturer")) return kInjectedError;
    if (!name) return kErrInvalidPtr;
    for (const std::string& known : Manufacturers()) {
        if (known == name) {
            std::lock_guard lock(g_selectionMutex);
            g_selected = known;
            return kNoErr;
        }
    }
    return kErrManuDoesNotExist;
}

std::int32_t SelectedSerialInit(std::uint32_t serialIndex, SerRef* serialRefPtr) {
    {
        std::lock_guard lock(g_selectionMutex);
        if (g_selected.empty()) {
            Trace("clSerialInit " + std::to_string(serialIndex) + " without a manufacturer");
            return kErrManuDoesNotExist;
        }
    }
    return EntrySerialInit(serialIndex, serialRefPtr);
}

std::int32_t GetErrorText(std::int32_t errorCode, char* errorText, std::uint32_t* errorTextSize) {
    return EntryGetErrorText(errorCode, errorText, errorTextSize);
}

}  // namespace

VELA_CLSIM_ENTRY(std::int32_t, clGetManufacturer, (std::uint32_t, char*, std::uint32_t*, std::uint32_t*),
                 GetManufacturer)
VELA_CLSIM_ENTRY(std::int32_t, clGetNumManufacturers, (std::uint32_t*), GetNumManufacturers)
VELA_CLSIM_ENTRY(std::int32_t, clSelectManufacturer, (char*), SelectManufacturer)
VELA_CLSIM_ENTRY(std::int32_t, clGetNumSerialPorts, (std::uint32_t*), EntryGetNumSerialPorts)
VELA_CLSIM_ENTRY(std::int32_t, clGetSerialPortIdentifier, (std::uint32_t, char*, std::uint32_t*),
                 EntryGetSerialPortIdentifier)
VELA_CLSIM_ENTRY(std::int32_t, clSerialInit, (std::uint32_t, SerRef*), SelectedSerialInit)
VELA_CLSIM_ENTRY(void, clSerialClose, (SerRef), EntrySerialClose)
VELA_CLSIM_ENTRY(std::int32_t, clSerialRead, (SerRef, char*, std::uint32_t*, std::uint32_t), EntrySerialRead)
VELA_CLSIM_ENTRY(std::int32_t, clSerialWrite, (SerRef, char*, std::uint32_t*, std::uint32_t),
                 EntrySerialWrite)
VELA_CLSIM_ENTRY(std::int32_t, clGetSupportedBaudRates, (SerRef, std::uint32_t*), EntryGetSupportedBaudRates)
VELA_CLSIM_ENTRY(std::int32_t, clSetBaudRate, (SerRef, std::uint32_t), EntrySetBaudRate)
VELA_CLSIM_ENTRY(std::int32_t, clGetErrorText, (std::int32_t, char*, std::uint32_t*), GetErrorText)
