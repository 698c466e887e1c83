#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/prompt.h"

namespace vela {

// The tests' Prompt: keeps every box shown and answers questions from a script.
// Installs itself on construction and restores the previous prompt on destruction.
class RecordingPrompt final : public Prompt {
  public:
    struct Entry {
        std::string text;
        std::string caption;
        PromptIcon icon;
        PromptButtons buttons;
    };

    RecordingPrompt();
    ~RecordingPrompt() override;
    RecordingPrompt(const RecordingPrompt&) = delete;
    RecordingPrompt& operator=(const RecordingPrompt&) = delete;

    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                      PromptButtons buttons) override;

    // Answers for the next Yes/No questions, in order; No once the script is used up.
    void ScriptAnswers(std::initializer_list<PromptAnswer> answers);

    const std::vector<Entry>& entries() const { return m_entries; }
    std::vector<std::string> texts() const;
    void clear() { m_entries.clear(); }

  private:
    std::vector<Entry> m_entries;
    std::deque<PromptAnswer> m_script;
    Prompt* m_previous;
};

}  // namespace vela
