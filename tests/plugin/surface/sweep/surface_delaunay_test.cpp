// The raw triangulation of larger point files: always a valid triangulation,
// and for points in general position the Delaunay triangulation computed
// independently by the reference.
#include "geometry/point_order.h"
#include "plugin/surface/delaunay_reference.h"
#include "plugin/surface/surface_test_support.h"

#include <algorithm>
#include <map>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;

// A coordinate on the lattice of three decimals.
double onLattice(double value) {
    return std::round(value * 1000) / 1000;
}

class SurfaceDelaunay : public SurfaceFixture {
  protected:
    // Triangulates the points and checks the result against the survivors
    // of point preparation; with generalPosition also against the reference.
    void check(const std::vector<Point3>& points, bool generalPosition) {
        auto file = writePointFile(testing::pointLines(points));
        ASSERT_EQ(runPipeline(file), Status::ok);
        ASSERT_TRUE(alerts().empty());
        auto sorted = testing::parsePoints(readText(sortedFile()));
        survivors_.assign(sorted.begin() + 2, sorted.end());
        triangles_ = rawTriangles(file);
        ASSERT_FALSE(triangles_.empty());
        ASSERT_EQ(testing::triangulationFault(triangles_, survivors_), "");
        if (!generalPosition) return;

        std::vector<testing::LatticePoint> lattice;
        for (const Point3& p : survivors_)
            lattice.push_back(testing::toLattice(p.x, p.y));
        testing::ReferenceTriangulation reference = testing::delaunayReference(lattice);
        ASSERT_TRUE(reference.ok);
        ASSERT_FALSE(reference.cocircular) << "test data not in general position";
        auto expected = testing::sortedTriples(reference.triangles);
        auto actual = testing::indexTriples(triangles_, survivors_);
        std::vector<std::array<int, 3>> missing, extra;
        std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                            std::back_inserter(missing));
        std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                            std::back_inserter(extra));
        EXPECT_TRUE(missing.empty() && extra.empty())
            << missing.size() << " Delaunay triangles missing, " << extra.size() << " extra, of "
            << expected.size();
    }

    std::vector<Point3> survivors_;
    std::vector<Triangle> triangles_;
};

TEST_F(SurfaceDelaunay, RandomPoints) {
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> coordinate(0, 1000);
    std::uniform_real_distribution<double> height(200, 900);
    std::vector<Point3> points;
    for (int i = 0; i < 10000; ++i)
        points.push_back({onLattice(coordinate(random)), onLattice(coordinate(random)),
                          onLattice(height(random))});
    check(points, true);
}

TEST_F(SurfaceDelaunay, ClusteredPoints) {
    std::mt19937_64 random(77);
    std::uniform_real_distribution<double> centre(0, 5000);
    std::vector<Point3> points;
    for (int cluster = 0; cluster < 12; ++cluster) {
        std::normal_distribution<double> x(centre(random), 8), y(centre(random), 5);
        for (int i = 0; i < 800; ++i)
            points.push_back({onLattice(x(random)), onLattice(y(random)), double(cluster)});
    }
    std::shuffle(points.begin(), points.end(), random);
    check(points, true);
}

TEST_F(SurfaceDelaunay, GriddedPointsCoverTheGrid) {
    // Every cell of a regular grid has four points on one circle: no unique
    // Delaunay triangulation, but each cell must still be split in two.
    std::vector<Point3> points;
    for (int i = 0; i < 100; ++i)
        for (int j = 0; j < 100; ++j)
            points.push_back({j * 2.5, i * 1.5, double((i * j) % 17)});
    std::shuffle(points.begin(), points.end(), std::mt19937(1));
    check(points, false);
    EXPECT_EQ(triangles_.size(), 2u * 99 * 99);
    double area = 0;
    for (const Triangle& t : triangles_) {
        const auto& c = t.corners;
        area -= ((c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x)) / 2;
    }
    EXPECT_DOUBLE_EQ(area, 99 * 2.5 * 99 * 1.5);
}

TEST_F(SurfaceDelaunay, DuplicateHeavyPoints) {
    std::mt19937_64 random(99);
    std::uniform_real_distribution<double> coordinate(0, 300);
    std::vector<std::pair<double, double>> sites;
    for (int i = 0; i < 1500; ++i)
        sites.push_back({onLattice(coordinate(random)), onLattice(coordinate(random))});
    std::uniform_int_distribution<std::size_t> pick(0, sites.size() - 1);
    std::uniform_int_distribution<int> height(0, 50);
    std::vector<Point3> points;
    for (int i = 0; i < 10000; ++i) {
        auto [x, y] = sites[pick(random)];
        points.push_back({x, y, double(height(random))});
    }
    check(points, true);

    // The survivor of each site: the first point of the file for its own
    // site, the lowest point for every other.
    std::map<std::pair<double, double>, double> expected;
    for (const Point3& p : points) {
        auto [it, added] = expected.insert({{p.x, p.y}, p.z});
        if (!added) it->second = std::min(it->second, p.z);
    }
    expected[{points[0].x, points[0].y}] = points[0].z;
    ASSERT_EQ(survivors_.size(), expected.size());
    for (const Point3& p : survivors_)
        EXPECT_EQ((expected[{p.x, p.y}]), p.z);
}

TEST_F(SurfaceDelaunay, BundledSurveyTriangulatesCompletely) {
    auto points = testing::parsePoints(
        readText(std::filesystem::path(VOG_SOURCE_DIR) / "examples/data/jacksboro-survey.xyz"));
    ASSERT_EQ(points.size(), 30000u);
    check(points, true);
    EXPECT_EQ(survivors_.size(), 30000u);
}

} // namespace
} // namespace vog::surface
