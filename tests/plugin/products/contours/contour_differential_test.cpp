// The fast contour tracer against the plain one: level pools from the upward
// sweep against a pass over every triangle with a bubble sort, chains from
// the hashed ends against rescanning the pool, the rim from the hashed
// toggle against the list toggle, and the polylines both leave in the
// drawing, entity for entity; also where a writer failure or a break stops
// them.
#include "app/host_drawing.h"
#include "app/host_result.h"
#include "app/host_seam.h"
#include "drawing/drawing.h"
#include "host/standin.h"
#include "products/contours/contour_chains.h"
#include "products/contours/contour_surface.h"
#include "products/contours/contour_tracer.h"
#include "products/contours/contour_writer.h"
#include "products/contours/level_segments.h"
#include "reference/products/contour_reference.h"
#include "support/differential.h"
#include "support/generators.h"
#include "support/run_host.h"
#include "surface/files/triangle_file.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <random>

namespace {

using vog::products::ContourLevels;
using vog::products::ContourSegment;
using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;
using vogtest::SurfaceKind;
using vogtest::Yields;

bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}
bool same(const Point3& a, const Point3& b) {
    return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z);
}

bool samePools(const std::vector<ContourSegment>& a, const std::vector<ContourSegment>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same(a[i].start, b[i].start) || !same(a[i].end, b[i].end) || a[i].state != b[i].state)
            return false;
    return true;
}

using Chains = std::vector<std::vector<Segment>>;

bool sameChains(const Chains& a, const Chains& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) return false;
        for (std::size_t k = 0; k < a[i].size(); ++k)
            if (!same(a[i][k].a, b[i][k].a) || !same(a[i][k].b, b[i][k].b)) return false;
    }
    return true;
}

// Surfaces whose heights sit on the levels often: corners at a level, edges
// and whole flat triangles at a level, shared edges from both sides.
std::vector<std::vector<Triangle>> testSurfaces() {
    std::vector<std::vector<Triangle>> surfaces;
    std::uint32_t seed = 60;
    for (SurfaceKind kind : vogtest::allSurfaceKinds())
        for (int k = 0; k < 2; ++k)
            surfaces.push_back(vogtest::makeSurface({kind, 10 + 4 * k, 8 + 2 * k, seed++}));
    surfaces.push_back(vogtest::makeSoup(80, 12));
    surfaces.push_back(vogtest::makeSoup(250, 13));
    return surfaces;
}

std::vector<ContourLevels> testLevels() {
    return {vog::products::contourLevels(0, 10, 1), vog::products::contourLevels(0, 10, 0.5),
            vog::products::contourLevels(0.1, 9.7, 0.1), vog::products::contourLevels(-2, 12, 0.7)};
}

Chains traceWith(bool fast, const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                 const ContourLevels& levels, int failAt, int& status) {
    Chains chains;
    auto write = [&](std::span<const Segment> chain) {
        chains.emplace_back(chain.begin(), chain.end());
        return static_cast<int>(chains.size()) == failAt ? RTERROR : RTNORM;
    };
    auto writeStatus = [&](std::span<const Segment> chain) {
        return write(chain) == RTERROR ? vog::Status::failed : vog::Status::ok;
    };
    status = fast ? vog::app::toHostResult(vog::products::traceContours(
                        triangles, rim, levels, writeStatus, vog::app::hostSeam()))
                  : vogref::products::traceContours(triangles, rim, levels, write);
    return chains;
}

class ContourDifferential : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }
};

