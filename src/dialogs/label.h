#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <optional>

namespace vela {

// A static text with its own font, text colour and background, which can act as a link
// that asks the shell to open its own text (a web address, a file) through ShellOpen.
class CLabel : public QLabel {
    Q_OBJECT

  public:
    explicit CLabel(QWidget* parent = nullptr);
    CLabel(const QString& text, QWidget* parent = nullptr);

    // Clicks open the text only while clickable; a new label is not.
    void SetClickable(int enable);
    void SetForeColor(const QColor& color);
    void SetUnderline(int underline);
    // The cursor shown while the mouse is over the label.
    void SetCursorHandle(const QCursor& cursor);

    int IsClickable() const { return m_notify ? 1 : 0; }
    int LinkFlag() const { return m_link; }
    QColor ForeColor() const { return m_foreColor; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Space or Enter opens a clickable label's text, which Tab reaches like a button.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ApplyLook();

    QColor m_foreColor;
    QFont m_font;
    int m_link = 1;
    bool m_notify = false;
    std::optional<QCursor> m_cursor;
};

}  // namespace vela
