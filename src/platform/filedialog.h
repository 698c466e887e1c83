#pragma once

#include <string>

namespace vela {

// One common file dialog (open or save-as). The tool installs the QFileDialog
// implementation at start; tests install a ScriptedFileDialog.
struct FileDialogRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string title;
    // The folder to start in (may be empty: the current directory).
    std::string folder;
    // The name proposed in the name field, for example "*.cam".
    std::string initialName;
    // Qt-style name filter, for example "Camera setting files (*.cam);;All files (*)".
    std::string filter;
    // Appended by the dialog when the chosen name has no extension (without the dot; may be empty).
    std::string defaultExtension;
};

enum class FileDialogCode { Ok = 1, Cancel = 2 };

struct FileDialogResult {
    // FileDialogCode::Ok or ::Cancel as an int; any other value is a failure of the dialog
    // itself and is reported by the caller with its return code.
    int code = static_cast<int>(FileDialogCode::Cancel);
    std::string path;  // absolute path of the chosen file when code is Ok
    bool ok() const { return code == static_cast<int>(FileDialogCode::Ok); }
};

class FileDialog {
  public:
    virtual ~FileDialog() = default;
    // Runs the dialog modally. A save dialog does not ask about replacing an existing
    // file: callers ask that themselves with their own texts.
    virtual FileDialogResult Run(const FileDialogRequest& request) = 0;

    // The installed dialog; one that always cancels when none is installed.
    static FileDialog& Instance();
    // Installs `dialog` (not owned); nullptr restores the cancelling one.
    static void Install(FileDialog* dialog);
};

// Runs the installed dialog. A result other than OK or Cancel is reported as "Error in Load
// Dialog! (Return-code = N)" with the caption "Load Error"; cancel is silent.
FileDialogResult RunFileDialog(const FileDialogRequest& request);

// The question every save asks before it replaces a file: true when `path` names no file
// yet or the operator answered Yes to "<path>\nThis file already exists.\nReplace
// existing file?".
bool ConfirmReplace(const std::string& path);

// The folder of a chosen path, as the dialogs remember it: everything before the last
// '/'; "" for a bare name.
std::string FolderOfPath(const std::string& path);

}  // namespace vela
