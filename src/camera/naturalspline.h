#pragma once

#include <array>

namespace vela {

// The natural cubic spline through values at the knots t = 0, 1, ..., n-1 (unit
// spacing): second derivative zero at both ends. Outside the knots the nearest piece is
// extended.
class NaturalSpline {
  public:
    static constexpr int kMaxKnots = 16;

    // `count` values (2 to kMaxKnots) at t = 0 .. count-1.
    NaturalSpline(const double* values, int count);

    double operator()(double t) const;

  private:
    int m_n;
    std::array<double, kMaxKnots> m_a{};
    std::array<double, kMaxKnots> m_b{};
    std::array<double, kMaxKnots> m_c{};
    std::array<double, kMaxKnots> m_d{};
};

}  // namespace vela
