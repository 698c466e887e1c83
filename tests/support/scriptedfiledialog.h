#pragma once

#include <deque>
#include <vector>

#include "platform/filedialog.h"

namespace vela {

// The tests' FileDialog: keeps every request and answers from a script (a path, a cancel,
// or a failure code). Installs itself on construction and restores the previous one on
// destruction. Cancels once the script is used up.
class ScriptedFileDialog final : public FileDialog {
  public:
    ScriptedFileDialog();
    ~ScriptedFileDialog() override;
    ScriptedFileDialog(const ScriptedFileDialog&) = delete;
    ScriptedFileDialog& operator=(const ScriptedFileDialog&) = delete;

    FileDialogResult Run(const FileDialogRequest& request) override;

    // A file picked as it is.
    void Choose(const std::string& path);
    // A name typed into a save dialog: like the real one, the dialog appends the request's
    // default extension when the name has none.
    void Type(const std::string& path);
    void Cancel();
    void Fail(int code);

    const std::vector<FileDialogRequest>& requests() const { return m_requests; }

  private:
    std::vector<FileDialogRequest> m_requests;
    struct Step {
        FileDialogResult result;
        bool typed = false;
    };
    std::deque<Step> m_script;
    FileDialog* m_previous;
};

}  // namespace vela
