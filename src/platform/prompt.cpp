#include "platform/prompt.h"

#include <cstdio>

#include "platform/stoprequest.h"

namespace vela {
namespace {

class StderrPrompt final : public Prompt {
  public:
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon,
                      PromptButtons buttons) override {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

StderrPrompt g_stderrPrompt;
Prompt* g_installed = nullptr;

}  // namespace

Prompt& Prompt::Instance() {
    return g_installed ? *g_installed : g_stderrPrompt;
}

void Prompt::Install(Prompt* prompt) {
    g_installed = prompt;
}

namespace {

// A run that is asked to end shows no more boxes: one would hold it open until answered.
Prompt& Shown() {
    return StopRequested() ? g_stderrPrompt : Prompt::Instance();
}

}  // namespace

void ShowMessage(const std::string& text, PromptIcon icon, const std::string& caption) {
    Shown().Show(text, caption, icon, PromptButtons::Ok);
}

bool AskYesNo(const std::string& text, const std::string& caption) {
    return Shown().Show(text, caption, PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
}

}  // namespace vela
