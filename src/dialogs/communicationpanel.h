#pragma once

namespace vela {

// What the main window asks of the Communication window. The window implements it and
// is attached with CCtrlToolDlg::SetCommunicationPanel; until one is attached the main
// window skips these calls.
class CommunicationPanel {
  public:
    virtual ~CommunicationPanel() = default;
    // Selects entry `index` of the baud-rate list without touching the link.
    virtual void SetBaudRateSelection(int index) = 0;
    // Re-applies the items that depend on the control mode.
    virtual void UpdateControlModeItems() = 0;
    // Shows the window (normal size).
    virtual void ShowNormal() = 0;
};

}  // namespace vela
