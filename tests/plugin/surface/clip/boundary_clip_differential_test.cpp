// Boundary and void clipping through the segment index against the plain
// version that tests every triangle against every segment: the same answer of
// both tests for every triangle, the same surface file byte for byte and the
// same messages, on boundaries that stress the index's filters (vertices on
// segments and on the test rays, the ray's tolerance, overlapping and
// zero-length segments, coordinates beyond the index's limit).
#include "app/host_result.h"
#include "app/host_seam.h"
#include "host/standin.h"
#include "host_api.h"
#include "plugin/surface/surface_test_support.h"
#include "reference/surface/boundary_clip_reference.h"
#include "reference/surface/record_reference.h"
#include "support/differential.h"
#include "support/generators.h"
#include "surface/clip/boundary_clip.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;
using testing::writeText;
using vogtest::Yields;

// Every digit of the value, so the file holds exactly the double made here.
void appendExact(std::string& out, double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    out += buffer;
}

std::string segmentText(const std::vector<Segment>& segments) {
    std::string text;
    for (const Segment& s : segments) {
        for (double v : {s.a.x, s.a.y, s.a.z, s.b.x, s.b.y, s.b.z}) {
            appendExact(text, v);
            text += ' ';
        }
        text.back() = '\n';
    }
    return text;
}

std::string triangleText(const std::vector<Triangle>& triangles) {
    std::string text;
    for (const Triangle& t : triangles) {
        for (const Point3& c : t.corners) {
            for (double v : {c.x, c.y, c.z}) {
                appendExact(text, v);
                text += ' ';
            }
        }
        text.back() = '\n';
    }
    return text;
}

Triangle tri(const Point3& a, const Point3& b, const Point3& c) {
    return Triangle{{a, b, c}};
}

Segment seg(double x1, double y1, double x2, double y2) {
    return {{x1, y1, 0}, {x2, y2, 0}};
}

Point3 testPointOf(const Triangle& t) {
    const auto& c = t.corners;
    return {((c[1].x + c[2].x) * 0.5 + (c[1].x + c[0].x) * 0.5) * 0.5,
            ((c[1].y + c[2].y) * 0.5 + (c[1].y + c[0].y) * 0.5) * 0.5, 0};
}

// A closed polygon of n vertices around (cx, cy), its radius varying by up to
// `jitter` of itself, vertices rounded to `step`, listed either way round.
std::vector<Segment> starPolygon(double cx, double cy, double radius, int n, double jitter,
                                 double step, std::mt19937& random) {
    std::uniform_real_distribution<double> vary(1 - jitter, 1 + jitter);
    std::vector<Point3> vertices;
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * i / n;
        const double r = radius * vary(random);
        vertices.push_back({std::round((cx + r * std::cos(angle)) / step) * step,
                            std::round((cy + r * std::sin(angle)) / step) * step, 0});
    }
    if (random() % 2) std::reverse(vertices.begin(), vertices.end());
    std::vector<Segment> out;
    for (int i = 0; i < n; ++i)
        out.push_back({vertices[i], vertices[(i + 1) % n]});
    return out;
}

std::vector<Segment> rectangle(double x0, double y0, double x1, double y1) {
    return {seg(x0, y0, x1, y0), seg(x1, y0, x1, y1), seg(x1, y1, x0, y1), seg(x0, y1, x0, y0)};
}

void append(std::vector<Segment>& to, const std::vector<Segment>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Right triangles over a grid of squares of the given size, clockwise, the
// diagonal alternating so both directions occur.
std::vector<Triangle> gridTriangles(double x0, double y0, int columns, int rows, double size) {
    std::vector<Triangle> out;
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const double x = x0 + i * size;
            const double y = y0 + j * size;
            const Point3 p00{x, y, 1}, p10{x + size, y, 2}, p01{x, y + size, 3},
                p11{x + size, y + size, 4};
            if ((i + j) % 2 == 0) {
                out.push_back(Triangle{{p00, p01, p11}});
                out.push_back(Triangle{{p00, p11, p10}});
            } else {
                out.push_back(Triangle{{p10, p00, p01}});
                out.push_back(Triangle{{p10, p01, p11}});
            }
        }
    }
    return out;
}

class BoundaryClipDifferential : public SurfaceFixture {
  protected:
    // The Delaunay triangles of a point set, as the pipeline makes them.
    std::vector<Triangle> triangulated(const std::vector<Point3>& points) {
        const auto file = writePointFile(testing::pointLines(points), "survey.txt");
        EXPECT_EQ(runPipeline(file), Status::ok);
        return rawTriangles(file);
    }

