#include "dialogs/luteditors.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdint>
#include <filesystem>
#include <string>

#include "dialogs/lutdlg.h"
#include "dialogs/resultboxes.h"
#include "platform/clock.h"
#include "platform/filedialog.h"
#include "platform/waitcursor.h"
#include "protocol/cameramodel.h"

namespace vela {
namespace {

constexpr std::uint32_t kLoadAllPauseMs = 20;
// Where a window without an owner first appears, before the cascade.
constexpr int kTemplateOffset = 40;

// The open or save-as dialog for a gamma file, in the process's current directory.
FileDialogResult RunGammaFileDialog(FileDialogRequest::Mode mode, const char* filter) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    FileDialogRequest request;
    request.mode = mode;
    request.folder = error ? std::string() : folder.string();
    request.initialName = request.folder + "/*." + kGammaFileExtension;
    request.filter = filter;
    request.defaultExtension = kGammaFileExtension;
    return RunFileDialog(request);
}

}  // namespace

LutEditors::LutEditors(QWidget* mainWindow) : m_mainWindow(mainWindow) {
    for (int i = 0; i < kEditorCount; ++i)
        m_editors[static_cast<std::size_t>(i)] = std::make_unique<CLUTDlg>(i);
}

LutEditors::~LutEditors() = default;

void LutEditors::CreateLutEditors() {
    QPoint origin(kTemplateOffset, kTemplateOffset);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        origin += screen->availableGeometry().topLeft();
    int created = 0;
    for (const std::unique_ptr<CLUTDlg>& editor : m_editors) {
        if (editor->HasWindow()) continue;
        editor->Create();
        ++created;
        editor->move(origin + QPoint(kCascadeStep * created, kCascadeStep * created));
    }
}

void LutEditors::ShowLutEditors(int show) {
    const bool supported = CameraModel::Instance().IsSupported();
    for (int i = 0; i < kEditorCount; ++i) {
        CLUTDlg& editor = *m_editors[static_cast<std::size_t>(i)];
        if (!editor.HasWindow() || (supported && i != kMonochromeEditor)) continue;
        if (show != 1) {
            editor.hide();
            continue;
        }
        if (supported) editor.setWindowTitle(QLatin1String(CLUTDlg::kMonochromeTitle));
        editor.show();
        editor.raise();
    }
}

int LutEditors::ReadAllTablesFromCamera() {
    // One operation for all three tables: the windows stay disabled between them.
    const LongOperation operation;
    if (!operation.Started()) return 0;
    if (CameraModel::Instance().IsSupported())
        return m_editors[static_cast<std::size_t>(kMonochromeEditor)]->ReadTableWithin(operation);
    for (const std::unique_ptr<CLUTDlg>& editor : m_editors) {
        if (editor->ReadTableWithin(operation) != 1) return 0;
    }
    return 1;
}

void LutEditors::DestroyWindows() {
    for (const std::unique_ptr<CLUTDlg>& editor : m_editors) editor->DestroyWindow();
}

CLUTDlg* LutEditors::Editor(int index) const {
    return index >= 0 && index < kEditorCount ? m_editors[static_cast<std::size_t>(index)].get() : nullptr;
}

LutTableRefs LutEditors::Tables() const {
    LutTableRefs refs{};
    for (std::size_t i = 0; i < refs.size(); ++i) refs[i] = &m_editors[i]->Table();
    return refs;
}

void LutEditors::OnOpenLutFile() {
    const FileDialogResult chosen =
        RunGammaFileDialog(FileDialogRequest::Mode::Open, "Camera gamma data (*.csv)");
    if (!chosen.ok() || !ShowActionReport(ReadGammaFile(chosen.path, Tables()))) return;
    for (const std::unique_ptr<CLUTDlg>& editor : m_editors) {
        editor->SetMode(CLUTDlg::ViewMode);
        editor->InvalidateGraph();
        editor->DrawCurve();
    }
}

void LutEditors::OnSaveLutFile() {
    if (ReadAllTablesFromCamera() != 1) return;
    const FileDialogResult chosen =
        RunGammaFileDialog(FileDialogRequest::Mode::Save, "Camera gamm data (*.csv)");
    if (!chosen.ok() || !ConfirmReplace(chosen.path)) return;
    ShowActionReport(WriteGammaFile(chosen.path, CameraModel::Instance().IsSupported(), Tables()));
}

void LutEditors::OnLoadAllLutTable() {
    WaitCursorScope cursor;
    ReadAllTablesFromCamera();
    cursor.End();
    SleepMs(kLoadAllPauseMs);
}

}  // namespace vela
