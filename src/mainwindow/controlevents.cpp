// The control-event dispatcher and its handlers: every operator change on a page is
// written to the camera at once, then either saved or rolled back to the saved value.
#include <QAbstractButton>
#include <QComboBox>
#include <QString>
#include <algorithm>

#include "camera/valuecommit.h"
#include "dialogs/communicationpanel.h"
#include "dialogs/terminaldialog.h"
#include "mainwindow/ctrltooldlg.h"
#include "mainwindow/gen.h"
#include "mainwindow/paramcombobox.h"
#include "mainwindow/spineditbox.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"
#include "protocol/controlids.h"
#include "transport/seriallink.h"

namespace vela {
namespace {

using namespace ctl;

constexpr int kBaudQueryTimeoutMs = 500;
constexpr int kBaudWriteTimeoutMs = 5000;
constexpr int kSensorSelectTimeoutMs = 20000;

// LUT index and data are sent only by the LUT "Write" button.
bool IsLutEntryField(int ctrlId) {
    return ctrlId == kLutIndex || ctrlId == kLutData;
}

// The position in the baud-rate list of a CBDRT code (1, 2, 4, 8, 16); -1 for any other.
int BaudIndexOfCode(int code) {
    for (int index = 0; index < 5; ++index) {
        if (code == 1 << index) return index;
    }
    return -1;
}

void SelectComboItem(CCtrlToolDlg& dlg, int ctrlId, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(dlg.FindControl(ctrlId))) SelectComboQuiet(combo, index);
}

void CheckBoxClicked(CCtrlToolDlg& dlg, int ctrlId) {
    Command& command = Command::Instance();
    command.SetDataValue(ctrlId, dlg.GetControlValue(ctrlId));
    SendChangedValues(command);
    command.SaveDataValues();
}

// A radio group is bound through its first button; its value is the checked position.
void RadioClicked(QAbstractButton* button) {
    int index = 0;
    int firstId = 0;
    if (!CGen::Instance().GetRadioGroup(button, index, firstId)) return;
    Command& command = Command::Instance();
    command.SetDataValue(firstId, index);
    SendChangedValues(command);
    command.SaveDataValues();
}

void RunEnableRuleOf(CCtrlToolDlg& dlg, int ctrlId) {
    switch (ctrlId) {
        case kTriggerOrigin:
            dlg.ApplyTriggerRule();
            break;
        case kLutSelector:
            dlg.ApplyLutRule();
            break;
        case kShadingMode:
        case kPixelBlackMode:
        case kPixelGainMode:
            dlg.ApplyCorrectionRule();
            break;
        default:
            break;
    }
}

// The camera baud rate changes the rate of the running link as well.
void ChangeCameraBaudRate(CCtrlToolDlg& dlg) {
    Command& command = Command::Instance();
    SerialLink& link = SerialLink::Instance();

    int current = 0;
    if (!command.ReadValue(kCmdCBDRT, current, kBaudQueryTimeoutMs)) {
        // Nothing was changed: the list must not claim a rate that nobody switched to.
        dlg.ShowValue(kCameraBaudRate, command.GetDataValue(kCameraBaudRate));
        return;
    }
    const int value = dlg.GetControlValue(kCameraBaudRate);
    if (value == current) return;
    const int index = BaudIndexOfCode(value);
    if (index < 0) return;

    command.SetDataValue(kCameraBaudRate, value);
    // The camera answers at the old rate and switches afterwards, so this answer says
    // nothing about the new rate.
    command.WriteValue(kCmdCBDRT, value, kBaudWriteTimeoutMs);
    link.SetBaudRate(SerialLink::BaudRateFromIndex(index));
    if (command.WriteValue(kCmdCBDRT, value, kBaudWriteTimeoutMs)) {
        if (CommunicationPanel* panel = dlg.Communication()) panel->SetBaudRateSelection(index);
        command.SaveDataValues();
        return;
    }

    const int prev = command.GetSavedDataValue(kCameraBaudRate);
    const int prevIndex = BaudIndexOfCode(prev);
    if (prevIndex < 0) return;
    command.SetDataValue(kCameraBaudRate, prev);
    SelectComboItem(dlg, kCameraBaudRate, prevIndex);
    link.SetBaudRate(SerialLink::BaudRateFromIndex(prevIndex));
}

}  // namespace

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
    QWidget* control = FindControl(ctrlId);
    switch (CGen::Instance().GetControlKind(control, ctrlId)) {
        case CGen::kPushButton:
            ButtonClicked(ctrlId);
            break;
        case CGen::kCheckBox:
            CheckBoxClicked(*this, ctrlId);
            break;
        case CGen::kRadioButton:
            RadioClicked(static_cast<QAbstractButton*>(control));
            break;
        default:
            break;
    }
}

void CCtrlToolDlg::EditCommit(int ctrlId) {
    auto* edit = qobject_cast<SpinEditBox*>(FindControl(ctrlId));
    // A plain edit (the XML version fields, the temperature) has no up-down and binds nothing.
    if (!edit || edit->EditId() != ctrlId) return;
    auto* upDown = qobject_cast<SpinEditBox*>(FindControl(edit->UpDownId()));
    if (!upDown) return;

    Command& command = Command::Instance();
    int value = upDown->Position();
    if (!IsLutEntryField(ctrlId) && command.GetCtrlOption(ctrlId) == 1) {
        // A widened range lets the position stand one past each end; the value may not.
        int minimum = 0;
        int maximum = 0;
        if (command.GetDataRange(ctrlId, minimum, maximum)) value = std::clamp(value, minimum, maximum);
    }
    edit->SetEditText(QString::number(value));
    if (IsLutEntryField(ctrlId)) return;

    command.SetDataValue(ctrlId, value);
    const CommitResult result = CommitOrRollBack(command, ctrlId);
    if (!result.committed) ShowValue(ctrlId, result.value);
    if (ctrlId == kLineRate) UpdateLineRateLabels();
}

