#include "app/registrysettings.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "app/regstore.h"
#include "app/settingskey.h"

namespace vela {
namespace {

constexpr const char* kValueNames[] = {
    "Previous Application Shutdown Status",
    "Communication Mode",
    "Baudrate",
    "Com Port No",
    "Cameralink 2000 Dll Index",
    "Cameralink 2001 Dll Index",
    "Cameralink Ver11 Dll Index",
    "Control Mode",
    "Camera File Path",
    "Command Log File Path",
    "Fast Answers",
};
constexpr int kValueCount = static_cast<int>(std::size(kValueNames));
// The registry query's data buffer: a value whose data does not fit counts as missing.
constexpr size_t kQueryBufferSize = 512;

// Decimal conversion of a string value: leading blanks skipped, optional sign, digits up
// to the first non-digit; no digits gives 0. Saturates instead of overflowing.
std::int32_t TextToInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                               text[i] == '\f' || text[i] == '\v'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        v = v * 10 + (text[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    return static_cast<std::int32_t>(v);
}

}  // namespace

RegistrySettings::RegistrySettings(std::string filePath) : m_filePath(std::move(filePath)) {
    GetInt(PreviousShutdownStatus, m_previousShutdownStatus, 0);
    SetInt(PreviousShutdownStatus, 0);
}

RegistrySettings::~RegistrySettings() {
    SetInt(PreviousShutdownStatus, 1);
}

std::optional<std::int32_t> RegistrySettings::PeekInt(const std::string& filePath, int id) {
    const char* name = ValueName(id);
    if (!name) return std::nullopt;
    const std::optional<RegStore::Value> v = ReadSettingValue(filePath, name, false);
    if (!v) return std::nullopt;
    if (v->type == RegStore::Value::Type::Dword) return static_cast<std::int32_t>(v->dword);
    return TextToInt(v->text);
}

RegistrySettings& RegistrySettings::Instance() {
    static RegistrySettings settings;
    return settings;
}

std::string RegistrySettings::DefaultFilePath() {
    return DefaultSettingsLocation();
}

const char* RegistrySettings::ValueName(int id) {
    return id >= 0 && id < kValueCount ? kValueNames[id] : nullptr;
}

std::optional<RegStore::Value> RegistrySettings::Query(int id) const {
    const char* name = ValueName(id);
    if (!name) return std::nullopt;
    auto v = ReadSettingValue(m_filePath, name, true);
    // Data that does not fit the query buffer (with its terminating zero) counts as missing.
    if (v && v->type == RegStore::Value::Type::String && v->text.size() + 1 > kQueryBufferSize)
        return std::nullopt;
    return v;
}

int RegistrySettings::Store(int id, const RegStore::Value& value) {
    const char* name = ValueName(id);
    if (!name) return 0;
    return WriteSettingValue(m_filePath, name, value) ? 1 : 0;
}

int RegistrySettings::GetInt(int id, std::int32_t& out, std::int32_t defaultValue) {
    out = defaultValue;
    auto v = Query(id);
    if (!v) return 0;
    out = v->type == RegStore::Value::Type::Dword ? static_cast<std::int32_t>(v->dword) : TextToInt(v->text);
    return 1;
}

int RegistrySettings::GetString(int id, std::string& out) {
    auto v = Query(id);
    if (!v) return 0;
    if (v->type == RegStore::Value::Type::Dword) {
        // A DWORD's four bytes read as text stop at their first zero byte.
        std::string bytes;
        for (int i = 0; i < 4; ++i) {
            char c = static_cast<char>((v->dword >> (8 * i)) & 0xff);
            if (c == '\0') break;
            bytes.push_back(c);
        }
        out = bytes;
        return 1;
    }
    out = v->text.substr(0, v->text.find('\0'));
    return 1;
}

int RegistrySettings::SetInt(int id, std::int32_t value) {
    RegStore::Value v;
    v.type = RegStore::Value::Type::Dword;
    v.dword = static_cast<std::uint32_t>(value);
    return Store(id, v);
}

int RegistrySettings::SetString(int id, const std::string& text) {
    RegStore::Value v;
    v.type = RegStore::Value::Type::String;
    // The stored data ends at the text's first zero byte, as a C string would.
    v.text = text.substr(0, text.find('\0'));
    return Store(id, v);
}

int RegistrySettings::GetPath(int id, std::string& out) {
    std::string path;
    if (id <= 9 && GetString(id, path) && !path.empty() && path.size() < 260) {
        std::error_code ec;
        auto full = std::filesystem::absolute(path, ec);
        if (!ec && std::filesystem::exists(full, ec)) {
            out = path;
            return 1;
        }
    }
    std::error_code ec;
    auto cwd = std::filesystem::current_path(ec);
    out = ec ? std::string() : cwd.string();
    return 0;
}

ControlMode::ControlMode(RegistrySettings* settings) : m_settings(settings) {
    if (m_settings) {
        std::int32_t v = 0;
        m_settings->GetInt(ControlModeSetting, v, 0);
        m_mode = v;
    }
}

ControlMode::~ControlMode() {
    if (m_settings) m_settings->SetInt(ControlModeSetting, m_mode);
}

ControlMode& ControlMode::Instance() {
    // Constructing the settings first makes them outlive the control mode, which saves
    // itself before the shutdown marker is written.
    static ControlMode mode(&RegistrySettings::Instance());
    return mode;
}

}  // namespace vela
