// The differential comparisons on larger surfaces than the normal run can
// afford (the plain versions are quadratic). Disabled in the normal run;
// bench/run-products.sh runs them with --gtest_also_run_disabled_tests.
#include "app/host_seam.h"
#include "host/standin.h"
#include "products/common/surface_grid.h"
#include "products/contours/contour_levels.h"
#include "products/contours/contour_tracer.h"
#include "products/mesh/mesh_grid.h"
#include "products/profile/profile_cut.h"
#include "products/volumes/volumes_grid.h"
#include "reference/products/contour_reference.h"
#include "reference/products/profile_reference.h"
#include "reference/products/surface_lookup_reference.h"
#include "support/differential.h"
#include "support/generators.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

namespace {

vog::surface::Point3 pointOf(const ads_point p) {
    return {p[0], p[1], p[2]};
}

using vog::surface::Segment;
using vog::surface::Triangle;
using vogtest::SurfaceKind;

bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

std::vector<double> flatten(const std::vector<std::vector<Segment>>& chains) {
    std::vector<double> out;
    for (const auto& chain : chains) {
        out.push_back(static_cast<double>(chain.size()));
        for (const Segment& s : chain)
            out.insert(out.end(), {s.a.x, s.a.y, s.a.z, s.b.x, s.b.y, s.b.z});
    }
    return out;
}

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}

// Cut, fill and net, or nothing where the surfaces enclose no volume.
std::vector<double> totals(const vog::products::VolumeTotals& t) {
    if (t.cut == 0 && t.fill == 0) return {};
    return {t.cut, t.fill, t.net};
}

std::vector<vog::products::SurfaceTriangle> surfaceOf(const std::vector<Triangle>& triangles) {
    std::vector<vog::products::SurfaceTriangle> out;
    for (const Triangle& t : triangles)
        out.push_back(vog::products::makeSurfaceTriangle(t));
    return out;
}

class LargeDifferential : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }
};

TEST_F(LargeDifferential, DISABLED_ContoursOfTwentyThousandTriangles) {
    for (SurfaceKind kind : {SurfaceKind::Jittered, SurfaceKind::Holes, SurfaceKind::Gridded}) {
        auto triangles = vogtest::makeSurface({kind, 100, 100, 77});
        auto rim = vogref::products::surfaceRim(triangles);
        auto levels = vog::products::contourLevels(0, 10, 0.2);
        std::vector<std::vector<Segment>> fast, plain;
        auto into = [](std::vector<std::vector<Segment>>& out) {
            return [&out](std::span<const Segment> c) {
                out.emplace_back(c.begin(), c.end());
                return RTNORM;
            };
        };
        auto fastInto = [&](std::span<const Segment> c) {
            fast.emplace_back(c.begin(), c.end());
            return vog::Status::ok;
        };
        EXPECT_EQ(
            vog::products::traceContours(triangles, rim, levels, fastInto, vog::app::hostSeam()),
            vog::Status::ok);
        EXPECT_EQ(vogref::products::traceContours(triangles, rim, levels, into(plain)), RTNORM);
        EXPECT_GT(plain.size(), 50u);
        EXPECT_TRUE(vogtest::sameOutput(flatten(plain), flatten(fast), sameBits))
            << vogtest::kindName(kind);
    }
}

TEST_F(LargeDifferential, DISABLED_MeshAndVolumesOverTwentyThousandTriangles) {
    auto existing = surfaceOf(vogtest::makeSurface({SurfaceKind::Jittered, 100, 100, 78}));
    auto proposed = surfaceOf(vogtest::makeSurface({SurfaceKind::Duplicates, 100, 100, 79}));
    vog::products::SurfaceGrid grid = vog::products::buildSurfaceGrid(existing);
    for (double across = 0; across <= 100; across += 0.37) {
        std::vector<Segment> fast, plain;
        (void)vog::products::sampleGridLine(grid, vog::products::GridDirection::AlongY, across, 0,
                                            100, 0.37, 1, vog::app::hostSeam().cancellation, fast);
        vogref::products::sampleGridLine(existing, vog::products::GridDirection::AlongY, across, 0,
                                         100, 0.37, 1, plain);
        ASSERT_TRUE(vogtest::sameOutput(plain, fast, [](const auto& a, const auto& b) {
            return sameBits(flatten({a}), flatten({b}));
        })) << across;
    }
    vog::products::VolumeTotals fast, plain;
    (void)vog::products::integrateVolumes(existing, proposed, 0.6, 0.9, vog::app::hostSeam(), fast);
    vogref::products::integrateVolumes(existing, proposed, 0.6, 0.9, plain);
    EXPECT_TRUE(vogtest::sameOutput(totals(plain), totals(fast), sameBits));
}

TEST_F(LargeDifferential, DISABLED_ProfileAcrossSixtyThousandEdges) {
    auto triangles = vogtest::makeSurface({SurfaceKind::Holes, 100, 100, 80});
    std::vector<vog::products::SurfaceEdge> edges;
    for (const Triangle& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const auto& a = t.corners[k];
            const auto& b = t.corners[(k + 1) % 3];
            edges.push_back({{a.x, a.y, a.z, b.x, b.y, b.z}});
        }
    vog::products::ProfileEdges indexed(edges);
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> at(-5, 105);
    std::vector<vog::products::ProfilePoint> fast, plain;
    double sf = 0, sp = 0;
    for (int k = 0; k < 40; ++k) {
        ads_point p = {at(rng), at(rng), 0}, q = {at(rng), at(rng), 0};
        if (k % 5 == 0) {
            sf += vog::products::cutArcSegment(pointOf(p), pointOf(q), 0.4, sf, indexed, fast);
            sp += vogref::products::cutArcSegment(p, q, 0.4, sp, edges, plain);
        } else {
            sf += vog::products::cutStraightSegment(pointOf(p), pointOf(q), sf, indexed, fast);
            sp += vogref::products::cutStraightSegment(p, q, sp, edges, plain);
        }
    }
    EXPECT_TRUE(vogtest::sameOutput(plain, fast, [](const auto& a, const auto& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (!same(a[i].station, b[i].station) || !same(a[i].elevation, b[i].elevation))
                return false;
        return true;
    }));
}

} // namespace
