#include "tool/startupwatch.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "dialogs/communicationdialog.h"
#include "mainwindow/ctrltooldlg.h"

namespace vela {
namespace {

constexpr int kPollMs = 50;
// After the run was told to end, the start-up still finishes its transactions (boxes no
// longer wait); a camera slow enough to take longer than this ends the process instead.
constexpr auto kEndGrace = std::chrono::seconds(20);

QString BoxText(QWidget* box) {
    auto* message = qobject_cast<QMessageBox*>(box);
    QString text = box->windowTitle();
    if (message) text += QStringLiteral(": ") + message->text().section(QLatin1Char('\n'), 0, 0);
    return text;
}

}  // namespace

bool SavePicture(QWidget& widget, const QString& path) {
    const bool saved = widget.grab().save(path);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

QString SiblingPath(const QString& path, const QString& name) {
    const QFileInfo info(path);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('-') + name +
           QLatin1Char('.') + info.suffix();
}

StartUpWatch::StartUpWatch(CCtrlToolDlg& dlg, const QString& path, int delayMs, bool wholeScreen)
    : m_dlg(dlg), m_path(path), m_delayMs(delayMs), m_wholeScreen(wholeScreen), m_active(!path.isEmpty()) {
    if (!m_active) return;
    m_clock.start();
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &StartUpWatch::Look);
    m_poll.start();
}

void StartUpWatch::StartUpDone() {
    m_startUpDone = true;
    m_since = m_clock.elapsed();
    if (!m_wholeScreen || m_ended) m_poll.stop();
}

void StartUpWatch::Look() {
    if (m_ended) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &m_dlg && modal->isVisible()) {
        if (modal != m_box) {
            m_box = modal;
            m_since = m_clock.elapsed();
        }
        if (m_clock.elapsed() - m_since >= m_delayMs) ShootAndEnd(modal);
        return;
    }
    m_box = nullptr;
    // Start-up over and no box: with wholeScreen the picture is ours once the window showed.
    if (m_startUpDone && m_wholeScreen && m_dlg.isVisible() && m_clock.elapsed() - m_since >= m_delayMs) {
        ShootAndEnd(nullptr);
    }
}

void StartUpWatch::ShootAndEnd(QWidget* box) {
    m_ended = true;
    m_poll.stop();
    QScreen* screen = box ? box->screen() : QGuiApplication::primaryScreen();
    const bool saved = screen && screen->grabWindow(0).save(m_path);
    std::fprintf(stderr, "%s %s (the whole screen)\n", saved ? "saved" : "could not save",
                 qPrintable(m_path));
    // On the screen the windows overlap; each one's own picture shows it whole.
    if (m_dlg.isVisible()) SavePicture(m_dlg, SiblingPath(m_path, QStringLiteral("main")));
    QWidget* communication = m_dlg.CommunicationDialog();
    if (communication && communication->isVisible())
        SavePicture(*communication, SiblingPath(m_path, QStringLiteral("communication")));
    if (box) SavePicture(*box, SiblingPath(m_path, QStringLiteral("message-box")));
    m_dlg.SetCloseWithoutConfirmation(1);
    if (!box) {
        m_dlg.close();
        return;
    }
    const QRect r = box->frameGeometry();
    std::fprintf(stderr, "start-up waits for an answer: a message box at %dx%d+%d+%d, %s\n", r.width(),
                 r.height(), r.x(), r.y(), qPrintable(BoxText(box)));
    // Every loop ends now and every later box returns at once, so the start-up runs out
    // without waiting for anyone.
    QCoreApplication::exit(0);
    std::thread([] {
        std::this_thread::sleep_for(kEndGrace);
        std::fprintf(stderr, "start-up did not finish after the picture; ending without a clean shutdown\n");
        std::_Exit(0);
    }).detach();
}

}  // namespace vela
