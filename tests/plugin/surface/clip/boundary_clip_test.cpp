// Boundary and void clipping: which triangles an edge of the boundary cuts,
// which lie inside by the even-odd rule, and the clipping of a triangle file.
#include "app/host_seam.h"
#include "host/standin.h"
#include "plugin/surface/surface_test_support.h"
#include "surface/clip/boundary_clip.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;
using testing::widePath;
using testing::writeText;

Triangle tri(Point3 a, Point3 b, Point3 c) {
    return Triangle{{a, b, c}};
}

// The three listings of the same triangle, and the three of its mirror
// order: the result must never depend on which corner comes first.
std::vector<Triangle> listings(const Triangle& t) {
    const auto& c = t.corners;
    return {tri(c[0], c[1], c[2]), tri(c[1], c[2], c[0]), tri(c[2], c[0], c[1]),
            tri(c[0], c[2], c[1]), tri(c[2], c[1], c[0]), tri(c[1], c[0], c[2])};
}

std::vector<Segment> square(double lo, double hi) {
    return {{{lo, lo, 0}, {hi, lo, 0}},
            {{hi, lo, 0}, {hi, hi, 0}},
            {{hi, hi, 0}, {lo, hi, 0}},
            {{lo, hi, 0}, {lo, lo, 0}}};
}

int crosses(const Triangle& t, const std::vector<Segment>& boundary) {
    return triangleCrossesBoundary(t, boundary);
}

