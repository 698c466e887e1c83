#include "camera/scriptsession.h"

#include "camera/baudprobe.h"
#include "camera/cameraidentity.h"
#include "camera/camerasession.h"
#include "camera/pageactions.h"
#include "camera/settingfile.h"
#include "platform/optiontable.h"
#include "platform/stoprequest.h"
#include "protocol/commandtable.h"
#include "protocol/valuetext.h"
#include "transport/linkkind.h"

namespace vela {
namespace {

constexpr const char* kKindNames[] = {"com", "cl2000", "cl2001", "cl11"};

}  // namespace

const char* LinkKindName(int kind) {
    return IsValidLinkKind(kind) ? kKindNames[kind] : "?";
}

int LinkKindFromName(const std::string& name) {
    for (int kind = ComPortKind; kind <= CameraLinkVer11; ++kind) {
        if (name == kKindNames[kind]) return kind;
    }
    return -1;
}

bool ParsePortName(const std::string& text, int& index, bool& comName) {
    int n = 0;
    if (ToUpperAscii(text.substr(0, 3)) == "COM" && ParseOptionNumber(text.substr(3), 1, 16, n)) {
        index = n - 1;
        comName = true;
        return true;
    }
    if (!ParseOptionNumber(text, 0, 15, n)) return false;
    index = n;
    comName = false;
    return true;
}

std::string PortNameOf(int kind, int index) {
    return kind == ComPortKind ? ComPort::GetPortName(index) : std::to_string(index);
}

std::vector<PortListing> ListPorts(CameraSession& camera, int kind) {
    std::vector<PortListing> ports;
    if (kind == ComPortKind) {
        for (int i = 0; i < ComPort::GetPortCount(); ++i) {
            const std::string name = ComPort::GetPortName(i);
            ports.push_back({name, ComPort::DevicePath(name)});
        }
    } else if (IsLibraryKind(kind)) {
        camera.link.SetKind(kind);
        const int count = camera.link.GetPortCount();
        for (int i = 0; i < count; ++i) ports.push_back({std::to_string(i), camera.link.GetPortName(i)});
    }
    return ports;
}

Result ConnectCamera(CameraSession& camera, int kind, int port, int baudRate) {
    const std::string name = PortNameOf(kind, port);
    if (!IsValidLinkKind(kind)) return Result::PortError({}, "no link kind " + std::to_string(kind));
    if (kind != ComPortKind) {
        // A library opens a port by its place in the list it last reported, as the
        // window's port list has it before any open.
        camera.link.SetKind(kind);
        const int count = camera.link.GetPortCount();
        if (port >= count)
            return Result::PortError({}, "no port " + name + " in the " + LinkKindName(kind) +
                                             " library (it reports " + std::to_string(count) +
                                             (count == 1 ? " port)" : " ports)"));
    }
    if (camera.link.Open(kind, baudRate != 0 ? baudRate : 9600, port) != 1) {
        if (StopRequested()) return Result::Stopped();
        return Result::PortError(
            {}, kind == ComPortKind
                    ? "cannot open port " + name + ": busy, missing or not permitted"
                    : "cannot open port " + name + " of the " + LinkKindName(kind) + " library");
    }
    if (camera.model.Read() == 1) return Result::Done();
    if (baudRate == 0 && ProbeBaudRates(camera.link, camera.model, [](int) {}) == 1) return Result::Done();
    if (StopRequested()) return Result::Stopped(camera.command.LastSent());
    const Result& last = camera.command.LastFailure();
    return last.kind == Result::Kind::Refused ? last
                                              : Result::NoAnswer(camera.command.LastSent(), last.timeoutMs);
}

std::string ValueText(int cmdId, const CommandValue& value) {
    const CommandEntry* e = CommandAt(cmdId);
    if (e->kind == ValueKind::Text) return value.text;
    if (e->kind == ValueKind::Decimal) return FormatRealText(value.realValue, e->decimals);
    return std::to_string(value.integerValue);
}

CommandValue ValueFromText(int cmdId, const std::string& text) {
    const CommandEntry* e = CommandAt(cmdId);
    CommandValue v;
    v.kind = e->kind;
    v.text = text;
    v.integerValue =
        e->kind == ValueKind::Decimal ? ScaleReal(ParseRealText(text), e->decimals) : ParseIntegerText(text);
    v.realValue = ParseRealText(text);
    return v;
}

Result SendRawLine(CameraSession& camera, const std::string& line, int timeoutMs, std::string& answer) {
    camera.command.ClearReceived();
    if (camera.link.Write(line + "\r\n") <= 0)
        return Result::PortError(line, "the line could not be written");
    constexpr std::uint32_t kQuietMs = 300;
    std::string raw;
    char buffer[256];
    std::uint32_t wait = static_cast<std::uint32_t>(timeoutMs);
    while (!StopRequested()) {
        const int n = camera.link.Read(buffer, sizeof buffer, wait);
        if (n <= 0) break;
        raw.append(buffer, static_cast<std::size_t>(n));
        wait = kQuietMs;
    }
    answer.clear();
    for (const char c : raw) {
        if (c != '\r') answer += c;
    }
    if (raw.empty()) return StopRequested() ? Result::Stopped(line) : Result::NoAnswer(line, timeoutMs);
    return Result::Done();
}

IdentityFields ReadIdentityFields(CameraSession& camera) {
    const CameraIdentity id = ReadCameraIdentity(camera.command, camera.model);
    int xml = 0;
    std::optional<std::string> xmlText;
    if (id.firmwareVersion && ReadXmlVersion(camera.command, xml)) {
        const XmlVersionDigits d = SplitXmlVersion(xml);
        xmlText = std::to_string(d.first) + "." + std::to_string(d.second) + "." + std::to_string(d.third);
    }
    return {
        {"model", id.modelName},
        {"firmware", id.firmwareVersion ? std::optional(FormatVersion(*id.firmwareVersion)) : std::nullopt},
        {"fpga", id.fpgaVersion ? std::optional(FormatVersion(*id.fpgaVersion)) : std::nullopt},
        {"camera_id", id.cameraId},
        {"user_id", id.userId},
        {"device_version", id.deviceVersionText},
        {"xml_version", xmlText},
    };
}

std::optional<std::vector<std::pair<int, std::string>>> SkippedSettingLines(const std::string& path,
                                                                            int controlMode) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::vector<std::pair<int, std::string>> skipped;
    SettingFileLineReader reader(f);
    std::string piece;
    for (int line = 1; reader.Next(piece); ++line) {
        if (ClassifySettingLine(piece, controlMode).kind != SettingLineAction::Skip) continue;
        while (!piece.empty() && (piece.back() == '\n' || piece.back() == '\r')) piece.pop_back();
        if (!piece.empty()) skipped.emplace_back(line, piece);
    }
    std::fclose(f);
    return skipped;
}

}  // namespace vela
