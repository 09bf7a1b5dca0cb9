// The raw triangulation is a valid surface on the inputs surveys produce,
// degenerate ones included, as an independent checker sees the ".ttin".
#include "geometry/point_order.h"
#include "plugin/surface/surface_test_support.h"
#include "plugin/surface/surface_validity.h"
#include "support/generators.h"
#include "surface/sweep/sweep_front.h"
#include "surface/triangulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;

class SurfaceValidity : public testing::SurfaceFixture {
  protected:
    // Triangulates the points; the check of the ".ttin" against the points
    // that survive preparation.
    testing::SurfaceCheck triangulate(const std::vector<Point3>& points) {
        auto file = writePointFile(testing::pointLines(points));
        EXPECT_EQ(runPipeline(file), Status::ok);
        EXPECT_TRUE(alerts().empty());
        auto sorted = testing::parsePoints(readText(sortedFile()));
        survivors_.assign(sorted.begin() + 2, sorted.end());
        triangles_ = rawTriangles(file);
        return testing::checkSurface(triangles_, survivors_);
    }

    void expectValid(const std::vector<Point3>& points, const std::string& name) {
        const testing::SurfaceCheck check = triangulate(points);
        EXPECT_EQ(check.fault, "") << name;
        EXPECT_LE(check.area, check.hullArea * (1 + 1e-12L)) << name;
    }

    std::vector<Point3> survivors_;
    std::vector<Triangle> triangles_;
};

double rounded(double value, double step) {
    return std::round(value / step) * step;
}

// The sweep over the points as the preparation hands them on (six
// decimals, ascending, one per plan position): how many insertions were
// decided exactly, and how many of those found no exact cavity.
std::pair<std::size_t, std::size_t> sweepDecisions(const std::vector<Point3>& given) {
    std::vector<Point3> points;
    for (const Point3& p : given) {
        char text[128];
        std::snprintf(text, sizeof text, "%f %f", p.x, p.y);
        char* end;
        const double x = std::strtod(text, &end);
        points.push_back({x, std::strtod(end, nullptr), 0});
    }
    std::sort(points.begin(), points.end(),
              [](const Point3& a, const Point3& b) { return comparePointsXY(a, b) < 0; });
    points.erase(
        std::unique(points.begin(), points.end(),
                    [](const Point3& a, const Point3& b) { return comparePointsXY(a, b) == 0; }),
        points.end());
    Point3 min = points[0], max = points[0];
    for (const Point3& p : points) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), 0};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), 0};
    }
    const std::size_t count = points.size();
    for (const Point3& corner : enclosingCorners(min, max))
        points.push_back(corner);
    std::vector<std::uint32_t> keys(points.size());
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        keys[i] = i;
    SweepFront front(points, keys, count, true, 3 * (count + 2));
    for (std::uint32_t i = 0; i < count; ++i)
        EXPECT_TRUE(front.insert(i));
    return {front.exactDecisions(), front.unresolvedDecisions()};
}

TEST(SweepDecisions, ExactOnlyWhereTheLiteralDecisionBreaksTheSurface) {
    // Where the literal sweep gives a valid surface, it decides every point.
    for (const vogtest::PointSet& set : vogtest::differentialPointSets()) {
        if (set.points.size() < 3 || set.name.rfind("lines", 0) == 0) continue;
        EXPECT_EQ(sweepDecisions(set.points).first, 0u) << set.name;
    }
    // Where it would not, the exact cavity is always found: points on one
    // line, near duplicates along a line, whole-unit lattices.
    std::vector<Point3> line, nearLine;
    std::mt19937 random(6);
    std::uniform_int_distribution<int> offset(-4, 4);
    for (int i = 0; i < 3000; ++i) {
        line.push_back({1000 + i * 0.5, 2000, 0});
        nearLine.push_back({i * 0.25, 0.125 * i, 0});
        nearLine.push_back(
            {i * 0.25 + offset(random) * 1e-6, 0.125 * i + offset(random) * 1e-6, 0});
    }
    std::size_t exactInAll = 0;
    for (const auto& points : {line, nearLine}) {
        const auto [exact, unresolved] = sweepDecisions(points);
        exactInAll += exact;
        EXPECT_EQ(unresolved, 0u);
    }
    for (int trial = 0; trial < 20; ++trial) {
        std::uniform_int_distribution<int> coordinate(0, 40 + trial);
        std::vector<Point3> lattice;
        for (int i = 0; i < 2000; ++i)
            lattice.push_back({double(coordinate(random)), double(coordinate(random)), 0});
        const auto [exact, unresolved] = sweepDecisions(lattice);
        exactInAll += exact;
        EXPECT_EQ(unresolved, 0u);
    }
    EXPECT_GT(exactInAll, 0u);
}

TEST_F(SurfaceValidity, EveryDifferentialSetAndScatteredSurveys) {
    for (const vogtest::PointSet& set : vogtest::differentialPointSets())
        expectValid(set.points, set.name);
    auto survey = vogtest::scatteredPoints(3000, 41);
    for (Point3& p : survey)
        p.x = rounded(p.x + 2500000, 0.001), p.y = rounded(p.y + 7100000, 0.001);
    expectValid(survey, "scattered at survey coordinates");
    expectValid(vogtest::clusteredPoints(3000, 42), "clustered");
}

