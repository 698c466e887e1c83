#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vela {

// One key of a REGEDIT4 text file, as Windows exports it:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\Software\Corvane\VELA-4K Control Tool]
//   "Name"=dword:0000000a
//   "Name"="text with \\ and \" escaped"
//
// Lines this reader does not understand (other keys, damaged lines, stray bytes) are
// kept verbatim and written back unchanged, so a damaged file is never made worse.
class RegStore {
  public:
    struct Value {
        enum class Type { Dword, String };
        Type type = Type::Dword;
        std::uint32_t dword = 0;
        std::string text;
    };

    explicit RegStore(std::string keyPath) : m_keyPath(std::move(keyPath)) {}

    // Parses file content; never fails (what it cannot read stays foreign).
    void Parse(const std::string& content);
    std::string Serialize() const;

    bool HasKey() const { return m_keyLine >= 0; }
    void CreateKey();

    // The last assignment of a name wins, as when the file is imported. Names match
    // without regard to case. Set refuses (false, nothing changed) a name or text that
    // holds a CR or LF.
    std::optional<Value> Get(const std::string& name) const;
    bool Set(const std::string& name, const Value& value);

    static std::string Escape(const std::string& text);

  private:
    struct Line {
        std::string raw;   // as read, without its line end
        std::string name;  // set for a value line of our key
        std::optional<Value> value;
    };
    static std::optional<std::pair<std::string, Value>> ParseValueLine(const std::string& line);
    static std::string FormatValueLine(const std::string& name, const Value& value);

    std::string m_keyPath;
    std::vector<Line> m_lines;
    int m_keyLine = -1;  // index of our key's header line
    int m_keyEnd = -1;   // one past the last line of our key's section
};

}  // namespace vela