    // Both tests of both versions on every triangle; the clipped file of the
    // fast version must hold, byte for byte, the triangles the plain tests
    // keep, as the plain version writes them. (The plain clipping of the
    // file is that same loop; compareFiles runs it where messages matter.)
    void compare(const std::string& label, const std::vector<Triangle>& triangles,
                 const std::vector<Segment>& segments, Yields yields = Yields::something) {
        const BoundaryIndex index = makeBoundaryIndex(segments);
        std::string expected;
        int mismatches = 0;
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            const Triangle& t = triangles[i];
            const int crossesPlain = vogref::surface::triangleCrossesBoundary(t, segments);
            const int insidePlain = vogref::surface::triangleInsidePolygon(t, segments);
            if (crossesPlain == 0 && insidePlain == 1)
                vogref::surface::appendTriangleRecord(expected, t);
            const int crosses = triangleCrossesBoundary(t, index);
            const int inside = triangleInsidePolygon(t, index);
            if ((crosses != crossesPlain || inside != insidePlain) && ++mismatches <= 5)
                ADD_FAILURE() << label << ": triangle " << i << " " << ::testing::PrintToString(t)
                              << " crosses " << crosses << " (plain " << crossesPlain
                              << "), inside " << inside << " (plain " << insidePlain << ")";
        }
        writeText(dir() / "case.bnd", segmentText(segments));
        writeText(dir() / "case.ftin", triangleText(triangles));
        standin::resetHost();
        EXPECT_EQ(clipTrianglesToBoundary(widePath(dir() / "case.bnd"),
                                          widePath(dir() / "case.ftin"),
                                          widePath(dir() / "case.tin"), app::hostSeam()),
                  Status::ok)
            << label;
        EXPECT_TRUE(standin::alerts().empty()) << label;
        EXPECT_TRUE(vogtest::sameOutput(expected, readText(dir() / "case.tin"), yields))
            << label << ": surfaces";
    }

    // Both clippings of the file texts: same status, messages and surface.
    void compareFiles(const std::string& label, const std::string& boundaryText,
                      const std::string& sourceText, bool writeBoundary = true,
                      bool writeSource = true, Yields yields = Yields::something) {
        std::string surfaces[2];
        bool written[2];
        std::vector<std::wstring> messages[2];
        int results[2];
        for (int plain = 0; plain < 2; ++plain) {
            const std::filesystem::path folder = dir() / (plain ? "plain" : "fast");
            // Nothing of an earlier case may stand in for a file left out.
            std::filesystem::remove_all(folder);
            std::filesystem::create_directories(folder);
            if (writeBoundary) writeText(folder / "site.bnd", boundaryText);
            if (writeSource) writeText(folder / "site.ftin", sourceText);
            standin::resetHost();
            const std::wstring bnd = widePath(folder / "site.bnd");
            const std::wstring ftin = widePath(folder / "site.ftin");
            const std::wstring tin = widePath(folder / "site.tin");
            results[plain] =
                plain ? vogref::surface::clipTrianglesToBoundary(bnd, ftin, tin)
                      : app::toHostResult(clipTrianglesToBoundary(bnd, ftin, tin, app::hostSeam()));
            written[plain] = std::filesystem::exists(folder / "site.tin");
            if (written[plain]) surfaces[plain] = readText(folder / "site.tin");
            for (std::wstring text : standin::alerts()) {
                for (std::size_t at; (at = text.find(L"/plain/")) != std::wstring::npos;)
                    text.replace(at, 7, L"/fast/");
                messages[plain].push_back(text);
            }
        }
        EXPECT_EQ(results[0], results[1]) << label;
        EXPECT_EQ(messages[0], messages[1]) << label;
        EXPECT_EQ(written[0], written[1]) << label;
        EXPECT_TRUE(vogtest::sameOutput(surfaces[1], surfaces[0], yields)) << label << ": surfaces";
    }
};

