#include "tool/runending.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "dialogs/dialogregistry.h"
#include "mainwindow/ctrltooldlg.h"
#include "platform/stoprequest.h"

#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

namespace vela {
namespace {

constexpr int kStepMs = 20;

}  // namespace

RunEnding::RunEnding(CCtrlToolDlg& dlg) : m_dlg(dlg) {
    const int fd = InstallStopSignals();
    if (fd >= 0) {
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this, fd] {
            DrainStopPipe(fd);
            Begin();
        });
    }
    m_step = new QTimer(this);
    m_step->setInterval(kStepMs);
    connect(m_step, &QTimer::timeout, this, &RunEnding::Step);
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        RequestStop(0);
        Begin();
    });
#endif
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        RequestStop(0);
        Begin();
    });
    // A signal that came before the pipe was watched.
    if (StopRequested()) Begin();
}

void RunEnding::LoopStarted() {
    m_loopStarted = true;
}

void RunEnding::Begin() {
    if (!m_step->isActive()) m_step->start();
    Step();
}

void RunEnding::Step() {
    // Boxes and modal windows first, innermost first: each returns to the code that opened it.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &m_dlg) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
        return;
    }
    // A long operation under way is on the stack below this call; it ends at its next
    // transaction boundary and returns here first.
    if (!m_loopStarted || DialogRegistry::Instance().Busy() || !m_dlg.isEnabled()) return;
    m_step->stop();
    m_dlg.SetCloseWithoutConfirmation(1);
    m_dlg.reject();
}

}  // namespace vela
