#include "support/guimessageboxkey.h"

#include <QApplication>
#include <QTest>

namespace vela::test {
namespace {

// Long enough for a loaded machine to deliver the key and close the box.
constexpr auto kGiveUpAfter = std::chrono::seconds(5);

}  // namespace

MessageBoxKey::MessageBoxKey(Qt::Key key) : m_key(key) {
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
    m_timer.start();
}

void MessageBoxKey::Poll() {
    if (!m_pressed) {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        m_box = box;
        m_text = box->text();
        m_format = box->textFormat();
        QWidget* target = QApplication::focusWidget();
        if (!target || target->window() != box) target = box;
        m_pressed = true;
        m_pressedAt = std::chrono::steady_clock::now();
        QTest::keyClick(target, m_key);
        return;
    }
    if (!m_box || !m_box->isVisible()) {
        m_timer.stop();
    } else if (std::chrono::steady_clock::now() - m_pressedAt > kGiveUpAfter) {
        m_timer.stop();
        m_forced = true;
        m_box->done(QMessageBox::No);
    }
}

}  // namespace vela::test
