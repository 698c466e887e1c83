#include "platform/scriptedfiledialog.h"

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
    FileDialogResult result = m_script.front();
    m_script.pop_front();
    return result;
}

void ScriptedFileDialog::Choose(const std::string& path) {
    m_script.push_back({static_cast<int>(FileDialogCode::Ok), path});
}

void ScriptedFileDialog::Cancel() {
    m_script.push_back({});
}

void ScriptedFileDialog::Fail(int code) {
    m_script.push_back({code, {}});
}

}  // namespace vela
