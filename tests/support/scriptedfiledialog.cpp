#include "support/scriptedfiledialog.h"

namespace vela {

ScriptedFileDialog::ScriptedFileDialog() : m_previous(&FileDialog::Instance()) {
    FileDialog::Install(this);
}

ScriptedFileDialog::~ScriptedFileDialog() {
    FileDialog::Install(m_previous);
}

FileDialogResult ScriptedFileDialog::Run(const FileDialogRequest& request) {
    m_requests.push_back(request);
    if (m_script.empty()) return {};
    const Step step = m_script.front();
    m_script.pop_front();
    FileDialogResult result = step.result;
    if (step.typed && request.mode == FileDialogRequest::Mode::Save && !request.defaultExtension.empty()) {
        const std::size_t name = result.path.find_last_of('/') + 1;
        if (result.path.find('.', name) == std::string::npos) result.path += "." + request.defaultExtension;
    }
    return result;
}

void ScriptedFileDialog::Choose(const std::string& path) {
    m_script.push_back({{static_cast<int>(FileDialogCode::Ok), path}});
}

void ScriptedFileDialog::Type(const std::string& path) {
    m_script.push_back({{static_cast<int>(FileDialogCode::Ok), path}, true});
}

void ScriptedFileDialog::Cancel() {
    m_script.push_back({});
}

void ScriptedFileDialog::Fail(int code) {
    m_script.push_back({{code, {}}});
}

}  // namespace vela
