#include "protocol/valuetext.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace vela {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int ParseHex(const std::string& text, std::size_t from) {
    std::uint64_t value = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0) break;
        value = std::min<std::uint64_t>(value * 16 + static_cast<std::uint64_t>(d), 0xFFFFFFFFu);
    }
    return static_cast<int>(static_cast<std::uint32_t>(value));
}

}  // namespace

std::string ToUpperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

int ParseIntegerText(const std::string& text) {
    if (text.compare(0, 2, "&H") == 0) return ParseHex(text, 2);
    return ParseDecimalText(text);
}

int ParseDecimalText(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = std::min<long long>(magnitude * 10 + (text[i] - '0'), 1LL << 32);
    }
    return static_cast<int>(std::clamp<long long>(negative ? -magnitude : magnitude, INT_MIN, INT_MAX));
}

double ParseRealText(const std::string& text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t mantissaStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    std::size_t digits = i - mantissaStart;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        digits += i - fractionStart;
    }
    if (digits == 0) return 0.0;
    const std::size_t mantissaEnd = i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
        const std::size_t exponentStart = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > exponentStart) i = j;
    }
    // from_chars takes no leading '+' and reads the "C" locale's point whatever the
    // process locale is.
    const std::size_t begin = text[0] == '+' ? 1 : 0;
    double value = 0.0;
    const auto result = std::from_chars(text.data() + begin, text.data() + i, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range: an underflow is 0 in effect; an overflow saturates.
        const bool integerPartZero = text.find_first_not_of('0', mantissaStart) >=
                                     std::min(text.find('.', mantissaStart), mantissaEnd);
        const bool underflow = (i > mantissaEnd && negativeExponent) || integerPartZero;
        value = underflow ? 0.0 : (text[0] == '-' ? -HUGE_VAL : HUGE_VAL);
    }
    return value;
}

int ScaleReal(double value, int decimals) {
    for (int i = 0; i < decimals; ++i) value *= 10.0;
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

std::string FormatRealText(double value, int decimals) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(decimals, 0, 30), value);
    return buffer;
}

}  // namespace vela
