#pragma once

#include "platform/prompt.h"
#include "platform/waitcursor.h"

namespace vela {

// Message boxes as QMessageBox, owned by the active window.
class QtPrompt final : public Prompt {
  public:
    PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                      PromptButtons buttons) override;
};

// The wait cursor as Qt's override cursor.
class QtWaitCursor final : public WaitCursor {
  public:
    void Begin() override;
    void End() override;
};

}  // namespace vela
