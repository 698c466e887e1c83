#include "transport/commandlog.h"

#include <algorithm>

namespace vela {

CommandLog& CommandLog::Instance() {
    static CommandLog log;
    return log;
}

void CommandLog::Join(CommandLogSink* sink) {
    if (sink) m_sinks.push_back(sink);
}

void CommandLog::Leave(CommandLogSink* sink) {
    std::erase(m_sinks, sink);
}

void CommandLog::Log(const std::string& line) {
    // A sink may leave the log while it handles a line; walk a copy.
    const std::vector<CommandLogSink*> sinks = m_sinks;
    for (CommandLogSink* sink : sinks) sink->OnLogLine(line);
}

std::string CommandLog::SentLine(const std::string& text) {
    std::string copy = text;
    while (!copy.empty() && (copy.back() == '\r' || copy.back() == '\n')) copy.pop_back();
    return "Tx: " + copy;
}

}  // namespace vela
