// The two indexes of the clipping step on their own: every segment a query
// must name is named, none twice, whatever the shape of the segments; long
// segments keep the grid and the strips within their size.
#include "surface/clip/ray_strips.h"
#include "surface/clip/segment_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace vog::surface {
namespace {

Segment seg(double x1, double y1, double x2, double y2) {
    return {{x1, y1, 0}, {x2, y2, 0}};
}

// Short, long, vertical, horizontal and zero-length segments, on integer
// coordinates so ends and cell borders coincide often.
std::vector<Segment> mixedSegments(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> at(0, 100);
    std::uniform_int_distribution<int> shortStep(-3, 3);
    std::vector<Segment> out;
    for (std::size_t i = 0; i < count; ++i) {
        const double x = at(random), y = at(random);
        switch (i % 5) {
        case 0:
            out.push_back(seg(x, y, x + shortStep(random), y + shortStep(random)));
            break;
        case 1:
            out.push_back(seg(x, y, at(random), at(random)));
            break;
        case 2:
            out.push_back(seg(x, y, x, at(random)));
            break;
        case 3:
            out.push_back(seg(x, y, at(random), y));
            break;
        default:
            out.push_back(seg(x, y, x, y));
            break;
        }
    }
    return out;
}

// How often each segment was named by a grid query.
std::vector<int> gridVisits(const SegmentGrid& grid, std::size_t count, const PlanBox& box) {
    std::vector<int> visits(count, 0);
    visitSegmentsNear(grid, box, [&](std::uint32_t i, bool) {
        ++visits[i];
        return false;
    });
    return visits;
}

TEST(SegmentGrid, NamesEverySegmentWhoseBoxTouchesTheQueryOnce) {
    for (std::size_t count : {1u, 7u, 300u, 3000u}) {
        const std::vector<Segment> segments = mixedSegments(count, 40 + count);
        const SegmentGrid grid = makeSegmentGrid(segments, 1e8);
        std::mt19937 random(41);
        std::uniform_real_distribution<double> at(-10, 110);
        std::uniform_real_distribution<double> size(0, 20);
        for (int q = 0; q < 300; ++q) {
            PlanBox box{at(random), at(random), 0, 0};
            box.maxX = box.minX + (q % 10 == 0 ? 0 : size(random));
            box.maxY = box.minY + (q % 7 == 0 ? 0 : size(random));
            if (q % 3 == 0)
                box = {std::round(box.minX), std::round(box.minY), std::round(box.maxX),
                       std::round(box.maxY)};
            const std::vector<int> visits = gridVisits(grid, count, box);
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_LE(visits[i], 1) << "segment " << i << " named twice";
                if (boxesTouch(segmentBox(segments[i]), box)) {
                    EXPECT_EQ(visits[i], 1) << "segment " << i << " missed by query " << q;
                }
            }
            if (HasFailure()) return;
        }
    }
}

TEST(SegmentGrid, SegmentsBeyondTheLimitAreNamedByEveryQuery) {
    std::vector<Segment> segments = mixedSegments(50, 42);
    segments.push_back(seg(5, 5, 2e8, 5));
    segments.push_back(seg(-1e300, 0, 1e300, 1));
    const SegmentGrid grid = makeSegmentGrid(segments, 1e8);
    EXPECT_EQ(grid.unfiled, (std::vector<std::uint32_t>{50, 51}));
    int unfiledSeen = 0;
    visitSegmentsNear(grid, PlanBox{1e6, 1e6, 1e6 + 1, 1e6 + 1}, [&](std::uint32_t i, bool filed) {
        EXPECT_FALSE(filed) << "segment " << i;
        ++unfiledSeen;
        return false;
    });
    EXPECT_EQ(unfiledSeen, 2);

    // Only such segments: the grid files nothing and still names them.
    const SegmentGrid far = makeSegmentGrid({seg(3e8, 0, 3e8, 1)}, 1e8);
    EXPECT_FALSE(far.filedAny);
    EXPECT_EQ(gridVisits(far, 1, PlanBox{0, 0, 1, 1}), std::vector<int>{1});
    // A visit that answers true stops the query.
    int calls = 0;
    EXPECT_TRUE(visitSegmentsNear(grid, PlanBox{-1, -1, 101, 101},
                                  [&](std::uint32_t, bool) { return ++calls == 3; }));
    EXPECT_EQ(calls, 3);
}

