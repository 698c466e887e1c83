#pragma once

#include <string>
#include <vector>

#include "platform/prompt.h"
#include "protocol/result.h"

namespace vela {

// The box a camera procedure wants shown when it ends: the window shows it
// (ShowActionMessage), vela-cli prints it. An empty text asks for no box.
struct ActionMessage {
    std::string text;
    PromptIcon icon = PromptIcon::None;
    std::string caption = kToolName;
};

// What a camera procedure did, and the messages it ends with, in the order they are
// shown. A message need not mean a failure (a value that was clamped), nor a failure a
// message (a refusal the engine already told).
struct ActionReport {
    Result result{};
    std::vector<ActionMessage> messages{};

    bool Ok() const { return result.Ok(); }
};

}  // namespace vela
