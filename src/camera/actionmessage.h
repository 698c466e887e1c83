#pragma once

#include <string>

#include "platform/prompt.h"

namespace vela {

// The box a camera procedure wants shown when it ends: the window shows it with
// ShowMessage, vela-cli prints it.
struct ActionMessage {
    std::string text;
    PromptIcon icon = PromptIcon::None;
    std::string caption = kToolName;
};

inline void ShowActionMessage(const ActionMessage& message) {
    ShowMessage(message.text, message.icon, message.caption);
}

}  // namespace vela
