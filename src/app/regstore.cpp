#include "app/regstore.h"

#include <cctype>
#include <cstdio>

namespace vela {
namespace {

constexpr const char* kHeader = "REGEDIT4";

std::string StripCr(std::string s) {
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
}

// Reads a quoted string starting at s[pos] == '"'; handles \\ and \" escapes.
std::optional<std::string> ReadQuoted(const std::string& s, size_t& pos) {
    if (pos >= s.size() || s[pos] != '"') return std::nullopt;
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '\\') {
            if (pos + 1 >= s.size()) return std::nullopt;
            out.push_back(s[++pos]);
        } else if (c == '"') {
            ++pos;
            return out;
        } else {
            out.push_back(c);
        }
    }
    return std::nullopt;  // unterminated
}

// Key and value names are matched as the registry matches them: without regard to case.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool HasLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}

bool IsSectionLine(const std::string& line) {
    return !line.empty() && line.front() == '[';
}

}  // namespace

std::string RegStore::Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::optional<std::pair<std::string, RegStore::Value>> RegStore::ParseValueLine(const std::string& line) {
    size_t pos = 0;
    auto name = ReadQuoted(line, pos);
    if (!name || pos >= line.size() || line[pos] != '=') return std::nullopt;
    ++pos;
    Value v;
    if (line.compare(pos, 6, "dword:") == 0) {
        pos += 6;
        const std::string digits = line.substr(pos);
        if (digits.empty() || digits.size() > 8) return std::nullopt;
        std::uint32_t x = 0;
        for (char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
            x = x * 16 +
                static_cast<std::uint32_t>(std::isdigit(static_cast<unsigned char>(c))
                                               ? c - '0'
                                               : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        }
        v.type = Value::Type::Dword;
        v.dword = x;
    } else {
        auto text = ReadQuoted(line, pos);
        if (!text || pos != line.size()) return std::nullopt;
        v.type = Value::Type::String;
        v.text = *text;
    }
    return std::make_pair(*name, v);
}

std::string RegStore::FormatValueLine(const std::string& name, const Value& value) {
    if (value.type == Value::Type::Dword) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08x", value.dword);
        return "\"" + Escape(name) + "\"=dword:" + hex;
    }
    return "\"" + Escape(name) + "\"=\"" + Escape(value.text) + "\"";
}

void RegStore::Parse(const std::string& content) {
    m_lines.clear();
    m_keyLine = m_keyEnd = -1;
    size_t start = 0;
    while (start < content.size()) {
        size_t nl = content.find('\n', start);
        std::string raw =
            StripCr(content.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        m_lines.push_back({raw, {}, std::nullopt});
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    const std::string keyHeader = "[" + m_keyPath + "]";
    bool inKey = false;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        Line& l = m_lines[i];
        if (IsSectionLine(l.raw)) {
            if (inKey) m_keyEnd = static_cast<int>(i);
            // A second section of the same key continues it, as an import would.
            inKey = SameName(l.raw, keyHeader);
            if (inKey && m_keyLine < 0) m_keyLine = static_cast<int>(i);
            continue;
        }
        if (!inKey) continue;
        if (auto parsed = ParseValueLine(l.raw)) {
            l.name = parsed->first;
            l.value = parsed->second;
        }
        m_keyEnd = static_cast<int>(i) + 1;
    }
    if (m_keyLine >= 0 && m_keyEnd < 0) m_keyEnd = m_keyLine + 1;
}

std::string RegStore::Serialize() const {
    std::string out;
    for (const Line& l : m_lines) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

void RegStore::CreateKey() {
    if (HasKey()) return;
    if (m_lines.empty()) {
        m_lines.push_back({kHeader, {}, std::nullopt});
        m_lines.push_back({"", {}, std::nullopt});
    } else if (!m_lines.back().raw.empty()) {
        m_lines.push_back({"", {}, std::nullopt});
    }
    m_lines.push_back({"[" + m_keyPath + "]", {}, std::nullopt});
    m_keyLine = static_cast<int>(m_lines.size()) - 1;
    m_keyEnd = m_keyLine + 1;
}

std::optional<RegStore::Value> RegStore::Get(const std::string& name) const {
    std::optional<Value> found;
    for (const Line& l : m_lines)
        if (l.value && SameName(l.name, name)) found = l.value;
    return found;
}

bool RegStore::Set(const std::string& name, const Value& value) {
    // A line break would split the value line: it could never be read back, and each
    // later write would add another broken copy.
    if (HasLineBreak(name) || (value.type == Value::Type::String && HasLineBreak(value.text))) return false;
    CreateKey();
    int last = -1;
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].value && SameName(m_lines[i].name, name)) last = static_cast<int>(i);
    if (last >= 0) {
        // Only the last assignment counts, so replacing it is enough; earlier duplicates
        // stay as they were. The name keeps the spelling the file has.
        Line& line = m_lines[static_cast<size_t>(last)];
        line = {FormatValueLine(line.name, value), line.name, value};
        return true;
    }
    const std::string raw = FormatValueLine(name, value);
    // Insert after the last non-empty line of the section.
    int at = m_keyEnd;
    while (at - 1 > m_keyLine && m_lines[static_cast<size_t>(at - 1)].raw.empty()) --at;
    m_lines.insert(m_lines.begin() + at, Line{raw, name, value});
    ++m_keyEnd;
    return true;
}

}  // namespace vela
