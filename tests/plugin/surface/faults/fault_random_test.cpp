// Many fault lines between surface vertices, applied in turn to the bundled
// survey's surface and to gridded data: after every fault the surface must
// still be a valid triangulation of the same region and vertices, and every
// fault that was placed must be an edge of it until a later fault cuts it.
#include "app/host_seam.h"
#include "host/standin.h"
#include "plugin/surface/faults/fault_surface_check.h"
#include "plugin/surface/surface_test_support.h"
#include "surface/faults/fault_segment.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;

const char* const kMissing = "missing for triangulation";

class FaultRandom : public SurfaceFixture {
  protected:
    struct Counts {
        int placed = 0;
        int missing = 0;
        int skipped = 0;
    };

    // The surface of the point file text, as the triangulation core gives it.
    std::vector<Triangle> surfaceOf(const std::string& points) {
        auto file = writePointFile(points);
        EXPECT_EQ(runPipeline(file), Status::ok);
        return rawTriangles(file);
    }

    static std::vector<Point3> verticesOf(const std::vector<Triangle>& tin) {
        std::set<std::tuple<double, double, double>> seen;
        std::vector<Point3> vertices;
        for (const Triangle& t : tin)
            for (const Point3& c : t.corners)
                if (seen.insert({c.x, c.y, c.z}).second) vertices.push_back(c);
        return vertices;
    }

    static Point3 nearest(const std::vector<Point3>& vertices, double x, double y) {
        return *std::min_element(vertices.begin(), vertices.end(), [&](auto& a, auto& b) {
            return std::hypot(a.x - x, a.y - y) < std::hypot(b.x - x, b.y - y);
        });
    }

    // Faults between random vertices, of lengths from a few triangles to a
    // good part of the surface; every third one is laid across the fault
    // before it, so that faults cross earlier ones.
    static std::vector<Segment> randomFaults(const std::vector<Point3>& vertices, int count,
                                             double spacing, unsigned seed) {
        std::mt19937 random(seed);
        std::uniform_int_distribution<std::size_t> pick(0, vertices.size() - 1);
        std::uniform_real_distribution<double> unit(0, 1);
        std::vector<Segment> faults;
        while (static_cast<int>(faults.size()) < count) {
            Segment fault;
            if (faults.size() % 3 == 2) {
                const Segment& last = faults.back();
                const double mx = (last.a.x + last.b.x) / 2, my = (last.a.y + last.b.y) / 2;
                const double dx = last.b.x - last.a.x, dy = last.b.y - last.a.y;
                const double half = (0.3 + unit(random)) * spacing * 4 / std::hypot(dx, dy);
                fault = {nearest(vertices, mx - dy * half, my + dx * half),
                         nearest(vertices, mx + dy * half, my - dx * half)};
            } else {
                const double limit = spacing * (2 + 40 * std::pow(unit(random), 2));
                fault.a = vertices[pick(random)];
                for (int tries = 0; tries < 2000; ++tries) {
                    fault.b = vertices[pick(random)];
                    double d = std::hypot(fault.b.x - fault.a.x, fault.b.y - fault.a.y);
                    if (d > 0 && d <= limit) break;
                }
            }
            if (fault.a.x != fault.b.x || fault.a.y != fault.b.y) faults.push_back(fault);
        }
        return faults;
    }

