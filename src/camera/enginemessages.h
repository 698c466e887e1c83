#pragma once

#include <functional>
#include <string>

#include "camera/actionmessage.h"
#include "protocol/command.h"

namespace vela {

// The messages for what an engine tells while its transactions run, the same for the
// window's boxes and vela-cli's lines.
// "Communication Error": a query's names the line it answered, a write's shows the answer alone.
ActionMessage RefusalMessage(const Result& result, bool query);
ActionMessage ReceiveOverflowMessage();
ActionMessage UnknownIdMessage(const std::string& function, int id);
ActionMessage UnsupportedModelMessage(const std::string& answer);

// An engine's listener that hands each event's message to `sink` at once.
class MessageEvents : public CommandEvents {
  public:
    using Sink = std::function<void(const ActionMessage&)>;
    explicit MessageEvents(Sink sink) : m_sink(std::move(sink)) {}

    void Refused(const Result& result, bool query) override { m_sink(RefusalMessage(result, query)); }
    void ReceiveOverflow() override { m_sink(ReceiveOverflowMessage()); }
    void UnknownId(const std::string& function, int id) override { m_sink(UnknownIdMessage(function, id)); }
    void UnsupportedModel(const std::string& answer) override { m_sink(UnsupportedModelMessage(answer)); }

  private:
    Sink m_sink;
};

}  // namespace vela
