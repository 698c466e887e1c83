#include "protocol/result.h"

#include <utility>

namespace vela {

Result Result::Refused(std::string sent, std::string answer) {
    return {.kind = Kind::Refused, .sent = std::move(sent), .answer = std::move(answer)};
}

Result Result::NoAnswer(std::string sent, int timeoutMs) {
    return {.kind = Kind::NoAnswer, .sent = std::move(sent), .timeoutMs = timeoutMs};
}

Result Result::PortError(std::string sent, std::string reason) {
    return {.kind = Kind::PortError, .sent = std::move(sent), .reason = std::move(reason)};
}

Result Result::FileError(std::string path, std::string reason) {
    return {.kind = Kind::FileError, .path = std::move(path), .reason = std::move(reason)};
}

Result Result::Stopped(std::string sent) {
    return {.kind = Kind::Stopped, .sent = std::move(sent)};
}

std::string Describe(const Result& r) {
    switch (r.kind) {
        case Result::Kind::Done:
            return "done";
        case Result::Kind::Refused:
            return "the camera refused " + r.sent + ": " + r.answer;
        case Result::Kind::NoAnswer:
            return "no answer from the camera to " + r.sent + " within " + std::to_string(r.timeoutMs) +
                   " ms";
        case Result::Kind::PortError:
            return "could not send " + r.sent + ": " + r.reason;
        case Result::Kind::FileError:
            return r.path + ": " + r.reason;
        case Result::Kind::Stopped:
            return r.sent.empty() ? "stopped" : "stopped before " + r.sent;
    }
    return {};
}

}  // namespace vela
