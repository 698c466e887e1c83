#include "cli/jsonout.h"

#include <cstdio>
#include <cstdlib>

namespace vela::cli {
namespace {

bool IsJsonNumber(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-') ++i;
    const std::size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == digits || (s[digits] == '0' && i - digits > 1)) return false;
    if (i < s.size() && s[i] == '.') {
        const std::size_t frac = ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        if (i == frac) return false;
    }
    return i == s.size();
}

}  // namespace

std::string JsonOut::Quote(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7f) {
            // Camera answers are ASCII; any other byte is escaped so the document stays valid.
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", u);
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

void JsonOut::Add(const std::string& key, const std::string& text) {
    if (!m_members.empty()) m_members += ",";
    m_members += Quote(key) + ":" + Quote(text);
}

void JsonOut::AddNumber(const std::string& key, const std::string& number) {
    if (!IsJsonNumber(number)) {
        Add(key, number);
        return;
    }
    if (!m_members.empty()) m_members += ",";
    m_members += Quote(key) + ":" + number;
}

}  // namespace vela::cli
