#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "transport/librarychannel.h"

namespace vela {

// The libraries loaded by plain name through the loader's search order.
#ifdef _WIN32
inline constexpr const char* kCameraLink2001File = "clserial.dll";
inline constexpr const char* kCameraLinkVer11File = "clallserial.dll";
#else
inline constexpr const char* kCameraLink2001File = "libclserial.so";
inline constexpr const char* kCameraLinkVer11File = "libclallserial.so";
#endif

// The Camera Link serial API's baud-rate flag for `rate`; 0 for a rate it cannot name.
std::uint32_t CameraLinkBaudRateFlag(int rate);

// A frame grabber's Camera Link serial library, loaded at run time by file name, its
// entry points looked up by name. States: Unloaded, Loaded (during an enumeration or
// after a failed open) and Open. One subclass per generation of the library.
class CameraLinkSerialLibrary : public LibraryChannel {
  public:
    // Longest port list taken from a library: a count beyond it is a broken library.
    static constexpr std::uint32_t kMaxPorts = 256;
    // Size of every name buffer handed to a library.
    static constexpr std::uint32_t kNameBufferSize = 128;

    ~CameraLinkSerialLibrary() override;
    CameraLinkSerialLibrary(const CameraLinkSerialLibrary&) = delete;
    CameraLinkSerialLibrary& operator=(const CameraLinkSerialLibrary&) = delete;

    std::string GetPortName(int index) override;
    int Write(const char* buffer, int length, int timeoutMs) override;
    int Read(char* buffer, int length, int timeoutMs) override;
    void ClosePort() override;

    bool IsLoaded() const { return m_library != nullptr; }
    bool IsOpen() const { return m_open; }
    const std::vector<std::string>& portList() const { return m_portList; }
    // Why the last load failed ("" after a good one): the loader's text or the missing name.
    const std::string& loadError() const { return m_loadError; }

  protected:
    using SerRef = void*;

    // Every entry point the tool calls, in the published API's shape; the three that the
    // published headers lack take the arguments the 2001 generation gives them.
    struct Api {
        std::int32_t (*serialInit)(std::uint32_t serialIndex, SerRef* serialRefPtr) = nullptr;
        void (*serialClose)(SerRef serialRef) = nullptr;
        std::int32_t (*serialRead)(SerRef serialRef, char* buffer, std::uint32_t* numBytes,
                                   std::uint32_t serialTimeout) = nullptr;
        std::int32_t (*serialWrite)(SerRef serialRef, char* buffer, std::uint32_t* bufferSize,
                                    std::uint32_t serialTimeout) = nullptr;
        std::int32_t (*getSupportedBaudRates)(SerRef serialRef, std::uint32_t* baudRates) = nullptr;
        std::int32_t (*setBaudRate)(SerRef serialRef, std::uint32_t baudRate) = nullptr;
        std::int32_t (*getNumManufacturers)(std::uint32_t* count) = nullptr;
        std::int32_t (*getManufacturer)(std::uint32_t index, char* name, std::uint32_t* nameSize,
                                        std::uint32_t* version) = nullptr;
        std::int32_t (*selectManufacturer)(char* name) = nullptr;
        std::int32_t (*getNumPorts)(std::uint32_t* count) = nullptr;
        std::int32_t (*getPortInfo)(std::uint32_t serialIndex, char* manufacturerName,
                                    std::uint32_t* nameBytes, char* portId, std::uint32_t* idBytes,
                                    std::uint32_t* version) = nullptr;
    };

    // A loaded library (dlopen, LoadLibraryW) that is released when it goes out of scope unless taken.
    class Module {
      public:
        Module() = default;
        ~Module();
        Module(const Module&) = delete;
        Module& operator=(const Module&) = delete;

        // Opens `file` (a path, or a plain name for the loader's search order).
        bool Open(const std::string& file, std::string& error);
        // Looks `name` up into `entry`; false, with `error` naming it, when it is missing.
        template <typename Fn>
        bool Find(const char* name, Fn& entry, std::string& error);
        void* Take();
        // Unloads a handle taken from a module.
        static void Release(void* handle);

      private:
        void* Address(const char* name) const;

        void* m_handle = nullptr;
    };

    CameraLinkSerialLibrary() = default;

    // Opens `file` and looks up this generation's entry points in their order.
    bool LoadModule(Module& module, Api& api, const std::string& file);
    virtual bool FindEntryPoints(Module& module, Api& api, std::string& error) = 0;

    // Loads `file` as the library of the port about to open (after closing the old one).
    bool LoadForPort(const std::string& file);
    // Calls clSerialInit and records the reference when it succeeds.
    bool InitSerial(int serialIndex);
    // 2001 and 1.1: checks `rate` against the open port's mask and sets it.
    bool TrySetMaskedBaudRate(int rate);

    static std::string CutName(const char* buffer);

    std::vector<std::string> m_portList;
    Api m_api;  // of the loaded library; all null when unloaded

  private:
    void* m_library = nullptr;
    SerRef m_serialRef = nullptr;
    // A library may hand out a null reference for a good port, so openness is kept apart.
    bool m_open = false;
    std::string m_loadError;
};

// 2000 generation: every libclser*.so of the system directory ($CLSERIAL_SYSTEM_DIR, else
// /usr/lib) is a port, on Windows every clser*.dll of the Windows system directory (or
// $CLSERIAL_SYSTEM_DIR); its position in the list is also the library's serial index.
class CameraLink2000Library final : public CameraLinkSerialLibrary {
  public:
    // An empty `systemDirectory` is looked up at each use.
    explicit CameraLink2000Library(std::string systemDirectory = {});

    int GetPortCount() override;
    int OpenPort(int index) override;
    int SetBaudRate(int rate) override;

    std::string SystemDirectory() const;

  protected:
    bool FindEntryPoints(Module& module, Api& api, std::string& error) override;

  private:
    // The names (without folder) of the library files in `directory`, sorted.
    static std::vector<std::string> LibraryFiles(const std::string& directory);
    static std::string DefaultSystemDirectory();
    static std::string PathIn(const std::string& directory, const std::string& file);

    std::string m_systemDirectory;
};

// 2001 generation: libclserial.so (clserial.dll), one port per manufacturer; the manufacturer's position
// is also the serial index.
class CameraLink2001Library final : public CameraLinkSerialLibrary {
  public:
    explicit CameraLink2001Library(std::string file = kCameraLink2001File);

    int GetPortCount() override;
    int OpenPort(int index) override;
    int SetBaudRate(int rate) override;

  protected:
    bool FindEntryPoints(Module& module, Api& api, std::string& error) override;

  private:
    std::string m_file;
};

// Version 1.1: libclallserial.so (clallserial.dll), which lists the ports of every installed grabber.
class CameraLinkVer11Library final : public CameraLinkSerialLibrary {
  public:
    explicit CameraLinkVer11Library(std::string file = kCameraLinkVer11File);

    int GetPortCount() override;
    int OpenPort(int index) override;
    int SetBaudRate(int rate) override;

  protected:
    bool FindEntryPoints(Module& module, Api& api, std::string& error) override;

  private:
    std::string m_file;
    std::string m_openPortName;  // fills the message of a refused baud rate
};

}  // namespace vela
