// Contours of a known shape: survey points sampled from a paraboloid hill are
// triangulated and contoured by the commands, and every drawn contour is
// checked against the true surface and against a plain contouring of the
// same triangles.
#include "plugin/products/contours/contour_test_surfaces.h"
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/commands.h"
#include "dcl/dialogs.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>

namespace {

using vogtest::DrawnPolyline;
using vogtest::Point3;
using vogtest::Triangle;

// The hill: 98 at (50, 50), falling off as the square of the distance; 48
// at the middle of each side of the 100 x 100 square and -2 at its corners.
constexpr double kCurvature = 0.02;
double hill(double x, double y) {
    return 98 - kCurvature * ((x - 50) * (x - 50) + (y - 50) * (y - 50));
}

double planDistance(const Point3& a, const Point3& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Where p lies on the edge a-b: the fraction t from a, or a negative value
// when p is not on it.
double onEdge(const Point3& p, const Point3& a, const Point3& b) {
    double length = planDistance(a, b);
    double t = ((p.x - a.x) * (b.x - a.x) + (p.y - a.y) * (b.y - a.y)) / (length * length);
    if (t < -1e-9 || t > 1 + 1e-9) return -1;
    Point3 foot{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0};
    return planDistance(p, foot) < 1e-7 ? std::clamp(t, 0.0, 1.0) : -1;
}

// The plan length of a level's crossing with the triangles, contoured on its
// own: each triangle edge whose ends lie on either side of the level gives
// one crossing point, and the two points of a triangle bound its piece.
double levelLength(const std::vector<Triangle>& triangles, double level) {
    double total = 0;
    for (const Triangle& t : triangles) {
        std::vector<Point3> crossings;
        for (int k = 0; k < 3; ++k) {
            const Point3& a = t.corners[k];
            const Point3& b = t.corners[(k + 1) % 3];
            if ((a.z - level) * (b.z - level) >= 0) continue;
            double f = (level - a.z) / (b.z - a.z);
            crossings.push_back({a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), level});
        }
        if (crossings.size() == 2) total += planDistance(crossings[0], crossings[1]);
    }
    return total;
}

class ContourAnalyticTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        folder = vogtest::freshFolder("hill");

        // A survey of the hill: the square's corners and random points.
        std::mt19937 random(20261208);
        std::uniform_real_distribution<double> coordinate(0.0, 100.0);
        std::string points;
        char line[128];
        auto add = [&](double x, double y) {
            std::snprintf(line, sizeof line, "%.3f %.3f %.6f\n", x, y, hill(x, y));
            points += line;
        };
        for (double x : {0.0, 100.0})
            for (double y : {0.0, 100.0})
                add(x, y);
        for (int i = 0; i < 600; ++i) {
            double x = std::round(coordinate(random) * 1000) / 1000;
            double y = std::round(coordinate(random) * 1000) / 1000;
            add(x, y);
        }
        vogtest::writeFile(folder + "/hill.xyz", points);
        call(L"lvogopen", {standin::fromUtf8(folder + "/hill.xyz")});
        call(L"vogset", {L"dcround", L"0"});
    }

    std::vector<Triangle> surfaceTriangles() {
        vog::surface::TriangleFileReader reader(standin::fromUtf8(folder + "/hill.tin"));
        std::vector<Triangle> out;
        Triangle t;
        while (reader.read(t) == vog::surface::TriangleFileReader::Result::Triangle)
            out.push_back(t);
        return out;
    }

    std::string folder;
};

TEST_F(ContourAnalyticTest, ContoursOfAParaboloidHillFollowItsLevelCurves) {
    // No surface yet: the command triangulates the survey first.
    standin::queueDialogAnswer(L"contours", {{{L"interval", L"5"}, {L"iinterval", L"25"}}});
    ASSERT_EQ(vog::contoursCommand(), RTNORM);
    std::vector<Triangle> triangles = surfaceTriangles();
    ASSERT_GT(triangles.size(), 1000u);
    // No corner lies at a level, so no contour runs along an edge.
    for (const Triangle& t : triangles)
        for (const Point3& c : t.corners)
            ASSERT_NE(std::fmod(c.z, 5), 0) << c.x << ", " << c.y;

    std::map<double, std::vector<DrawnPolyline>> byLevel;
    for (DrawnPolyline& p : vogtest::drawnPolylines(standin::database()))
        byLevel[p.elevation].push_back(std::move(p));
    std::vector<double> levels;
    for (const auto& [level, polylines] : byLevel)
        levels.push_back(level);
    EXPECT_EQ(levels.size(), 20u) << "0, 5, … 95";
    EXPECT_EQ(levels.front(), 0);
    EXPECT_EQ(levels.back(), 95);

    for (const auto& [level, polylines] : byLevel) {
        double drawnLength = 0;
        for (const DrawnPolyline& p : polylines) {
            drawnLength += vogtest::planLength(p);
            EXPECT_EQ(p.layer, std::fmod(level, 25) == 0 ? L"KT_Indxcontours" : L"KT_Regcontours");
            for (const Point3& v : p.vertices) {
                ASSERT_EQ(v.z, level);
                // The vertex is the linear crossing of a triangle's edge, so
                // the true surface stands above the level by exactly the
                // interpolation error of the hill along that edge,
                // curvature x t (1 - t) x length², and never by more than
                // the triangle's error for a point on its edges, curvature x
                // (longest edge)² / 4. The triangle file's heights carry six
                // decimals.
                int holders = 0;
                for (const Triangle& t : triangles) {
                    const auto& c = t.corners;
                    double longest = std::max({planDistance(c[0], c[1]), planDistance(c[1], c[2]),
                                               planDistance(c[2], c[0])});
                    for (int k = 0; k < 3; ++k) {
                        const Point3& a = c[k];
                        const Point3& b = c[(k + 1) % 3];
                        double f = onEdge(v, a, b);
                        if (f < 0) continue;
                        ++holders;
                        double above = hill(v.x, v.y) - level;
                        double length = planDistance(a, b);
                        EXPECT_NEAR(above, kCurvature * f * (1 - f) * length * length, 2e-6)
                            << "level " << level << " at " << v.x << ", " << v.y;
                        EXPECT_GE(above, -2e-6);
                        EXPECT_LE(above, kCurvature * longest * longest / 4 + 2e-6);
                    }
                }
                EXPECT_GE(holders, 1) << "every vertex lies on an edge of the surface";
            }
        }
        // From 50 up the hill's level curves are circles inside the square:
        // one closed contour each.
        if (level >= 50) {
            ASSERT_EQ(polylines.size(), 1u) << level;
            EXPECT_LT(planDistance(polylines[0].vertices.front(), polylines[0].vertices.back()),
                      1e-5);
        }
        EXPECT_NEAR(drawnLength, levelLength(triangles, level), 1e-6 * drawnLength)
            << "level " << level;
    }
}

} // namespace
