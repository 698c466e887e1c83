#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>

namespace vela::test {

// Presses a key in the next real QMessageBox that opens, as an operator at the keyboard
// would, and keeps what the box showed. A box that the key leaves open is closed after a
// while (answering No), so the test fails instead of hanging.
class MessageBoxKey : public QObject {
  public:
    explicit MessageBoxKey(Qt::Key key);

    bool pressed() const { return m_pressed; }
    // Once the box has gone: whether the key closed it.
    bool closedByKey() const { return m_pressed && !m_forced && (!m_box || !m_box->isVisible()); }
    const QString& text() const { return m_text; }
    Qt::TextFormat textFormat() const { return m_format; }

  private:
    void Poll();

    Qt::Key m_key;
    QTimer m_timer;
    QPointer<QMessageBox> m_box;
    std::chrono::steady_clock::time_point m_pressedAt;
    bool m_pressed = false;
    bool m_forced = false;
    QString m_text;
    Qt::TextFormat m_format = Qt::AutoText;
};

}  // namespace vela::test
