// The contours command: the "contours" dialog, the levels it draws, index
// contours and the rewrite of "dii", the two layers, erasing, and the ways
// the command stops.
#include "plugin/products/common/recording_drawing.h"
#include "plugin/products/contours/contour_test_surfaces.h"
#include "products/contours/contour_tracer.h"
#include "products/contours/contour_writer.h"
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/commands.h"
#include "dcl/dialogs.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

namespace {

using vogtest::DrawnPolyline;
using vogtest::drawnPolylines;
using vogtest::Triangle;

class ContoursCommandTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        folder = vogtest::freshFolder("contours");
        vogtest::writeFile(folder + "/site.dat", "");
        call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
        standin::clearAlerts();
    }

    void surface(const std::vector<Triangle>& triangles) {
        vogtest::writeTriangleFile(folder + "/site.tin", triangles);
    }

    int run(std::vector<std::pair<std::wstring, std::wstring>> values = {},
            const wchar_t* press = L"accept") {
        standin::queueDialogAnswer(L"contours", {std::move(values), press});
        capture.clear();
        standin::clearAlerts();
        return vog::contoursCommand();
    }

    std::string typed(const std::string& lines) {
        standin::setInteractive(true);
        std::istringstream input(lines);
        standin::setTerminalInput(&input);
        capture.clear();
        vog::contoursCommand();
        standin::setTerminalInput(nullptr);
        standin::setInteractive(false);
        return capture.text();
    }

    // The levels drawn on a layer, each once.
    static std::vector<double> levelsOn(const std::wstring& layer) {
        std::set<double> levels;
        for (const DrawnPolyline& p : drawnPolylines(standin::database()))
            if (p.layer == layer) levels.insert(p.elevation);
        return {levels.begin(), levels.end()};
    }
    static std::size_t liveOn(const std::wstring& layer) {
        std::size_t n = 0;
        for (const standin::Entity& e : standin::database().entities)
            if (!e.erased && !e.subentity && e.layer == layer) ++n;
        return n;
    }
    void lineOn(const wchar_t* layer) {
        ads_point a = {-5, -5, 0}, b = {-4, -4, 0};
        resbuf* line = acutBuildList(RTDXF0, L"LINE", 8, layer, 10, a, 11, b, RTNONE);
        acdbEntMake(line);
        acutRelRb(line);
    }

    std::string folder;
};

// A plane rising east, z = 12.5 + 0.147 x over x = 0 … 100: heights 12.5 to
// 27.2.
std::vector<Triangle> risingEast() {
    return vogtest::gridSurface(10, 4, 0, 0, 10, [](double x, double) { return 12.5 + 0.147 * x; });
}

TEST_F(ContoursCommandTest, TheProposedRangeGivesTheLevelsOfTheSurface) {
    surface(risingEast());
    EXPECT_EQ(run({{L"interval", L"5"}, {L"iinterval", L"50"}}), RTNORM);
    EXPECT_TRUE(standin::alerts().empty());
    // Levels 10 … 30; only 15, 20 and 25 meet the surface.
    EXPECT_EQ(levelsOn(L"KT_Regcontours"), (std::vector<double>{15, 20, 25}));
    EXPECT_TRUE(levelsOn(L"KT_Indxcontours").empty());
    for (const DrawnPolyline& p : drawnPolylines(standin::database())) {
        // Rim to rim across four rows of two triangles, straight north.
        ASSERT_EQ(p.vertices.size(), 9u);
        for (const vogtest::Point3& v : p.vertices)
            EXPECT_NEAR(v.x, (p.elevation - 12.5) / 0.147, 1e-9);
        EXPECT_EQ(std::min(p.vertices.front().y, p.vertices.back().y), 0);
        EXPECT_EQ(std::max(p.vertices.front().y, p.vertices.back().y), 40);
        EXPECT_TRUE(p.ended);
    }
    EXPECT_EQ(standin::database().findLayer(L"KT_Regcontours")->colour, 3);
    EXPECT_EQ(standin::database().findLayer(L"KT_Indxcontours")->colour, 5);
    EXPECT_EQ(vog::project::setting(L"dci"), L"5");
    EXPECT_EQ(vog::project::setting(L"dii"), L"50");

    // The typed range of the last run is not proposed again.
    EXPECT_EQ(run({{L"start", L"20"}, {L"end", L"21"}}), RTNORM);
    EXPECT_EQ(levelsOn(L"KT_Regcontours"), (std::vector<double>{20, 25}));
    std::string out = typed("ok\n");
    EXPECT_NE(out.find("12.5000"), std::string::npos) << out;
    EXPECT_NE(out.find("27.2000"), std::string::npos) << out;
    EXPECT_EQ(levelsOn(L"KT_Regcontours"), (std::vector<double>{15, 20, 25}));
}