TEST_F(BoundaryClipDifferential, SurveyedSurfacesWithOuterBoundariesVoidsAndIslands) {
    std::mt19937 random(11);
    // Scattered points over 1000..1500 x 2000..2300.
    const auto scattered = triangulated(vogtest::scatteredPoints(1500, 12));
    std::vector<Segment> nested = starPolygon(1250, 2150, 140, 300, 0.15, 0.001, random);
    append(nested, starPolygon(1180, 2150, 40, 60, 0.2, 0.001, random));
    append(nested, starPolygon(1330, 2120, 35, 50, 0.1, 0.01, random));
    append(nested, starPolygon(1180, 2150, 15, 20, 0.1, 0.001, random)); // island in a void
    compare("scattered, nested polygons", scattered, nested);
    // Void polygons that reach outside the outer one, and a second outer one.
    append(nested, starPolygon(1450, 2250, 80, 90, 0.3, 0.001, random));
    append(nested, rectangle(1000.5, 2000.5, 1040.25, 2040.125));
    compare("scattered, overlapping polygons", scattered, nested);

    // Clustered points over 0..10000, polygons around some clusters.
    const auto clustered = triangulated(vogtest::clusteredPoints(1000, 13));
    std::vector<Segment> around;
    for (int i = 0; i < 6; ++i)
        append(around, starPolygon(1000 + 1500 * i, 1000 + 1400 * i, 900, 150, 0.4, 0.01, random));
    compare("clustered, star polygons", clustered, around);
    // Loose segments of every length, not closed.
    std::uniform_real_distribution<double> anywhere(-500, 10500);
    std::vector<Segment> loose;
    for (int i = 0; i < 400; ++i) {
        const double x = anywhere(random), y = anywhere(random);
        const double length = std::pow(10.0, std::uniform_real_distribution<double>(0, 4)(random));
        const double angle = std::uniform_real_distribution<double>(0, 7)(random);
        loose.push_back(seg(x, y, x + length * std::cos(angle), y + length * std::sin(angle)));
    }
    compare("clustered, loose segments", clustered, loose);
}

// Survey points on a grid with boundaries through them: corners on segment
// ends and in segment interiors, edges along segments, test points on
// segments and their rays meeting segment ends.
TEST_F(BoundaryClipDifferential, GriddedSurfacesWithVerticesOnTheBoundary) {
    const auto delaunay = triangulated(vogtest::gridPoints(40, 40, 14)); // 500..539 x 700..739
    std::vector<Segment> onGrid = rectangle(505, 705, 535, 734);
    append(onGrid, rectangle(510, 710, 520, 720)); // a void along grid lines
    append(onGrid, rectangle(512, 712, 514, 715)); // an island in it
    onGrid.push_back(seg(500, 700, 539, 739));     // diagonal through grid points
    onGrid.push_back(seg(539, 700, 500, 739));     // and the other way
    onGrid.push_back(seg(522, 701, 538, 733));     // slope 2 through grid points
    onGrid.push_back(seg(500.5, 720, 539.5, 720)); // along a grid row
    onGrid.push_back(seg(530, 699, 530, 741));     // along a grid column
    compare("gridded, boundary on grid lines", delaunay, onGrid);

    std::mt19937 random(15);
    std::vector<Segment> polygon = starPolygon(520, 720, 17, 64, 0.2, 1, random);
    append(polygon, starPolygon(520, 720, 6, 16, 0.2, 1, random));
    compare("gridded, polygons with vertices on grid points", delaunay, polygon);

    // Squares of one unit and of a quarter: the test points lie at quarters.
    for (double size : {1.0, 0.25}) {
        const auto squares = gridTriangles(-10, -10, 40, 40, size);
        std::vector<Segment> rays;
        std::uniform_int_distribution<std::size_t> pick(0, squares.size() - 1);
        for (int i = 0; i < 300; ++i) {
            const Point3 p = testPointOf(squares[pick(random)]);
            switch (i % 10) {
            case 0:
                rays.push_back(seg(p.x + 3, p.y, p.x + 5, p.y + 2));
                break; // lower end on the ray
            case 1:
                rays.push_back(seg(p.x + 3, p.y - 2, p.x + 5, p.y));
                break; // upper end on it
            case 2:
                rays.push_back(seg(p.x, p.y - 1, p.x, p.y + 1));
                break; // vertical through
            case 3:
                rays.push_back(seg(p.x - 1, p.y, p.x + 1, p.y));
                break; // horizontal through
            case 4:
                rays.push_back(seg(p.x - 0.0009, p.y - 1, p.x - 0.0009, p.y + 1));
                break;
            case 5:
                rays.push_back(seg(p.x - 1.0005, p.y - 1, p.x + 0.9995, p.y + 1));
                break;
            case 6:
                rays.push_back(seg(p.x - 1.001, p.y - 1, p.x + 0.999, p.y + 1));
                break;
            case 7:
                rays.push_back(seg(p.x - 2, p.y - 3, p.x, p.y));
                break; // ends at the point
            case 8:
                rays.push_back(seg(p.x - 1, p.y + 1, p.x + 1, p.y - 1));
                break; // through it
            default:
                rays.push_back(seg(p.x + 0.001, p.y, p.x + 0.001, p.y + 4));
                break;
            }
        }
        append(rays, rectangle(-9, -9, -10 + 39 * size, -10 + 38 * size));
        compare("squares of " + std::to_string(size) + ", segments on the test rays", squares,
                rays);
    }
}

