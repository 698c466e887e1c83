#pragma once

#include <string>
#include <vector>

#include "camera/enginemessages.h"

namespace vela {

// An engine's listener for tests: keeps the message of every event, in order, as the
// window would show it.
class RecordingEvents final : public MessageEvents {
  public:
    RecordingEvents()
        : MessageEvents([this](const ActionMessage& message) { m_messages.push_back(message); }) {}

    const std::vector<ActionMessage>& entries() const { return m_messages; }
    std::vector<std::string> texts() const {
        std::vector<std::string> texts;
        for (const ActionMessage& message : m_messages) texts.push_back(message.text);
        return texts;
    }
    void clear() { m_messages.clear(); }

  private:
    std::vector<ActionMessage> m_messages;
};

}  // namespace vela
