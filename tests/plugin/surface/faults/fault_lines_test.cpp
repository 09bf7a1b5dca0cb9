// Fault lines on small surfaces whose answer is known: the order of the new
// triangles, faults across many triangles and through vertices, snapping,
// vertical and horizontal faults, faults that do not apply; and the fault
// step over files: the two layouts, the boundary skip, empty and malformed
// files, every alert and result.
#include "app/host_seam.h"
#include "geometry/plan_orientation.h"
#include "host/standin.h"
#include "plugin/surface/faults/fault_surface_check.h"
#include "plugin/surface/surface_test_support.h"
#include "project/project_state.h"
#include "surface/faults/fault_lines.h"
#include "surface/faults/fault_segment.h"
#include "surface/faults/polygon_triangulation.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace vog::surface {
namespace {

using testing::parseTriangles;
using testing::readText;
using testing::widePath;
using testing::writeText;

Triangle tri(Point3 a, Point3 b, Point3 c) {
    return Triangle{{a, b, c}};
}

bool isClockwise(const Triangle& t) {
    return planOrientation(t.corners[0], t.corners[1], t.corners[2]) < 0;
}

bool hasCorner(const Triangle& t, const Point3& p) {
    return std::any_of(t.corners.begin(), t.corners.end(), [&](const Point3& c) { return c == p; });
}

bool hasEdge(const Triangle& t, const Point3& a, const Point3& b) {
    return hasCorner(t, a) && hasCorner(t, b);
}

std::vector<Triangle> sorted(std::vector<Triangle> triangles) {
    auto key = [](const Triangle& t) {
        std::array<std::tuple<double, double, double>, 3> k;
        for (int i = 0; i < 3; ++i)
            k[i] = {t.corners[i].x, t.corners[i].y, t.corners[i].z};
        std::sort(k.begin(), k.end());
        return k;
    };
    std::sort(triangles.begin(), triangles.end(),
              [&](const Triangle& a, const Triangle& b) { return key(a) < key(b); });
    return triangles;
}

// The unit square split by the diagonal (0,0)-(10,10), both halves clockwise,
// and one triangle beside it that no fault below touches.
const Point3 kLowerLeft{0, 0, 1};
const Point3 kUpperLeft{0, 10, 2};
const Point3 kUpperRight{10, 10, 3};
const Point3 kLowerRight{10, 0, 4};
const Point3 kBeside{20, 5, 5};

std::vector<Triangle> squareSurface() {
    return {tri(kLowerLeft, kUpperLeft, kUpperRight), tri(kLowerLeft, kUpperRight, kLowerRight),
            tri(kUpperRight, kBeside, kLowerRight)};
}

// Rows of squares with corners on (10 i, 10 j), each split along its rising
// diagonal, heights i + 10 j.
std::vector<Triangle> gridSurface(int columns, int rows) {
    std::vector<Triangle> triangles;
    auto p = [](int i, int j) { return Point3{10.0 * i, 10.0 * j, i + 10.0 * j}; };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            triangles.push_back(tri(p(i, j), p(i, j + 1), p(i + 1, j + 1)));
            triangles.push_back(tri(p(i, j), p(i + 1, j + 1), p(i + 1, j)));
        }
    }
    return triangles;
}

class FaultSegment : public ::testing::Test {
  protected:
    void SetUp() override { standin::resetHost(); }
    void TearDown() override { standin::resetHost(); }

    FaultResult apply(std::vector<Triangle>& tin, Segment fault) {
        capture.clear();
        last = fault;
        const FaultResult result = applyFaultSegment(tin, fault, app::hostSeam());
        last = fault;
        return result;
    }

    bool reportedMissing() const {
        return capture.text().find("missing for triangulation") != std::string::npos;
    }

    standin::OutputCapture capture;
    Segment last; // the fault as applyFaultSegment left it
};

