// The table under the spline curve, against a literal reference: the spline solved with
// vectors, every sample scanned for every entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "camera/editpoints.h"
#include "camera/lutcurve.h"
#include "camera/naturalspline.h"

namespace vela {
namespace {

// The natural spline at unit knots, written out step by step.
struct ReferenceSpline {
    std::vector<double> a, b, c, d;
    explicit ReferenceSpline(const std::vector<double>& values) : a(values) {
        const int n = static_cast<int>(a.size());
        b.assign(a.size(), 0.0);
        c.assign(a.size(), 0.0);
        d.assign(a.size(), 0.0);
        std::vector<double> r(a.size(), 0.0), mu(a.size(), 0.0), z(a.size(), 0.0);
        for (int k = 1; k <= n - 2; ++k) r[k] = 3.0 * (a[k - 1] - 2.0 * a[k] + a[k + 1]);
        for (int k = 1; k <= n - 2; ++k) {
            const double l = 4.0 - mu[k - 1];
            z[k] = (r[k] - z[k - 1]) / l;
            mu[k] = 1.0 / l;
        }
        for (int k = n - 2; k >= 1; --k) c[k] = z[k] - mu[k] * c[k + 1];
        for (int k = 0; k <= n - 2; ++k) {
            d[k] = (c[k + 1] - c[k]) / 3.0;
            b[k] = a[k + 1] - a[k] - c[k] - d[k];
        }
    }
    double operator()(double t) const {
        const int n = static_cast<int>(a.size());
        int j = static_cast<int>(std::floor(t));
        j = std::max(0, std::min(j, n - 2));
        const double u = t - j;
        return a[j] + u * (b[j] + u * (c[j] + u * d[j]));
    }
};

struct ReferenceResult {
    LutTable table{};
    std::vector<int> raw;  // before clamping
    std::size_t samples = 0;
};

ReferenceResult ReferenceCompute(const std::vector<EditPoint>& points) {
    std::vector<double> xs, ys;
    for (const EditPoint& p : points) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    const ReferenceSpline X(xs), Y(ys);
    const int n = static_cast<int>(points.size());
    std::vector<double> sx, sy;
    for (double t = 0; t <= n; t += 0.002) {
        sx.push_back(X(t));
        sy.push_back(Y(t));
    }
    ReferenceResult result;
    result.samples = sx.size();
    for (int i = 0; i < 256; ++i) {
        const int target = i == 255 ? 4095 : 16 * i;
        int best = 999999;
        std::size_t remembered = 0;
        for (std::size_t s = 0; s < sx.size(); ++s) {
            const double dist = std::fabs(target - 16 * sx[s]);
            if (dist < best) {
                remembered = s;
                best = static_cast<int>(dist);
            }
        }
        const int value = static_cast<int>(16 * (256 - sy[remembered]));
        result.raw.push_back(value);
        result.table[i] = value > 4095 ? 4095 : value < 0 ? 0 : value;
    }
    return result;
}

LutTable Built(const std::vector<EditPoint>& points) {
    return ComputeTableFromPoints(points.data(), static_cast<int>(points.size()));
}

TEST(NaturalSplineTest, PassesThroughItsKnotsWithNaturalEnds) {
    const double values[] = {0, 40, 10, 200, 180, 256};
    const NaturalSpline s(values, 6);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(s(k), values[k], 1e-9) << k;
    // Second derivative by differences: next to nothing at both ends, against some
    // hundreds inside, and the same on both sides of an inner knot.
    const double h = 1e-4;
    auto second = [&](double t) { return (s(t + h) - 2 * s(t) + s(t - h)) / (h * h); };
    EXPECT_NEAR(second(h), 0.0, 1.0);
    EXPECT_NEAR(second(5 - h), 0.0, 1.0);
    EXPECT_GT(std::fabs(second(3 - 0.001)), 100.0);
    EXPECT_NEAR(second(3 - 0.001), second(3 + 0.001), 2.0);
    // Beyond the last knot the last piece goes on.
    const double two[] = {0, 256};
    EXPECT_DOUBLE_EQ(NaturalSpline(two, 2)(1.5), 384.0);
}

TEST(ComputeTableTest, SampleCountsFollowTheAccumulatedStep) {
    EXPECT_EQ(ReferenceCompute({{0, 256}, {256, 0}}).samples, 1000u);
    EXPECT_EQ(ReferenceCompute({{0, 256}, {128, 128}, {256, 0}}).samples, 1501u);
    std::vector<EditPoint> sixteen;
    for (int i = 0; i < 16; ++i) sixteen.push_back({256 * i / 15, 256 - 256 * i / 15});
    EXPECT_EQ(ReferenceCompute(sixteen).samples, 8000u);
}

TEST(ComputeTableTest, TwoStartingPointsGiveTheNearDiagonal) {
    const LutTable t = Built({{0, 256}, {256, 0}});
    const std::vector<int> head(t.begin(), t.begin() + 8);
    EXPECT_EQ(head, (std::vector<int>{0, 16, 32, 49, 65, 81, 98, 114}));
    EXPECT_EQ(t[255], 4095);
    EXPECT_EQ(t, ReferenceCompute({{0, 256}, {256, 0}}).table);
}

TEST(ComputeTableTest, DipBelowTheGraphGivesZerosAndOvershootGives4095) {
    // A point pulled down to the bottom beside the first one makes the curve swing
    // below the graph; one near the top beside the last one swings above it.
    const std::vector<EditPoint> points{{0, 256}, {40, 256}, {90, 120}, {200, 0}, {230, 0}, {256, 30}};
    const ReferenceResult ref = ReferenceCompute(points);
    const LutTable t = Built(points);
    int dips = 0, overshoots = 0;
    for (int i = 0; i < 256; ++i) {
        if (ref.raw[i] < 0) {
            ++dips;
            EXPECT_EQ(t[i], 0) << i;
        }
        if (ref.raw[i] > 4095) {
            ++overshoots;
            EXPECT_EQ(t[i], 4095) << i;
        }
    }
    EXPECT_GT(dips, 0);
    EXPECT_GT(overshoots, 0);
    EXPECT_EQ(t, ref.table);
}

// 10 000 random point sets in twenty cases of 500, so that each case stays short on a
// loaded machine and ctest can spread them.
class RandomPointSetsTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomPointSetsTest, MatchLiteralAlgorithm) {
    std::mt19937 rng(GetParam());
    std::uniform_int_distribution<int> countOf(2, 16), coord(0, 256), near(-12, 12);
    int mismatches = 0;
    for (int round = 0; round < 500 && mismatches < 5; ++round) {
        EditPoints set;
        std::vector<EditPoint> points;
        const int n = countOf(rng);
        for (int k = 0; k < n; ++k) {
            // Every third set crowds its points, which makes dips and overshoots.
            if (round % 3 == 0 && k > 0) {
                points.push_back({std::clamp(points.back().x + near(rng) + 6, 0, 256), coord(rng)});
            } else {
                points.push_back({coord(rng), coord(rng)});
            }
        }
        std::sort(points.begin(), points.end(),
                  [](const EditPoint& a, const EditPoint& b) { return a.x < b.x; });
        const LutTable expected = ReferenceCompute(points).table;
        const LutTable actual = Built(points);
        if (actual != expected) {
            ++mismatches;
            ADD_FAILURE() << "round " << round << " with " << n << " points differs";
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomPointSetsTest, ::testing::Range(20261208u, 20261228u));

}  // namespace
}  // namespace vela
