// The in-circle test as a bound on the square, and the front rows that find
// the circles holding a point: both must give exactly what the plain test
// gives, for every circle the sweep can make.
#include "geometry/circumcircle.h"
#include "surface/sweep/front_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace vog::surface {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(LargestSquareWithin, AgreesWithTheRootAtEveryStepAroundTheBound) {
    std::mt19937_64 random(5);
    std::vector<double> radii = {1,
                                 2,
                                 0.1,
                                 1e-155, // a square in the subnormals
                                 1e-170, // a square that rounds to 0
                                 std::numeric_limits<double>::denorm_min(),
                                 std::numeric_limits<double>::min(),
                                 1e154,
                                 1.5e154, // a square that overflows
                                 std::numeric_limits<double>::max()};
    std::uniform_real_distribution<double> exponent(-300, 300);
    for (int i = 0; i < 2000; ++i)
        radii.push_back(std::pow(10.0, exponent(random)) * (1 + i * 1e-4));
    for (const double r : radii) {
        const double bound = largestSquareWithin(r);
        ASSERT_TRUE(std::sqrt(std::max(bound, 0.0)) < r || bound < 0) << r;
        // The squares next to the bound and to the rounded square of r.
        for (double start : {bound, r * r}) {
            if (!std::isfinite(start) || start < 0) continue;
            double below = start, above = start;
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(std::sqrt(below) < r, below <= bound) << r << " " << below;
                EXPECT_EQ(std::sqrt(above) < r, above <= bound) << r << " " << above;
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, kInfinity);
            }
        }
    }
}

TEST(LargestSquareWithin, RadiiThatNoSquarePassesAndOneThatAllDo) {
    EXPECT_LT(largestSquareWithin(0), 0);
    EXPECT_LT(largestSquareWithin(-1), 0);
    EXPECT_LT(largestSquareWithin(std::nan("")), 0);
    // Every finite square passes an infinite radius; an infinite one does not.
    const double all = largestSquareWithin(kInfinity);
    EXPECT_EQ(all, std::numeric_limits<double>::max());
    EXPECT_FALSE(kInfinity <= all);
}

// Circles as the sweep makes them: mostly small ones near the points, some
// reaching far past the box, some with a centre far out, a few that are not
// finite.
Circle randomCircle(std::mt19937_64& random) {
    std::uniform_real_distribution<double> unit(0, 1);
    const double kind = unit(random);
    if (kind < 0.02) return {std::nan(""), 0.5, 1};
    if (kind < 0.04) return {0.5, kInfinity, kInfinity};
    if (kind < 0.06) return {0.3, 0.4, kInfinity};
    if (kind < 0.15) {
        // Far out, reaching back into the box.
        const double angle = unit(random) * 6.283185307179586;
        const double far = 1e4 * (1 + unit(random));
        const double xc = 0.5 + far * std::cos(angle), yc = 0.5 + far * std::sin(angle);
        return {xc, yc, std::hypot(xc - unit(random), yc - unit(random))};
    }
    if (kind < 0.25) return {unit(random), unit(random), unit(random) * 0.5};
    return {unit(random) * 1.2 - 0.1, unit(random) * 1.2 - 0.1, unit(random) * 0.01};
}