TEST_F(FaultSegment, TheDiagonalOfAQuadrilateralIsSwappedAndTheNewTrianglesFollowInOrder) {
    // From (10,0) to (0,10): the outline edge at (0,10) that comes first is
    // (0,0)->(0,10), so the triangle on the (0,0) side comes first.
    std::vector<Triangle> tin = squareSurface();
    const testing::SurfaceCheck check(tin);
    EXPECT_EQ(apply(tin, {kLowerRight, kUpperLeft}), FaultResult::processed);
    EXPECT_EQ(capture.text(), "");
    ASSERT_EQ(tin.size(), 3u);
    EXPECT_EQ(tin[0], squareSurface()[2]);
    EXPECT_TRUE(hasEdge(tin[1], kLowerRight, kUpperLeft) && hasCorner(tin[1], kLowerLeft));
    EXPECT_TRUE(hasEdge(tin[2], kLowerRight, kUpperLeft) && hasCorner(tin[2], kUpperRight));
    EXPECT_TRUE(isClockwise(tin[1]) && isClockwise(tin[2]));
    EXPECT_EQ(check.faultIn(tin), "");

    // The other way round the first outline edge at (10,0) is
    // (10,10)->(10,0): the (10,10) side comes first.
    tin = squareSurface();
    EXPECT_EQ(apply(tin, {kUpperLeft, kLowerRight}), FaultResult::processed);
    ASSERT_EQ(tin.size(), 3u);
    EXPECT_TRUE(hasCorner(tin[1], kUpperRight));
    EXPECT_TRUE(hasCorner(tin[2], kLowerLeft));
}

TEST_F(FaultSegment, AFaultAlongAnEdgeOrInsideOneTriangleChangesNothing) {
    std::vector<Triangle> tin = squareSurface();
    EXPECT_EQ(apply(tin, {kUpperRight, kLowerLeft}), FaultResult::notApplied);
    EXPECT_EQ(tin, squareSurface());
    EXPECT_EQ(apply(tin, {kLowerLeft, kLowerRight}), FaultResult::notApplied);
    EXPECT_EQ(tin, squareSurface());
    EXPECT_EQ(capture.text(), "");

    // A fault that cuts a single triangle: it is put back after the others,
    // the surface holds the same triangles.
    const Point3 far{40, 0, 0};
    std::vector<Triangle> two{tri({0, 0, 0}, {5, 5, 0}, {5, -5, 0}),
                              tri({40, 0, 0}, {45, 5, 0}, {45, -5, 0})};
    std::vector<Triangle> before = two;
    EXPECT_EQ(apply(two, {{0, 0, 0}, far}), FaultResult::notApplied);
    EXPECT_EQ(sorted(two), sorted(before));
    EXPECT_EQ(capture.text(), "");
}

TEST_F(FaultSegment, AFaultAcrossManyTrianglesBecomesAnEdgeAndTheRestKeepTheirOrder) {
    std::vector<Triangle> tin = gridSurface(6, 3);
    const std::vector<Triangle> original = tin;
    const testing::SurfaceCheck check(tin);
    const Point3 a{0, 0, 0};
    const Point3 b{60, 10, 16};
    EXPECT_EQ(apply(tin, {a, b}), FaultResult::processed);
    EXPECT_EQ(check.faultIn(tin), "");
    EXPECT_TRUE(
        std::any_of(tin.begin(), tin.end(), [&](const Triangle& t) { return hasEdge(t, a, b); }));
    EXPECT_EQ(tin.size(), original.size());
    // The untouched triangles, in their old order, then the new ones.
    std::vector<Triangle> untouched;
    for (const Triangle& t : original)
        if (std::find(tin.begin(), tin.end(), t) != tin.end()) untouched.push_back(t);
    ASSERT_FALSE(untouched.empty());
    EXPECT_TRUE(std::equal(untouched.begin(), untouched.end(), tin.begin()));
    for (std::size_t i = untouched.size(); i < tin.size(); ++i) {
        EXPECT_TRUE(isClockwise(tin[i]));
        EXPECT_EQ(std::find(original.begin(), original.end(), tin[i]), original.end());
    }
}

