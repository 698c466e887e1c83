#pragma once

#include <optional>
#include <string>

#include "app/regstore.h"

namespace vela {

// The key that holds the tool's settings. On Linux its REGEDIT4 mirror, a text file; on
// Windows the registry key itself.
inline constexpr const char* kSettingsKeyPath = "HKEY_LOCAL_MACHINE\\Software\\Corvane\\VELA-4K Control Tool";

// Where the settings live by default: the .reg file in <config> (Linux), the key above
// (Windows).
std::string DefaultSettingsLocation();

// One value, the key opened and closed around the call. A missing key is created when
// `createMissingKey` (and the read then fails, as the registry's would); nothing when
// the key or the value is missing or unreadable.
std::optional<RegStore::Value> ReadSettingValue(const std::string& location, const std::string& name,
                                                bool createMissingKey);
// Stores one value; false when the key is missing (it is created for the next access) or
// the write failed.
bool WriteSettingValue(const std::string& location, const std::string& name, const RegStore::Value& value);

}  // namespace vela