TEST(FrontRows, FindsExactlyTheCirclesThatHoldThePointAsTheSweepMoves) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> unit(0, 1);
    constexpr std::size_t kPoints = 3000;
    std::vector<Point3> points(kPoints);
    for (Point3& p : points)
        p = {unit(random), unit(random), 0};
    // Points on the box's edges and corners.
    points[0] = {0, 0, 0};
    points[1] = {1, 1, 0};
    points[2] = {0.5, 1, 0};
    std::sort(points.begin(), points.end(),
              [](const Point3& a, const Point3& b) { return a.x < b.x; });

    FrontRows rows(0, 0, 1, 1, kPoints);
    std::map<std::uint32_t, Circle> entered; // by slot, those any point may meet
    std::vector<std::uint32_t> freeSlots;
    std::uint32_t nextSlot = 0;
    for (std::size_t i = 0; i < kPoints; ++i) {
        const Point3& p = points[i];
        // Some go, some come (entered from this point on).
        for (auto it = entered.begin(); it != entered.end();) {
            if (unit(random) < 0.1) {
                rows.remove(it->first);
                freeSlots.push_back(it->first);
                it = entered.erase(it);
            } else {
                ++it;
            }
        }
        for (int k = 0; k < 3; ++k) {
            std::uint32_t slot = nextSlot;
            if (!freeSlots.empty() && unit(random) < 0.7) {
                slot = freeSlots.back();
                freeSlots.pop_back();
            } else {
                ++nextSlot;
            }
            const Circle c = randomCircle(random);
            rows.add(c, slot, p.x);
            entered[slot] = c;
        }
        std::vector<std::uint32_t> found;
        rows.search(p.x, p.y, [&](std::uint32_t slot) { found.push_back(slot); });
        std::sort(found.begin(), found.end());
        std::vector<std::uint32_t> expected;
        for (const auto& [slot, c] : entered)
            if (distanceToCentre(c, p) < c.radius) expected.push_back(slot);
        ASSERT_EQ(found, expected) << "point " << i;
    }
}

TEST(FrontRows, PointsOnOneLineAndAtOnePlace) {
    // A box with no height, one with no width, one with neither.
    struct Case {
        double minX, minY, maxX, maxY;
    };
    for (const Case& box : {Case{0, 5, 10, 5}, Case{3, 0, 3, 10}, Case{2, 2, 2, 2}}) {
        FrontRows rows(box.minX, box.minY, box.maxX, box.maxY, 100);
        const Circle holds{box.minX, box.minY, 1e-3};
        const Circle misses{box.minX + 1, box.minY + 1, 0.5};
        const Circle reaches{box.minX - 100, box.minY, 100.5};
        rows.add(holds, 0, box.minX);
        rows.add(misses, 1, box.minX);
        rows.add(reaches, 2, box.minX);
        std::vector<std::uint32_t> found;
        rows.search(box.minX, box.minY, [&](std::uint32_t slot) { found.push_back(slot); });
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, (std::vector<std::uint32_t>{0, 2}));
        rows.remove(0);
        rows.remove(0); // a second time is nothing
        found.clear();
        rows.search(box.minX, box.minY, [&](std::uint32_t slot) { found.push_back(slot); });
        EXPECT_EQ(found, (std::vector<std::uint32_t>{2}));
    }
}

TEST(FrontRows, SurveyCoordinatesKeepTheCircleThatOnlyJustHoldsThePoint) {
    // At coordinates in the millions, a circle whose rim passes a few units
    // in the last place beyond the point must still be found.
    const double x0 = 2500000.125, y0 = 7100000.25;
    FrontRows rows(x0, y0, x0 + 1000, y0 + 1000, 10000);
    const Point3 p{x0 + 500, y0 + 500, 0};
    std::uint32_t slot = 0;
    std::vector<std::uint32_t> expected;
    for (double r : {0.5, 3.0, 40.0, 700.0}) {
        double rim = r;
        for (int k = 0; k < 6; ++k, rim = std::nextafter(rim, kInfinity)) {
            const Circle c{p.x - rim, p.y, r};
            rows.add(c, slot, p.x);
            if (distanceToCentre(c, p) < c.radius) expected.push_back(slot);
            ++slot;
        }
    }
    std::vector<std::uint32_t> found;
    rows.search(p.x, p.y, [&](std::uint32_t s) { found.push_back(s); });
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, expected);
}

// The smallest y in row k of the axis.
double rowStart(const geometry::PlanAxis& axis, std::uint32_t k, double low, double high) {
    while (std::nextafter(low, high) < high) {
        const double mid = low + (high - low) / 2;
        if (mid <= low || mid >= high) break;
        (geometry::cellOf(axis, mid) >= k ? high : low) = mid;
    }
    return high;
}