TEST_F(FaultSegment, AFaultThroughFurtherVerticesBecomesTheChainOfEdgesBetweenThem) {
    // (0,0)-(40,20) passes through (20,10): two faults, both placed.
    std::vector<Triangle> tin = gridSurface(4, 2);
    const testing::SurfaceCheck check(tin);
    const Point3 a{0, 0, 0};
    const Point3 mid{20, 10, 12};
    const Point3 b{40, 20, 24};
    EXPECT_EQ(apply(tin, {a, b}), FaultResult::processed);
    EXPECT_EQ(check.faultIn(tin), "");
    auto isEdge = [&](const Point3& p, const Point3& q) {
        return std::any_of(tin.begin(), tin.end(),
                           [&](const Triangle& t) { return hasEdge(t, p, q); });
    };
    EXPECT_TRUE(isEdge(a, mid));
    EXPECT_TRUE(isEdge(mid, b));

    // Along a row of vertices every piece is an edge already.
    tin = gridSurface(4, 2);
    EXPECT_EQ(apply(tin, {{0, 10, 10}, {40, 10, 14}}), FaultResult::notApplied);
    EXPECT_EQ(tin, gridSurface(4, 2));
}

// A vertical fault across a horizontal edge, a horizontal fault across a
// vertical one, and a sloped fault across the vertical edges of a strip.
TEST_F(FaultSegment, VerticalAndHorizontalFaultsAndEdgesAreCut) {
    const Point3 south{0, -10, 1};
    const Point3 east{10, 0, 2};
    const Point3 north{0, 10, 3};
    const Point3 west{-10, 0, 4};
    // The diamond split along the horizontal west-east diagonal.
    std::vector<Triangle> diamond{tri(west, north, east), tri(west, east, south)};
    EXPECT_EQ(apply(diamond, {south, north}), FaultResult::processed);
    ASSERT_EQ(diamond.size(), 2u);
    for (const Triangle& t : diamond) {
        EXPECT_TRUE(hasEdge(t, south, north));
        EXPECT_TRUE(isClockwise(t));
    }
    // Now split along the vertical diagonal: a horizontal fault swaps it back.
    EXPECT_EQ(apply(diamond, {east, west}), FaultResult::processed);
    for (const Triangle& t : diamond)
        EXPECT_TRUE(hasEdge(t, east, west));

    // Squares split along their falling diagonal: the fault (0,0)-(30,10)
    // crosses the vertical edges x = 10 and x = 20.
    std::vector<Triangle> strip;
    for (int i = 0; i < 3; ++i) {
        const Point3 a{10.0 * i, 0, 0}, b{10.0 * i, 10, 0}, c{10.0 * i + 10, 10, 0},
            d{10.0 * i + 10, 0, 0};
        strip.push_back(tri(a, b, d));
        strip.push_back(tri(b, c, d));
    }
    const testing::SurfaceCheck check(strip);
    EXPECT_EQ(apply(strip, {{0, 0, 0}, {30, 10, 0}}), FaultResult::processed);
    EXPECT_EQ(check.faultIn(strip), "");
    EXPECT_TRUE(testing::isEdgeChain(strip, {0, 0, 0}, {30, 10, 0}));
}

TEST_F(FaultSegment, EndsWithinOneTenthAreSnappedOntoVerticesAndTakeTheirElevation) {
    std::vector<Triangle> tin = squareSurface();
    Point3 p{10, 0.1, 99};
    snapToNearestVertex(tin, p);
    EXPECT_EQ(p, kLowerRight);
    p = {10, 0.1000001, 99};
    snapToNearestVertex(tin, p);
    EXPECT_EQ(p, (Point3{10, 0.1000001, 99}));
    // Of two vertices equally near, the first one met wins.
    p = {5, 0.05, 0};
    std::vector<Triangle> close{tri({4.95, 0, 7}, {0, 10, 0}, {10, 10, 0}),
                                tri({5.05, 0, 8}, {0, 10, 0}, {10, 10, 0})};
    snapToNearestVertex(close, p);
    EXPECT_EQ(p.z, 7);
    p = {5, 0.05, 0};
    std::swap(close[0], close[1]);
    snapToNearestVertex(close, p);
    EXPECT_EQ(p.z, 8);

    // A fault snapped at 0.1 is placed, with the vertices' elevations.
    EXPECT_EQ(apply(tin, {{9.9, 0, 0}, {0, 10.05, 0}}), FaultResult::processed);
    EXPECT_EQ(last.a, kLowerRight);
    EXPECT_EQ(last.b, kUpperLeft);
    EXPECT_TRUE(hasEdge(tin[1], kLowerRight, kUpperLeft));
}

