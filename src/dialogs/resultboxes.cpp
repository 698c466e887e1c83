#include "dialogs/resultboxes.h"

#include "camera/enginemessages.h"
#include "platform/prompt.h"

namespace vela {

void ShowActionMessage(const ActionMessage& message) {
    if (!message.text.empty()) ShowMessage(message.text, message.icon, message.caption);
}

bool ShowActionReport(const ActionReport& report) {
    for (const ActionMessage& message : report.messages) ShowActionMessage(message);
    return report.Ok();
}

void ShowEngineEventsAsBoxes() {
    static MessageEvents boxes(ShowActionMessage);
    Command::SetInstanceEvents(&boxes);
}

}  // namespace vela
