#pragma once

#include <string>

namespace vela {

// The value texts of command lines, in and out.

// ASCII letters only: answer bytes above 0x7F stay as they are.
std::string ToUpperAscii(std::string text);

// An optional sign and the leading decimal digits, 0 when there are none; everything from
// the first other character on is ignored. Values beyond the int range saturate.
int ParseDecimalText(const std::string& text);

// An Integer value: "&H" and hexadecimal digits (read as 32 bits, so &HFFFFFFFF is -1),
// else ParseDecimalText.
int ParseIntegerText(const std::string& text);

// The longest leading part of the text that forms a decimal floating-point number; 0 when
// none does.
double ParseRealText(const std::string& text);

// 10^decimals x value, truncated toward zero and held within the int range.
int ScaleReal(double value, int decimals);

// The value with `decimals` digits after the point ("%.2f" for 2).
std::string FormatRealText(double value, int decimals);

}  // namespace vela