TEST(BoundaryCrossing, AnEdgeThroughASideCrossesAndTouchingDoesNot) {
    const auto box = square(0, 100);
    // An edge passing through the interior of the left side.
    for (const Triangle& t : listings(tri({-10, 50, 0}, {10, 60, 0}, {10, 40, 0})))
        EXPECT_EQ(crosses(t, box), 1);
    // Wholly inside, wholly outside, and outside with a corner on a box
    // corner: no crossing.
    for (const Triangle& t : listings(tri({10, 10, 0}, {10, 20, 0}, {20, 10, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    for (const Triangle& t : listings(tri({-30, 10, 0}, {-30, 20, 0}, {-20, 10, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    for (const Triangle& t : listings(tri({0, 0, 0}, {-10, -20, 0}, {-20, -10, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    // An edge that passes exactly through a box corner touches it.
    for (const Triangle& t : listings(tri({-10, 10, 0}, {10, -10, 0}, {-10, -10, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    // Lying along a side is no crossing either.
    for (const Triangle& t : listings(tri({0, 20, 0}, {0, 40, 0}, {-10, 30, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    EXPECT_EQ(crosses(tri({-10, 50, 0}, {10, 60, 0}, {10, 40, 0}), {}), 0);
}

// A boundary through survey points: the triangles inside are kept whatever
// order their corners are listed in, and a boundary segment that starts at a
// corner and runs out through the opposite edge cuts the triangle in every
// listing.
TEST(BoundaryCrossing, CornersOnTheBoundaryDecideNothingByTheirOrder) {
    const auto box = square(0, 100);
    // A corner on a box corner, one on the middle of a side, and both.
    for (const Triangle& t : listings(tri({0, 0, 0}, {10, 30, 0}, {30, 10, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    for (const Triangle& t : listings(tri({0, 50, 0}, {20, 60, 0}, {20, 40, 0})))
        EXPECT_EQ(crosses(t, box), 0);
    for (const Triangle& t : listings(tri({0, 0, 0}, {0, 50, 0}, {30, 20, 0})))
        EXPECT_EQ(crosses(t, box), 0);

    // The segment (0,0)-(100,0) leaves the corner (0,0) through the edge
    // (50,10)-(50,-10).
    std::vector<Segment> line{{{0, 0, 0}, {100, 0, 0}}};
    for (const Triangle& t : listings(tri({0, 0, 0}, {50, 10, 0}, {50, -10, 0})))
        EXPECT_EQ(crosses(t, line), 1);
    // ... and the same with the segment listed the other way round.
    line = {{{100, 0, 0}, {0, 0, 0}}};
    for (const Triangle& t : listings(tri({0, 0, 0}, {50, 10, 0}, {50, -10, 0})))
        EXPECT_EQ(crosses(t, line), 1);
}

TEST(BoundaryInside, EvenOddRuleWithVoidsIslandsAndTheTolerance) {
    std::vector<Segment> nested = square(0, 100);
    for (const Segment& s : square(40, 60))
        nested.push_back(s);
    for (const Segment& s : square(45, 55))
        nested.push_back(s);
    auto at = [](double x, double y) {
        // Corners chosen so that the test point is (x, y).
        return tri({x - 2, y, 0}, {x, y + 1, 0}, {x + 2, y - 2, 0});
    };
    EXPECT_EQ(triangleInsidePolygon(at(20, 20), nested), 1);
    EXPECT_EQ(triangleInsidePolygon(at(42, 50), nested), 0) << "in the void";
    EXPECT_EQ(triangleInsidePolygon(at(50, 50), nested), 1) << "on the island";
    EXPECT_EQ(triangleInsidePolygon(at(150, 50), nested), 0);
    EXPECT_EQ(triangleInsidePolygon(at(20, 20), std::vector<Segment>{}), 0) << "no segments: even";

    // The test point is the mid-point of the mid-points of edges 2-3 and 1-2.
    EXPECT_EQ(triangleInsidePolygon(tri({-1, 1, 0}, {0.5, 1, 0}, {0.5, 3, 0}), square(0, 100)), 1);
    EXPECT_EQ(triangleInsidePolygon(tri({0.5, 3, 0}, {-1, 1, 0}, {0.5, 1, 0}), square(0, 100)), 0);

    // A slanted segment crosses the ray from y = 10 at x = 5; a test point
    // 0.0005 to the right of it still counts it, one 0.002 to the right does
    // not.
    const std::vector<Segment> slanted{{{0, 0, 0}, {10, 20, 0}}};
    EXPECT_EQ(triangleInsidePolygon(at(5.0005, 10), slanted), 1);
    EXPECT_EQ(triangleInsidePolygon(at(5.002, 10), slanted), 0);
    EXPECT_EQ(triangleInsidePolygon(at(4.9, 10), slanted), 1);
    // Horizontal segments never count.
    EXPECT_EQ(triangleInsidePolygon(at(5, 10), std::vector<Segment>{{{0, 10, 0}, {10, 10, 0}}}), 0);
}

class BoundaryClip : public testing::SurfaceFixture {
  protected:
    // A grid of right triangles (clockwise) over -20..120 in steps of 20.
    static std::vector<Triangle> gridTriangles() {
        std::vector<Triangle> out;
        for (double x = -20; x < 120; x += 20) {
            for (double y = -20; y < 120; y += 20) {
                out.push_back(tri({x, y, 1}, {x, y + 20, 2}, {x + 20, y + 20, 3}));
                out.push_back(tri({x, y, 1}, {x + 20, y + 20, 3}, {x + 20, y, 4}));
            }
        }
        return out;
    }

    static std::string segmentLines(const std::vector<Segment>& segments) {
        std::string text;
        for (const Segment& s : segments)
            text += std::to_string(s.a.x) + " " + std::to_string(s.a.y) + " 7 " +
                    std::to_string(s.b.x) + " " + std::to_string(s.b.y) + " 7\n";
        return text;
    }

    // Clips the triangles with the boundary file text; the kept triangles.
    std::vector<Triangle> clip(const std::vector<Triangle>& triangles, const std::string& boundary,
                               Status expected = Status::ok) {
        std::string source;
        for (const Triangle& t : triangles)
            appendTriangleRecord(source, t);
        writeText(dir() / "site.ftin", source);
        writeText(dir() / "site.bnd", boundary);
        EXPECT_EQ(clipTrianglesToBoundary(widePath(dir() / "site.bnd"),
                                          widePath(dir() / "site.ftin"),
                                          widePath(dir() / "site.tin"), app::hostSeam()),
                  expected);
        return testing::parseTriangles(readText(dir() / "site.tin"));
    }

    static std::vector<Triangle> where(const std::vector<Triangle>& triangles,
                                       bool (*keep)(const Triangle&)) {
        std::vector<Triangle> out;
        std::copy_if(triangles.begin(), triangles.end(), std::back_inserter(out), keep);
        return out;
    }
};

bool allCornersWithin(const Triangle& t, double lo, double hi) {
    return std::all_of(t.corners.begin(), t.corners.end(), [&](const Point3& c) {
        return c.x >= lo && c.x <= hi && c.y >= lo && c.y <= hi;
    });
}

TEST_F(BoundaryClip, OuterSquareThroughSurveyPointsKeepsEveryTriangleInside) {
    const auto grid = gridTriangles();
    auto kept = clip(grid, segmentLines(square(0, 100)));
    EXPECT_EQ(kept, where(grid, [](const Triangle& t) { return allCornersWithin(t, 0, 100); }));
    EXPECT_EQ(kept.size(), 50u);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(BoundaryClip, OuterSquareBetweenPointsDropsTheTrianglesItCuts) {
    const auto grid = gridTriangles();
    auto kept = clip(grid, segmentLines(square(10, 90)));
    EXPECT_EQ(kept, where(grid, [](const Triangle& t) { return allCornersWithin(t, 20, 80); }));
}

TEST_F(BoundaryClip, AVoidDropsTheTrianglesInsideIt) {
    const auto grid = gridTriangles();
    std::vector<Segment> segments = square(0, 100);
    for (const Segment& s : square(40, 60))
        segments.push_back(s);
    auto kept = clip(grid, segmentLines(segments));
    EXPECT_EQ(kept, where(grid, [](const Triangle& t) {
                  return allCornersWithin(t, 0, 100) && !allCornersWithin(t, 40, 60);
              }));
    EXPECT_EQ(kept.size(), 48u);
}

TEST_F(BoundaryClip, SegmentsInAnyOrderAndDirectionGiveTheSameSurface) {
    const auto grid = gridTriangles();
    std::vector<Segment> segments = square(10, 90);
    for (const Segment& s : square(40, 60))
        segments.push_back(s);
    clip(grid, segmentLines(segments));
    const std::string expected = readText(dir() / "site.tin");

    std::mt19937 random(3);
    for (int round = 0; round < 4; ++round) {
        std::shuffle(segments.begin(), segments.end(), random);
        for (Segment& s : segments)
            if (random() % 2) std::swap(s.a, s.b);
        clip(grid, segmentLines(segments));
        EXPECT_EQ(readText(dir() / "site.tin"), expected);
    }
}

TEST_F(BoundaryClip, AnEmptyBoundaryFileGivesAnEmptySurface) {
    EXPECT_TRUE(clip(gridTriangles(), "").empty());
    EXPECT_EQ(readText(dir() / "site.tin"), "");
}

TEST_F(BoundaryClip, FileProblemsAreAlertedAndFailTheClipping) {
    writeText(dir() / "site.ftin", "0 0 0 0 1 0 1 1 0\n");
    EXPECT_EQ(clipTrianglesToBoundary(widePath(dir() / "none.bnd"), widePath(dir() / "site.ftin"),
                                      widePath(dir() / "site.tin"), app::hostSeam()),
              Status::failed);
    EXPECT_EQ(alerts(), std::vector<std::wstring>{L"Could not open boundary file."});
    EXPECT_FALSE(std::filesystem::exists(dir() / "site.tin"));

    standin::clearAlerts();
    clip(gridTriangles(), "0 0 0 100 0 0\n0 100 x 0 0 0\n", Status::failed);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], L"Line 2 of " + widePath(dir() / "site.bnd") +
                               L" is not a boundary segment: 0 100 x 0 0 0 (6 numbers expected, 5 "
                               L"found, and \"x\" is not a number)");

    standin::clearAlerts();
    writeText(dir() / "site.bnd", segmentLines(square(0, 100)));
    writeText(dir() / "site.ftin", "0 0 0 0 1 0 1 1 0\n1 2 3\n");
    EXPECT_EQ(clipTrianglesToBoundary(widePath(dir() / "site.bnd"), widePath(dir() / "site.ftin"),
                                      widePath(dir() / "site.tin"), app::hostSeam()),
              Status::failed);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_NE(alerts()[0].find(L"is not a triangle"), std::wstring::npos);
}

} // namespace
} // namespace vog::surface
