// The triangulation core: circumcircles, the segment toggle, the sweep's
// insertions against the plain single-point step, and the whole raw
// triangulation with its edge cases, through the host and through a
// recording seam.
#include "app/host_seam.h"
#include "geometry/circumcircle.h"
#include "geometry/edge_toggle.h"
#include "geometry/point_order.h"
#include "host/progress_meter.h"
#include "host_api.h"
#include "plugin/surface/delaunay_reference.h"
#include "plugin/surface/surface_test_support.h"
#include "reference/surface/triangulation_reference.h"
#include "support/generators.h"
#include "surface/sweep/sweep_front.h"
#include "surface/triangulation.h"

#include <cmath>
#include <numeric>
#include <random>
#include <set>
#include <sstream>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;

CircumTriangle circle(Point3 a, Point3 b, Point3 c) {
    return withCircumcircle(Triangle{{a, b, c}});
}

TEST(SurfaceCircumcircle, CentreAndRadiusInEachBranch) {
    // General case.
    CircumTriangle t = circle({0, 0, 5}, {0, 2, 5}, {2, 0, 5});
    EXPECT_EQ(t.xc, 1);
    EXPECT_EQ(t.yc, 1);
    EXPECT_EQ(t.zc, 0);
    EXPECT_DOUBLE_EQ(t.radius, std::sqrt(2.0));
    // Edge 1-2 horizontal.
    t = circle({0, 0, 0}, {4, 0, 0}, {2, 2, 0});
    EXPECT_EQ(t.xc, 2);
    EXPECT_EQ(t.yc, 0);
    EXPECT_EQ(t.radius, 2);
    // Edge 2-3 horizontal.
    t = circle({2, 2, 0}, {0, 0, 0}, {4, 0, 0});
    EXPECT_EQ(t.xc, 2);
    EXPECT_EQ(t.yc, 0);
    EXPECT_EQ(t.radius, 2);
    // Three corners on one line have no circle.
    t = circle({0, 0, 0}, {1, 1, 0}, {2, 2, 0});
    EXPECT_FALSE(std::isfinite(t.radius));
}

TEST(SurfaceCircumcircle, CentreIsEquidistantFromTheCorners) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(-100, 100);
    for (int i = 0; i < 1000; ++i) {
        Point3 a{coordinate(random), coordinate(random), 0};
        Point3 b{coordinate(random), coordinate(random), 0};
        Point3 c{coordinate(random), coordinate(random), 0};
        CircumTriangle t = circle(a, b, c);
        for (const Point3& p : {a, c})
            EXPECT_NEAR(std::hypot(p.x - t.xc, p.y - t.yc), t.radius, 1e-6 * t.radius);
    }
}

TEST(SurfaceSegmentToggle, SharedEdgesCancelAndTheOutlineKeepsItsDirections) {
    std::vector<Segment> list;
    Point3 a{0, 0, 1}, b{0, 1, 2}, c{1, 0, 3}, d{1, 1, 4};
    toggleSegment(a, b, list);
    ASSERT_EQ(list.size(), 1u);
    toggleSegment(b, a, list);
    EXPECT_TRUE(list.empty());
    // Two clockwise triangles a b c and b d c share b-c.
    for (auto [p, q] : {std::pair{a, b}, {b, c}, {c, a}, {b, d}, {d, c}, {c, b}})
        toggleSegment(p, q, list);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_TRUE(list[0].a == a && list[0].b == b);
    EXPECT_TRUE(list[1].a == c && list[1].b == a);
    EXPECT_TRUE(list[2].a == b && list[2].b == d);
    EXPECT_TRUE(list[3].a == d && list[3].b == c);
    // Elevations count: the same plan edge at another height is another edge.
    toggleSegment({0, 0, 9}, b, list);
    EXPECT_EQ(list.size(), 5u);
}

class SurfaceInsertion : public SurfaceFixture {};

// The triangles of points inserted one by one with the plain single-point
// step (the oracle's) into the enclosing triangle of their box, those on the
// enclosing corners dropped.
std::vector<Triangle> insertAll(const std::vector<Point3>& points, Point3 min, Point3 max) {
    vogref::surface::setTriangulationPointCount(points.size() + 2);
    auto corners = enclosingCorners(min, max);
    std::vector<CircumTriangle> list{withCircumcircle(Triangle{corners})};
    for (const Point3& p : points)
        EXPECT_EQ(vogref::surface::insertPoint(list, p), 0);
    std::vector<Triangle> kept;
    for (const CircumTriangle& t : list) {
        bool onCorner = false;
        for (const Point3& c : t.triangle.corners)
            for (const Point3& v : corners)
                onCorner = onCorner || comparePointsXYZ(c, v) == 0;
        if (!onCorner) kept.push_back(t.triangle);
    }
    return kept;
}

