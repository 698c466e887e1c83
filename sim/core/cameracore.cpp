#include "core/cameracore.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <limits>
#include <string_view>

namespace vela::sim {
namespace {

// What a command is to the camera.
enum class Role {
    Param,     // a stored integer with a range or a list of item values
    ReadOnly,  // an integer the camera reports and refuses to take
    Text,      // identity text: MD, ID, UD, DV, DVN and their write forms
    Action,    // a write that starts something; a query answers 0
    Special,   // CBDRT, LUTD, HP: handled by name
};

constexpr long long kMaxInt = std::numeric_limits<int>::max();

struct CommandDef {
    const char* name;
    Role role;
    long long min;
    long long max;
    long long def;
    bool inArea;  // stored into and loaded from the flash areas
    std::array<long long, 6> items;
    int itemCount;  // 0: any value in min..max
};

// The camera's own table of its 90 commands, in id order.
constexpr CommandDef kCommands[] = {
    {"EB", Role::Param, 0, 1, 0, false, {}, 0},
    {"ST", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"HP", Role::Special, 0, 0, 0, false, {}, 0},
    {"VN", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PV", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"ID", Role::Text, 0, 0, 0, false, {}, 0},
    {"UD", Role::Text, 0, 0, 0, false, {}, 0},
    {"DVN", Role::Text, 0, 0, 0, false, {}, 0},
    {"MD", Role::Text, 0, 0, 0, false, {}, 0},
    {"DV", Role::Text, 0, 0, 0, false, {}, 0},
    {"SBDRT", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"CBDRT", Role::Special, 0, 0, 0, false, {1, 2, 4, 8, 16}, 5},
    {"CRS00", Role::Action, 1, 1, 0, false, {}, 0},
    {"TG", Role::Param, 0, 1, 0, true, {}, 0},
    {"TI", Role::Param, 0, 1, 0, true, {}, 0},
    {"TA", Role::Param, 0, 3, 0, true, {}, 0},
    {"ARST", Role::Param, 0, 1, 0, true, {}, 0},
    {"EM", Role::Param, 0, 2, 0, true, {}, 0},
    {"PE", Role::Param, 0, kMaxInt, 500, true, {}, 0},
    {"ASC", Role::Param, 0, 2, 0, true, {}, 0},
    {"ASCEA", Role::Param, 0, kMaxInt, 10000, true, {}, 0},
    {"ASCEI", Role::Param, 0, kMaxInt, 100, true, {}, 0},
    {"ASRS", Role::Action, 0, 1, 0, false, {}, 0},
    {"LR", Role::Param, 0, kMaxInt, 5000, true, {}, 0},
    {"AR", Role::Action, 0, 0, 0, false, {}, 0},
    {"AL", Role::Param, 0, 1023, 512, true, {}, 0},
    {"ARMIN", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PEMAX", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PEMIN", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"BI", Role::Param, 0, 1, 0, true, {}, 0},
    {"HB", Role::Param, 1, 2, 1, true, {1, 2}, 2},
    {"HBM", Role::Param, 0, 1, 0, true, {}, 0},
    {"BA", Role::Param, 0, 1, 0, true, {}, 0},
    {"TAGM", Role::Param, 0, 4, 0, true, {}, 0},
    {"CLC", Role::Param, 0, 3, 0, true, {}, 0},
    {"TS", Role::Param, 0, 3, 0, true, {}, 0},
    {"GA", Role::Param, 100, 1600, 100, true, {}, 0},
    {"AGC", Role::Param, 0, 2, 0, true, {}, 0},
    {"ALCS", Role::Param, 1, 8, 4, true, {}, 0},
    {"AGCF", Role::Param, 20, 95, 50, true, {}, 0},
    {"AGCGA", Role::Param, 101, 1600, 1600, true, {}, 0},
    {"AGCGI", Role::Param, 100, 1599, 100, true, {}, 0},
    {"AGRS", Role::Action, 0, 1, 0, false, {}, 0},
    {"ABG", Role::Param, 0, 3, 0, true, {}, 0},
    {"BL", Role::Param, -133, 255, 0, true, {}, 0},
    {"SDC", Role::Param, 0, 2, 0, true, {}, 0},
    {"SDR", Role::Action, 0, 0, 0, false, {}, 0},
    {"SDS", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PGC", Role::Param, 1, 2, 1, true, {1, 2}, 2},
    {"PGR", Role::Action, 0, 0, 0, false, {}, 0},
    {"PGS", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PBC", Role::Param, 1, 2, 1, true, {1, 2}, 2},
    {"PBR", Role::Action, 0, 0, 0, false, {}, 0},
    {"PBS", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"LUN", Role::Param, 0, 2, 0, true, {}, 0},
    {"LUTI", Role::Param, 0, 255, 0, false, {}, 0},
    {"LUTD", Role::Special, 0, 4095, 0, false, {}, 0},
    {"GMA", Role::Param, 0, 8, 8, true, {}, 0},
    {"TMP0", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"TMPS0", Role::Param, 0, 3, 0, true, {}, 0},
    {"LS0", Role::Param, 0, 7, 0, true, {0, 1, 4, 5, 6, 7}, 6},
    {"SS", Role::Param, 0, 1, 0, true, {}, 0},
    {"MF", Role::Param, 0, 1, 0, true, {}, 0},
    {"LD", Role::Action, 0, 3, 0, false, {}, 0},
    {"SA", Role::Action, 1, 3, 0, false, {}, 0},
    {"EA", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"SA00", Role::Action, 0, 0, 0, false, {}, 0},
    {"ST00", Role::Param, 0, 1, 0, false, {}, 0},
    {"ULCK", Role::Action, CameraCore::kUnlockCode, CameraCore::kUnlockCode, 0, false, {}, 0},
    {"ID00", Role::Text, 0, 0, 0, false, {}, 0},
    {"MD00", Role::Text, 0, 0, 0, false, {}, 0},
    {"GA4A00", Role::Param, 50, 200, 50, true, {}, 0},
    {"GA4B00", Role::Param, 50, 200, 50, true, {}, 0},
    {"GA8K00", Role::Param, 50, 200, 50, true, {}, 0},
    {"BL4A00", Role::Param, 0, 255, 0, true, {}, 0},
    {"BL4B00", Role::Param, 0, 255, 0, true, {}, 0},
    {"BL8K00", Role::Param, 0, 255, 0, true, {}, 0},
    {"BAS00", Role::Param, 0, 1, 0, false, {}, 0},
    {"SDR00", Role::Action, 0, 0, 0, false, {}, 0},
    {"SDS00", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PGR00", Role::Action, 0, 0, 0, false, {}, 0},
    {"PGS00", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"PBR00", Role::Action, 0, 0, 0, false, {}, 0},
    {"PBS00", Role::ReadOnly, 0, 0, 0, false, {}, 0},
    {"BYP0", Role::Param, 0, 1, 0, true, {}, 0},
    {"XMLVR", Role::Param, 0, 999, 0, false, {}, 0},
    {"DV00", Role::Text, 0, 0, 0, false, {}, 0},
    {"GA00", Role::Param, 50, 200, 50, true, {}, 0},
    {"PGC00", Role::Param, 0, 1, 0, true, {}, 0},
    {"PBC00", Role::Param, 0, 1, 0, true, {}, 0},
};
static_assert(std::size(kCommands) == CameraCore::kCommandCount);

constexpr std::size_t IdOf(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        if (name == kCommands[i].name) return i;
    }
    return std::size(kCommands);
}
constexpr std::size_t kIdLR = IdOf("LR");
constexpr std::size_t kIdLUTI = IdOf("LUTI");
constexpr std::size_t kIdTMPS0 = IdOf("TMPS0");
constexpr std::size_t kIdBAS00 = IdOf("BAS00");
constexpr std::size_t kIdXMLVR = IdOf("XMLVR");
static_assert(kIdLR < 90 && kIdLUTI < 90 && kIdTMPS0 < 90 && kIdBAS00 < 90 && kIdXMLVR < 90);

// Start and status command of each recalibration, in the same order.
constexpr const char* kRecalStart[6] = {"SDR", "PGR", "PBR", "SDR00", "PGR00", "PBR00"};
constexpr const char* kRecalStatus[6] = {"SDS", "PGS", "PBS", "SDS00", "PGS00", "PBS00"};

constexpr int kBaudRates[5] = {9600, 19200, 38400, 57600, 115200};

// Temperatures in degrees Celsius by TMPS0: sensor, sensor board, interface board, FPGA.
constexpr long long kTemperatures[4] = {42, 38, 40, 51};

constexpr std::size_t kMaxModelLength = 32;
constexpr std::size_t kCameraIdLength = 10;
constexpr std::size_t kUserIdLength = 16;
constexpr std::size_t kDeviceVersionLength = 16;

int FindId(std::string_view upperName) {
    for (int i = 0; i < CameraCore::kCommandCount; ++i) {
        if (upperName == kCommands[i].name) return i;
    }
    return -1;
}

const CommandDef* FindDef(std::string_view upperName) {
    int id = FindId(upperName);
    return id < 0 ? nullptr : &kCommands[id];
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool Printable(const std::string& s, bool allowSpace) {
    return std::all_of(s.begin(), s.end(), [allowSpace](char c) {
        auto u = static_cast<unsigned char>(c);
        return (u > 0x20 && u < 0x7F) || (allowSpace && u == 0x20);
    });
}

// Decimal with an optional sign, or &H hexadecimal; nothing else, and no overflow.
std::optional<long long> ParseInteger(const std::string& text) {
    std::string t = Trim(text);
    if (t.empty()) return std::nullopt;
    int base = 10;
    std::size_t i = 0;
    bool negative = false;
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
        base = 16;
        i = 2;
    } else if (t[0] == '+' || t[0] == '-') {
        negative = t[0] == '-';
        i = 1;
    }
    if (i >= t.size()) return std::nullopt;
    long long value = 0;
    for (; i < t.size(); ++i) {
        int digit;
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        if (value > (std::numeric_limits<long long>::max() - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    return negative ? -value : value;
}

bool Accepts(const CommandDef& d, long long v) {
    if (d.itemCount > 0) {
        return std::find(d.items.begin(), d.items.begin() + d.itemCount, v) != d.items.begin() + d.itemCount;
    }
    return v >= d.min && v <= d.max;
}

std::vector<std::string> One(std::string line) {
    return std::vector<std::string>{std::move(line)};
}

}  // namespace

CameraCore::CameraCore(CameraOptions options) : m_options(std::move(options)) {
    m_baudRate = BaudCode(m_options.baudRate) != 0 ? m_options.baudRate : 9600;
    for (int i = 0; i < kCommandCount; ++i) m_values[static_cast<std::size_t>(i)] = kCommands[i].def;
    m_values[kIdXMLVR] = m_options.xmlVersion;
    // Entry i feeds input level 16 i through unchanged; the last one reaches full scale.
    for (int i = 0; i < kLutSize; ++i) m_lut[static_cast<std::size_t>(i)] = i == kLutSize - 1 ? 4095 : 16 * i;
    for (Area& a : m_areas) a = Snapshot();
    m_model = m_options.model;
    m_cameraId = m_options.cameraId;
    m_userId = m_options.userId;
    m_deviceVersion = m_options.deviceVersion;
    for (Recalibration& r : m_recalibrations) r.result = 1;
}

long long CameraCore::Now() const {
    if (m_options.clockMs) return m_options.clockMs();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void CameraCore::Settle() {
    if (m_onePushDue >= 0 && Now() >= m_onePushDue) {
        m_values[kIdLR] = m_onePushValue;
        m_onePushDue = -1;
    }
}

std::vector<std::string> CameraCore::HandleLine(const std::string& rawLine) {
    m_answerDelayMs = std::max(0, m_options.processingDelayMs);
    m_lastError.clear();
    Settle();
    if (m_silentUntil >= 0) {
        if (Now() < m_silentUntil) return {};
        m_silentUntil = -1;
    }
    std::string line = Trim(rawLine);
    if (line.empty()) return {};

    // The unlock holds for the one line that follows it.
    bool unlocked = m_unlocked;
    m_unlocked = false;

    std::size_t pos = line.find('=');
    char op = '=';
    if (pos == std::string::npos) {
        pos = line.find('?');
        op = '?';
    }
    if (pos == std::string::npos) return Refuse("no '=' or '?' in the line");
    std::string name = Upper(Trim(line.substr(0, pos)));
    if (FindDef(name) == nullptr) return Refuse("unknown command " + name);
    auto extra = m_options.commandDelayMs.find(name);
    if (extra != m_options.commandDelayMs.end()) m_answerDelayMs += std::max(0, extra->second);
    if (op == '?') return Query(name);
    if (name == "ID00") {
        if (!unlocked) return Refuse("ID00 needs ULCK first");
    }
    return Write(name, line.substr(pos + 1));
}

std::vector<std::string> CameraCore::Refuse(const std::string& why) {
    m_lastError = why;
    return One("ERROR");
}

std::vector<std::string> CameraCore::Query(const std::string& name) {
    const CommandDef* d = FindDef(name);
    if (d->role == Role::Text) return One(name + "=" + Text(name));
    if (name == "HP") {
        std::string list;
        for (const CommandDef& c : kCommands) {
            if (!list.empty()) list += ',';
            list += c.name;
        }
        return One("HP=" + list);
    }
    std::optional<long long> v = QueryValue(name);
    if (!v) return Refuse("no value for " + name);
    return One(name + "=" + std::to_string(*v));
}

std::optional<long long> CameraCore::QueryValue(const std::string& name) const {
    const CommandDef* d = FindDef(name);
    if (d == nullptr || d->role == Role::Text || name == "HP") return std::nullopt;
    if (name == "LR") return EffectiveLineRate();
    if (d->role == Role::Param) return m_values[static_cast<std::size_t>(d - kCommands)];
    if (name == "CBDRT") return BaudCode(m_baudRate);
    if (name == "SBDRT") return m_baudRate;
    if (name == "LUTD") return m_lut[static_cast<std::size_t>(m_values[kIdLUTI])];
    if (name == "EA" || name == "LD") return m_loadedArea;
    if (name == "VN") return m_options.firmwareVersion;
    if (name == "PV") return m_options.fpgaVersion;
    if (name == "ST") return 0;
    if (name == "TMP0") {
        long long sensor = std::clamp<long long>(m_values[kIdTMPS0], 0, 3);
        return kTemperatures[sensor];
    }
    // The shortest line period the sensor can read out: an 8K line takes twice as long.
    if (name == "ARMIN") return m_model.find("4K") != std::string::npos ? 1250 : 2500;
    if (name == "PEMIN") return 20;
    if (name == "PEMAX") return std::max<long long>(EffectiveLineRate() - 30, 20);
    int status = RecalibrationIndex(name, true);
    if (status >= 0) {
        const Recalibration& r = m_recalibrations[static_cast<std::size_t>(status)];
        return r.runningUntil >= 0 && Now() < r.runningUntil ? 0 : r.result;
    }
    return 0;  // actions and ULCK
}

long long CameraCore::EffectiveLineRate() const {
    if (m_onePushDue >= 0 && Now() >= m_onePushDue) return m_onePushValue;
    return m_values[kIdLR];
}

std::vector<std::string> CameraCore::Write(const std::string& name, const std::string& value) {
    const CommandDef* d = FindDef(name);
    if (d->role == Role::Text) {
        // Text keeps its case and inner spaces.
        if (name == "UD") {
            if (value.size() > kUserIdLength || !Printable(value, true)) return Refuse("bad user ID");
            m_userId = value;
        } else if (name == "MD00") {
            if (value.empty() || value.size() > kMaxModelLength || !Printable(value, false)) {
                return Refuse("bad model name");
            }
            m_model = value;
        } else if (name == "ID00") {
            if (value.empty() || value.size() > kCameraIdLength || !Printable(value, false)) {
                return Refuse("bad camera ID");
            }
            m_cameraId = value;
        } else if (name == "DV00") {
            if (value.size() > kDeviceVersionLength || !Printable(value, false) ||
                std::count(value.begin(), value.end(), '.') != 3) {
                return Refuse("bad device version");
            }
            m_deviceVersion = value;
        } else {
            return Refuse(name + " is read-only");
        }
        return One("COMPLETE");
    }
    if (d->role == Role::ReadOnly || name == "HP") return Refuse(name + " is read-only");

    std::optional<long long> parsed = ParseInteger(value);
    if (!parsed) return Refuse("not a number: " + value);
    long long v = *parsed;
    if (name == "LUTD") {
        if (v < 0 || v > 4095) return Refuse("LUT data out of range");
        m_lut[static_cast<std::size_t>(m_values[kIdLUTI])] = static_cast<int>(v);
        return One("COMPLETE");
    }
    if (!Accepts(*d, v)) return Refuse(name + " out of range");

    if (d->role == Role::Param) {
        m_values[static_cast<std::size_t>(d - kCommands)] = v;
        if (name == "LR") m_onePushDue = -1;
        return One("COMPLETE");
    }
    if (name == "CBDRT") {
        m_pendingBaudRate = RateFromCode(static_cast<int>(v));
        return One("COMPLETE");
    }
    if (name == "ULCK") {
        m_unlocked = true;
        return One("COMPLETE");
    }
    if (name == "LD") {
        m_answerDelayMs += std::max(0, m_options.flashMs);
        LoadArea(static_cast<int>(v));
        return One("COMPLETE");
    }
    if (name == "SA" || name == "SA00") {
        m_answerDelayMs += std::max(0, m_options.flashMs);
        m_areas[static_cast<std::size_t>(v)] = Snapshot();
        m_updateArea = static_cast<int>(v);
        return One("COMPLETE");
    }
    if (name == "AR") {
        int ms = std::max(0, m_options.onePushMs);
        m_answerDelayMs += ms;
        m_onePushDue = Now() + ms;
        m_onePushValue = std::max(m_options.onePushLineRate, *QueryValue("ARMIN"));
        return One("COMPLETE");
    }
    if (name == "CRS00") {
        Restart();
        if (m_options.resetMs > 0) m_silentUntil = Now() + m_options.resetMs;
        return One("COMPLETE");
    }
    int start = RecalibrationIndex(name, false);
    if (start >= 0) {
        int startMs = std::max(0, m_options.recalibrationStartMs);
        m_answerDelayMs += startMs;
        Recalibration& r = m_recalibrations[static_cast<std::size_t>(start)];
        r.runningUntil = Now() + startMs + std::max(0, m_options.recalibrationMs);
        r.result = m_options.recalibrationResult;
        return One("COMPLETE");
    }
    return One("COMPLETE");  // ASRS, AGRS: accepted, nothing to keep
}

int CameraCore::RecalibrationIndex(const std::string& name, bool status) const {
    const auto& names = status ? kRecalStatus : kRecalStart;
    for (int i = 0; i < 6; ++i) {
        if (name == names[i]) return i;
    }
    return -1;
}

CameraCore::Area CameraCore::Snapshot() const {
    Area a;
    a.values = m_values;
    // A one-push result that is due counts as the working line rate.
    a.values[kIdLR] = EffectiveLineRate();
    a.lut = m_lut;
    return a;
}

void CameraCore::LoadArea(int area) {
    const Area& a = m_areas[static_cast<std::size_t>(area)];
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        if (kCommands[i].inArea) m_values[i] = a.values[i];
    }
    m_lut = a.lut;
    m_onePushDue = -1;
    m_loadedArea = area;
    m_updateArea = area;
}

int CameraCore::BootArea() const {
    return m_values[kIdBAS00] == 1 ? m_updateArea : 0;
}

void CameraCore::Restart() {
    m_unlocked = false;
    m_pendingBaudRate = 0;
    for (Recalibration& r : m_recalibrations) r.runningUntil = -1;
    m_onePushDue = -1;
    int boot = BootArea();
    LoadArea(boot);
    m_values[kIdLUTI] = 0;
}

void CameraCore::ApplyPendingBaudRate() {
    if (m_pendingBaudRate != 0) m_baudRate = m_pendingBaudRate;
    m_pendingBaudRate = 0;
}

std::optional<long long> CameraCore::Value(const std::string& name) const {
    return QueryValue(Upper(name));
}

std::string CameraCore::Text(const std::string& rawName) const {
    std::string name = Upper(rawName);
    if (name == "MD" || name == "MD00") return m_model;
    if (name == "ID" || name == "ID00") return m_cameraId;
    if (name == "UD") return m_userId;
    if (name == "DV" || name == "DV00") return m_deviceVersion;
    if (name == "DVN") return "CORVANE";
    return std::string();
}

int CameraCore::Lut(int index) const {
    if (index < 0 || index >= kLutSize) return -1;
    return m_lut[static_cast<std::size_t>(index)];
}

std::optional<long long> CameraCore::AreaValue(int area, const std::string& name) const {
    const CommandDef* d = FindDef(Upper(name));
    if (area < 0 || area >= kAreaCount || d == nullptr || !d->inArea) return std::nullopt;
    return m_areas[static_cast<std::size_t>(area)].values[static_cast<std::size_t>(d - kCommands)];
}

int CameraCore::AreaLut(int area, int index) const {
    if (area < 0 || area >= kAreaCount || index < 0 || index >= kLutSize) return -1;
    return m_areas[static_cast<std::size_t>(area)].lut[static_cast<std::size_t>(index)];
}

bool CameraCore::SetValue(const std::string& rawName, long long value) {
    std::string name = Upper(rawName);
    const CommandDef* d = FindDef(name);
    if (d != nullptr && d->role == Role::Param) {
        if (name == "LUTI" && (value < 0 || value >= kLutSize)) return false;
        m_values[static_cast<std::size_t>(d - kCommands)] = value;
        if (name == "LR") m_onePushDue = -1;
        return true;
    }
    if (name == "CBDRT") {
        if (RateFromCode(static_cast<int>(value)) == 0) return false;
        m_baudRate = RateFromCode(static_cast<int>(value));
        return true;
    }
    if (name == "EA") {
        if (value < 0 || value >= kAreaCount) return false;
        m_loadedArea = static_cast<int>(value);
        return true;
    }
    return false;
}

bool CameraCore::SetText(const std::string& rawName, const std::string& text) {
    std::string name = Upper(rawName);
    if (name == "MD" || name == "MD00") {
        m_model = text;
    } else if (name == "ID" || name == "ID00") {
        m_cameraId = text;
    } else if (name == "UD") {
        m_userId = text;
    } else if (name == "DV" || name == "DV00") {
        m_deviceVersion = text;
    } else {
        return false;
    }
    return true;
}

void CameraCore::SetModel(const std::string& model) {
    m_model = model;
}

void CameraCore::SetLut(int index, int value) {
    if (index >= 0 && index < kLutSize) m_lut[static_cast<std::size_t>(index)] = value;
}

void CameraCore::SetBaudRate(int baudRate) {
    if (BaudCode(baudRate) != 0) m_baudRate = baudRate;
    m_pendingBaudRate = 0;
}

void CameraCore::SetOptions(const CameraOptions& options) {
    m_options = options;
}

const std::vector<std::string>& CameraCore::CommandNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const CommandDef& d : kCommands) v.emplace_back(d.name);
        return v;
    }();
    return names;
}

int CameraCore::BaudCode(int baudRate) {
    for (int i = 0; i < 5; ++i) {
        if (kBaudRates[i] == baudRate) return 1 << i;
    }
    return 0;
}

int CameraCore::RateFromCode(int code) {
    for (int i = 0; i < 5; ++i) {
        if (code == (1 << i)) return kBaudRates[i];
    }
    return 0;
}

}  // namespace vela::sim