TEST_F(ContourDifferential, LevelPoolsFromTheSweepMatchThePlainPass) {
    int surfaceNumber = 0;
    for (const auto& triangles : testSurfaces()) {
        SCOPED_TRACE("surface " + std::to_string(surfaceNumber++));
        for (const ContourLevels& levels : testLevels()) {
            vog::products::LevelSweep sweep;
            vog::products::startLevelSweep(sweep, triangles);
            double level = levels.first;
            std::vector<ContourSegment> allFast, allPlain;
            do {
                std::vector<ContourSegment> fast, plain;
                vog::products::sweepLevelPool(sweep, level, fast);
                vogref::products::buildLevelPool(triangles, level, plain);
                ASSERT_TRUE(samePools(fast, plain)) << "level " << level;
                allFast.insert(allFast.end(), fast.begin(), fast.end());
                allPlain.insert(allPlain.end(), plain.begin(), plain.end());
                // The single-level form is the plain one, sorted fast.
                vog::products::buildLevelPool(triangles, level, fast);
                ASSERT_TRUE(samePools(fast, plain)) << "level " << level;
            } while (vog::products::nextLevel(levels, level));
            // A level may miss the surface; the levels together never do.
            EXPECT_TRUE(vogtest::sameOutput(allPlain, allFast, samePools)) << levels.interval;
            // Going down again starts afresh.
            std::vector<ContourSegment> fast, plain;
            vog::products::sweepLevelPool(sweep, levels.first, fast);
            vogref::products::buildLevelPool(triangles, levels.first, plain);
            EXPECT_TRUE(samePools(fast, plain));
        }
    }
}

TEST_F(ContourDifferential, NormalisingKeepsTheBubbleOrderAndItsDuplicateRule) {
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> coordinate(0, 3);
    for (int round = 0; round < 200; ++round) {
        std::vector<ContourSegment> pool;
        int n = round % 40;
        for (int i = 0; i < n; ++i) {
            // Few distinct values: many identical segments, runs of three and
            // four among them, and minus zero beside zero.
            auto value = [&] {
                int v = coordinate(rng);
                return v == 0 ? (round % 2 ? -0.0 : 0.0) : v * 0.5;
            };
            pool.push_back({{value(), value(), 1}, {value(), value(), 1}, 0});
        }
        std::vector<ContourSegment> fast = pool, plain = pool;
        vog::products::normaliseSegments(fast);
        vogref::products::normaliseSegments(plain);
        ASSERT_TRUE(samePools(fast, plain)) << "round " << round;
    }
}

TEST_F(ContourDifferential, EveryLevelGivesTheSameChainsInTheSameOrder) {
    int surfaceNumber = 0;
    for (const auto& triangles : testSurfaces()) {
        SCOPED_TRACE("surface " + std::to_string(surfaceNumber++));
        std::vector<Segment> rim = vogref::products::surfaceRim(triangles);
        for (const ContourLevels& levels : testLevels()) {
            int fastStatus = 0, plainStatus = 0;
            Chains fast = traceWith(true, triangles, rim, levels, -1, fastStatus);
            Chains plain = traceWith(false, triangles, rim, levels, -1, plainStatus);
            EXPECT_EQ(fastStatus, plainStatus);
            ASSERT_TRUE(vogtest::sameOutput(plain, fast, sameChains))
                << "interval " << levels.interval;
        }
    }
}

TEST_F(ContourDifferential, ChainsFromOneLevelsPoolStepByStep) {
    // buildChain and chainQualifies on their own, on a pool with free,
    // taken and earlier states, agree with the plain ones after every chain.
    auto triangles = vogtest::makeSurface({SurfaceKind::Duplicates, 12, 9, 5});
    std::vector<Segment> rim = vogref::products::surfaceRim(triangles);
    std::vector<ContourSegment> fastPool, plainPool;
    vogref::products::buildLevelPool(triangles, 3, plainPool);
    fastPool = plainPool;
    ASSERT_GT(plainPool.size(), 10u);
    std::vector<Segment> fastChain, plainChain;
    for (;;) {
        bool fastMore = vog::products::buildChain(fastPool, fastChain);
        bool plainMore = vogref::products::buildChain(plainPool, plainChain);
        ASSERT_EQ(fastMore, plainMore);
        if (!plainMore) break;
        ASSERT_TRUE(sameChains({fastChain}, {plainChain}));
        ASSERT_TRUE(samePools(fastPool, plainPool));
        EXPECT_EQ(vog::products::chainQualifies(fastChain, fastPool, rim),
                  vogref::products::chainQualifies(plainChain, plainPool, rim));
    }
}

