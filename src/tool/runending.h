#pragma once

#include <QObject>

class QSocketNotifier;
class QTimer;

namespace vela {

class CCtrlToolDlg;

// Ends the run as a confirmed File > Exit does, without the question, when the process is
// asked to end: SIGINT, SIGTERM or SIGHUP (noted by the handler, seen here through its
// pipe), or the desktop session ending. A box or modal window that is open is cancelled;
// a long operation ends at its next transaction boundary by itself, and the main window
// closes once it is back in its own loop: link closed, then at process end the link
// settings, the control mode and the shutdown marker saved.
class RunEnding : public QObject {
    Q_OBJECT
  public:
    explicit RunEnding(CCtrlToolDlg& dlg);
    // Called as the main window's loop starts: only from there may the window close.
    void LoopStarted();

  private:
    void Begin();
    void Step();

    CCtrlToolDlg& m_dlg;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_step = nullptr;
    bool m_loopStarted = false;
};

}  // namespace vela