TEST_F(SurfaceValidity, GridsAndIntegerLatticesCoverTheirHull) {
    for (auto [columns, rows] : {std::pair{50, 60}, std::pair{2, 700}, std::pair{90, 3}}) {
        const testing::SurfaceCheck check = triangulate(vogtest::gridPoints(columns, rows, 3));
        EXPECT_EQ(check.fault, "") << columns << "x" << rows;
        EXPECT_EQ(check.area, check.hullArea) << columns << "x" << rows;
        EXPECT_EQ(triangles_.size(), 2u * (columns - 1) * (rows - 1));
    }
    // A total station rounding to whole units: many points on one line and
    // many four on one circle, in random file order. Small sets, where a
    // single wrong decision shows, and larger ones.
    std::mt19937 random(5);
    for (int trial = 0; trial < 260; ++trial) {
        const int size = trial < 250 ? 5 + trial % 6 : 2000;
        const int span = trial < 250 ? 3 + trial % 5 : 60;
        std::uniform_int_distribution<int> coordinate(0, span);
        std::vector<Point3> points;
        for (int i = 0; i < size; ++i)
            points.push_back({double(coordinate(random)), double(coordinate(random)), double(i)});
        const testing::SurfaceCheck check = triangulate(points);
        ASSERT_EQ(check.fault, "") << "lattice trial " << trial;
        EXPECT_LE(check.area, check.hullArea) << "lattice trial " << trial;
    }
}

TEST_F(SurfaceValidity, NearDuplicatesMicrometresApart) {
    std::mt19937 random(8);
    std::uniform_real_distribution<double> coordinate(0, 200);
    std::uniform_int_distribution<int> offset(-4, 4);
    std::vector<Point3> points;
    for (int i = 0; i < 1500; ++i) {
        const double x = rounded(coordinate(random), 0.001), y = rounded(coordinate(random), 0.001);
        points.push_back({x, y, 1});
        points.push_back({x + offset(random) * 1e-6, y + offset(random) * 1e-6, 2});
    }
    expectValid(points, "near duplicates");
    // Along a straight line, where the duplicates are nearly collinear too.
    points.clear();
    for (int i = 0; i < 2000; ++i) {
        const double t = i * 0.25;
        points.push_back({t, 0.5 * t, 1});
        points.push_back({t + offset(random) * 1e-6, 0.5 * t + offset(random) * 1e-6, 2});
    }
    expectValid(points, "near duplicates on a line");
}

TEST_F(SurfaceValidity, PointsOnOneCircle) {
    for (int count : {400, 3000}) {
        std::vector<Point3> points;
        for (int i = 0; i < count; ++i) {
            const double w = 2 * std::numbers::pi * i / count;
            points.push_back({rounded(5000 + 25 * std::cos(w), 1e-6),
                              rounded(8000 + 25 * std::sin(w), 1e-6), double(i % 9)});
        }
        std::shuffle(points.begin(), points.end(), std::mt19937(count));
        const testing::SurfaceCheck check = triangulate(points);
        EXPECT_EQ(check.fault, "") << count;
        EXPECT_LE(check.area, check.hullArea) << count;
        EXPECT_GT(check.area, check.hullArea * 0.9L) << count;
    }
    // A shaft scanned at a radius of whole millimetres: many points exactly
    // on one circle.
    std::vector<Point3> points;
    for (int x = -5000; x <= 5000; x += 1)
        for (int y : {-1, 1}) {
            const double h = std::sqrt(25e6 - double(x) * x);
            if (h == std::floor(h)) points.push_back({x * 0.001, y * h * 0.001, 0});
        }
    expectValid(points, "integer circle");
}

TEST_F(SurfaceValidity, CollinearPointsGiveTheEmptySurface) {
    std::vector<Point3> line;
    for (int i = 0; i < 30000; ++i)
        line.push_back({1000 + i * 0.5, 2000, double(i % 7)});
    std::shuffle(line.begin(), line.end(), std::mt19937(1));
    testing::SurfaceCheck check = triangulate(line);
    EXPECT_EQ(check.fault, "");
    EXPECT_TRUE(triangles_.empty()) << triangles_.size() << " triangles on a line";

    std::vector<Point3> diagonal;
    for (int i = 0; i < 3000; ++i)
        diagonal.push_back({300 + i * 0.1, 200 + i * 0.3, 1});
    check = triangulate(diagonal);
    EXPECT_EQ(check.fault, "");
    EXPECT_TRUE(triangles_.empty()) << triangles_.size() << " triangles on a diagonal";

    // Straight rows: the triangles between them, none along a row.
    std::vector<Point3> rows;
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 700; ++i)
            rows.push_back({10 + i * 0.2 + r * 0.05, 50 + r * 3.0 + i * 0.01, double(r)});
    expectValid(rows, "straight rows");
}

} // namespace
} // namespace vog::surface
