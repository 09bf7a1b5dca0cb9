// The showtin command: one 3DFACE per triangle on the TIN layer, the layer's
// old entities replaced, the zoom, the "showtin" dialog and every way the
// command stops.
#include "app/host_drawing.h"
#include "app/host_seam.h"
#include "plugin/products/contours/contour_test_surfaces.h"
#include "products/tin/tin_dialog.h"
#include "products/tin/tin_display.h"
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/commands.h"
#include "dcl/dialogs.h"

#include <sstream>

namespace {

using vogtest::Point3;
using vogtest::Triangle;

Point3 corner(const standin::Entity& face, int code) {
    const standin::Group* g = face.group(code);
    return g ? Point3{g->values[0], g->values[1], g->values[2]} : Point3{-1e9, -1e9, -1e9};
}

class TinDisplayTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        vog::products::tinLayerName().clear();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        folder = vogtest::freshFolder("showtin");
        vogtest::writeFile(folder + "/site.dat", "");
        call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
        standin::clearAlerts();
    }
    void TearDown() override {
        vog::products::tinLayerName().clear();
        PluginTest::TearDown();
    }

    void surface(const std::vector<Triangle>& triangles) {
        vogtest::writeTriangleFile(folder + "/site.tin", triangles);
    }

    int run(std::vector<std::pair<std::wstring, std::wstring>> values = {},
            const wchar_t* press = L"accept") {
        standin::queueDialogAnswer(L"showtin", {std::move(values), press});
        capture.clear();
        standin::clearAlerts();
        return vog::showtinCommand();
    }

    // The dialog drawn at the terminal while a person types these lines.
    std::string typed(const std::string& lines) {
        standin::setInteractive(true);
        std::istringstream input(lines);
        standin::setTerminalInput(&input);
        capture.clear();
        vog::showtinCommand();
        standin::setTerminalInput(nullptr);
        standin::setInteractive(false);
        return capture.text();
    }

    std::vector<const standin::Entity*> faces(const std::wstring& layer = L"KT_Tin") {
        std::vector<const standin::Entity*> out;
        for (const standin::Entity& e : standin::database().entities)
            if (!e.erased && e.type == L"3DFACE" && e.layer == layer) out.push_back(&e);
        return out;
    }
    std::size_t liveOn(const std::wstring& layer) {
        std::size_t n = 0;
        for (const standin::Entity& e : standin::database().entities)
            if (!e.erased && !e.subentity && e.layer == layer) ++n;
        return n;
    }
    void lineOn(const wchar_t* layer) {
        ads_point a = {-50, -50, 0}, b = {-40, -40, 0};
        resbuf* line = acutBuildList(RTDXF0, L"LINE", 8, layer, 10, a, 11, b, RTNONE);
        acdbEntMake(line);
        acutRelRb(line);
    }

    std::string folder;
};

// Two squares of 10, heights x + y: four triangles.
std::vector<Triangle> fourTriangles() {
    return vogtest::gridSurface(2, 1, 100, 200, 10, [](double x, double y) { return x + y; });
}

TEST_F(TinDisplayTest, OneFacePerTriangleWithTheFourthCornerRepeatingTheFirst) {
    std::vector<Triangle> triangles = fourTriangles();
    surface(triangles);
    EXPECT_EQ(run(), RTNORM);
    EXPECT_TRUE(standin::alerts().empty());

    std::vector<const standin::Entity*> drawn = faces();
    ASSERT_EQ(drawn.size(), triangles.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const auto& c = triangles[i].corners;
        EXPECT_EQ(corner(*drawn[i], 10), c[0]) << "face " << i << " in file order";
        EXPECT_EQ(corner(*drawn[i], 11), c[1]) << i;
        EXPECT_EQ(corner(*drawn[i], 12), c[2]) << i;
        EXPECT_EQ(corner(*drawn[i], 13), c[0]) << "the first corner again, not the third";
        EXPECT_EQ(drawn[i]->group(70), nullptr) << "no edge-visibility flags";
    }

    const standin::Layer* layer = standin::database().findLayer(L"KT_Tin");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->colour, 5);
    EXPECT_EQ(layer->linetype, L"CONTINUOUS");

    // Zoomed to the extents of the drawing, faces included.
    ASSERT_EQ(standin::database().commands.size(), 1u);
    EXPECT_EQ(standin::database().commands[0], (std::vector<std::wstring>{L"zoom", L"e"}));
    ASSERT_TRUE(standin::database().zoomedView.has_value());
    EXPECT_EQ(standin::database().zoomedView->min[0], 100);
    EXPECT_EQ(standin::database().zoomedView->max[0], 120);
    EXPECT_EQ(standin::database().zoomedView->max[1], 210);

    // Through the LISP function, too.
    standin::queueDialogAnswer(L"showtin", {});
    call(L"showtin");
    EXPECT_EQ(faces().size(), triangles.size());
}