void CCtrlToolDlg::SpinDelta(int upDownId, SpinNotify& nm) {
    auto* upDown = qobject_cast<SpinEditBox*>(FindControl(upDownId));
    if (!upDown || upDown->UpDownId() != upDownId) return;

    const long long target = static_cast<long long>(nm.pos) + nm.delta;
    int next = 0;
    if (target < upDown->minimum()) {
        next = upDown->minimum();
    } else if (target >= upDown->maximum()) {
        next = upDown->maximum();
    } else {
        next = static_cast<int>(target);
    }

    const int buddy = upDown->EditId();
    if (IsLutEntryField(buddy)) return;

    Command& command = Command::Instance();
    command.SetDataValue(buddy, next);
    const CommitResult result = CommitOrRollBack(command, buddy);
    if (!result.committed) {
        ShowValue(buddy, result.value);
        // The step itself must not move the control off the saved value.
        upDown->SetPosition(result.value);
        nm.pos = result.value;
        nm.delta = 0;
    }
    if (buddy == kLineRate) UpdateLineRateLabels();
}

void CCtrlToolDlg::ComboChanged(int ctrlId) {
    switch (ctrlId) {
        case kCameraModelList:
            // The model is written only by "Set".
            return;
        case kExposureMode: {
            Command& command = Command::Instance();
            ApplyExposureRule();
            command.SetDataValue(kExposureMode, GetControlValue(kExposureMode));
            ShowChangedValues();
            SendChangedValues(command);
            // The camera may refuse a mode it cannot run now; the choice stays and is kept.
            command.SaveDataValues();
            return;
        }
        case kCameraBaudRate:
            ChangeCameraBaudRate(*this);
            return;
        case kSensorSelect: {
            Command& command = Command::Instance();
            const int value = GetControlValue(kSensorSelect);
            command.SetDataValue(kSensorSelect, value);
            ShowChangedValues();
            const CommitResult result = SettleChange(
                command, kSensorSelect, command.WriteValue(kCmdSS, value, kSensorSelectTimeoutMs));
            if (!result.committed) SelectComboItem(*this, kSensorSelect, result.value);
            return;
        }
        default:
            break;
    }

    RunEnableRuleOf(*this, ctrlId);
    Command& command = Command::Instance();
    command.SetDataValue(ctrlId, GetControlValue(ctrlId));
    ShowChangedValues();
    const CommitResult result = CommitOrRollBack(command, ctrlId);
    if (!result.committed) {
        ShowValue(ctrlId, result.value);
        // The controls that the rule enabled must follow the item shown again.
        RunEnableRuleOf(*this, ctrlId);
    }
}

void CCtrlToolDlg::ButtonClicked(int ctrlId) {
    // The page push buttons and what each runs; a button not listed does nothing.
    static constexpr struct {
        int ctrlId;
        void (CCtrlToolDlg::*run)();
    } kButtons[] = {
        {kTerminal, &CCtrlToolDlg::OnTerminal},
        {kCameraReset, &CCtrlToolDlg::OnCameraReset},
        {kCameraModelSet, &CCtrlToolDlg::OnSetCameraModel},
        {kStoreAll, &CCtrlToolDlg::OnStoreAll},
        {kRecalibrateShading, &CCtrlToolDlg::OnRecalibrateShadingUser},
        {kTemperatureGet, &CCtrlToolDlg::OnGetTemperature},
        {kSaveFactoryArea, &CCtrlToolDlg::OnSaveFactoryArea},
        {kFactoryRecalibrateShading, &CCtrlToolDlg::OnRecalibrateShadingFactory},
        {kOpenLutTable, &CCtrlToolDlg::OnOpenLutTable},
        {kLutRead, &CCtrlToolDlg::OnReadLutEntry},
        {kLutWrite, &CCtrlToolDlg::OnWriteLutEntry},
        {kXmlWrite, &CCtrlToolDlg::OnWriteXmlVersion},
        {kXmlRead, &CCtrlToolDlg::OnReadXmlVersion},
        {kRecalibratePixelBlack, &CCtrlToolDlg::OnRecalibratePixelBlackUser},
        {kOnePush, &CCtrlToolDlg::OnOnePushLineRate},
        {kRecalibratePixelGain, &CCtrlToolDlg::OnRecalibratePixelGainUser},
        {kFactoryRecalibratePixelGain, &CCtrlToolDlg::OnRecalibratePixelGainFactory},
        {kFactoryRecalibratePixelBlack, &CCtrlToolDlg::OnRecalibratePixelBlackFactory},
        {kLineRateMinRead, &CCtrlToolDlg::OnReadLineRateMin},
        {kExposureLimitsRead, &CCtrlToolDlg::OnReadExposureLimits},
    };
    for (const auto& button : kButtons) {
        if (button.ctrlId == ctrlId) {
            (this->*button.run)();
            return;
        }
    }
}

void CCtrlToolDlg::OnOpenLutTable() {
    ShowLutEditors(1);
}

// Shown at once also when it has to be created first.
void CCtrlToolDlg::OnTerminal() {
    if (!m_terminal->HasWindow()) m_terminal->Create();
    m_terminal->ShowNormal();
}

}  // namespace vela
