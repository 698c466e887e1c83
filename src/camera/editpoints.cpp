#include "camera/editpoints.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace vela {

void EditPoints::Assign(std::initializer_list<EditPoint> points) {
    m_count = std::clamp(static_cast<int>(points.size()), 2, kMaxPoints);
    std::copy_n(points.begin(), std::min<std::size_t>(points.size(), kMaxPoints), m_points.begin());
}

void EditPoints::Clear() {
    m_points[0] = {0, kGraphSize};
    m_points[1] = {kGraphSize, 0};
    m_count = 2;
}

void EditPoints::ConvertFromTable(const LutTable& table, int count) {
    const int n = std::clamp(count, 2, kMaxPoints);
    for (int i = 0; i <= n - 2; ++i) {
        const int x = kGraphSize * i / (n - 1);
        // In floating point, then truncated: 573 gives 256 - 35.8125, so 220 (not 221).
        const double y = kGraphSize - table[static_cast<std::size_t>(x)] / 16.0;
        m_points[static_cast<std::size_t>(i)] = {x, static_cast<int>(y)};
    }
    m_points[static_cast<std::size_t>(n - 1)] = {kGraphSize, 0};
    m_count = n;
}

int EditPoints::FindNear(int first, int last, int gx, int gy, int reach) const {
    for (int i = first; i <= last; ++i) {
        const EditPoint& p = At(i);
        if (std::abs(p.x - gx) <= reach && std::abs(p.y - gy) <= reach) return i;
    }
    return -1;
}

bool EditPoints::OnPointerMove(int mx, int my, unsigned held) {
    if (mx < kGraphClientLeft || mx > kGraphClientLeft + kGraphSize) return false;
    if (my < kGraphClientTop || my > kGraphClientTop + kGraphSize) return false;
    const int gx = mx - kGraphClientLeft;
    const int gy = my - kGraphClientTop;

    if (held == kHeldLeft) {
        const int near = FindNear(0, m_count - 1, gx, gy, kMoveReach);
        if (near >= 0) {
            m_points[static_cast<std::size_t>(near)] = {gx, gy};
        } else if (m_count < kAddLimit) {
            m_points[static_cast<std::size_t>(m_count++)] = {gx, gy};
        } else {
            return false;
        }
    } else if (held == kHeldRight) {
        // The first and the last point are never removed, so at least two remain.
        const int near = FindNear(1, m_count - 2, gx, gy, kRemoveReach);
        if (near < 0) return false;
        std::copy(m_points.begin() + near + 1, m_points.begin() + m_count, m_points.begin() + near);
        --m_count;
    } else {
        return false;
    }
    Sort();
    return true;
}

void EditPoints::Sort() {
    for (int i = 0; i < m_count; ++i) {
        for (int j = 0; j < m_count; ++j) {
            if (At(i).x < At(j).x) {
                std::swap(m_points[static_cast<std::size_t>(i)], m_points[static_cast<std::size_t>(j)]);
            }
        }
    }
}

}  // namespace vela
