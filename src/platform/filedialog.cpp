#include "platform/filedialog.h"

#include <filesystem>
#include <string>

#include "platform/prompt.h"

namespace vela {
namespace {

class CancellingFileDialog final : public FileDialog {
  public:
    FileDialogResult Run(const FileDialogRequest&) override { return {}; }
};

CancellingFileDialog g_cancelling;
FileDialog* g_installed = nullptr;

}  // namespace

FileDialog& FileDialog::Instance() {
    return g_installed ? *g_installed : g_cancelling;
}

void FileDialog::Install(FileDialog* dialog) {
    g_installed = dialog;
}

FileDialogResult RunFileDialog(const FileDialogRequest& request) {
    const FileDialogResult result = FileDialog::Instance().Run(request);
    if (!result.ok() && result.code != static_cast<int>(FileDialogCode::Cancel)) {
        ShowMessage("Error in Load Dialog! (Return-code = " + std::to_string(result.code) + ")",
                    PromptIcon::Exclamation, "Load Error");
    }
    return result;
}

bool ConfirmReplace(const std::string& path) {
    // A link whose target is gone still names a file the save would write through.
    std::error_code error;
    return !std::filesystem::exists(std::filesystem::symlink_status(path, error)) ||
           AskYesNo(path + "\nThis file already exists." + "\nReplace existing file?");
}

std::string FolderOfPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace vela
