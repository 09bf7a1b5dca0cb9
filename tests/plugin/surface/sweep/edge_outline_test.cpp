// The numbered outline and the outline of points against the plain segment
// toggle: random runs of toggles over a few corners, long enough to pass from
// the scanned list to the hashed one, with edges toggled once, twice and
// three times, and -0 standing for 0 now and then.
#include "geometry/edge_toggle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace vog::surface {
namespace {

TEST(EdgeOutline, BothOutlinesKeepThePlainToggleOrderThroughTheHash) {
    std::mt19937 random(21);
    EdgeOutline outline; // one for all runs, as the triangulation keeps it
    for (int run = 0; run < 300; ++run) {
        const int corners = 3 + run % 40;
        std::uniform_int_distribution<int> corner(0, corners - 1);
        std::vector<Point3> points;
        for (int i = 0; i < corners; ++i)
            points.push_back({static_cast<double>(i), static_cast<double>(i % 7), 0});
        std::vector<Segment> plain;
        std::vector<Segment> plainOfPoints;
        SegmentOutline ofPoints;
        outline.clear();
        const int toggles = 1 + run * 3 % 400;
        for (int t = 0; t < toggles; ++t) {
            const int a = corner(random), b = corner(random);
            outline.toggle(a, a, b, b);
            toggleSegment(points[a], points[b], plain);
            // Corner 0 lies at the origin, which -0 names as well.
            const Point3 pa = a == 0 && t % 2 ? Point3{-0.0, 0, -0.0} : points[a];
            ofPoints.toggle(pa, points[b]);
            toggleSegment(pa, points[b], plainOfPoints);
        }
        const std::vector<Segment> segments = ofPoints.segments();
        ASSERT_EQ(segments.size(), plainOfPoints.size()) << "run " << run;
        for (std::size_t i = 0; i < segments.size(); ++i)
            ASSERT_TRUE(std::signbit(segments[i].a.x) == std::signbit(plainOfPoints[i].a.x) &&
                        segments[i].a == plainOfPoints[i].a && segments[i].b == plainOfPoints[i].b)
                << "run " << run << " entry " << i;
        std::vector<Segment> numbered;
        outline.forEach([&](const EdgeOutline::Edge& e) {
            numbered.push_back({points[e.a], points[e.b]});
        });
        ASSERT_EQ(numbered.size(), plain.size()) << "run " << run;
        for (std::size_t i = 0; i < plain.size(); ++i)
            ASSERT_TRUE(numbered[i].a == plain[i].a && numbered[i].b == plain[i].b)
                << "run " << run << " entry " << i;
        // The same outline object, cleared, starts afresh.
        outline.clear();
        outline.toggle(0, 0, 1, 1);
        int count = 0;
        outline.forEach([&](const EdgeOutline::Edge&) { ++count; });
        ASSERT_EQ(count, 1);
    }
}

} // namespace
} // namespace vog::surface