TEST_F(ContourDifferential, FarCoordinatesAndPointsThatAreNotNumbersChainAlike) {
    // Coordinates too large for the hash cells: every lookup visits them.
    auto far = vogtest::makeSurface({SurfaceKind::Jittered, 9, 7, 14});
    for (Triangle& t : far)
        for (Point3& c : t.corners)
            c.x += 3e10;
    std::vector<Segment> rim = vogref::products::surfaceRim(far);
    ContourLevels levels = vog::products::contourLevels(0, 10, 0.5);
    int fastStatus = 0, plainStatus = 0;
    Chains fast = traceWith(true, far, rim, levels, -1, fastStatus);
    Chains plain = traceWith(false, far, rim, levels, -1, plainStatus);
    EXPECT_TRUE(vogtest::sameOutput(plain, fast, sameChains));

    // A point that is not a number matches every point in the plan test and
    // does not order: the pool keeps the neighbour swaps and the chains take
    // it where the plain scan takes it.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<ContourSegment> pool{{{2, 2, 1}, {3, 2, 1}, 0},   {{nan, 1, 1}, {5, 5, 1}, 0},
                                     {{0, 0, 1}, {1, 1, 1}, 0},   {{1, 1, 1}, {2, 2, 1}, 0},
                                     {{inf, 0, 1}, {4, 4, 1}, 0}, {{3, 2, 1}, {0, 0, 1}, 0},
                                     {{7, 7, 1}, {8, nan, 1}, 0}};
    std::vector<ContourSegment> fastPool = pool, plainPool = pool;
    vog::products::normaliseSegments(fastPool);
    vogref::products::normaliseSegments(plainPool);
    ASSERT_EQ(fastPool.size(), plainPool.size());
    std::vector<Segment> fastChain, plainChain;
    for (;;) {
        bool fastMore = vog::products::buildChain(fastPool, fastChain);
        bool plainMore = vogref::products::buildChain(plainPool, plainChain);
        ASSERT_EQ(fastMore, plainMore);
        if (!plainMore) break;
        ASSERT_EQ(fastChain.size(), plainChain.size());
        EXPECT_EQ(vog::products::chainQualifies(fastChain, fastPool, rim),
                  vogref::products::chainQualifies(plainChain, plainPool, rim));
    }
    for (std::size_t i = 0; i < plainPool.size(); ++i)
        EXPECT_EQ(fastPool[i].state, plainPool[i].state) << i;
}

TEST_F(ContourDifferential, AWriterFailureAndABreakStopBothAtTheSameChain) {
    auto triangles = vogtest::makeSurface({SurfaceKind::Jittered, 14, 10, 8});
    std::vector<Segment> rim = vogref::products::surfaceRim(triangles);
    ContourLevels levels = vog::products::contourLevels(0, 10, 0.5);
    for (int failAt : {1, 5, 23}) {
        int fastStatus = 0, plainStatus = 0;
        Chains fast = traceWith(true, triangles, rim, levels, failAt, fastStatus);
        Chains plain = traceWith(false, triangles, rim, levels, failAt, plainStatus);
        EXPECT_EQ(fastStatus, RTERROR);
        EXPECT_EQ(plainStatus, RTERROR);
        // The chains up to the one the writer refused.
        EXPECT_TRUE(vogtest::sameOutput(plain, fast, sameChains)) << failAt;
    }
    for (int polls : {1, 4, 11}) {
        int fastStatus = 0, plainStatus = 0;
        standin::breakAfterPolls(polls);
        Chains fast = traceWith(true, triangles, rim, levels, -1, fastStatus);
        standin::breakAfterPolls(polls);
        Chains plain = traceWith(false, triangles, rim, levels, -1, plainStatus);
        EXPECT_EQ(fastStatus, RTCAN);
        EXPECT_EQ(plainStatus, RTCAN);
        // A break at the first poll comes before any chain.
        EXPECT_TRUE(vogtest::sameOutput(plain, fast, sameChains,
                                        polls == 1 ? Yields::nothing : Yields::something))
            << polls;
    }
    standin::breakAfterPolls(0);
}