TEST_F(FaultSegment, AnEndThatIsNoVertexSkipsTheFaultOrIsReportedMissing) {
    // (10, 0.1000001) is no vertex and (0,10) a corner of one triangle only:
    // skipped, nothing said.
    std::vector<Triangle> tin = squareSurface();
    EXPECT_EQ(apply(tin, {{10, 0.1000001, 0}, kUpperLeft}), FaultResult::notApplied);
    EXPECT_EQ(tin, squareSurface());
    EXPECT_EQ(capture.text(), "");

    // With the second end a corner of two triangles the fault goes on, cuts
    // both halves and cannot be placed: reported, surface unchanged.
    tin = squareSurface();
    tin.insert(tin.begin(), tri(kLowerLeft, {-10, 5, 0}, kUpperLeft));
    const std::vector<Triangle> before = tin;
    EXPECT_EQ(apply(tin, {{9.8999999, 0, 6}, kUpperLeft}), FaultResult::processed);
    EXPECT_EQ(capture.text(),
              "Fault line (9.900000,0.000000,6.000000)-(0.000000,10.000000,2.000000) "
              "missing for triangulation.\nApplying Fault Lines...");
    EXPECT_EQ(sorted(tin), sorted(before));
    EXPECT_EQ(apply(tin, {{5, 5, 0}, {0, 0, 0}}), FaultResult::notApplied);
    std::vector<Triangle> none;
    EXPECT_EQ(apply(none, {kLowerLeft, kUpperRight}), FaultResult::notApplied);
}

TEST_F(FaultSegment, TheReportAndTheBreakKeyAreTheSeamsGiven) {
    // Run with a seam of its own, the step reaches the host in no way: the
    // host's break key, armed, is never polled.
    standin::breakAfterPolls(1);
    std::vector<Triangle> tin = squareSurface();
    tin.insert(tin.begin(), tri(kLowerLeft, {-10, 5, 0}, kUpperLeft));
    testing::RecordingSeam seam;
    Segment fault{{9.8999999, 0, 6}, kUpperLeft};
    EXPECT_EQ(applyFaultSegment(tin, fault, seam.seam()), FaultResult::processed);
    EXPECT_EQ(seam.prints, std::vector<std::wstring>{
                               L"Fault line (9.900000,0.000000,6.000000)-(0.000000,10.000000,"
                               L"2.000000) missing for triangulation.\nApplying Fault Lines..."});
    tin = squareSurface();
    testing::RecordingSeam breaking(1);
    fault = {kLowerRight, kUpperLeft};
    EXPECT_EQ(applyFaultSegment(tin, fault, breaking.seam()), FaultResult::cancelled);
    EXPECT_EQ(tin, squareSurface());
    EXPECT_EQ(capture.text(), "");
    EXPECT_TRUE(standin::alerts().empty());
    standin::breakAfterPolls(0);
}

TEST_F(FaultSegment, AFaultLeavingTheSurfaceIsUnfollowableAndTheBreakKeyCancels) {
    // Two triangles apart: the fault leaves the first through an outer edge.
    std::vector<Triangle> apart{tri({0, 0, 0}, {5, 5, 0}, {5, -5, 0}),
                                tri({20, 0, 0}, {15, -5, 0}, {15, 5, 0})};
    const std::vector<Triangle> before = apart;
    EXPECT_EQ(apply(apart, {{0, 0, 0}, {20, 0, 0}}), FaultResult::unfollowable);
    EXPECT_EQ(sorted(apart), sorted(before));
    EXPECT_EQ(capture.text(), "");

    std::vector<Triangle> tin = squareSurface();
    standin::breakAfterPolls(1);
    EXPECT_EQ(apply(tin, {kLowerRight, kUpperLeft}), FaultResult::cancelled);
    EXPECT_EQ(tin, squareSurface());
    // A fault through a vertex is undone whole, wherever the break comes.
    int breaks = 0;
    for (int poll = 1; poll < 50; ++poll) {
        tin = gridSurface(4, 2);
        standin::breakAfterPolls(poll);
        if (apply(tin, {{0, 0, 0}, {40, 20, 24}}) != FaultResult::cancelled) break;
        ++breaks;
        EXPECT_EQ(tin, gridSurface(4, 2)) << "break at poll " << poll;
    }
    EXPECT_GE(breaks, 2); // in the first piece and in the second
    standin::breakAfterPolls(0);
}

