// The grid-indexed surface lookups against the plain scans of every
// triangle: the same samples along every mesh line, the same volume totals
// to the last bit, the same answer at every plan point (first triangle in
// file order for the mesh, last for the volumes), and the same place where a
// break stops the work.
#include "app/host_seam.h"
#include "host/standin.h"
#include "products/common/surface_grid.h"
#include "products/mesh/mesh_grid.h"
#include "products/volumes/volumes_grid.h"
#include "reference/products/surface_lookup_reference.h"
#include "support/differential.h"
#include "support/generators.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

namespace {

using vog::products::GridDirection;
using vog::products::SurfaceTriangle;
using vog::surface::Segment;
using vogtest::SurfaceKind;
using vogtest::Yields;

std::vector<SurfaceTriangle> surfaceOf(const std::vector<vog::surface::Triangle>& triangles) {
    std::vector<SurfaceTriangle> out;
    for (const auto& t : triangles)
        out.push_back(vog::products::makeSurfaceTriangle(t));
    return out;
}

bool sameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameSegments(const std::vector<Segment>& a, const std::vector<Segment>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double u[6] = {a[i].a.x, a[i].a.y, a[i].a.z, a[i].b.x, a[i].b.y, a[i].b.z};
        const double v[6] = {b[i].a.x, b[i].a.y, b[i].a.z, b[i].b.x, b[i].b.y, b[i].b.z};
        for (int k = 0; k < 6; ++k)
            if (!sameBits(u[k], v[k])) return false;
    }
    return true;
}

// Cut, fill and net, or nothing where the surfaces enclose no volume.
std::vector<std::uint64_t> totals(const vog::products::VolumeTotals& t) {
    if (t.cut == 0 && t.fill == 0) return {};
    return {std::bit_cast<std::uint64_t>(t.cut), std::bit_cast<std::uint64_t>(t.fill),
            std::bit_cast<std::uint64_t>(t.net)};
}

// The points that lie on the surface, by their number, with the elevation's
// bits.
using Hits = std::vector<std::pair<std::size_t, std::uint64_t>>;

void hit(Hits& hits, std::size_t point, bool found, double z) {
    if (found) hits.push_back({point, std::bit_cast<std::uint64_t>(z)});
}

// The last triangle in file order that holds the point, by a plain scan.
bool lastByScan(const std::vector<SurfaceTriangle>& surface, double x, double y, double& z) {
    bool found = false;
    for (const SurfaceTriangle& t : surface) {
        if (vog::products::pointOnTriangle(t, x, y)) {
            z = vog::products::triangleElevation(t, x, y);
            found = true;
        }
    }
    return found;
}

std::vector<std::vector<SurfaceTriangle>> testSurfaces() {
    std::vector<std::vector<SurfaceTriangle>> surfaces;
    std::uint32_t seed = 7;
    for (SurfaceKind kind : vogtest::allSurfaceKinds())
        for (int k = 0; k < 2; ++k)
            surfaces.push_back(surfaceOf(vogtest::makeSurface({kind, 9 + 3 * k, 7 + k, seed++})));
    surfaces.push_back(surfaceOf(vogtest::makeSoup(60, 3)));
    surfaces.push_back(surfaceOf(vogtest::makeSoup(200, 4)));
    // A long sliver across everything, which the grid keeps aside.
    auto withSliver = vogtest::makeSurface({SurfaceKind::Gridded, 40, 30, 11});
    withSliver.insert(withSliver.begin() + 100, {{{{0, 0, 3}, {0.01, 30, 4}, {40, 0.02, 5}}}});
    surfaces.push_back(surfaceOf(withSliver));
    return surfaces;
}

class SurfaceLookupDifferential : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }
};

