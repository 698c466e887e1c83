#include "camera/cameraidentity.h"

#include <algorithm>
#include <cstdio>

#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {
namespace {

// A CR or LF would end the command line early and the rest would reach the camera as a
// command of its own.
bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

// The first character of a box or part: its first byte.
std::string FirstByte(const std::string& text) {
    return text.substr(0, 1);
}

ActionMessage Stop(const std::string& text) {
    return {text, PromptIcon::Stop};
}

ActionMessage Done(const std::string& text) {
    return {text, PromptIcon::Information};
}

// The value a read gave, or nothing when it failed.
template <class T>
std::optional<T> Read(int (Command::*read)(int, T&, int), Command& command, int cmdId) {
    T value{};
    if (!(command.*read)(cmdId, value, kIdentityTimeoutMs)) return std::nullopt;
    return value;
}

}  // namespace

CameraIdentity ReadCameraIdentity(Command& command, CameraModel& model) {
    CameraIdentity id;
    id.firmwareVersion = Read(&Command::ReadValue, command, kCmdVN);
    if (!id.firmwareVersion) return id;
    if (model.Read()) id.modelName = model.Name();
    id.cameraId = Read(&Command::ReadString, command, kCmdID);
    id.fpgaVersion = Read(&Command::ReadValue, command, kCmdPV);
    id.userId = Read(&Command::ReadString, command, kCmdUD);
    id.deviceVersionText = Read(&Command::ReadString, command, kCmdDV);
    DeviceVersionParts parts;
    if (id.deviceVersionText && SplitDeviceVersion(*id.deviceVersionText, parts)) id.deviceVersion = parts;
    return id;
}

std::string FormatVersion(int value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d.%02d", value / 100, value % 100);
    return buffer;
}

bool SplitDeviceVersion(const std::string& text, DeviceVersionParts& parts) {
    if (std::count(text.begin(), text.end(), '.') != 3) return false;
    DeviceVersionParts split;
    std::size_t start = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t dot = text.find('.', start);
        split[i] = text.substr(start, dot - start);
        start = dot + 1;
    }
    split[3] = text.substr(start);
    parts = split;
    return true;
}

std::string ComposeDeviceVersion(const DeviceVersionParts& parts) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += '.';
        text += FirstByte(parts[i]);
    }
    return text;
}

ActionMessage WriteDeviceVersion(Command& command, const std::string& text) {
    if (HasControlCharacter(text)) {
        return Stop("Device Version contains a control character !!");
    }
    if (!command.WriteString(kCmdDV00, text, kDeviceVersionWriteTimeoutMs)) {
        return Stop("Couldn't write the Device Version.");
    }
    return Done("Writing the Device Version has been completed.");
}

std::string ReadUserIdOrPlaceholder(Command& command) {
    return Read(&Command::ReadString, command, kCmdUD).value_or(kUserIdPlaceholder);
}

ActionMessage WriteUserId(Command& command, const std::string& text) {
    if (text.size() > kUserIdMaxLength) {
        return Stop("User ID string is too long !!");
    }
    if (HasControlCharacter(text)) {
        return Stop("User ID string contains a control character !!");
    }
    if (!command.WriteString(kCmdUD, text, kIdentityTimeoutMs)) {
        return Stop("Couldn't write the User ID.");
    }
    return Done("Writing the User ID \"" + Utf8FromLatin1(text) + "\" has been completed.");
}

std::array<std::string, kCameraIdLength> CameraIdBoxes(const std::string& answer) {
    std::array<std::string, kCameraIdLength> boxes;
    for (std::size_t i = 0; i < boxes.size() && i < answer.size(); ++i) boxes[i] = answer.substr(i, 1);
    return boxes;
}

std::string CameraIdFromBoxes(const std::vector<std::string>& boxes) {
    std::string id;
    for (const std::string& box : boxes) id += FirstByte(box);
    return id;
}

ActionMessage WriteCameraId(Command& command, const std::string& id) {
    if (HasControlCharacter(id)) {
        return Stop("Camera id contains a control character !!");
    }
    if (!command.WriteValue(kCmdULCK, kCameraIdUnlockCode, kIdentityTimeoutMs)) {
        return Stop("Couldn't save camera id.");
    }
    if (!command.WriteString(kCmdID00, id, kIdentityTimeoutMs)) {
        return Stop("Couldn't save the camera id.");
    }
    return Done("Completed saving camera id: " + Utf8FromLatin1(id) + ".");
}

std::string Utf8FromLatin1(const std::string& latin1) {
    std::string utf8;
    utf8.reserve(latin1.size() * 2);
    for (const char c : latin1) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return utf8;
}

}  // namespace vela