    // Applies the faults in turn. With checkEvery n the surface is checked
    // after every n-th fault (and after the last); a fault that was not
    // reported missing must be a chain of edges right after it was applied.
    Counts applyAll(std::vector<Triangle>& tin, const std::vector<Segment>& faults,
                    int checkEvery) {
        const testing::SurfaceCheck check(tin);
        Counts counts;
        std::vector<std::pair<Segment, std::size_t>> placed; // fault, its index
        for (std::size_t i = 0; i < faults.size(); ++i) {
            Segment fault = faults[i];
            capture.clear();
            const FaultResult result = applyFaultSegment(tin, fault, app::hostSeam());
            EXPECT_TRUE(result == FaultResult::processed || result == FaultResult::notApplied)
                << "fault " << i + 1 << " gave " << static_cast<int>(result);
            const bool missing = capture.text().find(kMissing) != std::string::npos;
            if (missing)
                ++counts.missing;
            else if (result == FaultResult::processed)
                ++counts.placed;
            else
                ++counts.skipped;
            if (!missing) {
                EXPECT_TRUE(testing::isEdgeChain(tin, fault.a, fault.b))
                    << "fault " << i + 1 << " is no edge";
                placed.push_back({fault, i});
            }
            if ((i + 1) % checkEvery == 0 || i + 1 == faults.size()) {
                std::string problem = check.faultIn(tin);
                EXPECT_EQ(problem, "") << "after fault " << i + 1;
                if (!problem.empty()) return counts;
            }
        }
        // At the end every fault is still an edge unless a later one cut it.
        for (std::size_t k = 0; k < placed.size(); ++k) {
            const Segment& f = placed[k].first;
            bool cutLater = false;
            for (std::size_t m = k + 1; m < placed.size() && !cutLater; ++m)
                cutLater = testing::crossesInterior(f.a, f.b, placed[m].first.a, placed[m].first.b);
            if (!cutLater) {
                EXPECT_TRUE(testing::isEdgeChain(tin, f.a, f.b))
                    << "fault " << placed[k].second + 1 << " lost at the end";
            }
        }
        return counts;
    }

    // The counts go to the console and, as properties of the test, into the
    // XML report (--gtest_output=xml), so that they can be quoted.
    static void report(const char* what, const Counts& c) {
        std::printf("[ counts   ] %s: %d placed, %d reported missing, %d skipped\n", what, c.placed,
                    c.missing, c.skipped);
        RecordProperty("faults", what);
        RecordProperty("placed", c.placed);
        RecordProperty("missing", c.missing);
        RecordProperty("skipped", c.skipped);
    }

    standin::OutputCapture capture;
};

std::string bundled(const char* name) {
    return readText(std::filesystem::path(VOG_SOURCE_DIR) / "examples/data" / name);
}

TEST_F(FaultRandom, BundledSurveyStaysValidUnderManyFaults) {
    std::vector<Triangle> tin = surfaceOf(bundled("jacksboro-survey.xyz"));
    ASSERT_GT(tin.size(), 50000u);
    const auto vertices = verticesOf(tin);
    // About 180 m between survey points.
    const auto faults = randomFaults(vertices, 30, 180, 7);
    Counts counts = applyAll(tin, faults, 1);
    report("survey, 30 faults", counts);
    EXPECT_GT(counts.placed, 20);
}

// A window of the bundled grid: rows and columns of exactly collinear points,
// so faults along them pass through vertices and many circles are shared.
TEST_F(FaultRandom, GriddedDataStaysValidUnderManyFaults) {
    std::istringstream grid(bundled("jacksboro-grid.xyz"));
    std::vector<Point3> points;
    double x, y, z;
    const double x0 = 495000, y0 = 4000000, side = 74.67 * 45;
    while (grid >> x >> y >> z)
        if (x >= x0 && x < x0 + side && y >= y0 && y < y0 + side) points.push_back({x, y, z});
    ASSERT_GT(points.size(), 1500u);
    std::vector<Triangle> tin = surfaceOf(testing::pointLines(points));
    const auto vertices = verticesOf(tin);

    std::vector<Segment> faults = randomFaults(vertices, 160, 75, 11);
    // Faults along rows, columns and diagonals of the grid, through vertices.
    std::mt19937 random(5);
    std::uniform_int_distribution<std::size_t> pick(0, vertices.size() - 1);
    for (int k = 0; k < 40; ++k) {
        const Point3 a = vertices[pick(random)];
        const double step = 74.67 * (1 + k % 6);
        const double dx = k % 3 == 0 ? step : (k % 3 == 1 ? 0 : step);
        const double dy = k % 3 == 1 ? step : (k % 3 == 2 ? step : 0);
        Point3 b = nearest(vertices, a.x + dx, a.y + dy);
        if (b.x != a.x || b.y != a.y) faults.push_back({a, b});
    }
    Counts counts = applyAll(tin, faults, 1);
    report("grid, 200 faults", counts);
    EXPECT_GT(counts.placed, 120);
}

} // namespace
} // namespace vog::surface