TEST(FrontRows, CirclesOverEveryNumberOfRows) {
    // Circles whose part right of the sweep reaches over anything from one
    // row of the lowest level to the whole box, at many offsets: each goes
    // to one level, at most a few rows there, and is found (and, once taken
    // out, no longer found) exactly where the test holds.
    FrontRows rows(0, 0, 1, 1, 10000);
    ASSERT_GE(rows.levelZeroRows().count, 64u);
    std::vector<Circle> circles;
    for (double r = 0.001; r < 2; r *= 1.09)
        for (int offset = 0; offset < 37; ++offset)
            circles.push_back({0.5, offset / 36.0, r});
    for (std::uint32_t slot = 0; slot < circles.size(); ++slot)
        rows.add(circles[slot], slot, 0.5);
    const auto check = [&](const std::vector<bool>& in) {
        for (int j = 0; j <= 97; ++j) {
            const Point3 p{0.5 + j / 400.0, j / 97.0, 0};
            std::vector<std::uint32_t> found;
            rows.search(p.x, p.y, [&](std::uint32_t s) { found.push_back(s); });
            std::sort(found.begin(), found.end());
            std::vector<std::uint32_t> expected;
            for (std::uint32_t slot = 0; slot < circles.size(); ++slot)
                if (in[slot] && distanceToCentre(circles[slot], p) < circles[slot].radius)
                    expected.push_back(slot);
            ASSERT_EQ(found, expected) << "point " << j;
        }
    };
    std::vector<bool> in(circles.size(), true);
    check(in);
    for (std::uint32_t slot = 0; slot < circles.size(); slot += 2) {
        rows.remove(slot);
        in[slot] = false;
    }
    check(in);
}

TEST(FrontRows, CirclesWhoseRimJustPassesARowEdge) {
    // A point just inside a row and a small circle whose rim lies a few
    // units in the last place beyond it, in the row before or after: the
    // circle must be found whenever the test holds.
    struct Case {
        double minY, height;
    };
    for (const Case& box : {Case{0, 1}, Case{7100000.25, 1000}}) {
        const double minX = box.minY, maxX = box.minY + box.height;
        FrontRows rows(minX, box.minY, maxX, box.minY + box.height, 40000);
        const geometry::PlanAxis& axis = rows.levelZeroRows();
        ASSERT_GT(axis.count, 8u);
        const double x = minX + box.height / 2;
        std::uint32_t slot = 0;
        std::size_t held = 0;
        for (std::uint32_t k = 1; k < axis.count; k += axis.count / 7) {
            const double edge = rowStart(axis, k, box.minY, box.minY + box.height);
            const double below = std::nextafter(edge, -kInfinity);
            const double r = box.height / axis.count * 0.3;
            std::vector<std::uint32_t> expected[2];
            std::vector<std::uint32_t> found[2];
            int side = 0;
            for (const double y : {edge, below}) {
                FrontRows one(minX, box.minY, maxX, box.minY + box.height, 40000);
                // Centres below the point (its top rim near the point) and
                // above it (its bottom rim near the point).
                for (const double direction : {-1.0, 1.0}) {
                    double yc = y + direction * r;
                    for (int step = 0; step < 12; ++step) {
                        const Circle c{x, yc, r};
                        one.add(c, slot, x);
                        if (distanceToCentre(c, {x, y, 0}) < r) expected[side].push_back(slot);
                        ++slot;
                        yc = std::nextafter(yc, direction > 0 ? -kInfinity : kInfinity);
                    }
                }
                one.search(x, y, [&](std::uint32_t s) { found[side].push_back(s); });
                std::sort(found[side].begin(), found[side].end());
                EXPECT_EQ(found[side], expected[side]) << "row " << k << " at " << y;
                held += expected[side].size();
                ++side;
            }
        }
        EXPECT_GT(held, 0u); // some rims do pass the point
    }
}

} // namespace
} // namespace vog::surface
