// The levels and the segment pool of a level: crossing points, orientation,
// order, duplicates and the grazed edge.
#include "plugin/products/contours/contour_test_surfaces.h"

#include "products/contours/contour_levels.h"
#include "products/contours/level_segments.h"

#include <gtest/gtest.h>

namespace {

using namespace vog::products;
using vogtest::Point3;
using vogtest::Triangle;

std::vector<double> levelsOf(const ContourLevels& levels) {
    std::vector<double> out;
    double level = levels.first;
    if (level <= levels.top) {
        do
            out.push_back(level);
        while (nextLevel(levels, level) && out.size() < 1000);
    }
    return out;
}

std::vector<ContourSegment> poolOf(const std::vector<Triangle>& triangles, double level) {
    std::vector<ContourSegment> pool;
    buildLevelPool(triangles, level, pool);
    return pool;
}

TEST(ContourLevels, FromTheCutStartToOneIntervalAboveTheCutEnd) {
    EXPECT_EQ(levelsOf(contourLevels(12.5, 27.2, 5)), (std::vector<double>{10, 15, 20, 25, 30}));
    EXPECT_EQ(levelsOf(contourLevels(-12.5, -2, 5)), (std::vector<double>{-10, -5, 0, 5}))
        << "cut toward zero at both ends";
    EXPECT_TRUE(levelsOf(contourLevels(50, 10, 5)).empty()) << "start above end";

    // Each level is the previous plus the interval: the fourth tenth is not 0.3.
    std::vector<double> tenths = levelsOf(contourLevels(0, 0.3, 0.1));
    ASSERT_GE(tenths.size(), 4u);
    EXPECT_EQ(tenths[3], 0.1 + 0.1 + 0.1);
    EXPECT_GT(tenths[3], 0.3);

    // Levels that adding the interval no longer moves end the walk.
    EXPECT_EQ(levelsOf(contourLevels(1e20, 1e20, 1)).size(), 1u);
    EXPECT_TRUE(levelsOf(contourLevels(0, 10, 0)).size() <= 1u);
}

TEST(ContourSegments, CornersAtTheLevelAreCrossingPoints) {
    Point3 c1{0, 0, 0}, c2{10, 0, 10}, c3{0, 10, 5};
    std::vector<Triangle> one = {{{c1, c2, c3}}};
    std::vector<ContourSegment> pool;

    // c3 lies at the level; the other point is interpolated on c1-c2.
    collectLevelSegments(one, 5, pool);
    ASSERT_EQ(pool.size(), 1u);
    EXPECT_EQ(pool[0].start, (Point3{5, 0, 5}));
    EXPECT_EQ(pool[0].end, c3);

    // Interpolated along both edges that rise past the level.
    collectLevelSegments(one, 2.5, pool);
    ASSERT_EQ(pool.size(), 1u);
    EXPECT_EQ(pool[0].start, (Point3{2.5, 0, 2.5}));
    EXPECT_EQ(pool[0].end, (Point3{0, 5, 2.5}));

    // Only the lowest or the highest corner touched, the level beside the
    // triangle, or a flat triangle at the level: nothing.
    for (double level : {0.0, 10.0, -1.0, 11.0}) {
        collectLevelSegments(one, level, pool);
        EXPECT_TRUE(pool.empty()) << level;
    }
    std::vector<Triangle> flat = {{{Point3{0, 0, 3}, Point3{0, 1, 3}, Point3{1, 0, 3}}}};
    collectLevelSegments(flat, 3, pool);
    EXPECT_TRUE(pool.empty());
}

TEST(ContourSegments, AFourthTenthAboveACornerIsInterpolated) {
    // The corner at 0.3 is not at the level 0.1 + 0.1 + 0.1.
    double level = 0.1 + 0.1 + 0.1;
    std::vector<Triangle> one = {{{Point3{0, 0, 0.3}, Point3{0, 10, 1.0}, Point3{10, 0, 0.0}}}};
    std::vector<ContourSegment> pool;
    collectLevelSegments(one, level, pool);
    ASSERT_EQ(pool.size(), 1u);
    for (const Point3& p : {pool[0].start, pool[0].end}) {
        EXPECT_NE(p, one[0].corners[0]);
        EXPECT_EQ(p.z, level);
    }
    EXPECT_EQ(pool[0].start.x, 0) << "on the north-south edge c1-c2";
    EXPECT_GT(pool[0].start.y, 0);
    EXPECT_NEAR(pool[0].start.y, 0, 1e-12);
}

TEST(ContourSegments, NormalisingOrientsSortsAndKeepsEachSegmentOnce) {
    Point3 a{0, 0, 1}, b{1, 0, 1}, c{1, 1, 1}, d{0, 1, 1};
    std::vector<ContourSegment> pool = {
        {c, b}, {d, a}, {b, a}, {a, b}, {c, d}, {a, d}, {d, c}, {a, d},
    };
    normaliseSegments(pool);
    // a-b twice and a-d three times: one a-b, two a-d (the walk does not look
    // back after a removal); c-d and d-c are the same segment.
    std::vector<std::pair<Point3, Point3>> expected = {{a, d}, {a, d}, {a, b}, {d, c}, {b, c}};
    ASSERT_EQ(pool.size(), expected.size());
    for (std::size_t i = 0; i < pool.size(); ++i) {
        EXPECT_EQ(pool[i].start, expected[i].first) << i;
        EXPECT_EQ(pool[i].end, expected[i].second) << i;
    }
}

TEST(ContourSegments, AnEdgeAtTheLevelComesOnceAndAloneIsDropped) {
    // A valley: the shared edge x = 0 lies at height 0, both sides rise.
    Point3 s{0, 0, 0}, n{0, 10, 0}, w{-5, 5, 4}, e{5, 5, 4};
    std::vector<Triangle> valley = {{{s, w, n}}, {{s, n, e}}};
    std::vector<ContourSegment> pool;
    collectLevelSegments(valley, 0, pool);
    EXPECT_EQ(pool.size(), 2u) << "each triangle gives the edge";
    normaliseSegments(pool);
    ASSERT_EQ(pool.size(), 1u);
    EXPECT_TRUE(isGrazedEdge(pool[0], valley));
    EXPECT_TRUE(poolOf(valley, 0).empty());

    // Not alone: the edge stays in the pool with the level's other segment.
    Point3 far{10, 5, -4};
    std::vector<Triangle> slope = {{{s, w, n}}, {{s, n, e}}, {{s, e, far}}};
    EXPECT_EQ(poolOf(slope, 0).size(), 2u);

    // A step, one side above the level and one below: the surface passes
    // through the level along the edge, which is a contour of its own.
    std::vector<Triangle> step = {{{s, w, n}}, {{s, n, Point3{5, 5, -4}}}};
    std::vector<ContourSegment> stepPool = poolOf(step, 0);
    ASSERT_EQ(stepPool.size(), 1u);
    EXPECT_EQ(stepPool[0].start, s);
    EXPECT_EQ(stepPool[0].end, n);

    // A lone segment on the rim (one triangle) stays too.
    std::vector<Triangle> single = {{{s, w, n}}};
    EXPECT_EQ(poolOf(single, 0).size(), 1u);
}

} // namespace
