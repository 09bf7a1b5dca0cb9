// The stand-in's plan picture: the frame, layer colours and widths, faces as a
// faint backdrop under the lines, and repeated picture points left out.
#include "standin.h"
#include "support/run_host.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SvgWriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetHost();
        folder = vogtest::freshFolder("svg");
    }
    void TearDown() override { standin::resetHost(); }

    static void make(resbuf* list) {
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
    }
    static void layer(const wchar_t* name, int colour) {
        make(acutBuildList(RTDXF0, L"LAYER", 8, name, 62, colour, RTNONE));
    }
    static void face(double x0, double y0) {
        ads_point a = {x0, y0, 0}, b = {x0, y0 + 10, 0}, c = {x0 + 10, y0 + 10, 0};
        make(acutBuildList(RTDXF0, L"3DFACE", 8, L"Tin", 10, a, 11, b, 12, c, 13, a, RTNONE));
    }
    static void polyline(const std::vector<std::pair<double, double>>& points, double width) {
        ads_point first = {points[0].first, points[0].second, 0};
        make(acutBuildList(RTDXF0, L"POLYLINE", 8, L"Lines", 10, first, 40, width, 41, width, 66, 1,
                           RTNONE));
        for (auto [x, y] : points) {
            ads_point p = {x, y, 0};
            make(acutBuildList(RTDXF0, L"VERTEX", 10, p, RTNONE));
        }
        make(acutBuildList(RTDXF0, L"SEQEND", RTNONE));
    }
    std::string picture() {
        std::string error;
        EXPECT_TRUE(standin::writeSvg(standin::database(), folder + "/p.svg", error)) << error;
        return vogtest::readFile(folder + "/p.svg");
    }

    std::string folder;
};

TEST_F(SvgWriteTest, FacesLieUnderTheLinesWhateverTheDrawingOrder) {
    layer(L"Tin", 5);
    layer(L"Lines", 3);
    // 0 … 120 across: the picture's 1200 units make a drawing unit ten.
    polyline({{0, 0}, {120, 0}}, 1);
    face(0, 0);
    face(50, 50);
    std::string svg = picture();

    std::size_t faint = svg.find("<g stroke-opacity=\"0.35\">");
    std::size_t firstFace = svg.find("<polygon");
    std::size_t line = svg.find("<polyline");
    ASSERT_NE(faint, std::string::npos) << svg;
    ASSERT_NE(line, std::string::npos);
    EXPECT_LT(faint, firstFace);
    EXPECT_LT(svg.rfind("<polygon"), line) << "the line drawn after the faces";
    EXPECT_NE(svg.find("points=\"0.0,600.0 0.0,500.0 100.0,500.0 0.0,600.0 \""), std::string::npos)
        << "the face at the origin, fourth corner on the first; y points down" << svg;
    EXPECT_NE(svg.find("stroke=\"#0000ff\" stroke-width=\"0.3\""), std::string::npos)
        << "faces in their layer's colour, thin";
    EXPECT_NE(svg.find("<polyline points=\"0.0,600.0 1200.0,600.0 \" fill=\"none\" "
                       "stroke=\"#00ff00\" stroke-width=\"10\""),
              std::string::npos)
        << "the width to the picture's scale" << svg;
}

TEST_F(SvgWriteTest, PointsThatLandOnTheSamePicturePointAreDrawnOnce) {
    layer(L"Lines", 3);
    // Ten units per drawing unit: 0.001 apart is the same picture point, the
    // last point a new one.
    polyline({{0, 0}, {0.001, 0}, {0.002, 0}, {120, 0}, {120, 0.004}, {120, 50}}, 0);
    std::string svg = picture();
    EXPECT_NE(svg.find("points=\"0.0,500.0 1200.0,500.0 1200.0,0.0 \""), std::string::npos) << svg;
    EXPECT_NE(svg.find("stroke-width=\"0.5\""), std::string::npos) << "no width: the thinnest line";
}

} // namespace