// The side polygons of a hole: they must be tiled exactly, whatever their
// shape, so that no kept triangle reaches out of the hole.
TEST(PolygonTriangulation, NonConvexSidesAreTiledExactlyWithAllTheirEdges) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> up(0.2, 8);
    for (int round = 0; round < 300; ++round) {
        // Corners above the base (0,0)-(20,0), from its right end to its left
        // end, each seeing the base straight below it: a saw-tooth outline.
        const int n = 3 + round % 9;
        std::vector<Point3> polygon{{20, 0, 0}};
        for (int k = n; k >= 1; --k)
            polygon.push_back({20.0 * k / (n + 1), std::round(up(random) * 1e3) / 1e3, 0});
        polygon.push_back({0, 0, 0});
        std::vector<Triangle> triangles;
        ASSERT_TRUE(triangulatePolygonPoints(polygon, triangles));
        ASSERT_EQ(triangles.size(), polygon.size() - 2);
        double area = 0;
        for (const Triangle& t : triangles) {
            EXPECT_TRUE(isClockwise(t));
            const auto& c = t.corners;
            area +=
                -((c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x)) /
                2;
        }
        double polygonArea = 0;
        for (std::size_t k = 0; k < polygon.size(); ++k) {
            const Point3& p = polygon[k];
            const Point3& q = polygon[(k + 1) % polygon.size()];
            polygonArea += (p.x * q.y - q.x * p.y) / 2;
        }
        EXPECT_NEAR(area, std::fabs(polygonArea), 1e-9 * std::fabs(polygonArea));
        for (std::size_t k = 0; k < polygon.size(); ++k) {
            const Point3& p = polygon[k];
            const Point3& q = polygon[(k + 1) % polygon.size()];
            EXPECT_TRUE(std::any_of(triangles.begin(), triangles.end(),
                                    [&](const Triangle& t) { return hasEdge(t, p, q); }))
                << "round " << round << ": edge " << k << " missing";
        }
        // No triangle holds a corner strictly inside it.
        for (const Triangle& t : triangles)
            for (const Point3& p : polygon) {
                const auto& c = t.corners;
                EXPECT_FALSE(planOrientation(c[0], c[1], p) < 0 &&
                             planOrientation(c[1], c[2], p) < 0 &&
                             planOrientation(c[2], c[0], p) < 0);
            }
    }
    std::vector<Triangle> none;
    EXPECT_FALSE(triangulatePolygonPoints({{0, 0, 0}, {1, 0, 0}}, none));
    EXPECT_FALSE(triangulatePolygonPoints({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, none));
    EXPECT_TRUE(none.empty());
}

// ---------------------------------------------------------------- over files

class FaultLines : public testing::SurfaceFixture {
  protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        project::resetProjectState();
        project::setSetting(L"ubound", L"0");
        ttin = dir() / "site.ttin";
        ftin = dir() / "site.ftin";
        faults = dir() / "site.flt";
        std::string text;
        for (const Triangle& t : squareSurface())
            text += record(t);
        writeText(ttin, text);
    }
    void TearDown() override {
        project::resetProjectState();
        SurfaceFixture::TearDown();
    }

    static std::string record(const Triangle& t) {
        std::string line;
        char buffer[64];
        for (const Point3& c : t.corners) {
            std::snprintf(buffer, sizeof buffer, "%f %f %f ", c.x, c.y, c.z);
            line += buffer;
        }
        line.back() = '\n';
        return line;
    }

    int run(const std::string& faultText, int dimension = 3) {
        writeText(faults, faultText);
        return runOn(dimension);
    }
    int runOn(int dimension = 3) {
        capture.clear();
        standin::clearAlerts();
        return testing::resultCode(
            applyFaultLines(widePath(ttin), widePath(faults), dimension, app::hostSeam()));
    }
    std::vector<Triangle> output() const { return parseTriangles(readText(ftin)); }
    std::vector<std::string> alertTexts() const {
        std::vector<std::string> out;
        for (const auto& a : standin::alerts())
            out.push_back(standin::toUtf8(a));
        return out;
    }

    std::filesystem::path ttin, ftin, faults;
    standin::OutputCapture capture;
};

