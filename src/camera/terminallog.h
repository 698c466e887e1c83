#pragma once

#include <cstdarg>
#include <cstddef>
#include <deque>
#include <string>

#include "platform/clock.h"

namespace vela {

// The terminal's log lines, newest first. Each entry is the minute, second and
// millisecond of the UTC time it was logged at, two blanks, and the logged text.
class TerminalLog {
  public:
    // 32786, not 32768: the number the window has always kept.
    static constexpr std::size_t kMaxEntries = 32786;
    // The printf form formats into at most this many characters.
    static constexpr std::size_t kMaxFormatted = 255;

    // "mm:ss:mmm  " followed by `text`.
    static std::string Stamp(const UtcTime& time, const std::string& text);
    // vsnprintf cut to kMaxFormatted characters; "" for a format that fails.
    static std::string Format(const char* format, va_list args);

    std::size_t Size() const { return m_entries.size(); }
    bool Full() const { return m_entries.size() >= kMaxEntries; }
    // 0 is the newest entry.
    const std::string& At(std::size_t index) const { return m_entries[index]; }

    // The caller trims to kMaxEntries, so that a view hears of each change.
    void PushNewest(std::string entry) { m_entries.push_front(std::move(entry)); }
    void DropOldest() { m_entries.pop_back(); }
    void Clear() { m_entries.clear(); }

    // Every entry, newest first, each followed by CR LF: the saved file's content.
    std::string Text() const;

  private:
    std::deque<std::string> m_entries;
};

}  // namespace vela
