#include "camera/lutcurve.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "camera/naturalspline.h"

namespace vela {
namespace {

constexpr double kSampleStep = 0.002;
constexpr int kNoMatch = 999999;
// Samples per block of the skip test: large enough to make the per-block test cheap,
// small enough that the blocks scanned in full stay few.
constexpr std::size_t kBlock = 64;

// The curve's samples: 16 x X(t) (the input level it stands for) and Y(t).
struct Samples {
    std::vector<double> level;
    std::vector<double> y;
    // Smallest and largest level per block of kBlock samples.
    std::vector<double> blockMin;
    std::vector<double> blockMax;
};

Samples SampleCurve(const EditPoint* points, int count) {
    double xs[NaturalSpline::kMaxKnots];
    double ys[NaturalSpline::kMaxKnots];
    for (int k = 0; k < count; ++k) {
        xs[k] = points[k].x;
        ys[k] = points[k].y;
    }
    const NaturalSpline curveX(xs, count);
    const NaturalSpline curveY(ys, count);

    Samples s;
    const std::size_t expected = static_cast<std::size_t>(count) * 500 + 2;
    s.level.reserve(expected);
    s.y.reserve(expected);
    for (double t = 0.0; t <= count; t += kSampleStep) {
        // Multiplying by 16 is exact, so the distance below equals |target - 16 X(t)|.
        s.level.push_back(16.0 * curveX(t));
        s.y.push_back(curveY(t));
    }
    for (std::size_t b = 0; b < s.level.size(); b += kBlock) {
        const auto first = s.level.begin() + static_cast<std::ptrdiff_t>(b);
        const auto last = s.level.begin() + static_cast<std::ptrdiff_t>(std::min(b + kBlock, s.level.size()));
        const auto [lo, hi] = std::minmax_element(first, last);
        s.blockMin.push_back(*lo);
        s.blockMax.push_back(*hi);
    }
    return s;
}

// The sample a scan in t order settles on for `target`. A whole block is passed over
// when no sample in it can come below `best`: subtraction rounds monotonically, so
// target - level >= target - blockMax holds in floating point too, and likewise for the
// other side; the result is the one a scan of every sample gives.
std::size_t MatchSample(const Samples& s, double target) {
    int best = kNoMatch;
    std::size_t found = 0;
    const std::size_t total = s.level.size();
    for (std::size_t b = 0, first = 0; first < total; ++b, first += kBlock) {
        if (target - s.blockMax[b] >= best || s.blockMin[b] - target >= best) continue;
        const std::size_t last = std::min(first + kBlock, total);
        for (std::size_t i = first; i < last; ++i) {
            const double d = std::fabs(target - s.level[i]);
            if (d < best) {
                found = i;
                best = static_cast<int>(d);
            }
        }
    }
    return found;
}

}  // namespace

LutTable ComputeTableFromPoints(const EditPoint* points, int count) {
    count = std::clamp(count, 2, NaturalSpline::kMaxKnots);
    const Samples s = SampleCurve(points, count);
    const LutTable& input = LutInputTable();
    LutTable table{};
    for (int i = 0; i < kLutSize; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const std::size_t sample = MatchSample(s, input[k]);
        const double value = std::trunc(16.0 * (256.0 - s.y[sample]));
        table[k] = value > kLutMaxValue ? kLutMaxValue : value < 0 ? 0 : static_cast<int>(value);
    }
    return table;
}

}  // namespace vela
