// Chaining a level's segments and the decision which chains are drawn.
#include "plugin/products/contours/contour_test_surfaces.h"

#include "products/contours/contour_chains.h"

#include <gtest/gtest.h>

namespace {

using namespace vog::products;
using vogtest::Point3;

ContourSegment free(Point3 a, Point3 b) {
    return {a, b, kSegmentFree};
}

// The chain's polyline: the start of entry 0, then every end.
std::vector<Point3> polylineOf(const std::vector<Segment>& chain) {
    std::vector<Point3> out = {chain.front().a};
    for (const Segment& s : chain)
        out.push_back(s.b);
    return out;
}

TEST(ContourChains, AChainGrowsAtItsEndThenAtItsStart) {
    Point3 p0{0, 0, 5}, p1{1, 0, 5}, p2{2, 1, 5}, p3{3, 1, 5}, p4{4, 0, 5};
    // Sorted as the pool is: the chain starts with p1-p2 and must grow
    // backward to p0 and forward to p4, taking p3-p4 in reverse.
    std::vector<ContourSegment> pool = {free(p0, p1), free(p1, p2), free(p2, p3), free(p4, p3)};
    pool[0].state = kSegmentInEarlierChain; // used by an earlier chain: not taken
    std::vector<Segment> chain;
    ASSERT_TRUE(buildChain(pool, chain));
    EXPECT_EQ(polylineOf(chain), (std::vector<Point3>{p1, p2, p3, p4}));
    for (std::size_t i = 1; i < pool.size(); ++i)
        EXPECT_EQ(pool[i].state, kSegmentInChain) << i;
    EXPECT_FALSE(buildChain(pool, chain)) << "no free segment left";
    for (std::size_t i = 1; i < pool.size(); ++i)
        EXPECT_EQ(pool[i].state, kSegmentInEarlierChain) << "the next chain moves them on";

    pool = {free(p1, p2), free(p0, p1), free(p2, p3)};
    ASSERT_TRUE(buildChain(pool, chain));
    EXPECT_EQ(polylineOf(chain), (std::vector<Point3>{p0, p1, p2, p3}));
}

TEST(ContourChains, TheFrontmostFreeSegmentWinsAndItsStartIsTestedFirst) {
    // Three segments meet the chain's end e: the second by its end, the
    // third by its start. The second is nearer the front and wins, reversed.
    Point3 s{0, 0, 1}, e{1, 0, 1}, x{1, 5, 1}, y{2, -1, 1}, z{2, 1, 1};
    std::vector<ContourSegment> pool = {free(s, e), free(x, e), free(e, y), free(e, z)};
    std::vector<Segment> chain;
    ASSERT_TRUE(buildChain(pool, chain));
    ASSERT_GE(chain.size(), 2u);
    EXPECT_EQ(chain[1].a, e);
    EXPECT_EQ(chain[1].b, x);
    EXPECT_EQ(chain.size(), 2u) << "nothing meets x; nothing meets s";
    EXPECT_EQ(pool[2].state, kSegmentFree);
    EXPECT_EQ(pool[3].state, kSegmentFree);

    // The next chain starts with the first free segment, e-y; growing back
    // from e it takes e-z reversed. It meets the first chain at e.
    ASSERT_TRUE(buildChain(pool, chain));
    EXPECT_EQ(polylineOf(chain), (std::vector<Point3>{z, e, y}));
    EXPECT_TRUE(chainQualifies(chain, pool, {}));
}

TEST(ContourChains, RingsCloseAndNearlyEqualPointsJoin) {
    // A square whose corners, computed twice, differ in the last digits.
    double eps = 3e-6;
    Point3 a{0, 0, 2}, b{1, 0, 2}, c{1, 1, 2}, d{0, 1, 2};
    Point3 b2{1 + eps, 0, 2}, c2{1, 1 - eps, 2}, d2{0 - eps, 1 + eps, 2};
    std::vector<ContourSegment> pool = {free(a, b), free(b2, c), free(c2, d), free(d2, a)};
    std::vector<Segment> chain;
    ASSERT_TRUE(buildChain(pool, chain));
    ASSERT_EQ(chain.size(), 4u);
    EXPECT_EQ(chain.back().b, a) << "closed: back at its first point";
    EXPECT_TRUE(chainQualifies(chain, pool, {}));

    // A segment already in the chain (within the tolerance) is taken but
    // not added twice.
    pool = {free(a, b), free(b2, c), free(Point3{eps, 0, 2}, b)};
    ASSERT_TRUE(buildChain(pool, chain));
    EXPECT_EQ(chain.size(), 2u);
    EXPECT_EQ(pool[2].state, kSegmentInChain);
    EXPECT_TRUE(segmentInChain(chain, Segment{c, b2}));
    EXPECT_FALSE(segmentInChain(chain, Segment{a, c}));
}

TEST(ContourChains, DrawnWhenClosedRimToRimOrTouchingOtherWork) {
    // The rim of the square 0..10 x 0..10.
    Point3 sw{0, 0, 0}, se{10, 0, 0}, ne{10, 10, 0}, nw{0, 10, 0};
    std::vector<Segment> rim = {{sw, nw}, {nw, ne}, {ne, se}, {se, sw}};

    // Rim to rim: from the west side to the south side.
    std::vector<Segment> crossing = {{Point3{0, 4, 1}, Point3{2, 2, 1}},
                                     {Point3{2, 2, 1}, Point3{4, 0, 1}}};
    EXPECT_TRUE(chainQualifies(crossing, {}, rim));
    // Only one end on the rim, or none: a fragment touching nothing.
    std::vector<Segment> halfway = {{Point3{0, 4, 1}, Point3{2, 2, 1}}};
    std::vector<Segment> inside = {{Point3{3, 3, 1}, Point3{5, 4, 1}},
                                   {Point3{5, 4, 1}, Point3{6, 6, 1}}};
    EXPECT_FALSE(chainQualifies(halfway, {}, rim));
    EXPECT_FALSE(chainQualifies(inside, {}, rim));

    // The same fragment touching a free segment, or one of an earlier chain,
    // is drawn; touching only its own segments is not.
    std::vector<ContourSegment> pool = {{Point3{3, 3, 1}, Point3{5, 4, 1}, kSegmentInChain},
                                        {Point3{5, 4, 1}, Point3{6, 6, 1}, kSegmentInChain}};
    EXPECT_FALSE(chainQualifies(inside, pool, rim));
    pool.push_back({Point3{6, 6, 1}, Point3{7, 9, 1}, kSegmentFree});
    EXPECT_TRUE(chainQualifies(inside, pool, rim));
    pool.back().state = kSegmentInEarlierChain;
    EXPECT_TRUE(chainQualifies(inside, pool, rim));
    pool.back().start = Point3{5, 4 + 2e-5, 1};
    pool.back().end = Point3{9, 9, 1};
    EXPECT_FALSE(chainQualifies(inside, pool, rim)) << "beyond the tolerance";
}

TEST(ContourChains, TheRimIsTheLineOfEachBoundaryEdge) {
    std::vector<Segment> sloping = {{Point3{0, 0, 0}, Point3{10, 5, 0}}};
    EXPECT_TRUE(onRim(Point3{4, 2, 0}, sloping));
    EXPECT_TRUE(onRim(Point3{20, 10.0009, 0}, sloping)) << "the whole line, not only the edge";
    EXPECT_FALSE(onRim(Point3{4, 2.002, 0}, sloping));

    // North-south edges: x exactly, y between the ends or at one of them.
    std::vector<Segment> side = {{Point3{0, 0, 0}, Point3{0, 10, 0}}};
    EXPECT_TRUE(onRim(Point3{0, 5, 0}, side));
    EXPECT_TRUE(onRim(Point3{0, 10, 0}, side)) << "a contour ending at a vertex of the side";
    EXPECT_TRUE(onRim(Point3{0, 0, 0}, side));
    EXPECT_FALSE(onRim(Point3{0, 10.5, 0}, side));
    EXPECT_FALSE(onRim(Point3{1e-9, 5, 0}, side));
}

} // namespace