TEST_F(BoundaryClipDifferential, CollinearOverlappingAndZeroLengthSegments) {
    const auto squares = gridTriangles(0, 0, 30, 30, 1);
    std::mt19937 random(16);
    // The sides of a rectangle split into overlapping pieces, some repeated
    // and some reversed.
    std::vector<Segment> pieces;
    for (const Segment& side : rectangle(2, 3, 27, 26)) {
        const double dx = side.b.x - side.a.x, dy = side.b.y - side.a.y;
        for (double f = 0; f < 1; f += 0.125) {
            const double g = std::min(1.0, f + 0.25);
            Segment piece =
                seg(side.a.x + f * dx, side.a.y + f * dy, side.a.x + g * dx, side.a.y + g * dy);
            if (random() % 3 == 0) std::swap(piece.a, piece.b);
            pieces.push_back(piece);
            if (random() % 4 == 0) pieces.push_back(piece);
        }
    }
    compare("overlapping pieces", squares, pieces);

    // Points as segments: on grid points, on edges, at test points, anywhere.
    std::vector<Segment> points = rectangle(0.5, 0.5, 29.5, 29.5);
    std::uniform_int_distribution<int> cell(0, 29);
    std::uniform_real_distribution<double> anywhere(0, 30);
    for (int i = 0; i < 400; ++i) {
        double x = cell(random), y = cell(random);
        if (i % 4 == 1) x += 0.5;
        if (i % 4 == 2) {
            const Point3 p = testPointOf(squares[static_cast<std::size_t>(i) % squares.size()]);
            x = p.x;
            y = p.y;
        }
        if (i % 4 == 3) x = anywhere(random), y = anywhere(random);
        points.push_back(seg(x, y, x, y));
    }
    compare("zero-length segments", squares, points);

    // Long collinear runs along grid lines and diagonals, end to end.
    std::vector<Segment> runs;
    for (int k = 0; k < 30; k += 3) {
        for (int i = 0; i < 30; ++i) {
            runs.push_back(seg(i, k, i + 1, k));
            runs.push_back(seg(k + 0.5, i, k + 0.5, i + 1));
            runs.push_back(seg(i, i + k, i + 1, i + k + 1));
        }
    }
    compare("collinear runs", squares, runs);
}

TEST_F(BoundaryClipDifferential, HugeAndTinyCoordinates) {
    std::mt19937 random(17);
    // Beyond the index's limit, at it, and straddling it.
    for (double offset : {9.9999e7, 5e8, 2e9, 3e11}) {
        const auto squares = gridTriangles(offset, -offset, 25, 25, 10);
        std::vector<Segment> boundary =
            starPolygon(offset + 125, -offset + 125, 100, 80, 0.2, 0.5, random);
        append(boundary, rectangle(offset + 40, -offset + 40, offset + 80, -offset + 90));
        compare("offset " + std::to_string(offset), squares, boundary);
    }
    // Segments reaching from ordinary coordinates far beyond the limit.
    const auto squares = gridTriangles(0, 0, 30, 30, 1);
    std::vector<Segment> reaching = rectangle(1, 1, 28, 28);
    reaching.push_back(seg(5, 5, 4e11, 7));
    reaching.push_back(seg(-3e10, 12.5, 15.25, 12.75));
    reaching.push_back(seg(20, -1e15, 20.5, 1e15));
    reaching.push_back(seg(-1e300, 3.3, 1e300, 3.4));
    compare("segments to far away", squares, reaching);
    // A few triangles beyond the limit among ordinary ones.
    std::vector<Triangle> mixed = squares;
    mixed.push_back(tri({0, 0, 0}, {5e9, 10, 0}, {5e9, -10, 0}));
    mixed.push_back(tri({3, 3, 0}, {3, 1e12, 0}, {4, 3, 0}));
    compare("triangles to far away", mixed, reaching);

    // Millionths and below: everything closer than the tolerances.
    for (double size : {1e-3, 1e-5, 1e-7}) {
        const auto tiny = gridTriangles(0, 0, 20, 20, size);
        std::vector<Segment> boundary =
            starPolygon(10 * size, 10 * size, 8 * size, 40, 0.2, size / 4, random);
        append(boundary, rectangle(3 * size, 3 * size, 7.5 * size, 6 * size));
        compare("squares of " + std::to_string(size), tiny, boundary);
    }
}