TEST_F(TinDisplayTest, RunningTwiceReplacesTheLayerAndSparesOtherLayers) {
    surface(fourTriangles());
    lineOn(L"KT_Tin"); // made by someone else: erased all the same
    lineOn(L"kt_tin"); // the same layer in other letters
    lineOn(L"Roads");
    lineOn(L"KT_Tin2");
    ASSERT_EQ(run(), RTNORM);
    ASSERT_EQ(run(), RTNORM);
    EXPECT_EQ(faces().size(), 4u);
    EXPECT_EQ(liveOn(L"KT_Tin"), 4u);
    EXPECT_EQ(liveOn(L"kt_tin"), 0u);
    EXPECT_EQ(liveOn(L"Roads"), 1u);
    EXPECT_EQ(liveOn(L"KT_Tin2"), 1u);

    // A smaller surface then: only its faces remain.
    surface({fourTriangles()[0]});
    ASSERT_EQ(run(), RTNORM);
    EXPECT_EQ(faces().size(), 1u);

    // The selection the erasing made is given back to the host: the one
    // numbered just before the next selection no longer exists.
    ads_name next = {0, 0};
    ASSERT_EQ(acedSSGet(L"X", nullptr, nullptr, nullptr, next), RTNORM);
    ads_name erasing = {next[0] - 1, 0};
    Adesk::Int32 length = 0;
    EXPECT_EQ(acedSSLength(erasing, &length), RTERROR);
    acedSSFree(next);
}

TEST_F(TinDisplayTest, TheLayerNameIsKeptAndAnEmptyOneBecomesTheDefault) {
    surface(fourTriangles());
    ASSERT_EQ(run({{L"tinlayer", L"Site_Tin"}}), RTNORM);
    EXPECT_EQ(faces(L"Site_Tin").size(), 4u);
    EXPECT_EQ(standin::database().findLayer(L"Site_Tin")->colour, 5);
    EXPECT_EQ(vog::products::tinLayerName(), L"Site_Tin");

    // The next run proposes it again and draws there.
    ASSERT_EQ(run(), RTNORM);
    EXPECT_EQ(faces(L"Site_Tin").size(), 4u);
    EXPECT_TRUE(faces(L"KT_Tin").empty());

    // Cleared: the field gets the stored name back, with the complaint.
    std::string out = typed("tinlayer=\nok\n");
    EXPECT_NE(out.find("error: Value must be non-blank\n"), std::string::npos) << out;
    EXPECT_EQ(vog::products::tinLayerName(), L"Site_Tin");
    EXPECT_EQ(faces(L"Site_Tin").size(), 4u);

    // A name that is empty when the command starts is the default.
    vog::products::tinLayerName().clear();
    ASSERT_EQ(run(), RTNORM);
    EXPECT_EQ(vog::products::tinLayerName(), L"KT_Tin") << "empty at the start: the default";
    EXPECT_EQ(faces(L"KT_Tin").size(), 4u);
}

TEST_F(TinDisplayTest, TheDialogRefusesBadNamesAndCancelLeavesTheDrawing) {
    surface(fourTriangles());
    ASSERT_EQ(run({{L"tinlayer", L"Ground"}}), RTNORM);

    std::string out = typed("tinlayer=my tin\nok\n");
    EXPECT_NE(out.find("error: Value must contain A-Z,a-z,0-9,-,_,$ only\n"), std::string::npos)
        << out;
    EXPECT_EQ(vog::products::tinLayerName(), L"Ground") << "the previous name came back";
    EXPECT_EQ(faces(L"Ground").size(), 4u);
    EXPECT_EQ(standin::database().findLayer(L"my tin"), nullptr);

    // Cancel: nothing erased, nothing drawn, no zoom.
    lineOn(L"Ground");
    std::size_t commands = standin::database().commands.size();
    EXPECT_EQ(run({{L"tinlayer", L"Other"}}, L"cancel"), RTCAN);
    EXPECT_EQ(liveOn(L"Ground"), 5u);
    EXPECT_EQ(standin::database().findLayer(L"Other"), nullptr);
    EXPECT_EQ(standin::database().commands.size(), commands);
    EXPECT_TRUE(standin::alerts().empty());
    EXPECT_EQ(standin::loadedDialogFiles(), 0u) << "the dialog file is unloaded";
}

