#include "dialogs/progressbardialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "dialogs/dialogregistry.h"
#include "platform/clock.h"

namespace vela {

CProgressBarDialog& CProgressBarDialog::Instance() {
    static CProgressBarDialog* instance = nullptr;
    if (!instance) {
        instance = new CProgressBarDialog;
        // Deleted while the application still exists, before its widgets go.
        qAddPostRoutine([] {
            delete instance;
            instance = nullptr;
        });
    }
    return *instance;
}

CProgressBarDialog::CProgressBarDialog()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("progress%1").arg(kTemplateId));
    // A caption bar with no text: an empty title would make Qt show the program's name.
    setWindowTitle(QStringLiteral(" "));
    setModal(false);

    m_text = new QLabel(QStringLiteral("Message"), this);
    m_text->setObjectName(QStringLiteral("ctl%1").arg(kMessageId));
    m_text->setProperty("ctrlId", kMessageId);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(m_text->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 44);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ctl%1").arg(kProgressBarId));
    m_bar->setProperty("ctrlId", kProgressBarId);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CProgressBarDialog::Start(QWidget* parent, const QString& message) {
    Create(parent);
    m_message = message;
    m_text->setText(message);
    show();
    repaint();
}

int CProgressBarDialog::Create(QWidget* parent) {
    if (m_up) DestroyWindow();
    m_owner = parent ? parent->window() : nullptr;
    if (m_owner && m_owner->isEnabled()) m_owner->setEnabled(false);

    // A window of its own, kept above its owner: a child of the disabled owner would be
    // drawn disabled too.
    m_bar->setValue(0);
    m_text->setText(m_message);
    winId();
    if (m_owner && m_owner->windowHandle()) windowHandle()->setTransientParent(m_owner->windowHandle());
    adjustSize();
    QRect area;
    if (m_owner && m_owner->isVisible()) {
        area = m_owner->frameGeometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) move(area.center() - rect().center());
    m_up = true;
    return 1;
}

void CProgressBarDialog::SetPos(int percent) {
    if (!m_up || !isVisible()) return;
    m_bar->setValue(percent);
    m_text->setText(m_message);
}

void CProgressBarDialog::SetMessage(const QString& text) {
    m_message = text;
}

void CProgressBarDialog::Finish() {
    if (!m_up || !isVisible()) return;
    SetPos(100);
    repaint();
    SleepMs(kFinishPauseMs);
    if (m_owner) m_owner->activateWindow();
    DestroyWindow();
}

int CProgressBarDialog::Pos() const {
    return m_bar->value();
}

QString CProgressBarDialog::ShownMessage() const {
    return m_text->text();
}

void CProgressBarDialog::DestroyWindow() {
    hide();
    m_up = false;
    // Enabled again even when it was disabled before Start, unless a long operation goes
    // on: its end enables every window.
    if (m_owner && !DialogRegistry::Instance().Busy()) m_owner->setEnabled(true);
}

}  // namespace vela
