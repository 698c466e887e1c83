#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace vela {

// A window that shows the lines sent to and received from the camera ("Tx: ...",
// "Rx: ..."). The terminal and the communication window join the log.
class CommandLogSink {
  public:
    virtual ~CommandLogSink() = default;
    virtual void OnLogLine(const std::string& line) = 0;
};

// The log of every line that crosses the link. Sinks get each line in the order the
// lines were logged, and in the order the sinks joined.
class CommandLog {
  public:
    static CommandLog& Instance();

    void Join(CommandLogSink* sink);   // not owned; joining twice delivers twice
    void Leave(CommandLogSink* sink);  // removes every entry of the sink
    void Log(const std::string& line);

    // "Tx: " plus the text without its trailing CR and LF characters.
    static std::string SentLine(const std::string& text);

  private:
    std::vector<CommandLogSink*> m_sinks;
};

}  // namespace vela