// Heights 0 … 100 along x, interval 10.
class ContourIndexLayers : public ContoursCommandTest {
  protected:
    void SetUp() override {
        ContoursCommandTest::SetUp();
        surface(vogtest::gridSurface(10, 2, 0, 0, 10, [](double x, double) { return x + 0.5; }));
    }
};

TEST_F(ContourIndexLayers, TwentyFiveOverTenIndexesEveryTwentieth) {
    ASSERT_EQ(run({{L"interval", L"10"}, {L"iinterval", L"25"}, {L"dcw", L"0.5"}, {L"diw", L"2"}}),
              RTNORM);
    EXPECT_EQ(levelsOn(L"KT_Indxcontours"), (std::vector<double>{20, 40, 60, 80, 100}));
    EXPECT_EQ(levelsOn(L"KT_Regcontours"), (std::vector<double>{10, 30, 50, 70, 90}));
    EXPECT_EQ(vog::project::setting(L"dii"), L"25") << "kept as typed";
    for (const DrawnPolyline& p : drawnPolylines(standin::database()))
        EXPECT_EQ(p.width, p.layer == L"KT_Indxcontours" ? 2 : 0.5);
}

TEST_F(ContourIndexLayers, NearlyThirtyCountsAsThirty) {
    ASSERT_EQ(run({{L"interval", L"10"}, {L"iinterval", L"29.9995"}}), RTNORM);
    EXPECT_EQ(levelsOn(L"KT_Indxcontours"), (std::vector<double>{30, 60, 90}));
    EXPECT_EQ(vog::project::setting(L"dii"), L"29.9995");
}

TEST_F(ContourIndexLayers, AnIndexIntervalEqualToTheIntervalIsDoubledAndRewritten) {
    ASSERT_EQ(run({{L"interval", L"10"}, {L"iinterval", L"10"}}), RTNORM);
    EXPECT_EQ(levelsOn(L"KT_Indxcontours"), (std::vector<double>{20, 40, 60, 80, 100}));
    EXPECT_EQ(vog::project::setting(L"dii"), L"20.0000");
    // The next run shows the doubled value and keeps it.
    ASSERT_EQ(run(), RTNORM);
    EXPECT_EQ(vog::project::setting(L"dii"), L"20.0000");
    EXPECT_EQ(levelsOn(L"KT_Indxcontours"), (std::vector<double>{20, 40, 60, 80, 100}));
}

TEST_F(ContourIndexLayers, AnIndexIntervalBelowTheIntervalMakesEveryContourRegular) {
    call(L"vogset", {L"dci", L"10"});
    call(L"vogset", {L"dii", L"4"}); // set without the dialog's checks
    ASSERT_EQ(run(), RTNORM);
    EXPECT_TRUE(levelsOn(L"KT_Indxcontours").empty());
    EXPECT_EQ(levelsOn(L"KT_Regcontours").size(), 10u);
}

TEST_F(ContourIndexLayers, EverythingOnBothLayersIsErasedFirstAndOtherLayersStay) {
    lineOn(L"KT_Regcontours");
    lineOn(L"KT_Indxcontours");
    lineOn(L"Roads");
    ASSERT_EQ(run({{L"interval", L"10"}, {L"iinterval", L"50"}}), RTNORM);
    std::size_t regular = liveOn(L"KT_Regcontours"), index = liveOn(L"KT_Indxcontours");
    EXPECT_EQ(regular, 8u);
    EXPECT_EQ(index, 2u);
    ASSERT_EQ(run(), RTNORM);
    EXPECT_EQ(liveOn(L"KT_Regcontours"), regular) << "a second run replaces the first";
    EXPECT_EQ(liveOn(L"KT_Indxcontours"), index);
    EXPECT_EQ(liveOn(L"Roads"), 1u);

    // Other layers named in the dialog: the old ones keep their contours.
    ASSERT_EQ(run({{L"layer", L"Minor"}, {L"ilayer", L"Major"}}), RTNORM);
    EXPECT_EQ(liveOn(L"Minor"), regular);
    EXPECT_EQ(liveOn(L"Major"), index);
    EXPECT_EQ(liveOn(L"KT_Regcontours"), regular);
    EXPECT_EQ(vog::project::setting(L"dcln"), L"Minor");
    EXPECT_EQ(vog::project::setting(L"diln"), L"Major");
}