TEST(SegmentGrid, LongSegmentsMakeCoarserCellsNotAHugeGrid) {
    std::vector<Segment> diagonals;
    for (int i = 0; i < 5000; ++i)
        diagonals.push_back(seg(0, i * 0.01, 1000, 1000 - i * 0.01));
    const SegmentGrid grid = makeSegmentGrid(diagonals, 1e8);
    EXPECT_LE(grid.entries.size(), 8 * diagonals.size() + (1u << 16));
    EXPECT_EQ(gridVisits(grid, diagonals.size(), PlanBox{500, 500, 500, 500}),
              std::vector<int>(diagonals.size(), 1));
    // All segments one point: one cell holds them.
    const SegmentGrid point = makeSegmentGrid({seg(2, 2, 2, 2), seg(2, 2, 2, 2)}, 1e8);
    EXPECT_EQ(gridVisits(point, 2, PlanBox{2, 2, 2, 2}), (std::vector<int>{1, 1}));
    EXPECT_EQ(gridVisits(point, 2, PlanBox{3, 3, 4, 4}), (std::vector<int>{0, 0}));
}

// The segments the even-odd ray from (px, py) may count, by its own rule.
bool rayMayCount(const Segment& s, double px, double py) {
    return py > std::min(s.a.y, s.b.y) && py <= std::max(s.a.y, s.b.y) &&
           px <= std::max(s.a.x, s.b.x) && s.a.y != s.b.y;
}

std::vector<int> stripVisits(const RayStrips& strips, std::size_t count, double px, double py) {
    std::vector<int> visits(count, 0);
    visitSegmentsRightOf(strips, px, py, [&](std::uint32_t i) { ++visits[i]; });
    return visits;
}

TEST(RayStrips, NamesEverySegmentTheRayMayCountOnce) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t count : {1u, 9u, 400u, 4000u}) {
        const std::vector<Segment> segments = mixedSegments(count, 50 + count);
        const RayStrips strips = makeRayStrips(segments);
        std::mt19937 random(51);
        std::uniform_real_distribution<double> at(-5, 105);
        for (int q = 0; q < 400; ++q) {
            double px = at(random), py = at(random);
            // Often exactly on segment ends and cell borders.
            if (q % 2 == 0) py = std::round(py);
            if (q % 4 == 0) px = std::round(px);
            const std::vector<int> visits = stripVisits(strips, count, px, py);
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_LE(visits[i], 1) << "segment " << i << " named twice";
                if (rayMayCount(segments[i], px, py)) {
                    EXPECT_EQ(visits[i], 1) << "segment " << i << " missed at " << px << ", " << py;
                }
            }
            if (HasFailure()) return;
        }
        // Points that are not numbers meet nothing, as by the rule itself.
        EXPECT_EQ(stripVisits(strips, count, nan, 50), std::vector<int>(count, 0));
        EXPECT_EQ(stripVisits(strips, count, 50, nan), std::vector<int>(count, 0));
    }
}

TEST(RayStrips, TallSegmentsAndHugeHeightsStayWithinSize) {
    std::vector<Segment> tall;
    for (int i = 0; i < 5000; ++i)
        tall.push_back(seg(i, 0, i + 0.5, 1000));
    tall.push_back(seg(0, -1e300, 1, 1e300));
    tall.push_back(seg(0, 5, 10, 5)); // horizontal: never filed
    const RayStrips strips = makeRayStrips(tall);
    EXPECT_LE(strips.entries.size(), 8 * tall.size() + (1u << 16));
    const std::vector<int> visits = stripVisits(strips, tall.size(), 2500, 500);
    for (std::size_t i = 0; i < tall.size(); ++i)
        EXPECT_EQ(visits[i], rayMayCount(tall[i], 2500, 500) ? 1 : 0) << "segment " << i;
    // A height that is not a number meets no ray and must not hide the
    // other segments.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Segment> odd{seg(0, nan, 1, 5), seg(0, 0, 10, 10), seg(3, 5, 4, nan)};
    EXPECT_EQ(stripVisits(makeRayStrips(odd), 3, 1, 4), (std::vector<int>{0, 1, 0}));
    // Only horizontal segments: nothing to count anywhere.
    const RayStrips flat = makeRayStrips({seg(0, 1, 5, 1)});
    EXPECT_FALSE(flat.filedAny);
    EXPECT_EQ(stripVisits(flat, 1, 0, 1), std::vector<int>{0});
}

} // namespace
} // namespace vog::surface
