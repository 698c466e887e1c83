#include "dialogs/logfile.h"

#include "app/registrysettings.h"
#include "platform/atomicfile.h"
#include "platform/filedialog.h"
#include "platform/prompt.h"

namespace vela {

bool SaveLogAs(const LogFileDialog& dialog, const std::function<std::string()>& text) {
    RegistrySettings& settings = RegistrySettings::Instance();
    std::string folder;
    settings.GetPath(CommandLogFilePath, folder);

    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = dialog.title;
    request.folder = folder;
    request.initialName = "*." + dialog.extension;
    request.filter = dialog.filter;
    request.defaultExtension = dialog.extension;
    FileDialogResult result;
    if (dialog.errorNamesReturnCode) {
        result = RunFileDialog(request);
    } else {
        result = FileDialog::Instance().Run(request);
        if (!result.ok() && result.code != static_cast<int>(FileDialogCode::Cancel))
            ShowMessage("Error in Load Dialog!", PromptIcon::Exclamation, "Load Error");
    }
    if (!result.ok()) return false;
    const std::string& path = result.path;
    if (!ConfirmReplace(path)) return false;

    AtomicFile file;
    bool written = false;
    if (!file.Open(path)) {
        ShowMessage("File open error !", PromptIcon::Stop);
    } else if (file.Write(text()) && file.Commit()) {
        written = true;
    } else {
        // A full disk must not be reported as a written log.
        ShowMessage("File write error !", PromptIcon::Stop);
    }
    settings.SetString(CommandLogFilePath, FolderOfPath(path));
    return written;
}

}  // namespace vela