TEST_F(ContoursCommandTest, TheDialogPutsBackRefusedValues) {
    surface(risingEast());
    std::string out = typed("interval=0\nok\n");
    EXPECT_NE(out.find("error: Value must be a positive number.\n"), std::string::npos) << out;
    EXPECT_EQ(vog::project::setting(L"dci"), L"1");
    out = typed("iinterval=-5\nok\n");
    EXPECT_NE(out.find("error: Value must be a positive number.\n"), std::string::npos) << out;
    EXPECT_EQ(vog::project::setting(L"dii"), L"5");
    out = typed("dcw=-1\nok\n");
    EXPECT_NE(out.find("error: Value must be a nonnegative number.\n"), std::string::npos) << out;
    out = typed("start=low\nok\n");
    EXPECT_NE(out.find("error: Value must be numeric.\n"), std::string::npos) << out;
    out = typed("layer=\nok\n");
    EXPECT_NE(out.find("error: Value must be non-blank\n"), std::string::npos) << out;
    out = typed("ilayer=big lines\nok\n");
    EXPECT_NE(out.find("error: Value must contain A-Z,a-z,0-9,-,_,$ only\n"), std::string::npos)
        << out;
    EXPECT_EQ(vog::project::setting(L"diln"), L"KT_Indxcontours");

    // The rounding radio buttons set dcround.
    EXPECT_EQ(run({{L"SomeRounding", L"1"}}), RTNORM);
    EXPECT_EQ(vog::project::setting(L"dcround"), L"1");
    EXPECT_EQ(run({{L"NoRounding", L"1"}}), RTNORM);
    EXPECT_EQ(vog::project::setting(L"dcround"), L"0");
}

TEST_F(ContoursCommandTest, CancelAndUnusableIntervalsStopBeforeAnythingIsErased) {
    surface(risingEast());
    lineOn(L"KT_Regcontours");
    EXPECT_EQ(run({{L"interval", L"5"}}, L"cancel"), RTCAN);
    EXPECT_EQ(liveOn(L"KT_Regcontours"), 1u);
    EXPECT_EQ(standin::database().findLayer(L"KT_Indxcontours"), nullptr) << "no layers made";
    EXPECT_EQ(vog::project::setting(L"dci"), L"1") << "nothing taken";

    for (const wchar_t* bad : {L"0", L"-5", L"ten", L"1e999"}) {
        call(L"vogset", {L"dci", bad});
        EXPECT_EQ(run(), RTERROR) << standin::toUtf8(bad);
        EXPECT_EQ(standin::alerts(),
                  std::vector<std::wstring>{L"Contour interval must be a positive number."});
        EXPECT_EQ(liveOn(L"KT_Regcontours"), 1u);
        EXPECT_EQ(standin::database().findLayer(L"KT_Indxcontours"), nullptr);
    }
}

TEST_F(ContoursCommandTest, WithoutAProjectOrASurface) {
    vog::project::resetProjectState();
    EXPECT_EQ(run(), RTERROR);
    EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{L"You must open a project first."});
    EXPECT_EQ(standin::pendingDialogAnswers(L"contours"), 1u) << "no dialog was shown";
    standin::resetDialogs();
    standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));

    // A point file whose points make a surface: triangulated first, then
    // the dialog on the new surface.
    vogtest::writeFile(folder + "/site.dat", "0 0 1\n10 0 2\n10 10 13\n0 10 4\n5 5 26\n");
    call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
    EXPECT_EQ(run({{L"interval", L"5"}, {L"iinterval", L"10"}}), RTNORM);
    ASSERT_FALSE(standin::alerts().empty());
    EXPECT_EQ(standin::alerts().front(),
              L"Triangle file does not exist.  You will automatically be taken to "
              L"triangulation.\n");
    EXPECT_EQ(levelsOn(L"KT_Regcontours"), (std::vector<double>{5, 15, 25}));
    EXPECT_EQ(levelsOn(L"KT_Indxcontours"), (std::vector<double>{10, 20}));

    // A record that is not a triangle: the alert names the file and line.
    vogtest::writeFile(folder + "/site.tin", "0 0 0 0 1 0 1 1 0\n0 0 x 0 1 0 1 1 0\n");
    EXPECT_EQ(run(), RTERROR);
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_NE(standin::alerts()[0].find(L"Line 2 of"), std::wstring::npos);
    EXPECT_NE(standin::alerts()[0].find(L"site.tin"), std::wstring::npos);
}

