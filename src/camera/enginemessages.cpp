#include "camera/enginemessages.h"

namespace vela {
namespace {

constexpr const char* kCommunicationError = "Communication Error";

}  // namespace

ActionMessage RefusalMessage(const Result& result, bool query) {
    return {query ? result.answer + " for " + result.sent : result.answer, PromptIcon::Exclamation,
            kCommunicationError};
}

ActionMessage ReceiveOverflowMessage() {
    return {"RS-232C receiving buffer overflowed", PromptIcon::Exclamation, kCommunicationError};
}

ActionMessage UnknownIdMessage(const std::string& function, int id) {
    if (function == "ToCtrlId")
        return {"Unexpected error occurred in ToCtrlId(): Command id is " + std::to_string(id),
                PromptIcon::Exclamation};
    return {"Unexpected error occurred in " + function + "().", PromptIcon::Exclamation};
}

ActionMessage UnsupportedModelMessage(const std::string& answer) {
    return {"Unsupported model: \"" + answer + "\"", PromptIcon::Exclamation};
}

}  // namespace vela
