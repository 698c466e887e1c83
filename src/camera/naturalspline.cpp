#include "camera/naturalspline.h"

#include <algorithm>
#include <cmath>

namespace vela {

NaturalSpline::NaturalSpline(const double* values, int count) : m_n(std::clamp(count, 2, kMaxKnots)) {
    const int n = m_n;
    for (int k = 0; k < n; ++k) m_a[static_cast<std::size_t>(k)] = values[k];
    const auto& a = m_a;
    auto at = [](int k) { return static_cast<std::size_t>(k); };

    // Tridiagonal system for the second-derivative terms, solved by one forward sweep
    // and back substitution; c at both ends stays 0.
    std::array<double, kMaxKnots> mu{};
    std::array<double, kMaxKnots> z{};
    for (int k = 1; k <= n - 2; ++k) {
        const double r = 3.0 * (a[at(k - 1)] - 2.0 * a[at(k)] + a[at(k + 1)]);
        const double l = 4.0 - mu[at(k - 1)];
        z[at(k)] = (r - z[at(k - 1)]) / l;
        mu[at(k)] = 1.0 / l;
    }
    for (int k = n - 2; k >= 1; --k) m_c[at(k)] = z[at(k)] - mu[at(k)] * m_c[at(k + 1)];
    for (int k = 0; k <= n - 2; ++k) {
        m_d[at(k)] = (m_c[at(k + 1)] - m_c[at(k)]) / 3.0;
        m_b[at(k)] = a[at(k + 1)] - a[at(k)] - m_c[at(k)] - m_d[at(k)];
    }
}

double NaturalSpline::operator()(double t) const {
    const int j = static_cast<int>(std::clamp(std::floor(t), 0.0, static_cast<double>(m_n - 2)));
    const auto k = static_cast<std::size_t>(j);
    const double u = t - j;
    return m_a[k] + u * (m_b[k] + u * (m_c[k] + u * m_d[k]));
}

}  // namespace vela
