#pragma once

#include <array>
#include <initializer_list>

#include "camera/luttable.h"

namespace vela {

// An edit point in graph pixels: x to the right, y downwards, both 0 to 256.
struct EditPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const EditPoint&, const EditPoint&) = default;
};

// The graph square in the editor's client pixels: pointer positions map onto it.
inline constexpr int kGraphClientLeft = 160;
inline constexpr int kGraphClientTop = 20;
inline constexpr int kGraphSize = 256;

// Buttons and keys held during a pointer move.
enum PointerHeld : unsigned {
    kHeldLeft = 1u << 0,
    kHeldRight = 1u << 1,
    kHeldShift = 1u << 2,
    kHeldControl = 1u << 3,
    kHeldMiddle = 1u << 4,
    kHeldExtra1 = 1u << 5,
    kHeldExtra2 = 1u << 6,
};

// The editor's spline edit points: 2 to 16, kept in ascending x, and how the pointer
// moves, adds and removes them.
class EditPoints {
  public:
    static constexpr int kMaxPoints = 16;
    // A left-button motion adds a point only below this count.
    static constexpr int kAddLimit = 15;
    static constexpr int kMoveReach = 32;
    static constexpr int kRemoveReach = 16;

    int Count() const { return m_count; }
    const EditPoint& At(int i) const { return m_points[static_cast<std::size_t>(i)]; }
    const EditPoint* Data() const { return m_points.data(); }
    // Replaces the points as given (2 to 16 of them), unsorted.
    void Assign(std::initializer_list<EditPoint> points);

    // The diagonal: (0, 256) and (256, 0).
    void Clear();
    // `count` points (clamped to 2 .. 16) spread evenly over the table's entries, the
    // last one at (256, 0) whatever the table ends with.
    void ConvertFromTable(const LutTable& table, int count);

    // Pointer motion at client pixel (mx, my) with the `held` set (PointerHeld flags).
    // True when a point was moved, added or removed; the points are sorted then.
    bool OnPointerMove(int mx, int my, unsigned held);

    // Ascending x by pairwise exchange over all index pairs.
    void Sort();

  private:
    // First point from `first` to `last` within `reach` of (gx, gy) in both directions; -1 when none.
    int FindNear(int first, int last, int gx, int gy, int reach) const;

    std::array<EditPoint, kMaxPoints> m_points{};
    int m_count = 2;
};

}  // namespace vela
