#include "camera/luttable.h"

#include <algorithm>

namespace vela {

const LutTable& LutInputTable() {
    static const LutTable table = [] {
        LutTable t{};
        for (int i = 0; i < kLutSize; ++i) t[static_cast<std::size_t>(i)] = 16 * i;
        t[kLutSize - 1] = kLutMaxValue;
        return t;
    }();
    return table;
}

int ClampLutValue(long long value) {
    return static_cast<int>(std::clamp<long long>(value, 0, kLutMaxValue));
}

int GraphYOfValue(int value) {
    const int q = value / 16 + (value % 16 >= 8 ? 1 : 0);
    return 256 - q;
}

}  // namespace vela
