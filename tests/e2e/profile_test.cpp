// The profile chain as a user runs it: a surface's edges written by
// tin-edges, the profile cut by cadhost with the plug-in, the chart drawn by
// profile-chart.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

using vogtest::readFile;
using vogtest::runHost;
using vogtest::writeFile;

double plane(double x, double y) {
    return 100 + 0.5 * x - 0.25 * y;
}

// A 10 x 10 grid of unit-5 squares over the plane, two triangles each.
std::string planeSurface() {
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(6);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) {
            double x = i * 5, y = j * 5;
            auto corner = [&](double cx, double cy) {
                out << cx << " " << cy << " " << plane(cx, cy) << " ";
            };
            corner(x, y), corner(x, y + 5), corner(x + 5, y);
            out << "\n";
            corner(x + 5, y), corner(x, y + 5), corner(x + 5, y + 5);
            out << "\n";
        }
    return out.str();
}

int tool(const std::string& command) {
    return std::system((std::string(VOG_BIN_DIR) + "/" + command).c_str());
}

TEST(ProfileChain, EdgesProfileAndChart) {
    std::string dir = vogtest::freshFolder("chain");
    writeFile(dir + "/plane.tin", planeSurface());
    ASSERT_EQ(tool("tin-edges " + dir + "/plane.tin " + dir + "/kttin.asc > /dev/null"), 0);
    // 100 squares: 11 x 10 horizontal, 10 x 11 vertical and 100 diagonal edges.
    std::istringstream edges(readFile(dir + "/kttin.asc"));
    int count = 0;
    for (std::string line; std::getline(edges, line);)
        ++count;
    EXPECT_EQ(count, 320);

    auto run = runHost(
        {"-e",
         "(entmake '((0 . \"LWPOLYLINE\") (8 . \"0\") (10 1.0 2.5) (42 . 0.0) (10 44.0 2.5) "
         "(42 . 0.0)))",
         "-e", "(host-pick (entlast))", "-e", "(host-real 10.0)", "-e", "(host-file \"ground\")",
         "-e", "(ktexsec)"},
        dir);
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("Getting elevations ........ Done!"), std::string::npos)
        << run.output;
    EXPECT_EQ(readFile(dir + "/kttin.asc"), "This file was created by Sekator and may be deleted.");

    // The default extension is added; every station lies on the line at y = 2.5.
    std::istringstream profile(readFile(dir + "/ground.pfl"));
    double station, elevation, previous = -1;
    int lines = 0;
    while (profile >> station >> elevation) {
        ++lines;
        EXPECT_GE(station, previous);
        previous = station;
        double x = 1 + (station - 10);
        EXPECT_NEAR(elevation, plane(x, 2.5), 1e-5) << station;
    }
    // Vertical edges at x = 5..40 and the diagonals between them.
    EXPECT_GE(lines, 16);

    ASSERT_EQ(tool("profile-chart " + dir + "/ground.pfl " + dir + "/chart.svg Test"), 0);
    std::string svg = readFile(dir + "/chart.svg");
    EXPECT_NE(svg.find(">Station<"), std::string::npos);
    EXPECT_NE(svg.find(">Elevation<"), std::string::npos);
    EXPECT_NE(svg.find("<polyline"), std::string::npos);

    // With the drawing's units and a starting station: the axes name the
    // unit, and the station axis begins at the start (4 here), not at the
    // first crossing (11.5), the stretch between marked as off the surface.
    ASSERT_EQ(
        tool("profile-chart --units m --start 4 " + dir + "/ground.pfl " + dir + "/chart.svg"), 0);
    svg = readFile(dir + "/chart.svg");
    EXPECT_NE(svg.find(">Station (m)<"), std::string::npos) << svg;
    EXPECT_NE(svg.find(">Elevation (m)<"), std::string::npos);
    EXPECT_NE(svg.find("<text x=\"80\" y=\"356\" text-anchor=\"middle\">4</text>"),
              std::string::npos)
        << "the starting station at the start of the axis\n"
        << svg;
    EXPECT_NE(svg.find(">no surface<"), std::string::npos);
}

TEST(ProfileChain, ToolsRefuseBadInputWithTheLine) {
    std::string dir = vogtest::freshFolder("tools");
    writeFile(dir + "/bad.tin", "0 0 0 1 0 0 0 1 0\n1 2 x\n");
    std::string out = dir + "/out.txt";
    EXPECT_NE(tool("tin-edges " + dir + "/bad.tin " + dir + "/k.asc 2> " + out), 0);
    EXPECT_NE(readFile(out).find("line 2 of " + dir + "/bad.tin is not a triangle: 1 2 x"),
              std::string::npos);
    writeFile(dir + "/bad.pfl", "1 2\nthree 4\n");
    EXPECT_NE(tool("profile-chart " + dir + "/bad.pfl " + dir + "/c.svg 2> " + out), 0);
    EXPECT_NE(readFile(out).find("line 2 of " + dir + "/bad.pfl"), std::string::npos);
    writeFile(dir + "/good.pfl", "1 2\n");
    EXPECT_EQ(tool("profile-chart --start ten " + dir + "/good.pfl " + dir + "/c.svg 2> " + out),
              2 << 8);
    EXPECT_NE(readFile(out).find("--start takes a number, not ten"), std::string::npos);
}

} // namespace