TEST_F(TinDisplayTest, EveryFailureStopsWithItsAlert) {
    // No project.
    vog::project::resetProjectState();
    EXPECT_EQ(run(), RTERROR);
    EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{L"You must open a project first!"});
    EXPECT_EQ(standin::pendingDialogAnswers(L"showtin"), 1u) << "no dialog was shown";
    standin::resetDialogs();
    standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
    call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});

    // No surface file: the drawing keeps the old faces.
    lineOn(L"KT_Tin");
    EXPECT_EQ(run(), RTERROR);
    EXPECT_EQ(standin::alerts(),
              std::vector<std::wstring>{L"Could not open tin file.  Command terminates.\n"});
    EXPECT_EQ(liveOn(L"KT_Tin"), 1u);

    // A record that is not a triangle: found before anything is erased, and
    // the alert names the file and line.
    vogtest::writeFile(folder + "/site.tin", "0 0 0 0 1 0 1 1 0\n0 0 0 0 1 0 1 1\n");
    EXPECT_EQ(run(), RTERROR);
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_NE(standin::alerts()[0].find(L"Line 2 of"), std::wstring::npos);
    EXPECT_NE(standin::alerts()[0].find(L"site.tin"), std::wstring::npos);
    EXPECT_EQ(liveOn(L"KT_Tin"), 1u);
    EXPECT_TRUE(standin::database().commands.empty());

    // An empty surface: the layer is cleared, nothing drawn, and the zoom.
    vogtest::writeFile(folder + "/site.tin", "");
    EXPECT_EQ(run(), RTNORM);
    EXPECT_EQ(liveOn(L"KT_Tin"), 0u);
    EXPECT_EQ(standin::database().commands.size(), 1u);
}

TEST_F(TinDisplayTest, AFaceTheHostRefusesStopsWithTheFacesSoFarKept) {
    std::vector<Triangle> triangles = fourTriangles();
    surface(triangles);
    // The host makes no entity on a layer without a name.
    vog::surface::TriangleFileReader reader(standin::fromUtf8(folder + "/site.tin"));
    ASSERT_TRUE(reader.isOpen());
    EXPECT_EQ(
        vog::products::drawSurfaceFaces(reader, L"", vog::app::hostDrawing(), vog::app::hostSeam()),
        vog::Status::failed);
    EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{
                                     L"Could not add triangle to drawing.  Command terminates.\n"});
    EXPECT_TRUE(standin::database().entities.empty());

    // A last record without a line end is not a triangle of the surface.
    std::string text = vogtest::readFile(folder + "/site.tin");
    text += "1 1 1 2 2 2 3 1 3";
    vogtest::writeFile(folder + "/site.tin", text);
    EXPECT_EQ(run(), RTNORM);
    EXPECT_EQ(faces().size(), triangles.size());
}

// The break key is polled once per record while the file is checked and once
// per face while drawing: a break in the check leaves the old display, one
// while drawing keeps the faces drawn so far and skips the zoom.
TEST_F(TinDisplayTest, TheBreakKeyStopsBetweenFacesAndKeepsTheFacesDrawn) {
    std::vector<Triangle> triangles = fourTriangles();
    surface(triangles);
    ASSERT_EQ(run(), RTNORM);
    const std::size_t commands = standin::database().commands.size();

    standin::breakAfterPolls(2); // the second record of the check
    EXPECT_EQ(run(), RTCAN);
    standin::breakAfterPolls(0);
    EXPECT_EQ(faces().size(), triangles.size()) << "the old display stays";

    standin::breakAfterPolls(static_cast<int>(triangles.size()) + 3); // before the third face
    EXPECT_EQ(run(), RTCAN);
    standin::breakAfterPolls(0);
    EXPECT_EQ(faces().size(), 2u);
    EXPECT_TRUE(standin::alerts().empty());
    EXPECT_EQ(standin::database().commands.size(), commands) << "no zoom after a break";
}

} // namespace
