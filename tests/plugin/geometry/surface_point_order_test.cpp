// The three point orderings.
#include "geometry/point_order.h"

#include <gtest/gtest.h>

namespace vog::surface {
namespace {

TEST(SurfacePointOrder, ExactOrderingsByXThenYThenZ) {
    EXPECT_EQ(comparePointsXY({1, 2, 5}, {1, 2, 7}), 0);
    EXPECT_EQ(comparePointsXYZ({1, 2, 5}, {1, 2, 7}), -1);
    EXPECT_EQ(comparePointsXYZ({1, 2, 7}, {1, 2, 5}), 1);
    EXPECT_EQ(comparePointsXYZ({1, 2, 7}, {1, 2, 7}), 0);
    // x decides before y, y before z.
    EXPECT_EQ(comparePointsXY({2, 1, 0}, {1, 9, 0}), 1);
    EXPECT_EQ(comparePointsXY({2, 1, 0}, {2, 3, 0}), -1);
    EXPECT_EQ(comparePointsXYZ({1, 3, 0}, {1, 2, 9}), 1);
    // No tolerance: the smallest difference counts.
    EXPECT_EQ(comparePointsXY({1, 2, 0}, {1.000001, 2, 0}), -1);
}

TEST(SurfacePointOrder, TolerantComparisonDecidesByXThenByY) {
    EXPECT_EQ(comparePointsXYTolerant({0, 0, 0}, {0.000009, -5, 0}), 1);
    EXPECT_EQ(comparePointsXYTolerant({0, 0, 0}, {0.00002, -5, 0}), -1);
    EXPECT_EQ(comparePointsXYTolerant({0, 0, 0}, {0.000004, 0.000008, 0}), 0);
    EXPECT_EQ(comparePointsXYTolerant({0, 0, 9}, {0, 0, -9}), 0);
    EXPECT_EQ(comparePointsXYTolerant({5, 3, 0}, {5, 1, 0}), 1);
}

TEST(SurfacePointOrder, TolerantDifferenceOfExactlyTheToleranceStillComparesY) {
    // 1e-5 - 0 is exactly the tolerance: the points are 10 apart in y, so
    // they are not the same point.
    ASSERT_EQ(1e-5 - 0.0, kPlanTolerance);
    EXPECT_EQ(comparePointsXYTolerant({1e-5, 10, 0}, {0, 0, 0}), 1);
    EXPECT_EQ(comparePointsXYTolerant({0, 0, 0}, {1e-5, 10, 0}), -1);
    EXPECT_EQ(comparePointsXYTolerant({1e-5, 0, 0}, {0, 0.000001, 0}), 0);
}

} // namespace
} // namespace vog::surface