// The drawing's entities as text: type, layer and every group.
std::vector<std::wstring> entityDump() {
    std::vector<std::wstring> out;
    for (const standin::Entity& e : standin::database().entities) {
        std::wstring line = e.type + L" " + e.layer;
        for (const standin::Group& g : e.groups) {
            wchar_t text[160];
            std::swprintf(text, 160, L" %d:%ls:%a,%a,%a:%ld", g.code, g.text.c_str(), g.values[0],
                          g.values[1], g.values[2], g.integer);
            line += text;
        }
        out.push_back(line);
    }
    return out;
}

TEST_F(ContourDifferential, TheDrawingGetsTheSameEntitiesStraightAndRounded) {
    auto triangles = vogtest::makeSurface({SurfaceKind::Holes, 16, 12, 31});
    std::vector<Segment> rim = vogref::products::surfaceRim(triangles);
    ContourLevels levels = vog::products::contourLevels(0, 6, 0.5);
    for (const wchar_t* rounding : {L"0", L"1"}) {
        vog::products::WriterParameters writer;
        writer.rounding = rounding;
        writer.contourWidth = 0.1;
        writer.indexWidth = 0.3;
        writer.contourLayer = L"CONT";
        writer.indexLayer = L"INDEX";
        writer.indexInterval = 2;
        std::vector<Segment> rounded;
        auto draw = [&](std::span<const Segment> chain) {
            return vog::products::drawContour(chain, writer, rounded, vog::app::hostDrawing());
        };
        standin::resetHost();
        EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, draw, vog::app::hostSeam()),
                  vog::Status::ok);
        std::vector<std::wstring> fast = entityDump();
        standin::resetHost();
        EXPECT_EQ(vogref::products::traceContours(triangles, rim, levels,
                                                  [&](std::span<const Segment> chain) {
                                                      return vog::app::toHostResult(draw(chain));
                                                  }),
                  RTNORM);
        std::vector<std::wstring> plain = entityDump();
        EXPECT_GT(plain.size(), 100u);
        EXPECT_TRUE(vogtest::sameOutput(plain, fast)) << "rounding " << rounding;
    }
}

TEST_F(ContourDifferential, TheRimOfTheHashedToggleIsTheListToggle) {
    namespace fs = std::filesystem;
    const fs::path dir = vogtest::freshFolder("rim");
    int surfaceNumber = 0;
    for (const auto& triangles : testSurfaces()) {
        SCOPED_TRACE("surface " + std::to_string(surfaceNumber++));
        fs::path file = dir / "surface.tin";
        {
            std::FILE* out = std::fopen(file.c_str(), "w");
            ASSERT_NE(out, nullptr);
            for (const Triangle& t : triangles) {
                for (const Point3& c : t.corners)
                    std::fprintf(out, "%lf %lf %lf ", c.x, c.y, c.z);
                std::fprintf(out, "\n");
            }
            std::fclose(out);
        }
        vog::surface::TriangleFileReader reader(file.wstring());
        vog::products::ContourSurface surface;
        ASSERT_EQ(vog::products::readContourSurface(reader, vog::app::hostSeam(), surface),
                  vog::Status::ok);
        std::vector<Segment> plain = vogref::products::surfaceRim(surface.triangles);
        ASSERT_FALSE(plain.empty());
        ASSERT_EQ(surface.rim.size(), plain.size());
        for (std::size_t i = 0; i < plain.size(); ++i)
            ASSERT_TRUE(same(surface.rim[i].a, plain[i].a) && same(surface.rim[i].b, plain[i].b))
                << "rim edge " << i;
    }
    fs::remove_all(dir);
}

} // namespace
