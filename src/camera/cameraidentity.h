#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "camera/actionmessage.h"

namespace vela {

class CameraModel;
class Command;

// The camera's identity: versions, model name, camera ID, user ID and device version, as the
// About, Camera ID and User ID windows and `vela-cli info` read and write them.
//
// Identity texts are the camera's bytes, one byte per character (Latin-1): limits count
// bytes, and the windows show and take them as Latin-1. Messages that quote a text quote it
// in UTF-8, as every message is.

inline constexpr int kIdentityTimeoutMs = 5000;
inline constexpr int kDeviceVersionWriteTimeoutMs = 10000;
inline constexpr std::size_t kUserIdMaxLength = 16;
inline constexpr std::size_t kCameraIdLength = 10;
inline constexpr int kCameraIdUnlockCode = 5170362;

// What a field shows until the camera has answered for it.
inline constexpr const char* kVersionPlaceholder = "?.??";
inline constexpr const char* kNamePlaceholder = "??????????";
inline constexpr const char* kUserIdPlaceholder = "????????????????";
inline constexpr const char* kDeviceVersionPartPlaceholder = "?";

using DeviceVersionParts = std::array<std::string, 4>;

// Each field is empty when its read failed. A failed firmware read stops the others, so
// then every field is empty.
struct CameraIdentity {
    std::optional<int> firmwareVersion;
    std::optional<std::string> modelName;
    std::optional<std::string> cameraId;
    std::optional<int> fpgaVersion;
    std::optional<std::string> userId;
    std::optional<std::string> deviceVersionText;     // the answer as received
    std::optional<DeviceVersionParts> deviceVersion;  // empty also when the answer does not split
};

// Firmware version first; when that fails nothing else is asked. Otherwise the model
// (through `model`, which reports an unsupported one itself), camera ID, FPGA version,
// user ID and device version, each whatever the others gave.
CameraIdentity ReadCameraIdentity(Command& command, CameraModel& model);

// "%d.%02d" of value / 100 and value % 100: 123 is "1.23".
std::string FormatVersion(int value);

// "a.b.c.d" into its four parts, which may be empty or longer than one character. False,
// and `parts` untouched, unless the text holds exactly three dots.
bool SplitDeviceVersion(const std::string& text, DeviceVersionParts& parts);
// The first byte of each part (nothing for an empty part), joined by dots.
std::string ComposeDeviceVersion(const DeviceVersionParts& parts);
// WriteString DV00 (10000 ms); the text is refused before any transaction if it holds a
// control character. The message to show: Information on success, Stop otherwise.
ActionMessage WriteDeviceVersion(Command& command, const std::string& text);

// UD as the camera gives it; the sixteen question marks when the read fails.
std::string ReadUserIdOrPlaceholder(Command& command);
// More than 16 bytes, or a control character, is refused with a message before any
// transaction; otherwise WriteString UD (an empty text too). The message to show:
// Information on success, Stop otherwise.
ActionMessage WriteUserId(Command& command, const std::string& text);

// Byte i of a camera ID answer for box i; boxes past the answer's end stay empty.
std::array<std::string, kCameraIdLength> CameraIdBoxes(const std::string& answer);
// The first byte of each box in order; an empty box gives nothing.
std::string CameraIdFromBoxes(const std::vector<std::string>& boxes);
// ULCK with the unlock code, then ID00 with `id`; no ID00 when the unlock is refused. The
// message to show: Information on success, Stop otherwise.
ActionMessage WriteCameraId(Command& command, const std::string& id);

// Latin-1 text in UTF-8, for a message that quotes it.
std::string Utf8FromLatin1(const std::string& latin1);

}  // namespace vela
