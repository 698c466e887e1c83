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
    // A sink may make itself or another sink leave (and be destroyed) while it handles a
    // line: walk a copy and skip whoever has left.
    const std::vector<CommandLogSink*> sinks = m_sinks;
    for (CommandLogSink* sink : sinks) {
        if (std::find(m_sinks.begin(), m_sinks.end(), sink) != m_sinks.end()) sink->OnLogLine(line);
    }
}

std::string CommandLog::SentLine(const std::string& text) {
    std::string copy = text;
    while (!copy.empty() && (copy.back() == '\r' || copy.back() == '\n')) copy.pop_back();
    return "Tx: " + copy;
}

}  // namespace vela