TEST_F(FaultLines, TwoAndThreeNumberLayoutsPlaceTheSameFaultWithTheSurfaceElevations) {
    EXPECT_EQ(run("10 0 0 10\n", 2), 0);
    EXPECT_EQ(capture.text(), "Done\n");
    std::vector<Triangle> planFault = output();
    ASSERT_EQ(planFault.size(), 3u);
    EXPECT_TRUE(hasEdge(planFault[1], kLowerRight, kUpperLeft));

    // The file's elevations are replaced by the vertices'.
    EXPECT_EQ(run("10 0 55 0 10 66\n", 3), 0);
    EXPECT_EQ(output(), planFault);
    // Any dimension but 2 reads six numbers.
    EXPECT_EQ(run("10.05 0 55 0 10 66\n", 0), 0);
    EXPECT_EQ(output(), planFault);

    // Read in the other layout the records do not come out whole.
    EXPECT_EQ(run("10 0 0 10\n", 3), RTERROR);
    ASSERT_EQ(alertTexts().size(), 1u);
    EXPECT_EQ(alertTexts()[0], "Line 1 of " + faults.string() +
                                   " is not a fault line: 10 0 0 10 (6 numbers expected, 4 found)");
    EXPECT_EQ(run("10 0 55 0 10 66\n", 2), RTERROR);
    ASSERT_EQ(alertTexts().size(), 1u);
    EXPECT_NE(alertTexts()[0].find("of " + faults.string() + " is not a fault line"),
              std::string::npos);
}

TEST_F(FaultLines, AnEmptyFaultFileWritesTheTrianglesUnchanged) {
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(capture.text(), "Done\n");
    EXPECT_EQ(readText(ftin), readText(ttin));
    // Blank lines hold no fault.
    EXPECT_EQ(run("\n \t\n\n"), 0);
    EXPECT_EQ(readText(ftin), readText(ttin));
}

// The fault file is the user's: its last fault counts without a line end.
TEST_F(FaultLines, TheLastFaultWithoutALineEndIsApplied) {
    EXPECT_EQ(run("10 0 0 0 10 0\n"), 0);
    const std::string withLineEnd = readText(ftin);
    EXPECT_NE(withLineEnd, readText(ttin)) << "the fault changes the surface";
    EXPECT_EQ(run("10 0 0 0 10 0"), 0);
    EXPECT_EQ(readText(ftin), withLineEnd);
}

TEST_F(FaultLines, FaultsOnABoundarySegmentAreLeftOutOnlyWhenTheBoundaryIsUsed) {
    const auto boundary = dir() / "site.bnd";
    // The fault reversed and off by less than 1e-5.
    writeText(boundary, "0 0 0 20 0 0\n0.000009 10.000009 0 10 0 0\n");
    project::setSetting(L"dbndry", widePath(boundary));
    project::setSetting(L"ubound", L"1");
    EXPECT_EQ(run("10 0 0 0 10 0\n"), 0);
    EXPECT_EQ(output(), squareSurface());
    // 2e-5 away it is another segment: applied.
    writeText(boundary, "0.00002 10 0 10 0 0\n");
    EXPECT_EQ(runOn(), 0);
    EXPECT_TRUE(hasEdge(output()[1], kLowerRight, kUpperLeft));
    // Not using the boundary: applied.
    writeText(boundary, "0 10 0 10 0 0\n");
    project::setSetting(L"ubound", L"0");
    EXPECT_EQ(runOn(), 0);
    EXPECT_TRUE(hasEdge(output()[1], kLowerRight, kUpperLeft));
}

TEST_F(FaultLines, EveryFaultSeesTheSurfaceTheFaultsBeforeItLeft) {
    // The first fault swaps the diagonal, the second swaps it back, the
    // third is then an edge: skipped.
    EXPECT_EQ(run("10 0 0 0 10 0\n0 0 0 10 10 0\n10 10 0 0 0 0\n"), 0);
    EXPECT_EQ(capture.text(), "Done\n");
    const std::vector<Triangle> out = output();
    ASSERT_EQ(out.size(), 3u);
    EXPECT_TRUE(hasEdge(out[1], kLowerLeft, kUpperRight));
    EXPECT_TRUE(hasEdge(out[2], kLowerLeft, kUpperRight));
    const testing::SurfaceCheck check(squareSurface());
    EXPECT_EQ(check.faultIn(out), "");
}

