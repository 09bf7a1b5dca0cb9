// The numbered outline against the plain segment toggle: random runs of
// toggles over a few corners, long enough to pass from the scanned list to
// the hashed one, with edges toggled once, twice and three times.
#include "geometry/edge_toggle.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace vog::surface {
namespace {

TEST(EdgeOutline, KeepsThePlainToggleOrderThroughTheHash) {
    std::mt19937 random(21);
    EdgeOutline outline; // one for all runs, as the triangulation keeps it
    for (int run = 0; run < 300; ++run) {
        const int corners = 3 + run % 40;
        std::uniform_int_distribution<int> corner(0, corners - 1);
        std::vector<Point3> points;
        for (int i = 0; i < corners; ++i)
            points.push_back({static_cast<double>(i), static_cast<double>(i % 7), 0});
        std::vector<Segment> plain;
        outline.clear();
        const int toggles = 1 + run * 3 % 400;
        for (int t = 0; t < toggles; ++t) {
            const int a = corner(random), b = corner(random);
            outline.toggle(a, a, b, b);
            toggleSegment(points[a], points[b], plain);
        }
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
