#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWidget;

namespace vela {

class CCtrlToolDlg;

// Saves the window's own picture to `path` and says so on stderr.
bool SavePicture(QWidget& widget, const QString& path);
// "dir/run-screenshot.png" and "main" give "dir/run-screenshot-main.png".
QString SiblingPath(const QString& path, const QString& name);

// The screenshot run's guard against a start-up that waits for an answer. A message box
// shown during start-up runs its own loop inside OnInitDialog, so a picture scheduled after
// OnInitDialog would never come. Armed before OnInitDialog, this takes the whole screen once
// a box has been up for `delayMs` and ends the run. With `wholeScreen` it also takes the
// whole screen (instead of the window alone) when start-up finished without a box. Beside
// a picture of the whole screen go the pictures of each window shown: path-main.png,
// path-communication.png and path-message-box.png, where the Communication window or a
// box covers part of the main window.
class StartUpWatch : public QObject {
  public:
    StartUpWatch(CCtrlToolDlg& dlg, const QString& path, int delayMs, bool wholeScreen);

    // OnInitDialog has returned: the window is about to show.
    void StartUpDone();
    // True when this watch takes the picture, so the window's own screenshot must not.
    bool TakesThePicture() const { return m_active && (m_wholeScreen || m_ended); }

  private:
    void Look();
    void ShootAndEnd(QWidget* box);

    CCtrlToolDlg& m_dlg;
    QString m_path;
    int m_delayMs;
    bool m_wholeScreen;
    bool m_active;
    bool m_startUpDone = false;
    bool m_ended = false;
    QTimer m_poll;
    QPointer<QWidget> m_box;  // the modal box being timed
    qint64 m_since = 0;       // when it (or the shown window) was first seen, ms on m_clock
    QElapsedTimer m_clock;
};

}  // namespace vela
