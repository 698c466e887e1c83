#pragma once

#include "platform/prompt.h"

namespace vela {

// Message boxes as QMessageBox, owned by the active window.
class QtPrompt final : public Prompt {
  public:
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                      PromptButtons buttons) override;
};

}  // namespace vela
