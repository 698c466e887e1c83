#include "camera/terminallog.h"

#include <algorithm>
#include <cstdio>

namespace vela {

std::string TerminalLog::Stamp(const UtcTime& time, const std::string& text) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%03d  ", time.minute, time.second, time.millisecond);
    return stamp + text;
}

std::string TerminalLog::Format(const char* format, va_list args) {
    char buffer[kMaxFormatted + 1];
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    if (length < 0) return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(length), kMaxFormatted));
}

std::string TerminalLog::Text() const {
    std::string data;
    std::size_t size = 0;
    for (const std::string& entry : m_entries) size += entry.size() + 2;
    data.reserve(size);
    for (const std::string& entry : m_entries) {
        data += entry;
        data += "\r\n";
    }
    return data;
}

}  // namespace vela