bool hasTriangle(const std::vector<Triangle>& triangles, std::set<std::pair<double, double>> want) {
    for (const Triangle& t : triangles) {
        std::set<std::pair<double, double>> got;
        for (const Point3& c : t.corners)
            got.insert({c.x, c.y});
        if (got == want) return true;
    }
    return false;
}

TEST_F(SurfaceInsertion, SweepKeepsTheSquaresFirstDiagonalThePlainStepBreaksIt) {
    auto points = writePointFile("0 0 1\n0 1 2\n1 0 3\n1 1 4\n");
    ASSERT_EQ(runPipeline(points), Status::ok);
    auto swept = rawTriangles(points);
    ASSERT_EQ(swept.size(), 2u);
    EXPECT_TRUE(hasTriangle(swept, {{0, 0}, {0, 1}, {1, 0}}));
    EXPECT_TRUE(hasTriangle(swept, {{0, 1}, {1, 0}, {1, 1}}));

    auto plain = insertAll({{0, 0, 1}, {0, 1, 2}, {1, 0, 3}, {1, 1, 4}}, {0, 0, 1}, {1, 1, 4});
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_TRUE(hasTriangle(plain, {{0, 0}, {0, 1}, {1, 1}}));
    EXPECT_TRUE(hasTriangle(plain, {{0, 0}, {1, 0}, {1, 1}}));
}

// The points in ascending x, then the corners of the enclosing triangle of
// their box, each vertex its own key, as the sweep takes them.
struct SweepVertices {
    std::vector<Point3> vertices;
    std::vector<std::uint32_t> keys;
    std::size_t count;
};

SweepVertices sweepVertices(std::vector<Point3> points) {
    Point3 min = points[0], max = points[0];
    for (const Point3& p : points) {
        min = {std::min(min.x, p.x), std::min(min.y, p.y), 0};
        max = {std::max(max.x, p.x), std::max(max.y, p.y), 0};
    }
    const std::size_t count = points.size();
    for (const Point3& corner : enclosingCorners(min, max))
        points.push_back(corner);
    std::vector<std::uint32_t> keys(points.size());
    std::iota(keys.begin(), keys.end(), 0u);
    return {std::move(points), std::move(keys), count};
}

TEST_F(SurfaceInsertion, SweepRetiresTrianglesWhoseCircleEndsLeftOfThePoint) {
    // The triangle of the first three points has its circle of centre
    // (0.5, 0.5) and radius about 0.7071: it ends at x 1.2071. The points
    // after it lie far above and never break it.
    const SweepVertices v =
        sweepVertices({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1.2, 5, 0}, {1.25, 5, 0}});
    SweepFront front(v.vertices, v.keys, v.count, true, triangleLimit(v.count));
    auto retiresFirst = [&](const std::vector<CornerNumbers>& completed) {
        return std::any_of(completed.begin(), completed.end(), [](const CornerNumbers& c) {
            return std::set<std::uint32_t>(c.begin(), c.end()) == std::set<std::uint32_t>{0, 1, 2};
        });
    };
    for (std::uint32_t p = 0; p < 4; ++p)
        ASSERT_TRUE(front.insert(p));
    std::vector<CornerNumbers> completed;
    front.takeCompleted(completed);
    EXPECT_FALSE(retiresFirst(completed)); // 1.2 is not past its circle
    completed.clear();
    ASSERT_TRUE(front.insert(4));
    front.takeCompleted(completed);
    EXPECT_TRUE(retiresFirst(completed)); // 1.25 is
}

TEST_F(SurfaceInsertion, TriangleLimitStopsTheSweepWithAnAlert) {
    // The first point fans the enclosing triangle into three; the second
    // would pass a limit of 3.
    const SweepVertices v = sweepVertices({{0, 0, 0}, {1, 1, 0}});
    SweepFront front(v.vertices, v.keys, v.count, true, 3);
    ASSERT_TRUE(front.insert(0));
    EXPECT_FALSE(front.insert(1));

    SortedPoints sorted{{0, 0, 0}, {2, 1, 0}, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}};
    std::ostringstream out;
    EXPECT_EQ(triangulatePoints(sorted, out, 3, app::hostSeam()), SweepEnd::failed);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], L"# of triangles exceeds maximum allowed of 3.  Contact the developer.");
    EXPECT_EQ(triangleLimit(1), 9u); // three times the points and two
}

class SurfaceTriangulation : public SurfaceFixture {};

TEST_F(SurfaceTriangulation, EnclosingCornersSurroundTheDataFarAway) {
    auto v = enclosingCorners({0, 0, 3}, {100, 50, 9});
    EXPECT_EQ(v[0], (Point3{50 - 16000.0 * 100, 25 - 8000.0 * 100, 0}));
    EXPECT_EQ(v[1], (Point3{50, 25 + 8000.0 * 100, 0}));
    EXPECT_EQ(v[2], (Point3{50 + 16000.0 * 100, 25 - 8000.0 * 100, 0}));
    // Clockwise seen from above.
    double turn = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[1].y - v[0].y) * (v[2].x - v[0].x);
    EXPECT_LT(turn, 0);
}

