#include "protocol/result.h"

#include <utility>

namespace vela {

Result Result::Refused(std::string sent, std::string answer) {
    Result r;
    r.kind = Kind::Refused;
    r.sent = std::move(sent);
    r.answer = std::move(answer);
    return r;
}

Result Result::NoAnswer(std::string sent, int timeoutMs) {
    Result r;
    r.kind = Kind::NoAnswer;
    r.sent = std::move(sent);
    r.timeoutMs = timeoutMs;
    return r;
}

Result Result::PortError(std::string sent, std::string reason) {
    Result r;
    r.kind = Kind::PortError;
    r.sent = std::move(sent);
    r.reason = std::move(reason);
    return r;
}

Result Result::FileError(std::string path, std::string reason) {
    Result r;
    r.kind = Kind::FileError;
    r.path = std::move(path);
    r.reason = std::move(reason);
    return r;
}

Result Result::Stopped(std::string sent) {
    Result r;
    r.kind = Kind::Stopped;
    r.sent = std::move(sent);
    return r;
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
