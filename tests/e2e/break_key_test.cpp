// The break key in a cadhost session: (host-break N) stops a contour run of a
// million levels, the session goes on, and what was drawn before the break
// is saved with the drawing.
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

namespace {

TEST(BreakKey, StopsAMillionContourLevelsAndTheSessionGoesOn) {
    const std::string folder = vogtest::freshFolder("break-key");
    std::string points;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            points += std::to_string(x * 10) + " " + std::to_string(y * 10) + " " +
                      std::to_string((x + y) * 1000 / 6) + "\n";
    vogtest::writeFile(folder + "/site.xyz", points);
    const auto started = std::chrono::steady_clock::now();
    vogtest::HostRun run = vogtest::runHost(
        {"--save", folder + "/site.dxf", "-e", "(lvogopen \"" + folder + "/site.xyz\")", "-e",
         "(triangulate)", "-e", "(vogset \"dci\" \"0.00101\")", "-e", "(vogset \"dii\" \"1\")",
         "-e", "(host-break 3000)", "-e", "(contours)", "-e", "(princ \"after\")"},
        folder);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("after"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("[alert]", run.output.find("Creating Triangulation")),
              std::string::npos)
        << run.output;
    const std::string drawing = vogtest::readFile(folder + "/site.dxf");
    std::size_t polylines = 0;
    for (std::size_t at = 0; (at = drawing.find("\nPOLYLINE\n", at)) != std::string::npos; ++at)
        ++polylines;
    EXPECT_GT(polylines, 100u) << "the levels before the break stay drawn";
    EXPECT_LT(polylines, 1000000u);
}

// showtin polls the break key per record of its check and per face: a break
// while drawing keeps the faces drawn so far, and the session goes on.
TEST(BreakKey, StopsShowtinBetweenFacesAndTheFacesDrawnStay) {
    const std::string folder = vogtest::freshFolder("break-showtin");
    std::string points;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            points += std::to_string(x) + " " + std::to_string(y) + " " +
                      std::to_string((x * 7 + y * 3) % 11) + "\n";
    vogtest::writeFile(folder + "/site.xyz", points);
    vogtest::HostRun run = vogtest::runHost(
        {"--save", folder + "/site.dxf", "-e", "(lvogopen \"" + folder + "/site.xyz\")", "-e",
         "(triangulate)", "-e", "(host-break 2000)", "-e", "(showtin)", "-e", "(princ \"after\")"},
        folder);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("after"), std::string::npos) << run.output;
    const std::string surface = vogtest::readFile(folder + "/site.tin");
    const std::size_t triangles = std::count(surface.begin(), surface.end(), '\n');
    ASSERT_GT(triangles, 1500u) << "30 x 30 points give 1,682 triangles";
    const std::string drawing = vogtest::readFile(folder + "/site.dxf");
    std::size_t faces = 0;
    for (std::size_t at = 0; (at = drawing.find("\n3DFACE\n", at)) != std::string::npos; ++at)
        ++faces;
    // 2,000 polls: every record of the check, then a face per poll.
    EXPECT_EQ(faces, 2000u - triangles - 1) << run.output;
}

} // namespace