TEST_F(SurfaceLookupDifferential, EveryPointGetsTheFirstAndTheLastTriangleOfTheScan) {
    std::mt19937 rng(5);
    int surfaceNumber = 0;
    for (const auto& surface : testSurfaces()) {
        SCOPED_TRACE("surface " + std::to_string(surfaceNumber++));
        vog::products::SurfaceGrid grid = vog::products::buildSurfaceGrid(surface);
        vog::products::SurfaceExtent extent;
        extent.include(surface);
        std::uniform_real_distribution<double> x(extent.minX - 1, extent.maxX + 1);
        std::uniform_real_distribution<double> y(extent.minY - 1, extent.maxY + 1);
        std::vector<std::pair<double, double>> points;
        // Lattice points hit corners and edges exactly; random ones the insides.
        for (double px = extent.minX - 0.5; px <= extent.maxX + 0.5; px += 0.25)
            for (double py = extent.minY - 0.5; py <= extent.maxY + 0.5; py += 0.25)
                points.push_back({px, py});
        for (int k = 0; k < 2000; ++k)
            points.push_back({x(rng), y(rng)});
        // Every corner of every triangle.
        for (const SurfaceTriangle& t : surface) {
            points.push_back({t.x1, t.y1});
            points.push_back({t.x2, t.y2});
            points.push_back({t.x3, t.y3});
        }
        Hits firstFast, firstPlain, lastFast, lastPlain;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const auto [px, py] = points[i];
            double zf = -1, zr = -1, zl = -1, zs = -1;
            hit(firstFast, i, vog::products::firstTriangleElevation(grid, px, py, zf), zf);
            hit(firstPlain, i, vogref::products::firstTriangleElevation(surface, px, py, zr), zr);
            hit(lastFast, i, vog::products::lastTriangleElevation(grid, px, py, zl), zl);
            hit(lastPlain, i, lastByScan(surface, px, py, zs), zs);
        }
        EXPECT_TRUE(vogtest::sameOutput(firstPlain, firstFast)) << "first triangle";
        EXPECT_TRUE(vogtest::sameOutput(lastPlain, lastFast)) << "last triangle";
    }
}

TEST_F(SurfaceLookupDifferential, MeshLinesAreSampledAlike) {
    int surfaceNumber = 0;
    for (const auto& surface : testSurfaces()) {
        SCOPED_TRACE("surface " + std::to_string(surfaceNumber++));
        vog::products::SurfaceGrid grid = vog::products::buildSurfaceGrid(surface);
        vog::products::SurfaceExtent extent;
        extent.include(surface);
        for (double step : {0.5, 0.37, 1.0}) {
            for (GridDirection direction : {GridDirection::AlongY, GridDirection::AlongX}) {
                bool alongY = direction == GridDirection::AlongY;
                double first = alongY ? extent.minX : extent.minY;
                double last = alongY ? extent.maxX : extent.maxY;
                double from = alongY ? extent.minY : extent.minX;
                double to = alongY ? extent.maxY : extent.maxX;
                // A line may pass beside every triangle; the lines together
                // never do.
                std::vector<Segment> allFast, allPlain;
                for (double across = first; across <= last; across += step) {
                    std::vector<Segment> fast, plain;
                    ASSERT_EQ(vog::products::sampleGridLine(grid, direction, across, from, to, step,
                                                            1.5, vog::app::hostSeam().cancellation,
                                                            fast),
                              vog::Status::ok);
                    ASSERT_TRUE(vogref::products::sampleGridLine(surface, direction, across, from,
                                                                 to, step, 1.5, plain));
                    ASSERT_TRUE(sameSegments(fast, plain))
                        << "step " << step << " across " << across << ": " << fast.size()
                        << " against " << plain.size() << " segments";
                    allFast.insert(allFast.end(), fast.begin(), fast.end());
                    allPlain.insert(allPlain.end(), plain.begin(), plain.end());
                }
                EXPECT_TRUE(vogtest::sameOutput(allPlain, allFast, sameSegments))
                    << "step " << step;
            }
        }
    }
}