TEST_F(SurfaceTriangulation, ThreePointsGiveOneClockwiseTriangle) {
    auto points = writePointFile("0 0 1\n2 3 2\n4 0 3\n");
    standin::OutputCapture output;
    ASSERT_EQ(runPipeline(points), Status::ok);
    EXPECT_EQ(output.text(), "Optimizing\nDone\n");
    EXPECT_EQ(readText(dir() / "points.ttin"),
              "0.000000 0.000000 1.000000 2.000000 3.000000 2.000000 4.000000 0.000000 3.000000\n");
}

TEST_F(SurfaceTriangulation, OneOrTwoPointsGiveAnEmptyFile) {
    for (const char* text : {"5 5 5\n", "0 0 0\n10 3 1\n", "1 1 1\n1 1 2\n"}) {
        auto points = writePointFile(text);
        ASSERT_EQ(runPipeline(points), Status::ok) << text;
        EXPECT_TRUE(std::filesystem::exists(dir() / "points.ttin"));
        EXPECT_EQ(readText(dir() / "points.ttin"), "") << text;
    }
}

TEST_F(SurfaceTriangulation, RetiredTrianglesComeFirstInRetirementOrder) {
    // A zigzag strip: the triangles are i, i+1, i+2, and each one retires
    // when point i+3 arrives; the last ones are never retired.
    std::vector<Point3> strip;
    for (int i = 0; i < 12; ++i)
        strip.push_back({double(i), double(i % 2), double(i)});
    auto points = writePointFile(testing::pointLines(strip));
    ASSERT_EQ(runPipeline(points), Status::ok);
    auto triangles = rawTriangles(points);
    ASSERT_EQ(triangles.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(hasTriangle({triangles[i]}, {{double(i), double(i % 2)},
                                                 {double(i + 1), double((i + 1) % 2)},
                                                 {double(i + 2), double(i % 2)}}))
            << "position " << i;
        // The point inserted last is the third corner.
        EXPECT_EQ(triangles[i].corners[2].x, i + 2);
    }
    EXPECT_EQ(testing::triangulationFault(triangles, strip), "");
}

TEST_F(SurfaceTriangulation, BreakLeavesAnEmptyFile) {
    auto points = writePointFile("0 0 0\n1 5 0\n2 1 0\n3 4 0\n4 0 0\n");
    testing::writeText(dir() / "points.ttin", "old contents\n");
    standin::breakAfterPolls(3);
    EXPECT_EQ(runPipeline(points), Status::cancelled);
    EXPECT_TRUE(std::filesystem::exists(dir() / "points.ttin"));
    EXPECT_EQ(readText(dir() / "points.ttin"), "");
    standin::breakAfterPolls(1);
    EXPECT_EQ(triangulateSortedPoints(widePath(points), widePath(sortedFile()), app::hostSeam()),
              Status::cancelled);
    EXPECT_EQ(readText(dir() / "points.ttin"), "");
    EXPECT_TRUE(alerts().empty());
    // Without a break the same points triangulate.
    standin::breakAfterPolls(0);
    EXPECT_EQ(triangulateSortedPoints(widePath(points), widePath(sortedFile()), app::hostSeam()),
              Status::ok);
    EXPECT_FALSE(rawTriangles(points).empty());
}

