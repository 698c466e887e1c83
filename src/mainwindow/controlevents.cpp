// The control-event dispatcher and its handlers.
#include "mainwindow/ctrltooldlg.h"

namespace vela {

void CCtrlToolDlg::DispatchEditCommit(int ctrlId) {
    EditCommit(ctrlId);
}

void CCtrlToolDlg::DispatchSpinDelta(int upDownId, SpinNotify& nm) {
    SpinDelta(upDownId, nm);
}

void CCtrlToolDlg::DispatchComboChanged(int ctrlId) {
    ComboChanged(ctrlId);
}

void CCtrlToolDlg::DispatchButtonClicked(int ctrlId) {
    ButtonClicked(ctrlId);
}

// The handlers arrive with the event binding; until then an operator change only moves
// the widget and nothing is written to the camera.
void CCtrlToolDlg::EditCommit(int /*ctrlId*/) {}

void CCtrlToolDlg::SpinDelta(int /*upDownId*/, SpinNotify& /*nm*/) {}

void CCtrlToolDlg::ComboChanged(int /*ctrlId*/) {}

void CCtrlToolDlg::ButtonClicked(int /*ctrlId*/) {}

}  // namespace vela
