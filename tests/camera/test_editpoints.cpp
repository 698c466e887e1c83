// The edit points under the pointer rules, ConvertEditable and the sort.
#include <gtest/gtest.h>

#include <vector>

#include "camera/editpoints.h"
#include "camera/lutcurve.h"

namespace vela {
namespace {

std::vector<EditPoint> PointsOf(const EditPoints& p) {
    return std::vector<EditPoint>(p.Data(), p.Data() + p.Count());
}

// Client pixel of graph position (gx, gy).
int Mx(int gx) {
    return kGraphClientLeft + gx;
}
int My(int gy) {
    return kGraphClientTop + gy;
}

EditPoints Cleared() {
    EditPoints p;
    p.Clear();
    return p;
}

TEST(EditPointsTest, ConvertEditableWithEightAfterClearAndRepaint) {
    EditPoints p = Cleared();
    const LutTable table = ComputeTableFromPoints(p);
    p.ConvertFromTable(table, 8);
    EXPECT_EQ(PointsOf(p),
              (std::vector<EditPoint>{
                  {0, 256}, {36, 220}, {73, 182}, {109, 147}, {146, 110}, {182, 74}, {219, 36}, {256, 0}}));
}

TEST(EditPointsTest, ConvertEditableEndsAtTopRightWhateverTheTable) {
    LutTable flat{};
    flat.fill(800);
    EditPoints p;
    p.ConvertFromTable(flat, 2);
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{0, 256 - 50}, {256, 0}}));
    // Counts beyond the spin's range are held to 2 .. 16.
    p.ConvertFromTable(flat, 40);
    EXPECT_EQ(p.Count(), 16);
    EXPECT_EQ(p.At(14), (EditPoint{238, 206}));
    EXPECT_EQ(p.At(15), (EditPoint{256, 0}));
}

TEST(EditPointsTest, LeftMotionMovesTheFirstPointInReachElseAdds) {
    EditPoints p = Cleared();
    // Within 32 pixels of (0, 256) in both directions: moved.
    EXPECT_TRUE(p.OnPointerMove(Mx(32), My(224), kHeldLeft));
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{32, 224}, {256, 0}}));
    // 33 pixels away: a new point, sorted into place.
    EXPECT_TRUE(p.OnPointerMove(Mx(128), My(128), kHeldLeft));
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{32, 224}, {128, 128}, {256, 0}}));
    // Reach of both the first and the second point: the first in index order moves.
    p.Assign({{0, 256}, {20, 236}, {256, 0}});
    EXPECT_TRUE(p.OnPointerMove(Mx(10), My(246), kHeldLeft));
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{10, 246}, {20, 236}, {256, 0}}));
}

TEST(EditPointsTest, DraggingPastANeighbourResorts) {
    EditPoints p;
    p.Assign({{0, 256}, {100, 150}, {110, 100}, {256, 0}});
    EXPECT_TRUE(p.OnPointerMove(Mx(90), My(95), kHeldLeft));  // (110, 100) is the first in reach
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{0, 256}, {90, 95}, {100, 150}, {256, 0}}));
}

TEST(EditPointsTest, NoAddAtFifteenOrSixteenPoints) {
    LutTable diagonal = ComputeTableFromPoints(Cleared());
    for (int n : {15, 16}) {
        EditPoints p;
        p.ConvertFromTable(diagonal, n);
        const auto before = PointsOf(p);
        // (8, 60) is more than 32 pixels from every point of the diagonal.
        EXPECT_FALSE(p.OnPointerMove(Mx(8), My(60), kHeldLeft)) << n;
        EXPECT_EQ(PointsOf(p), before) << n;
    }
    EditPoints fourteen;
    fourteen.ConvertFromTable(diagonal, 14);
    EXPECT_TRUE(fourteen.OnPointerMove(Mx(8), My(60), kHeldLeft));
    EXPECT_EQ(fourteen.Count(), 15);
}

TEST(EditPointsTest, RightMotionRemovesInnerPointsOnly) {
    EditPoints p;
    p.Assign({{0, 256}, {100, 150}, {256, 0}});
    // Over the first and the last point: nothing.
    EXPECT_FALSE(p.OnPointerMove(Mx(0), My(256), kHeldRight));
    EXPECT_FALSE(p.OnPointerMove(Mx(256), My(0), kHeldRight));
    // 17 pixels from the inner point: out of reach.
    EXPECT_FALSE(p.OnPointerMove(Mx(117), My(150), kHeldRight));
    EXPECT_TRUE(p.OnPointerMove(Mx(116), My(134), kHeldRight));
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{0, 256}, {256, 0}}));
    // Two points left: nothing more can go.
    EXPECT_FALSE(p.OnPointerMove(Mx(0), My(256), kHeldRight));
    EXPECT_FALSE(p.OnPointerMove(Mx(256), My(0), kHeldRight));
    EXPECT_EQ(p.Count(), 2);
}

TEST(EditPointsTest, OnlyExactlyOneButtonCounts) {
    EditPoints p = Cleared();
    for (unsigned held : {0u, kHeldLeft | kHeldShift, kHeldLeft | kHeldControl, kHeldLeft | kHeldRight,
                          unsigned{kHeldMiddle}, kHeldLeft | kHeldExtra1, kHeldRight | kHeldShift}) {
        EXPECT_FALSE(p.OnPointerMove(Mx(128), My(128), held)) << held;
        EXPECT_EQ(p.Count(), 2) << held;
    }
}

TEST(EditPointsTest, PositionsOutsideTheGraphSquareAreIgnored) {
    EditPoints p = Cleared();
    // Just outside each side (the panel's edge beyond 416 and 276 included).
    for (auto [mx, my] : {std::pair{159, 148}, std::pair{417, 148}, std::pair{288, 19}, std::pair{288, 277},
                          std::pair{418, 278}}) {
        EXPECT_FALSE(p.OnPointerMove(mx, my, kHeldLeft)) << mx << "," << my;
    }
    EXPECT_EQ(p.Count(), 2);
    // The bounds themselves belong to the graph: each corner moves its point.
    EXPECT_TRUE(p.OnPointerMove(160, 276, kHeldLeft));
    EXPECT_TRUE(p.OnPointerMove(416, 20, kHeldLeft));
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{0, 256}, {256, 0}}));
    EXPECT_TRUE(p.OnPointerMove(160, 20, kHeldLeft));  // adds (0, 0)
    EXPECT_EQ(p.Count(), 3);
}

TEST(EditPointsTest, SortByExchangeGivesAscendingX) {
    EditPoints p;
    p.Assign({{200, 1}, {10, 2}, {256, 3}, {0, 4}, {10, 5}, {128, 6}});
    p.Sort();
    // The two points at x 10 keep the order the exchange sort leaves them in: the curve
    // through them depends on it.
    EXPECT_EQ(PointsOf(p), (std::vector<EditPoint>{{0, 4}, {10, 2}, {10, 5}, {128, 6}, {200, 1}, {256, 3}}));
}

}  // namespace
}  // namespace vela
