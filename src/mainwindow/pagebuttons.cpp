// The page push buttons' actions: the camera procedures run in the camera layer; here
// they take their input from the pages and show what came back.
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <QTimer>

#include "camera/pageactions.h"
#include "camera/recalibration.h"
#include "dialogs/dialogregistry.h"
#include "dialogs/resultboxes.h"
#include "mainwindow/ctrltooldlg.h"
#include "mainwindow/spineditbox.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"
#include "protocol/controlids.h"

namespace vela {
namespace {

using namespace ctl;

// A static, a plain edit or a spin edit shows `text`; other controls are left alone.
void SetControlText(const CCtrlToolDlg& dlg, int ctrlId, const QString& text) {
    QWidget* control = dlg.FindControl(ctrlId);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        // A program's change is no operator's edit: nothing may be committed from it.
        const QSignalBlocker block(edit);
        edit->setText(text);
    } else if (auto* spin = qobject_cast<SpinEditBox*>(control)) {
        spin->SetEditText(text);
    }
}

void ShowNumber(const CCtrlToolDlg& dlg, int ctrlId, int value) {
    SetControlText(dlg, ctrlId, QString::number(value));
}

// The first character of a plain edit, "" when it is empty or missing.
std::string FirstCharacter(const CCtrlToolDlg& dlg, int ctrlId) {
    auto* edit = qobject_cast<QLineEdit*>(dlg.FindControl(ctrlId));
    return edit ? edit->text().left(1).toStdString() : std::string();
}

// Waits while the windows keep repainting. Operator input stays out: the windows are
// disabled, and a nested loop must not start a second camera action.
void PauseWithWindowsAlive(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void RunRecalibrationAction(RecalibrationKind kind) {
    const Recalibration& recalibration = RecalibrationOf(kind);
    RecalibrationResult result;
    {
        const LongOperation operation;
        if (!operation.Started()) return;
        result = RunRecalibration(Command::Instance(), recalibration, PauseWithWindowsAlive);
    }
    ShowActionMessage(RecalibrationMessage(recalibration, result));
}

}  // namespace

void CCtrlToolDlg::OnReadLineRateMin() {
    int value = 0;
    if (ReadLineRateMinimum(Command::Instance(), value)) ShowNumber(*this, kLineRateMinLabel, value);
}

void CCtrlToolDlg::OnReadExposureLimits() {
    const ExposureLimits limits = ReadExposureLimits(Command::Instance());
    if (limits.maximum) ShowNumber(*this, kExposureMaxLabel, *limits.maximum);
    if (limits.minimum) ShowNumber(*this, kExposureMinLabel, *limits.minimum);
}

void CCtrlToolDlg::OnOnePushLineRate() {
    int lineRate = 0;
    if (RunOnePushLineRate(Command::Instance(), lineRate)) ShowValue(kLineRate, lineRate);
    UpdateLineRateLabels();
}

void CCtrlToolDlg::OnGetTemperature() {
    int value = 0;
    if (ReadTemperature(Command::Instance(), value)) ShowNumber(*this, kTemperature, value);
}

void CCtrlToolDlg::OnReadLutEntry() {
    int data = 0;
    if (ReadLutEntry(Command::Instance(), GetControlValue(kLutIndex), data)) ShowValue(kLutData, data);
}

void CCtrlToolDlg::OnWriteLutEntry() {
    WriteLutEntry(Command::Instance(), GetControlValue(kLutIndex), GetControlValue(kLutData));
}

void CCtrlToolDlg::OnRecalibrateShadingUser() {
    RunRecalibrationAction(RecalibrationKind::ShadingUser);
}

void CCtrlToolDlg::OnRecalibratePixelGainUser() {
    RunRecalibrationAction(RecalibrationKind::PixelGainUser);
}

void CCtrlToolDlg::OnRecalibratePixelBlackUser() {
    RunRecalibrationAction(RecalibrationKind::PixelBlackUser);
}

void CCtrlToolDlg::OnRecalibrateShadingFactory() {
    RunRecalibrationAction(RecalibrationKind::ShadingFactory);
}

void CCtrlToolDlg::OnRecalibratePixelGainFactory() {
    RunRecalibrationAction(RecalibrationKind::PixelGainFactory);
}

void CCtrlToolDlg::OnRecalibratePixelBlackFactory() {
    RunRecalibrationAction(RecalibrationKind::PixelBlackFactory);
}

void CCtrlToolDlg::OnSetCameraModel() {
    auto* models = qobject_cast<QComboBox*>(FindControl(kCameraModelList));
    const int index = models ? models->currentIndex() : -1;
    ShowActionMessage(WriteCameraModel(Command::Instance(), CameraModel::Instance(), index));
}

void CCtrlToolDlg::OnWriteXmlVersion() {
    const int value = XmlVersionFromFields(FirstCharacter(*this, kXmlMajor), FirstCharacter(*this, kXmlMinor),
                                           FirstCharacter(*this, kXmlRevision));
    ShowActionMessage(WriteXmlVersion(Command::Instance(), value));
}

void CCtrlToolDlg::OnReadXmlVersion() {
    int value = 0;
    if (!ReadXmlVersion(Command::Instance(), value)) return;
    const XmlVersionDigits digits = SplitXmlVersion(value);
    ShowNumber(*this, kXmlMajor, digits.first);
    ShowNumber(*this, kXmlMinor, digits.second);
    ShowNumber(*this, kXmlRevision, digits.third);
}

void CCtrlToolDlg::OnCameraReset() {
    ResetCamera(Command::Instance());
    // The camera restarts whether or not it answered; the tool ends with it, unasked.
    SetCloseWithoutConfirmation(1);
    OnCancel();
}

}  // namespace vela
