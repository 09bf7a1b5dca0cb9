// The grid-indexed profile cut against trying every edge for every chord:
// the same crossings in the same order, straight and along arcs, over
// surfaces with holes, duplicates and overlapping triangles, and the same
// profile file text from the sorted write order.
#include "host/standin.h"
#include "products/profile/profile_cut.h"
#include "products/profile/profile_order.h"
#include "reference/products/profile_reference.h"
#include "support/differential.h"
#include "support/generators.h"
#include "surface/files/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>

namespace {

vog::surface::Point3 pointOf(const ads_point p) {
    return {p[0], p[1], p[2]};
}

using vog::products::ProfilePoint;
using vog::products::SurfaceEdge;
using vogtest::SurfaceKind;

std::vector<SurfaceEdge> edgesOf(const std::vector<vog::surface::Triangle>& triangles) {
    std::vector<SurfaceEdge> edges;
    for (const auto& t : triangles) {
        for (int k = 0; k < 3; ++k) {
            const auto& a = t.corners[k];
            const auto& b = t.corners[(k + 1) % 3];
            edges.push_back({{a.x, a.y, a.z, b.x, b.y, b.z}});
        }
    }
    return edges;
}

std::string profileText(const std::vector<ProfilePoint>& points,
                        const std::vector<std::size_t>& order) {
    std::string text;
    for (std::size_t i : order) {
        vog::surface::appendFixed6(text, points[i].station);
        text += ' ';
        vog::surface::appendFixed6(text, points[i].elevation);
        text += '\n';
    }
    return text;
}

bool samePoints(const std::vector<ProfilePoint>& a, const std::vector<ProfilePoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::bit_cast<std::uint64_t>(a[i].station) !=
                std::bit_cast<std::uint64_t>(b[i].station) ||
            std::bit_cast<std::uint64_t>(a[i].elevation) !=
                std::bit_cast<std::uint64_t>(b[i].elevation))
            return false;
    return true;
}

std::vector<std::vector<SurfaceEdge>> edgeSets() {
    std::vector<std::vector<SurfaceEdge>> sets;
    std::uint32_t seed = 40;
    for (SurfaceKind kind : vogtest::allSurfaceKinds())
        sets.push_back(edgesOf(vogtest::makeSurface({kind, 14, 10, seed++})));
    sets.push_back(edgesOf(vogtest::makeSoup(120, 9)));
    // One edge across the whole surface, kept aside by the grid.
    auto withLong = edgesOf(vogtest::makeSurface({SurfaceKind::Jittered, 30, 20, 3}));
    withLong.insert(withLong.begin() + 50, SurfaceEdge{{-1, 10, 2, 31, 11, 6}});
    sets.push_back(withLong);
    return sets;
}

class ProfileDifferential : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }
};

TEST_F(ProfileDifferential, StraightAndArcSegmentsCrossTheSameEdgesInTheSameOrder) {
    std::mt19937 rng(17);
    int setNumber = 0;
    for (const auto& edges : edgeSets()) {
        SCOPED_TRACE("edge set " + std::to_string(setNumber++));
        vog::products::ProfileEdges indexed(edges);
        std::uniform_real_distribution<double> coordinate(-2, 32);
        std::uniform_int_distribution<int> lattice(0, 14);
        std::uniform_real_distribution<double> bulge(-1.5, 1.5);
        std::vector<ProfilePoint> fast, plain;
        double sFast = 3, sPlain = 3;
        for (int k = 0; k < 60; ++k) {
            ads_point p, q;
            if (k % 3 == 0) {
                // Along grid lines and through corners exactly.
                p[0] = lattice(rng), p[1] = lattice(rng) * 0.5, p[2] = 0;
                q[0] = lattice(rng), q[1] = p[1], q[2] = 0;
                if (k % 2) q[1] = lattice(rng) * 0.5, q[0] = p[0];
            } else {
                p[0] = coordinate(rng), p[1] = coordinate(rng) * 0.6, p[2] = 0.5;
                q[0] = coordinate(rng), q[1] = coordinate(rng) * 0.6, q[2] = 0.5;
            }
            if (k % 4 == 1) {
                double b = bulge(rng);
                if (b == 0) b = 0.3;
                sFast +=
                    vog::products::cutArcSegment(pointOf(p), pointOf(q), b, sFast, indexed, fast);
                sPlain += vogref::products::cutArcSegment(p, q, b, sPlain, edges, plain);
            } else {
                sFast +=
                    vog::products::cutStraightSegment(pointOf(p), pointOf(q), sFast, indexed, fast);
                sPlain += vogref::products::cutStraightSegment(p, q, sPlain, edges, plain);
            }
            ASSERT_TRUE(samePoints(fast, plain)) << "segment " << k << ": " << fast.size()
                                                 << " against " << plain.size() << " crossings";
        }
        EXPECT_TRUE(
            vogtest::sameOutput(profileText(plain, vogref::products::profileWriteOrder(plain)),
                                profileText(fast, vog::products::profileWriteOrder(fast))));
    }
}

TEST_F(ProfileDifferential, TheConvenienceFormsGiveTheSameCrossings) {
    auto edges = edgesOf(vogtest::makeSurface({SurfaceKind::Holes, 12, 9, 2}));
    ads_point p = {-1, 0.5, 0}, q = {13, 8.25, 0};
    std::vector<ProfilePoint> fast, plain;
    EXPECT_EQ(vog::products::cutStraightSegment(pointOf(p), pointOf(q), 0, edges, fast),
              vogref::products::cutStraightSegment(p, q, 0, edges, plain));
    EXPECT_EQ(vog::products::cutArcSegment(pointOf(p), pointOf(q), 0.7, 5, edges, fast),
              vogref::products::cutArcSegment(p, q, 0.7, 5, edges, plain));
    EXPECT_TRUE(vogtest::sameOutput(plain, fast, samePoints));
    EXPECT_GT(plain.size(), 10u);
}

TEST(ProfileWriteOrder, SortedOrderMatchesTheScanWithTiesAndRepeats) {
    std::mt19937 rng(8);
    for (int n : {1, 2, 3, 4, 7, 30, 200}) {
        for (int round = 0; round < 20; ++round) {
            std::uniform_int_distribution<int> station(0, round % 2 ? 5 : 1000);
            std::vector<ProfilePoint> points;
            for (int i = 0; i < n; ++i)
                points.push_back(
                    {station(rng) * 0.5 - (round % 3 == 0 ? 0.0 : 1.0), static_cast<double>(i)});
            ASSERT_TRUE(vogtest::sameOutput(vogref::products::profileWriteOrder(points),
                                            vog::products::profileWriteOrder(points)))
                << n << " points, round " << round;
        }
    }
    // Plus and minus zero are the same station: the first found is written.
    std::vector<ProfilePoint> zeros{{0.0, 1}, {-0.0, 2}, {1, 3}, {-0.0, 4}, {1, 5}};
    EXPECT_TRUE(vogtest::sameOutput(vogref::products::profileWriteOrder(zeros),
                                    vog::products::profileWriteOrder(zeros)));
    EXPECT_TRUE(vog::products::profileWriteOrder({}).empty());
}

} // namespace
