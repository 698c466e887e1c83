#pragma once

#include <array>

namespace vela {

// The camera's look-up table: 256 output values of 12 bits, entry i for input level 16 i.
inline constexpr int kLutSize = 256;
inline constexpr int kLutMaxValue = 4095;
using LutTable = std::array<int, kLutSize>;

// The input level of each entry: 16 i, except 4095 (not 4080) for the last entry.
const LutTable& LutInputTable();

// A value as the camera or a file gives it, brought into 0 .. 4095.
int ClampLutValue(long long value);

// The graph row (0 top .. 256 bottom) at which an output value is drawn: 256 minus the
// value in sixteenths, rounded half up.
int GraphYOfValue(int value);

}  // namespace vela
