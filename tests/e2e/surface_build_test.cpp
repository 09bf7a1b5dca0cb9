// cadhost building a project's surface from a script: the triangulate dialog
// answered by host-dialog, fault lines and a boundary with a void, and the
// bundled survey with the example fault lines and boundary as the demo uses
// them.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <vector>

namespace {

using vogtest::readFile;
using vogtest::runHost;
using vogtest::writeFile;

struct Corner {
    double x, y, z;
};
using Triangle = std::vector<Corner>;

std::vector<Triangle> triangles(const std::string& text) {
    std::istringstream in(text);
    std::vector<Triangle> out;
    Triangle t(3);
    while (in >> t[0].x >> t[0].y >> t[0].z >> t[1].x >> t[1].y >> t[1].z >> t[2].x >> t[2].y >>
           t[2].z)
        out.push_back(t);
    return out;
}

// Plan positions in thousandths, as the files' numbers give them.
using Key = std::pair<long long, long long>;
Key key(double x, double y) {
    return {std::llround(x * 1000), std::llround(y * 1000)};
}

std::set<std::pair<Key, Key>> edges(const std::vector<Triangle>& tin) {
    std::set<std::pair<Key, Key>> out;
    for (const Triangle& t : tin)
        for (int k = 0; k < 3; ++k) {
            Key a = key(t[k].x, t[k].y);
            Key b = key(t[(k + 1) % 3].x, t[(k + 1) % 3].y);
            out.insert({std::min(a, b), std::max(a, b)});
        }
    return out;
}

bool isEdge(const std::set<std::pair<Key, Key>>& all, double x1, double y1, double x2, double y2) {
    Key a = key(x1, y1), b = key(x2, y2);
    return all.count({std::min(a, b), std::max(a, b)}) > 0;
}

// The point inside each triangle that the boundary test uses.
std::pair<double, double> testPoint(const Triangle& t) {
    return {(t[0].x + 2 * t[1].x + t[2].x) / 4, (t[0].y + 2 * t[1].y + t[2].y) / 4};
}

std::string script(const std::string& points, const std::string& faults,
                   const std::string& boundary) {
    return "(lvogopen \"" + points + "\")(vogset \"dimfaults\" \"2\")(vogset \"ufaults\" \"1\")" +
           "(host-dialog \"triangulate\" '((\"fault_file\" . \"" + faults +
           "\") (\"ubound\" . \"1\") (\"bound_file\" . \"" + boundary +
           "\")) \"accept\")(triangulate)";
}

class SurfaceBuild : public ::testing::Test {
  protected:
    void expectNoIntermediates(const std::string& base) {
        EXPECT_FALSE(std::filesystem::exists(base + ".ttin"));
        EXPECT_FALSE(std::filesystem::exists(base + ".ftin"));
        EXPECT_FALSE(std::filesystem::exists(base + ".tin.tmp"));
        EXPECT_FALSE(std::filesystem::exists(dir + "/temp/sortwk1.txt"));
        EXPECT_FALSE(std::filesystem::exists(dir + "/temp/sortwk2.txt"));
    }

    vogtest::ScratchFolder scratch{"e2e-surface"};
    const std::string dir = scratch.path();
};

TEST_F(SurfaceBuild, AScriptBuildsASurfaceWithAFaultABoundaryAndAVoid) {
    // A jittered 11 x 11 grid over 100 x 100 and the two fault ends.
    std::string points;
    char line[128];
    for (int i = 0; i <= 10; ++i)
        for (int j = 0; j <= 10; ++j) {
            const double x = 10 * i + 2 * std::sin(i * 7.0 + j * 3.0);
            const double y = 10 * j + 2 * std::cos(i * 5.0 - j * 11.0);
            std::snprintf(line, sizeof line, "%.3f %.3f %.3f\n", x, y,
                          50 + 10 * std::sin(x / 20) + 0.3 * y);
            points += line;
        }
    points += "15.5 24.5 40\n84.5 75.5 60\n";
    writeFile(dir + "/site.xyz", points);
    writeFile(dir + "/site.flt", "15.5 24.5 84.5 75.5\n");
    // The outer square 5..95 and the void 60..80 x 10..30, in mixed order
    // and directions.
    writeFile(dir + "/site.bnd", "5 5 0 95 5 0\n60 10 0 80 10 0\n95 95 0 95 5 0\n"
                                 "80 10 0 80 30 0\n95 95 0 5 95 0\n60 30 0 60 10 0\n"
                                 "5 95 0 5 5 0\n80 30 0 60 30 0\n");

    auto run =
        runHost({"-e", script(dir + "/site.xyz", dir + "/site.flt", dir + "/site.bnd")}, dir);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Creating Triangulation...Done"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Applying Fault Lines...Done"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("missing for triangulation"), std::string::npos) << run.output;

    const std::vector<Triangle> tin = triangles(readFile(dir + "/site.tin"));
    ASSERT_GT(tin.size(), 80u);
    EXPECT_LT(tin.size(), 200u);
    for (const Triangle& t : tin) {
        for (const Corner& c : t) {
            EXPECT_GE(c.x, 5);
            EXPECT_LE(c.x, 95);
            EXPECT_GE(c.y, 5);
            EXPECT_LE(c.y, 95);
        }
        auto [px, py] = testPoint(t);
        EXPECT_FALSE(px > 60 && px < 80 && py > 10 && py < 30) << "triangle in the void";
    }
    EXPECT_TRUE(isEdge(edges(tin), 15.5, 24.5, 84.5, 75.5));
    expectNoIntermediates(dir + "/site");

    // The settings the dialog accepted were saved with the project.
    EXPECT_NE(readFile(dir + "/site.set").find(std::string("u\0b\0o\0u\0n\0d\0=\0001\0", 16)),
              std::string::npos);
}

// The demo's second step on the bundled survey: every example fault line
// becomes an edge and the surface stays inside the example boundary.
TEST_F(SurfaceBuild, TheBundledSurveyWithTheExampleFaultsAndBoundary) {
    const std::string data = std::string(VOG_SOURCE_DIR) + "/examples/data/";
    std::filesystem::create_directories(dir + "/out");
    for (const char* name :
         {"jacksboro-survey.xyz", "jacksboro-faults.flt", "jacksboro-boundary.bnd"})
        std::filesystem::copy_file(data + name, dir + "/out/" + name);
    auto run = runHost({std::string(VOG_SOURCE_DIR) + "/examples/demo.lsp",
                        std::string(VOG_SOURCE_DIR) + "/examples/surface.lsp"},
                       dir);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("missing for triangulation"), std::string::npos) << run.output;

    const std::vector<Triangle> tin = triangles(readFile(dir + "/out/jacksboro-survey.tin"));
    ASSERT_GT(tin.size(), 10000u);
    const auto all = edges(tin);
    std::istringstream faults(readFile(data + "jacksboro-faults.flt"));
    double x1, y1, z1, x2, y2, z2;
    int count = 0;
    while (faults >> x1 >> y1 >> z1 >> x2 >> y2 >> z2) {
        ++count;
        EXPECT_TRUE(isEdge(all, x1, y1, x2, y2)) << "fault " << count;
    }
    EXPECT_EQ(count, 21);
    for (const Triangle& t : tin)
        for (const Corner& c : t) {
            EXPECT_GE(c.x, 493000);
            EXPECT_LE(c.x, 514500);
            EXPECT_GE(c.y, 3999000);
            EXPECT_LE(c.y, 4014500);
        }
    expectNoIntermediates(dir + "/out/jacksboro-survey");
}

} // namespace
