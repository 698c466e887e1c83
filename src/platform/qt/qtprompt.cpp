#include "platform/qt/qtprompt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

namespace vela {

PromptAnswer QtPrompt::Show(const std::string& text, const std::string& caption, PromptIcon icon,
                            PromptButtons buttons) {
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
        case PromptIcon::Information:
            qicon = QMessageBox::Information;
            break;
        case PromptIcon::Stop:
            qicon = QMessageBox::Critical;
            break;
        case PromptIcon::Exclamation:
            qicon = QMessageBox::Warning;
            break;
        case PromptIcon::Question:
            qicon = QMessageBox::Question;
            break;
        case PromptIcon::None:
            break;
    }
    const QMessageBox::StandardButtons qbuttons =
        buttons == PromptButtons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok;
    QMessageBox box(qicon, QString::fromStdString(caption), QString::fromStdString(text), qbuttons,
                    QApplication::activeWindow());
    // Camera answers and file paths are shown as they are: "ERR<b>5</b>" is not markup.
    box.setTextFormat(Qt::PlainText);
    // A box that appears while the wait cursor is up must still show the arrow.
    const bool hadOverride = QGuiApplication::overrideCursor() != nullptr;
    if (hadOverride) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const int result = box.exec();
    if (hadOverride) QGuiApplication::restoreOverrideCursor();
    if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    return result == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
}

}  // namespace vela
