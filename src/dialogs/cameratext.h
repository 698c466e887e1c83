#pragma once

#include <QString>
#include <optional>
#include <string>

namespace vela {

// The identity texts as the windows show and take them: the camera's bytes, one Latin-1
// character each.
QString FromCameraText(const std::string& bytes);
// `text` as the camera's bytes. A character that has no single byte is refused before
// anything is sent, with a message naming `field` and the character; then nothing.
std::optional<std::string> ToCameraText(const QString& text, const char* field);
// The first character of `text`, whole (a pair of UTF-16 units outside the first plane).
QString FirstCharacter(const QString& text);

}  // namespace vela
