#include <windows.h>

#include <vector>

#include "app/settingskey.h"
#include "platform/win32text.h"

namespace vela {
namespace {

// Room for 512 characters: the limit of 512 bytes of text applies to the UTF-8 text, as
// on Linux (RegistrySettings checks it), not to the registry's two bytes per character.
constexpr DWORD kQueryBufferSize = 512 * sizeof(wchar_t);

// "HKEY_LOCAL_MACHINE\sub\key" split into its root and the path below it.
bool SplitKeyPath(const std::string& location, HKEY& root, std::wstring& subKey) {
    static const struct {
        const char* name;
        HKEY root;
    } kRoots[] = {{"HKEY_LOCAL_MACHINE\\", HKEY_LOCAL_MACHINE}, {"HKEY_CURRENT_USER\\", HKEY_CURRENT_USER}};
    for (const auto& r : kRoots) {
        const std::string prefix = r.name;
        if (location.compare(0, prefix.size(), prefix) == 0) {
            root = r.root;
            subKey = Widen(location.substr(prefix.size()));
            return true;
        }
    }
    return false;
}

// The key with full access, or null. A missing key is created (non-volatile) and closed
// again when asked: the operation in progress then counts as failed.
HKEY OpenKey(const std::string& location, bool createMissingKey) {
    HKEY root = nullptr;
    std::wstring subKey;
    if (!SplitKeyPath(location, root, subKey)) return nullptr;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) return key;
    if (createMissingKey && ::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                              KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        ::RegCloseKey(key);
    }
    return nullptr;
}

}  // namespace

std::string DefaultSettingsLocation() {
    return kSettingsKeyPath;
}

std::optional<RegStore::Value> ReadSettingValue(const std::string& location, const std::string& name,
                                                bool createMissingKey) {
    HKEY key = OpenKey(location, createMissingKey);
    if (!key) return std::nullopt;
    std::vector<BYTE> data(kQueryBufferSize);
    DWORD size = kQueryBufferSize;
    DWORD type = 0;
    const LONG status = ::RegQueryValueExW(key, Widen(name).c_str(), nullptr, &type, data.data(), &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    RegStore::Value value;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        value.type = RegStore::Value::Type::Dword;
        value.dword = static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                      static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
        return value;
    }
    // Any other type is read as text up to its first zero.
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    value.type = RegStore::Value::Type::String;
    value.text = Narrow(text.substr(0, text.find(L'\0')));
    return value;
}

bool WriteSettingValue(const std::string& location, const std::string& name, const RegStore::Value& value) {
    HKEY key = OpenKey(location, true);
    if (!key) return false;
    LONG status;
    if (value.type == RegStore::Value::Type::Dword) {
        const DWORD dword = value.dword;
        status = ::RegSetValueExW(key, Widen(name).c_str(), 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&dword), sizeof dword);
    } else {
        const std::wstring text = Widen(value.text);
        status =
            ::RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace vela
