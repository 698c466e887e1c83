#pragma once

#include <string>

namespace vela {

// What a transaction or a camera procedure did. The layers below the windows return it and
// show nothing; the windows turn it into their message boxes, vela-cli into its exit status
// and messages.
struct Result {
    enum class Kind {
        Done,
        Refused,    // the camera answered something other than what was asked for
        NoAnswer,   // no answer line within the time-out
        PortError,  // the line could not be sent
        FileError,  // a file could not be opened, read or written
        Stopped,    // the run was asked to end (a signal) before the line went out
    };
    Kind kind = Kind::Done;
    std::string sent{};    // Refused, NoAnswer, PortError: the line, without its line end
    std::string answer{};  // Refused: the camera's answer as it came
    int timeoutMs = 0;     // NoAnswer: how long the answer was waited for
    std::string path{};    // FileError
    std::string reason{};  // PortError, FileError: what failed

    bool Ok() const { return kind == Kind::Done; }

    static Result Done() { return {}; }
    static Result Refused(std::string sent, std::string answer);
    static Result NoAnswer(std::string sent, int timeoutMs);
    static Result PortError(std::string sent, std::string reason);
    static Result FileError(std::string path, std::string reason);
    static Result Stopped(std::string sent = {});
};

// One line that says what happened, for a log or a script: "the camera refused GA=5000:
// ERROR", "no answer from the camera to GA? within 2000 ms", ...
std::string Describe(const Result& result);

}  // namespace vela