// z = y on a 4 x 4 grid: the contour at a grid row runs along the row's
// edges and ends on vertices of the straight west and east sides.
TEST_F(ContoursCommandTest, ContoursEndingOnAVertexOfANorthSouthSideAreDrawn) {
    surface(vogtest::gridSurface(4, 4, 0, 0, 1, [](double, double y) { return y; }));
    ASSERT_EQ(run({{L"interval", L"1"}, {L"iinterval", L"10"}}), RTNORM);
    // Level 0 and 4 lie along the south and north sides, the rim itself.
    std::vector<double> levels = levelsOn(L"KT_Regcontours");
    for (double level : {1.0, 2.0, 3.0})
        EXPECT_TRUE(std::count(levels.begin(), levels.end(), level)) << level;
    for (const DrawnPolyline& p : drawnPolylines(standin::database())) {
        if (p.elevation < 1 || p.elevation > 3) continue;
        ASSERT_EQ(p.vertices.size(), 5u);
        EXPECT_EQ(std::min(p.vertices.front().x, p.vertices.back().x), 0);
        EXPECT_EQ(std::max(p.vertices.front().x, p.vertices.back().x), 4);
    }
}

// The tracer and the writer on their own, through a recording seam and a
// recording drawing: no host is reached.
TEST(ContourTracingWithoutHost, ABreakBetweenLevelsKeepsTheFinishedLevels) {
    std::vector<Triangle> triangles = risingEast();
    std::vector<vog::surface::Segment> rim = vogtest::rimOf(triangles);
    vog::products::WriterParameters parameters;
    parameters.contourWidth = 0.5;
    parameters.indexWidth = 2;
    parameters.contourLayer = L"Reg";
    parameters.indexLayer = L"Idx";
    parameters.indexInterval = 20;
    vogtest::RecordingDrawing drawing;
    std::vector<vog::surface::Segment> rounded;
    auto write = [&](std::span<const vog::surface::Segment> chain) {
        return vog::products::drawContour(chain, parameters, rounded, drawing);
    };
    vogtest::RecordingSeam seam;
    vog::products::ContourLevels levels = vog::products::contourLevels(12.5, 27.2, 5);
    seam.breakAtPoll = 3;
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, write, seam.seam()),
              vog::Status::cancelled);
    // Levels 10 and 15 were traced; only 15 meets the surface: one polyline
    // of nine vertices across the rows, rim to rim.
    using Kind = vogtest::DrawnRecord::Kind;
    ASSERT_EQ(drawing.records.size(), 11u);
    EXPECT_EQ(drawing.records[0].kind, Kind::polyline);
    EXPECT_EQ(drawing.records[0].polylineKind, vog::products::PolylineKind::flat);
    EXPECT_EQ(drawing.records[0].layer, L"Reg");
    EXPECT_EQ(drawing.records[0].width, 0.5);
    EXPECT_EQ(drawing.records[0].points.at(0), drawing.records[1].points.at(0));
    for (std::size_t i = 1; i < 10; ++i) {
        EXPECT_EQ(drawing.records[i].kind, Kind::vertex);
        EXPECT_EQ(drawing.records[i].points.at(0).z, 15);
        EXPECT_NEAR(drawing.records[i].points.at(0).x, 2.5 / 0.147, 1e-9);
    }
    EXPECT_EQ(drawing.records[10].kind, Kind::polylineEnd);
    EXPECT_EQ(seam.labels, std::vector<std::wstring>{L"Tracing contours"});
    EXPECT_EQ(seam.hides, 1);
    EXPECT_TRUE(drawing.failures.empty());

    // A refused vertex stops at once, with the writer's message.
    drawing = vogtest::RecordingDrawing{};
    drawing.failAt = 3;
    seam.breakAtPoll = 0;
    EXPECT_EQ(vog::products::traceContours(triangles, rim, levels, write, seam.seam()),
              vog::Status::failed);
    EXPECT_EQ(drawing.records.size(), 2u);
    EXPECT_EQ(drawing.failures, std::vector<std::wstring>{L"Unable to add contour vertex.\n"});
    EXPECT_TRUE(seam.alerts.empty() && seam.prints.empty());
}

} // namespace