TEST_F(SurfaceTriangulation, FileFailuresAreAlerted) {
    auto points = writePointFile("0 0 0\n1 5 0\n2 1 0\n");
    const Seam& seam = app::hostSeam();
    EXPECT_EQ(triangulateSortedPoints(widePath(points), widePath(dir() / "missing.txt"), seam),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Error opening sorted point file.");

    ASSERT_EQ(runPipeline(points), Status::ok);
    std::filesystem::remove(dir() / "points.ttin");
    std::filesystem::create_directory(dir() / "points.ttin");
    EXPECT_EQ(triangulateSortedPoints(widePath(points), widePath(sortedFile()), seam),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Error opening triangle file.");

    EXPECT_EQ(
        triangulateSortedPoints(widePath(dir() / "noextension"), widePath(sortedFile()), seam),
        Status::failed);
    EXPECT_EQ(alerts().back(),
              L"Point file name has no extension: " + widePath(dir() / "noextension"));

    testing::writeText(sortedFile(), "0 0 0\n9 9 9\n1 1 1\n2 2 two\n");
    EXPECT_EQ(triangulateSortedPoints(widePath(dir() / "other.txt"), widePath(sortedFile()), seam),
              Status::failed);
    EXPECT_EQ(
        alerts().back(),
        L"Line 4 of " + widePath(sortedFile()) +
            L" is not a point: 2 2 two (3 numbers expected, 2 found, and \"two\" is not a number)");
    EXPECT_EQ(readText(dir() / "other.ttin"), "");
}

TEST_F(SurfaceTriangulation, OnlyTheLastDotOfThePathNamesTheTriangleFile) {
    std::filesystem::create_directory(dir() / "a.b");
    auto points = dir() / "a.b" / "site.north.txt";
    testing::writeText(points, "0 0 0\n1 5 0\n2 1 0\n");
    ASSERT_EQ(runPipeline(points), Status::ok);
    EXPECT_EQ(rawTriangles(points).size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir() / "a.b" / "site.north.ttin"));
}

// The triangulation through a recording seam: its messages, meter and break
// key go there and nowhere else (the stand-in's break key is armed
// throughout, and its alerts, output and meter stay untouched).
class TriangulationSeam : public SurfaceFixture {
  protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        standin::resetProgressMeter();
        standin::breakAfterPolls(1);
    }
    void TearDown() override {
        standin::breakAfterPolls(0);
        SurfaceFixture::TearDown();
    }
    // Prepares the points through a seam of its own.
    std::filesystem::path prepared(const std::string& text) {
        auto points = writePointFile(text);
        testing::RecordingSeam preparation;
        EXPECT_EQ(
            preparePoints(widePath(points), std::nullopt, sortWorkFiles(), preparation.seam()),
            Status::ok);
        EXPECT_EQ(preparation.prints, std::vector<std::wstring>{L"Optimizing\n"});
        EXPECT_EQ(preparation.labels, std::vector<std::wstring>{L"Optimizing"});
        return points;
    }
    void expectHostUntouched() {
        EXPECT_TRUE(alerts().empty());
        EXPECT_EQ(host.text(), "");
        EXPECT_EQ(standin::progressMeter().meters, 0);
    }
    standin::OutputCapture host;
};

TEST_F(TriangulationSeam, TheBreakKeyStopsItWithAnEmptyTriangleFile) {
    auto points = prepared(testing::pointLines(vogtest::scatteredPoints(50, 9)));
    testing::RecordingSeam seam(3);
    EXPECT_EQ(triangulateSortedPoints(widePath(points), widePath(sortedFile()), seam.seam()),
              Status::cancelled);
    EXPECT_EQ(seam.polls, 3);
    EXPECT_TRUE(std::filesystem::exists(dir() / "points.ttin"));
    EXPECT_EQ(readText(dir() / "points.ttin"), "");
    EXPECT_TRUE(seam.alerts.empty());
    EXPECT_TRUE(seam.prints.empty()); // no "Done"
    EXPECT_EQ(seam.labels, std::vector<std::wstring>{L"Creating Triangulation"});
    EXPECT_EQ(seam.ranges, std::vector<int>{1000});
    EXPECT_EQ(seam.hidden, seam.shown);
    expectHostUntouched();
}

TEST_F(TriangulationSeam, MessagesReachTheSeamAndTheStreamHoldsTheFileBytes) {
    auto none = prepared("");
    testing::RecordingSeam empty;
    EXPECT_EQ(triangulateSortedPoints(widePath(none), widePath(sortedFile()), empty.seam()),
              Status::ok);
    EXPECT_EQ(empty.prints, std::vector<std::wstring>{L"\nNo points to triangulate."});
    EXPECT_EQ(readText(dir() / "points.ttin"), "");

    const std::vector<Point3> scattered = vogtest::scatteredPoints(200, 11);
    auto points = prepared(testing::pointLines(scattered));
    testing::RecordingSeam file;
    ASSERT_EQ(triangulateSortedPoints(widePath(points), widePath(sortedFile()), file.seam()),
              Status::ok);
    EXPECT_EQ(file.prints, std::vector<std::wstring>{L"Done\n"});
    EXPECT_TRUE(file.alerts.empty());
    const std::string written = readText(dir() / "points.ttin");
    EXPECT_FALSE(written.empty());

    // The sweep in memory on the sorted points writes the same bytes.
    const std::vector<Point3> all = testing::parsePoints(readText(sortedFile()));
    ASSERT_GE(all.size(), 2u);
    SortedPoints sorted{all[0], all[1], {all.begin() + 2, all.end()}};
    std::ostringstream out;
    testing::RecordingSeam memory;
    bool writtenForm = false;
    EXPECT_EQ(
        triangulatePoints(sorted, out, triangleLimit(all.size() - 2), memory.seam(), &writtenForm),
        SweepEnd::written);
    EXPECT_TRUE(out.str() == written);
    EXPECT_TRUE(writtenForm);
    EXPECT_EQ(memory.prints, std::vector<std::wstring>{L"Done\n"});
    expectHostUntouched();
}

} // namespace
} // namespace vog::surface
