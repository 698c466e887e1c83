#include "dialogs/label.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "platform/shellopen.h"

namespace vela {

CLabel::CLabel(QWidget* parent) : CLabel(QString(), parent) {}

CLabel::CLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    m_foreColor = palette().color(QPalette::WindowText);
    m_font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    setAutoFillBackground(true);
    ApplyLook();
}

void CLabel::SetClickable(int enable) {
    m_link = enable;
    m_notify = enable != 0;
    setFocusPolicy(m_notify ? Qt::StrongFocus : Qt::NoFocus);
}

void CLabel::SetForeColor(const QColor& color) {
    m_foreColor = color;
    ApplyLook();
    repaint();
}

void CLabel::SetUnderline(int underline) {
    m_font.setUnderline(underline != 0);
    ApplyLook();
    repaint();
}

void CLabel::SetCursorHandle(const QCursor& cursor) {
    m_cursor = cursor;
    setCursor(cursor);
}

void CLabel::mousePressEvent(QMouseEvent* event) {
    // What the desktop makes of the text is not examined.
    if (m_notify && event->button() == Qt::LeftButton) ShellOpen::Instance().Open(text().toStdString());
    QLabel::mousePressEvent(event);
}

void CLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (m_notify && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        ShellOpen::Instance().Open(text().toStdString());
        return;
    }
    QLabel::keyPressEvent(event);
}

void CLabel::ApplyLook() {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, m_foreColor);
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setFont(m_font);
}

}  // namespace vela
