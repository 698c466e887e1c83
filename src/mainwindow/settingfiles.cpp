// The main window's side of setting files and flash areas: the file dialogs, the area
// selection, and the page refreshes around the camera procedures.
#include "app/registrysettings.h"
#include "camera/flashareas.h"
#include "camera/settingfile.h"
#include "dialogs/dialogregistry.h"
#include "dialogs/resultboxes.h"
#include "mainwindow/ctrltooldlg.h"
#include "mainwindow/dialogprogress.h"
#include "mainwindow/parameterareaselectdialog.h"
#include "platform/filedialog.h"
#include "platform/prompt.h"
#include "protocol/cameramodel.h"
#include "protocol/command.h"

namespace vela {
namespace {

constexpr const char* kCameraFileFilter = "Camera setting data (*.cam)";
constexpr const char* kCameraFileExtension = "cam";

FileDialogResult RunCameraFileDialog(FileDialogRequest::Mode mode, const char* title) {
    std::string folder;
    RegistrySettings::Instance().GetPath(CameraFilePath, folder);
    FileDialogRequest request;
    request.mode = mode;
    request.title = title;
    request.folder = folder;
    request.initialName = folder + "/*." + kCameraFileExtension;
    request.filter = kCameraFileFilter;
    request.defaultExtension = kCameraFileExtension;
    return RunFileDialog(request);
}

void RememberCameraFileFolder(const std::string& path) {
    RegistrySettings::Instance().SetString(CameraFilePath, FolderOfPath(path));
}

}  // namespace

int CCtrlToolDlg::SaveSettingFile(const std::string& path, SettingFileKind kind) {
    const LongOperation operation;
    if (!operation.Started()) return 0;
    return ShowActionReport(vela::SaveSettingFile(path, kind, Command::Instance(), CameraModel::Instance(),
                                                  ControlMode::Instance().Get()))
               ? 1
               : 0;
}

int CCtrlToolDlg::LoadSettingFile(const std::string& path) {
    const LongOperation operation;
    if (!operation.Started()) return 0;
    // The pages show the file's values before the progress window closes.
    DialogProgress progress(this, [this] { ShowAllValues(); });
    const int result =
        ShowActionReport(vela::LoadSettingFile(path, Command::Instance(), CameraModel::Instance(),
                                               ControlMode::Instance().Get(), progress))
            ? 1
            : 0;
    if (result == 1) {
        ShowModelControls();
        ApplyEnableRules();
        UpdateLineRateLabels();
    }
    return result;
}

void CCtrlToolDlg::SaveSettingFileDialog(SettingFileKind kind) {
    const FileDialogResult result = RunCameraFileDialog(FileDialogRequest::Mode::Save, "Save As");
    if (!result.ok() || !ConfirmReplace(result.path)) return;
    SaveSettingFile(result.path, kind);
    RememberCameraFileFolder(result.path);
}

void CCtrlToolDlg::OpenSettingFileDialog() {
    const FileDialogResult result = RunCameraFileDialog(FileDialogRequest::Mode::Open, "Open");
    if (!result.ok()) return;
    LoadSettingFile(result.path);
    RememberCameraFileFolder(result.path);
}

void CCtrlToolDlg::StoreSettings() {
    CParameterAreaSelectDialog dialog(this, 0);
    if (dialog.DoModal() != QDialog::Accepted) return;
    m_currentArea = dialog.SelectedArea();
    ShowActionMessage(StoreSettingsToArea(Command::Instance(), m_currentArea));
}

void CCtrlToolDlg::LoadSettings() {
    CParameterAreaSelectDialog dialog(this, 1);
    if (dialog.DoModal() != QDialog::Accepted) return;
    m_currentArea = dialog.SelectedArea();
    if (LoadArea(Command::Instance(), m_currentArea, kLoadAreaTimeoutMs) == 1) ReadCameraSettings();
}

void CCtrlToolDlg::OnStoreAll() {
    if (!AskYesNo("Are you sure you want to overwrite into all EEPROM areas?")) return;
    const LongOperation operation;
    if (operation.Started()) ShowActionMessage(StoreAllWithReport(Command::Instance()));
}

void CCtrlToolDlg::OnSaveFactoryArea() {
    StoreArea(Command::Instance(), kFactoryArea, kStoreFactoryAreaTimeoutMs);
}

}  // namespace vela