TEST_F(SurfaceLookupDifferential, VolumeTotalsAgreeToTheLastBit) {
    auto surfaces = testSurfaces();
    for (std::size_t e = 0; e < surfaces.size(); ++e) {
        const auto& existing = surfaces[e];
        const auto& proposed = surfaces[(e + 3) % surfaces.size()];
        for (double interval : {0.5, 0.7, 2.0}) {
            SCOPED_TRACE("surfaces " + std::to_string(e) + " interval " + std::to_string(interval));
            vog::products::VolumeTotals fast, plain;
            ASSERT_EQ(vog::products::integrateVolumes(existing, proposed, interval, 0.9,
                                                      vog::app::hostSeam(), fast),
                      vog::Status::ok);
            ASSERT_TRUE(
                vogref::products::integrateVolumes(existing, proposed, interval, 0.9, plain));
            EXPECT_TRUE(vogtest::sameOutput(totals(plain), totals(fast)))
                << "cut " << fast.cut << " " << plain.cut << ", fill " << fast.fill << " "
                << plain.fill << ", net " << fast.net << " " << plain.net;
        }
    }
}

TEST_F(SurfaceLookupDifferential, ABreakStopsBothAtTheSameCellWithTheSameTotals) {
    auto existing = surfaceOf(vogtest::makeSurface({SurfaceKind::Jittered, 12, 9, 21}));
    auto proposed = surfaceOf(vogtest::makeSurface({SurfaceKind::Holes, 12, 9, 22}));
    for (int polls : {1, 17, 150}) {
        vog::products::VolumeTotals fast, plain;
        standin::breakAfterPolls(polls);
        EXPECT_EQ(
            vog::products::integrateVolumes(existing, proposed, 0.5, 1, vog::app::hostSeam(), fast),
            vog::Status::cancelled);
        standin::breakAfterPolls(polls);
        EXPECT_FALSE(vogref::products::integrateVolumes(existing, proposed, 0.5, 1, plain));
        // The first poll comes before any cell.
        EXPECT_TRUE(vogtest::sameOutput(totals(plain), totals(fast),
                                        polls == 1 ? Yields::nothing : Yields::something))
            << "break after " << polls << " polls";
    }
    standin::breakAfterPolls(0);
}

TEST(SurfaceGrid, AnEmptySurfaceHoldsNoPoint) {
    std::vector<SurfaceTriangle> none;
    vog::products::SurfaceGrid grid = vog::products::buildSurfaceGrid(none);
    double z = 0;
    EXPECT_FALSE(vog::products::firstTriangleElevation(grid, 0, 0, z));
    EXPECT_FALSE(vog::products::lastTriangleElevation(grid, 0, 0, z));
}

TEST(SurfaceGrid, PointsThatAreNotNumbersLieOnNoTriangle) {
    auto surface = surfaceOf(vogtest::makeSurface({SurfaceKind::Gridded, 4, 4, 1}));
    vog::products::SurfaceGrid grid = vog::products::buildSurfaceGrid(surface);
    double z = 0;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(vog::products::firstTriangleElevation(grid, nan, 1, z));
    EXPECT_FALSE(vog::products::lastTriangleElevation(grid, 1, nan, z));
    EXPECT_FALSE(vog::products::firstTriangleElevation(grid, inf, 1, z));
    EXPECT_FALSE(vog::products::lastTriangleElevation(grid, 1, -inf, z));
}

TEST(SurfaceGrid, ASurfaceWithoutWidthOrHeightIsStillSearched) {
    // Every triangle collinear along x = 2: the extent has no width.
    std::vector<SurfaceTriangle> surface{
        vog::products::makeSurfaceTriangle(2, 0, 1, 2, 1, 2, 2, 3, 5),
        vog::products::makeSurfaceTriangle(2, 2, 7, 2, 4, 7, 2, 5, 7)};
    vog::products::SurfaceGrid grid = vog::products::buildSurfaceGrid(surface);
    for (double y = -0.5; y <= 5.5; y += 0.25) {
        double zf = 0, zr = 0;
        bool ff = vog::products::firstTriangleElevation(grid, 2, y, zf);
        bool fr = vogref::products::firstTriangleElevation(surface, 2, y, zr);
        EXPECT_EQ(ff, fr) << y;
        if (ff && fr) {
            EXPECT_EQ(zf, zr) << y;
        }
    }
}

} // namespace
