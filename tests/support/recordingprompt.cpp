#include "support/recordingprompt.h"

namespace vela {

RecordingPrompt::RecordingPrompt() : m_previous(&Prompt::Instance()) {
    Prompt::Install(this);
}

RecordingPrompt::~RecordingPrompt() {
    Prompt::Install(m_previous == this ? nullptr : m_previous);
}

PromptAnswer RecordingPrompt::Show(const std::string& text, const std::string& caption, PromptIcon icon,
                                   PromptButtons buttons) {
    m_entries.push_back({text, caption, icon, buttons});
    if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    if (m_script.empty()) return PromptAnswer::No;
    PromptAnswer answer = m_script.front();
    m_script.pop_front();
    return answer;
}

void RecordingPrompt::ScriptAnswers(std::initializer_list<PromptAnswer> answers) {
    m_script.insert(m_script.end(), answers.begin(), answers.end());
}

std::vector<std::string> RecordingPrompt::texts() const {
    std::vector<std::string> out;
    for (const auto& e : m_entries) out.push_back(e.text);
    return out;
}

}  // namespace vela