TEST_F(FaultLines, FilesThatCannotBeReadAreAlertedAndNothingIsWritten) {
    // Each failure alerts once, returns RTERROR and writes no output.
    auto expectFailure = [&](int result, const std::string& alert) {
        EXPECT_EQ(result, RTERROR);
        EXPECT_EQ(alertTexts(), std::vector<std::string>{alert});
        EXPECT_FALSE(std::filesystem::exists(ftin));
        EXPECT_EQ(capture.text().find("Done"), std::string::npos);
    };
    std::filesystem::remove(faults);
    expectFailure(runOn(), "Error opening fault line file.\n");

    expectFailure(run("10 0 0 0 10 0\nx1 y1 z1 x2 y2 z2\n"),
                  "Line 2 of " + faults.string() +
                      " is not a fault line: x1 y1 z1 x2 y2 z2 (6 numbers expected, 0 found, and "
                      "\"x1\" is not a number)");
    expectFailure(run("10 0 0 0 10 inf\n"),
                  "Line 1 of " + faults.string() +
                      " is not a fault line: 10 0 0 0 10 inf (6 numbers expected, 5 found, and "
                      "\"inf\" is not a number)");
    // A fault file whose read fails is one that cannot be opened.
    std::filesystem::remove(faults);
    std::filesystem::create_symlink("/proc/self/mem", faults);
    expectFailure(runOn(), "Error opening fault line file.\n");
    std::filesystem::remove(faults);

    project::setSetting(L"ubound", L"1");
    project::setSetting(L"dbndry", widePath(dir() / "none.bnd"));
    expectFailure(run("10 0 0 0 10 0\n"), "Error opening boundary file.\n");
    writeText(dir() / "bad.bnd", "0 0 0 10 0 0\n0 0 0 10\n");
    project::setSetting(L"dbndry", widePath(dir() / "bad.bnd"));
    expectFailure(runOn(),
                  "Line 2 of " + (dir() / "bad.bnd").string() +
                      " is not a boundary segment: 0 0 0 10 (6 numbers expected, 4 found)");
    project::setSetting(L"ubound", L"0");

    writeText(ttin, "0 0 0 1 1 0 1 0\n");
    expectFailure(runOn(), "Line 1 of " + ttin.string() +
                               " is not a triangle: 0 0 0 1 1 0 1 0 (9 numbers expected, 8 found)");
    std::filesystem::remove(ttin);
    expectFailure(runOn(), "Error opening triangle file.\n");

    // The output cannot be created where a folder has its name.
    writeText(ttin, record(squareSurface()[0]));
    std::filesystem::create_directory(ftin);
    EXPECT_EQ(runOn(), RTERROR);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"Error opening output file.\n"});
}

TEST_F(FaultLines, TheBreakKeyLeavesTheOutputEmpty) {
    writeText(faults, "10 0 0 0 10 0\n");
    standin::breakAfterPolls(1);
    EXPECT_EQ(runOn(), RTCAN);
    EXPECT_EQ(readText(ftin), "");
    EXPECT_EQ(capture.text(), "");
    EXPECT_TRUE(standin::alerts().empty());
}

TEST_F(FaultLines, AFaultThatCannotBePlacedIsReportedAndTheRestGoOn) {
    std::string text;
    for (const Triangle& t : squareSurface())
        text += record(t);
    text += record(tri(kLowerLeft, {-10, 5, 0}, kUpperLeft));
    writeText(ttin, text);
    EXPECT_EQ(run("9.8 0 0 0 10 0\n10 0 0 0 10 0\n"), 0);
    EXPECT_EQ(capture.text(),
              "Fault line (9.800000,0.000000,0.000000)-(0.000000,10.000000,2.000000) missing for "
              "triangulation.\nApplying Fault Lines...Done\n");
    const std::vector<Triangle> out = output();
    ASSERT_EQ(out.size(), 4u);
    EXPECT_TRUE(std::any_of(out.begin(), out.end(),
                            [](const Triangle& t) { return hasEdge(t, kLowerRight, kUpperLeft); }));
}

} // namespace
} // namespace vog::surface