// Segments that span the whole surface make the grid and the strips coarse;
// random triangles of every size, slivers among them, meet many cells.
TEST_F(BoundaryClipDifferential, LongSegmentsAndRandomTriangles) {
    std::mt19937 random(18);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<Segment> zigzag;
    for (int i = 0; i < 1500; ++i)
        zigzag.push_back(seg(i * 0.5, i % 2 ? 1000 : 0, (i + 1) * 0.5, i % 2 ? 0 : 1000));
    for (int i = 0; i < 500; ++i)
        zigzag.push_back(seg(0, unit(random) * 1000, 750, unit(random) * 1000));
    std::vector<Triangle> triangles;
    for (int i = 0; i < 800; ++i) {
        const double size = std::pow(10.0, unit(random) * 3);
        const double x = unit(random) * 800 - 25, y = unit(random) * 1050 - 25;
        // Braces, unlike call arguments, take the random numbers in order.
        triangles.push_back(Triangle{{{{x, y, 1},
                                       {x + size * unit(random), y + size * unit(random), 2},
                                       {x + size * unit(random), y - size * unit(random), 3}}}});
    }
    // Slivers across everything, like the hull triangles of a triangulation.
    triangles.push_back(tri({-10, -10, 0}, {800, 1010, 0}, {800, 1009.5, 0}));
    triangles.push_back(tri({-10, 500, 0}, {760, 500.001, 0}, {760, 499.999, 0}));
    compare("zigzag and random triangles", triangles, zigzag);

    std::vector<Segment> polygon = starPolygon(375, 500, 300, 1500, 0.05, 0.001, random);
    compare("random triangles in a fine polygon", triangles, polygon);
}

TEST_F(BoundaryClipDifferential, LargerSurfaceAgainstAFinePolygon) {
    std::mt19937 random(19);
    const auto surface = triangulated(vogtest::scatteredPoints(1500, 20));
    std::vector<Segment> polygon = starPolygon(1250, 2150, 200, 900, 0.2, 0.001, random);
    append(polygon, starPolygon(1250, 2150, 60, 300, 0.3, 0.001, random));
    compare("3000 triangles, 1200 segments", surface, polygon);
}

TEST_F(BoundaryClipDifferential, BadFilesGiveTheSameMessages) {
    const std::string source = triangleText(gridTriangles(0, 0, 4, 4, 1));
    const std::string boundary = segmentText(rectangle(0.5, 0.5, 3.5, 3.5));
    // A file missing or refused, no boundary and no surface: no triangle is kept.
    const Yields none = Yields::nothing;
    compareFiles("no boundary file", "", source, false, true, none);
    compareFiles("no triangle file", boundary, "", true, false, none);
    compareFiles("boundary not numbers", "0 0 0 1 1 0\n1 1 0 2 two 0\n", source, true, true, none);
    compareFiles("boundary short record", "0 0 0 1 1 0\n1 1 0 2\n", source, true, true, none);
    compareFiles("boundary not finite", "0 0 0 1 1 0\n1 1 0 2 inf 0\n", source, true, true, none);
    compareFiles("triangle not numbers", boundary, source + "1 2 3 4 5 6 7 8 x\n");
    compareFiles("last records without line end", boundary + "0 0 0 9 9 0",
                 source + "1 1 1 1 2 1 2 2 1");
    compareFiles("empty boundary", "", source, true, true, none);
    compareFiles("empty surface", boundary, "", true, true, none);
    // And the whole plain clipping once on an ordinary boundary with a void.
    std::vector<Segment> nested = rectangle(3, 3, 37, 37);
    append(nested, rectangle(10.5, 10.5, 20.5, 25));
    compareFiles("a boundary with a void", segmentText(nested),
                 triangleText(gridTriangles(0, 0, 40, 40, 1)));
}

} // namespace
} // namespace vog::surface
