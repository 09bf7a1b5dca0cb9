// The stand-in's plan picture: the frame, layer colours and widths, faces as a
// faint backdrop under the lines, repeated picture points left out, the
// legend, dashes for layers that share a colour, and contour labels.
#include "host/standin.h"
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
    // A 2-D polyline at an elevation, or a 3-D polyline (flags 8).
    static void onLayer(const wchar_t* name, double z, double y, int flags = 0) {
        ads_point first = {0, y, z};
        make(acutBuildList(RTDXF0, L"POLYLINE", 8, name, 10, first, 66, 1, 70, flags, RTNONE));
        for (double x : {0.0, 60.0, 120.0}) {
            ads_point p = {x, y, flags & 8 ? z + x : z};
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

TEST_F(SvgWriteTest, TheLegendListsEachLayerThatHoldsSomethingWithItsColourAndCount) {
    layer(L"Tin", 5);
    layer(L"Lines", 3);
    layer(L"Empty", 1);
    face(0, 0);
    face(50, 50);
    polyline({{0, 0}, {120, 0}}, 1);
    std::string svg = picture();
    const std::size_t legend = svg.find(">Layers</text>");
    ASSERT_NE(legend, std::string::npos) << svg;
    const std::size_t tin = svg.find(">Tin</text>", legend);
    const std::size_t lines = svg.find(">Lines</text>", legend);
    EXPECT_LT(tin, lines) << "in the order of the layer table";
    EXPECT_NE(svg.find(">colour 5, 2 3-D faces</text>", tin), std::string::npos) << svg;
    EXPECT_NE(svg.find(">colour 3, 1 polyline</text>", lines), std::string::npos) << svg;
    EXPECT_EQ(svg.find(">Empty</text>"), std::string::npos) << "a layer with nothing on it";
    EXPECT_EQ(svg.find(">0</text>"), std::string::npos);
    EXPECT_NE(svg.find("width=\"1520\""), std::string::npos)
        << "the legend stands beside the view, not over it";
}

TEST_F(SvgWriteTest, LayersOfOneColourAreToldApartAndIndexContoursCarryTheirElevation) {
    layer(L"Regular", 3);
    layer(L"Mesh", 3);
    layer(L"Index", 5);
    for (double z : {10.0, 20.0, 30.0, 40.0})
        onLayer(L"Regular", z, z);
    onLayer(L"Mesh", 0, 5, 8);
    onLayer(L"Index", 0, 0);
    onLayer(L"Index", 50, 50);
    std::string svg = picture();

    // The mesh, with fewer lines than the contours of its colour, is dashed,
    // and so is its sample in the legend; nothing else is.
    EXPECT_NE(svg.find("<polyline points=\"0.0,450.0 600.0,450.0 1200.0,450.0 \" fill=\"none\" "
                       "stroke=\"#00ff00\" stroke-width=\"0.5\" stroke-dasharray=\"10 6\"/>"),
              std::string::npos)
        << svg;
    const std::size_t legend = svg.find(">Layers</text>");
    EXPECT_NE(svg.find("stroke=\"#00ff00\" stroke-width=\"2\" stroke-dasharray=\"10 6\"/>", legend),
              std::string::npos);
    std::size_t dashes = 0;
    for (std::size_t at = svg.find("stroke-dasharray"); at != std::string::npos;
         at = svg.find("stroke-dasharray", at + 1))
        ++dashes;
    EXPECT_EQ(dashes, 2u);

    // Index contours are the flat polylines whose levels lie farthest apart.
    EXPECT_NE(svg.find("dy=\"0.35em\" transform=\"rotate(0.0 600.0 0.0)\">50</text>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find(">0</text>"), std::string::npos);
    EXPECT_EQ(svg.find(">10</text>"), std::string::npos) << "regular contours are not labelled";
    EXPECT_EQ(svg.find(">40</text>"), std::string::npos);
    EXPECT_EQ(standin::database().entities.size(), 4u * 5 + 5 + 2 * 5)
        << "the labels are in the picture only";
}

} // namespace
