#include "camera/lutcurve.h"

#include <algorithm>
#include <cmath>
#include <limits>
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
    double xs[NaturalSpline::kMaxKnots] = {};
    double ys[NaturalSpline::kMaxKnots] = {};
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

// The lowest distance any sample of a block can have from `target`. Subtraction rounds
// monotonically, so target - level >= target - blockMax holds in floating point too, and
// likewise for the other side: no sample of the block comes below this bound.
double BlockBound(const Samples& s, std::size_t b, double target) {
    return std::max({0.0, target - s.blockMax[b], s.blockMin[b] - target});
}

// The sample a scan in t order settles on for `target`: a sample replaces the one found so
// far when its distance is below the found one's truncated distance. That scan ends on the
// first sample (in t order) whose truncated distance equals the truncated smallest distance:
// every sample before it is at least one whole step further, so it replaces whatever was
// found, and nothing after it is below its truncated distance. So the smallest distance is
// found first, over the blocks nearest to the target, and then the first sample below the
// next whole number; both passes skip every block that cannot hold what they look for.
std::size_t MatchSample(const Samples& s, double target) {
    const std::size_t total = s.level.size();
    const std::size_t blocks = s.blockMin.size();
    std::size_t nearest = 0;
    for (std::size_t b = 1; b < blocks; ++b)
        if (BlockBound(s, b, target) < BlockBound(s, nearest, target)) nearest = b;
    double smallest = std::numeric_limits<double>::infinity();
    auto scan = [&](std::size_t b) {
        const std::size_t last = std::min((b + 1) * kBlock, total);
        for (std::size_t i = b * kBlock; i < last; ++i)
            smallest = std::min(smallest, std::fabs(target - s.level[i]));
    };
    scan(nearest);
    for (std::size_t b = 0; b < blocks; ++b)
        if (b != nearest && BlockBound(s, b, target) < smallest) scan(b);
    if (!(smallest < kNoMatch)) return 0;  // nothing ever replaces the first sample

    const double below = std::trunc(smallest) + 1.0;
    for (std::size_t b = 0; b < blocks; ++b) {
        if (BlockBound(s, b, target) >= below) continue;
        const std::size_t last = std::min((b + 1) * kBlock, total);
        for (std::size_t i = b * kBlock; i < last; ++i)
            if (std::fabs(target - s.level[i]) < below) return i;
    }
    return 0;  // not reached: the smallest distance's own sample is below `below`
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
