#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/regstore.h"

namespace vela {

enum SettingId : int {
    PreviousShutdownStatus = 0,
    CommunicationMode = 1,
    Baudrate = 2,
    ComPortNo = 3,
    CameraLink2000DllIndex = 4,
    CameraLink2001DllIndex = 5,
    CameraLinkVer11DllIndex = 6,
    ControlModeSetting = 7,
    CameraFilePath = 8,
    CommandLogFilePath = 9,
    // Added later: a settings file without it means off.
    FastAnswersSetting = 10,
};

// The tool's preferences: named values under one key, kept in a REGEDIT4 text file
// (<config>/VELA-4K Control Tool.reg). Every operation reads the file; every write
// replaces it atomically. A missing file is a missing key: the first access creates it
// and counts as failed. A damaged file reads as missing values and is never made worse.
class RegistrySettings {
  public:
    // Reads the shutdown marker and writes 0 in its place.
    explicit RegistrySettings(std::string filePath = DefaultFilePath());
    ~RegistrySettings();  // writes the shutdown marker 1
    RegistrySettings(const RegistrySettings&) = delete;
    RegistrySettings& operator=(const RegistrySettings&) = delete;

    static RegistrySettings& Instance();
    static std::string DefaultFilePath();
    static const char* ValueName(int id);  // nullptr for an invalid id
    // A whole-number value as another program reads it: the shutdown marker stays as it
    // is and a missing file or key is not created. Nothing when the value is missing.
    static std::optional<std::int32_t> PeekInt(const std::string& filePath, int id);

    int GetInt(int id, std::int32_t& out, std::int32_t defaultValue);
    int SetInt(int id, std::int32_t value);
    int SetString(int id, const std::string& text);
    int GetString(int id, std::string& out);
    int GetPath(int id, std::string& out);
    bool PreviousShutdownWasNormal() const { return m_previousShutdownStatus == 1; }

    const std::string& filePath() const { return m_filePath; }

  private:
    // One value of the key, or nothing when the key, the value or its room is missing.
    std::optional<RegStore::Value> Query(int id) const;
    int Store(int id, const RegStore::Value& value);

    std::string m_filePath;
    std::int32_t m_previousShutdownStatus = 0;
};

// The user (0) or factory (1) control mode, loaded from the settings on first use and
// saved when the process ends.
class ControlMode {
  public:
    explicit ControlMode(RegistrySettings* settings);
    ~ControlMode();
    ControlMode(const ControlMode&) = delete;
    ControlMode& operator=(const ControlMode&) = delete;

    static ControlMode& Instance();

    int Get() const { return m_mode; }
    void Set(int mode) { m_mode = mode; }
    bool IsFactory() const { return m_mode == 1; }

  private:
    RegistrySettings* m_settings;
    int m_mode = 0;
};

}  // namespace vela
