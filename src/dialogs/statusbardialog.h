#pragma once

#include <QDialog>

#include "dialogs/dialogregistry.h"
#include "protocol/onlinestatusregistry.h"

class QKeyEvent;
class QVBoxLayout;

namespace vela {

class StatusStrip;

// A dialog with the online/offline strip along its bottom edge. From RegisterDialog() until
// it is destroyed it is listed with the online indication and with the dialogs that long
// operations disable. Its controls carry their ids and are found by them.
class StatusBarDialog : public QDialog, public COnlineStatusUpdater, public RegisteredDialog {
    Q_OBJECT

  public:
    StatusBarDialog(int statusBarId, QWidget* parent);
    ~StatusBarDialog() override;
    StatusBarDialog(const StatusBarDialog&) = delete;
    StatusBarDialog& operator=(const StatusBarDialog&) = delete;

    // The dialog's initialisation: registration, then what it shows and reads.
    virtual bool OnInitDialog() = 0;
    // The initialisation, then the modal run; the dialog's result.
    int DoModal();

    // The control with `ctrlId`, or nullptr.
    QWidget* FindControl(int ctrlId) const;
    StatusStrip* StatusBar() const { return m_statusBar; }

    // COnlineStatusUpdater
    bool HasStatusBarWindow() const override { return m_registered; }
    void SetStatusBar(bool online) override;
    // RegisteredDialog
    bool HasWindow() const override { return m_registered; }
    void EnableWindow(bool enable) override { setEnabled(enable); }

  protected:
    // Where the dialog's own controls go, above the strip.
    QVBoxLayout* Body() const { return m_body; }
    // Gives `widget` its control id and returns it.
    template <class W>
    W* Bind(W* widget, int ctrlId) {
        BindId(widget, ctrlId);
        return widget;
    }
    void RegisterDialog();
    // Enter on a focused button presses it; anywhere else it closes the dialog as OK, which
    // saves nothing. Esc closes it as Cancel.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    static void BindId(QWidget* widget, int ctrlId);

    QVBoxLayout* m_body;
    StatusStrip* m_statusBar;
    bool m_registered = false;
};

}  // namespace vela
