#pragma once

#include <QDialog>
#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

#include "camera/terminallog.h"
#include "dialogs/dialogregistry.h"
#include "protocol/onlinestatusregistry.h"
#include "transport/commandlog.h"

class QLineEdit;

namespace vela {

class StatusStrip;
class TerminalLogModel;
class TerminalLogView;

// "RS-232C TERMINAL": the operator types a raw command line and sends it to the camera;
// the list shows every line sent ("Tx: ") and received ("Rx: ") by any part of the tool,
// newest first and time-stamped. The list can be cleared and saved to a file.
class CTerminalDialog : public QDialog,
                        public COnlineStatusUpdater,
                        public RegisteredDialog,
                        public CommandLogSink {
    Q_OBJECT

  public:
    static constexpr int kCommandEdit = 1001;
    static constexpr int kSendButton = 1003;
    static constexpr int kLogList = 1004;
    static constexpr int kClearButton = 1006;
    static constexpr int kCloseButton = 1007;
    static constexpr int kSaveButton = 1008;
    static constexpr int kStatusBar = 1070;
    static constexpr const char* kCaption = "RS-232C TERMINAL";

    // The object only; Create makes the window.
    explicit CTerminalDialog(QWidget* parent = nullptr);
    ~CTerminalDialog() override;
    CTerminalDialog(const CTerminalDialog&) = delete;
    CTerminalDialog& operator=(const CTerminalDialog&) = delete;

    // Creates the window, hidden, and joins the online bars, the common enable and the
    // log of lines on the wire. Returns true (also when the window exists already).
    bool Create();
    // Leaves the log and both registries and hides the window; the list is emptied.
    void DestroyWindow();
    // Shows the window at its normal size, in front.
    void ShowNormal();

    // Inserts the time-stamped text at the top; the oldest line goes beyond 32786 lines.
    // Returns 1.
    int AddLine(const std::string& text);
    // The printf form: formats into at most 255 characters.
    int AddFormattedLine(const char* format, ...) Q_ATTRIBUTE_FORMAT_PRINTF(2, 3);

    // The buttons.
    void OnSend();
    void OnClear();
    void OnClose();
    // Saves every line, newest first, then adds "Writing file has been done !" to the list.
    void OnSave();

    const std::string& CommandText() const { return m_commandText; }
    // The control with the id, or nullptr.
    QWidget* Control(int ctrlId) const;
    int LineCount() const;
    // Line `index` (0 is the newest) as the list shows it; empty outside the list.
    QString Line(int index) const;

    // COnlineStatusUpdater
    bool HasStatusBarWindow() const override;
    void SetStatusBar(bool online) override;
    // RegisteredDialog
    bool HasWindow() const override { return m_created; }
    void EnableWindow(bool enable) override;
    // CommandLogSink
    void OnLogLine(const std::string& line) override { AddLine(line); }

    // Cancel: Escape and the close box hide the window, keeping the typed text.
    void reject() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    // Up (older) and Down (newer) through the lines sent in this run.
    void StepHistory(int step);

    QLineEdit* m_edit = nullptr;
    TerminalLogView* m_list = nullptr;
    StatusStrip* m_statusBar = nullptr;
    TerminalLog m_log;
    // Every line goes in and out through it, also while the window is not built.
    TerminalLogModel* m_model;
    std::string m_commandText;
    std::vector<std::string> m_sent;
    // Where Up and Down stand in m_sent; m_sent.size() is the line being typed, kept in m_draft.
    std::size_t m_historyPos = 0;
    std::string m_draft;
    bool m_built = false;
    bool m_created = false;
};

}  // namespace vela
