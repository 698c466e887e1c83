#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;

namespace vela {

// The one progress window of long camera operations. While it is up its owner window
// is disabled, so no second operation can start.
class CProgressBarDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kTemplateId = 107;
    static constexpr int kProgressBarId = 1011;
    static constexpr int kMessageId = 1013;
    static constexpr int kFinishPauseMs = 1000;

    // The process-wide window object, created on first use (a QApplication must exist)
    // and deleted when the application ends.
    static CProgressBarDialog& Instance();

    // Create, then show `message`.
    void Start(QWidget* parent, const QString& message);
    // Remembers the parent's top-level window as owner and disables it, then shows the
    // window with the bar at 0. Returns 1.
    int Create(QWidget* parent);
    // Moves the bar (percent, 0-100) and shows the current message; nothing while hidden.
    void SetPos(int percent);
    // The text the next SetPos shows.
    void SetMessage(const QString& text);
    // Shows 100 % for one second, activates the owner and closes the window, which
    // enables the owner. Nothing while hidden.
    void Finish();

    bool IsUp() const { return m_up; }
    int Pos() const;
    QString ShownMessage() const;
    QWidget* OwnerWindow() const { return m_owner; }

  protected:
    // The window has no close box; Escape must not close it either.
    void reject() override {}

  private:
    CProgressBarDialog();
    // Closes the window; what WM_DESTROY does: the owner is enabled again.
    void DestroyWindow();

    QProgressBar* m_bar;
    QLabel* m_text;
    QString m_message;
    QPointer<QWidget> m_owner;
    bool m_up = false;
};

}  // namespace vela
