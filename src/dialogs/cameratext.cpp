#include "dialogs/cameratext.h"

#include "platform/prompt.h"

namespace vela {

QString FromCameraText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::string> ToCameraText(const QString& text, const char* field) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() <= 0xFF) continue;
        ShowMessage(std::string(field) + " contains \"" + FirstCharacter(text.mid(i)).toStdString() +
                        "\", which the camera cannot store: only Latin-1 characters, one byte each !!",
                    PromptIcon::Stop);
        return std::nullopt;
    }
    return text.toLatin1().toStdString();
}

QString FirstCharacter(const QString& text) {
    return text.left(text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1);
}

}  // namespace vela
