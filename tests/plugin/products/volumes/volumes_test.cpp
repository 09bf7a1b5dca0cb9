// The volumes command: its dialog, the grid pass and the printed result, on
// small surfaces written as triangle files.
#include "app/host_seam.h"
#include "products/common/surface_triangle.h"
#include "products/volumes/volumes_dialog.h"
#include "products/volumes/volumes_grid.h"
#include "support/generators.h"
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/commands.h"
#include "dcl/dialogs.h"

#include <cmath>
#include <cstdio>

namespace {

using vogtest::gridSurfaceText;

const auto level = [](double z) { return [z](double, double) { return z; }; };

class VolumesTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        folder = vogtest::freshFolder("volumes");
    }

    // Writes name.tin in the test's folder; answers the path without ".tin".
    std::wstring surface(const std::string& name, const std::string& text) {
        vogtest::writeFile(folder + "/" + name + ".tin", text);
        return standin::fromUtf8(folder + "/" + name);
    }

    // Runs the command with the dialog answered by these values and OK.
    int run(std::vector<std::pair<std::wstring, std::wstring>> values,
            const wchar_t* press = L"accept") {
        standin::queueDialogAnswer(L"volumes", {std::move(values), press});
        capture.clear();
        standin::clearAlerts();
        return vog::volumesCommand();
    }
    int run(const std::wstring& existing, const std::wstring& proposed,
            const std::wstring& interval = L"1", const std::wstring& factor = L"1",
            const std::wstring& feet = L"0") {
        return run({{L"exist_tin", existing},
                    {L"proposed_tin", proposed},
                    {L"vol_intrvl", interval},
                    {L"compkt", factor},
                    {L"v_u_feet", feet}});
    }

    static std::string result(double cut, double fill, double net, const char* unit) {
        char line[256];
        std::snprintf(
            line, sizeof line, "\nCalculating Volume...Done\nCut=%lf\tFill=%lf\tNet=%s %lf %s\n",
            std::fabs(cut), std::fabs(fill), net < 0 ? "Cut" : "Fill", std::fabs(net), unit);
        return line;
    }

    std::string folder;
};

TEST_F(VolumesTest, IdenticalSurfacesGiveNothingReportedAsFill) {
    auto slope = [](double x, double y) { return 100 + 0.3 * x - 0.7 * y; };
    std::wstring a = surface("a", gridSurfaceText(0, 0, 10, 10, 1, slope));
    std::wstring b = surface("b", gridSurfaceText(0, 0, 10, 10, 1, slope));
    EXPECT_EQ(run(a, b), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 0, 0, "Cubic Meters"));
    EXPECT_TRUE(standin::alerts().empty());
}

TEST_F(VolumesTest, OneUnitAboveFillsOneHundredAndTheFactorAndFeetScaleIt) {
    std::wstring ground = surface("ground", gridSurfaceText(0, 0, 2, 2, 5, level(10)));
    std::wstring raised = surface("raised", gridSurfaceText(0, 0, 2, 2, 5, level(11)));
    EXPECT_EQ(run(ground, raised), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 100, 100, "Cubic Meters"));

    EXPECT_EQ(run(ground, raised, L"1", L"1", L"1"), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 100.0 / 27, 100.0 / 27, "Cubic Yards"));

    // Lowered instead: all cut.
    EXPECT_EQ(run(raised, ground), RTNORM);
    EXPECT_EQ(capture.text(), result(-100, 0, -100, "Cubic Meters"));

    // Through the LISP function as well.
    standin::queueDialogAnswer(L"volumes", {{{L"exist_tin", ground}, {L"proposed_tin", raised}}});
    capture.clear();
    call(L"volumes");
    EXPECT_EQ(capture.text(), result(0, 100, 100, "Cubic Meters"));
}

// Existing level at 2, proposed z = 2 + (x + y − 10) / 2 over the same 10 x 10
// square: the proposed plane passes through the existing one along x + y =
// 10, with a wedge of 250/3 below it and one of 250/3 above.
class VolumesWedges : public VolumesTest {
  protected:
    static double tilted(double x, double y) { return 2 + 0.5 * (x + y - 10); }
};

TEST_F(VolumesWedges, CutAndFillAreTheWedgesLessTheGridsEdgeEffect) {
    std::wstring existing = surface("existing", gridSurfaceText(0, 0, 2, 2, 5, level(2)));
    std::wstring proposed = surface("proposed", gridSurfaceText(0, 0, 2, 2, 5, tilted));
    const double wedge = 250.0 / 3;
    // A cell adds its mean corner difference, which for a plane is the exact
    // volume of the cell; so net is exact. The 10 / t cells that the line
    // x + y = 10 crosses diagonally each hold t³/12 of cut and as much of
    // fill, which cancel within the cell: cut and fill each miss
    // (10 / t) · t³ / 12 = 10 t² / 12.
    for (double t : {1.0, 0.5, 0.25}) {
        wchar_t interval[32];
        std::swprintf(interval, 32, L"%g", t);
        ASSERT_EQ(run(existing, proposed, interval), RTNORM);
        double edge = 10 * t * t / 12;
        EXPECT_EQ(capture.text(), result(-(wedge - edge), wedge - edge, 0, "Cubic Meters"))
            << "interval " << t;
    }

    // A fill factor of 0.9 shrinks fill by 10 % and net with it; cut stays.
    ASSERT_EQ(run(existing, proposed, L"1", L"0.9"), RTNORM);
    double side = wedge - 10.0 / 12;
    EXPECT_EQ(capture.text(), result(-side, 0.9 * side, -0.1 * side, "Cubic Meters"));
}

TEST_F(VolumesWedges, GridPassDirectly) {
    std::vector<vog::products::SurfaceTriangle> existing, proposed;
    existing.push_back(vog::products::makeSurfaceTriangle(0, 0, 0, 0, 4, 0, 4, 4, 0));
    existing.push_back(vog::products::makeSurfaceTriangle(0, 0, 0, 4, 4, 0, 4, 0, 0));
    proposed.push_back(vog::products::makeSurfaceTriangle(0, 0, 3, 0, 4, 3, 4, 4, 3));
    proposed.push_back(vog::products::makeSurfaceTriangle(0, 0, 3, 4, 4, 3, 4, 0, 3));
    vog::products::VolumeTotals totals;
    EXPECT_EQ(
        vog::products::integrateVolumes(existing, proposed, 2, 0.5, vog::app::hostSeam(), totals),
        vog::Status::ok);
    EXPECT_DOUBLE_EQ(totals.fill, 24); // 16 × 3, halved
    EXPECT_DOUBLE_EQ(totals.net, 24);
    EXPECT_EQ(totals.cut, 0);
}

TEST_F(VolumesTest, GridStartsAtTheCombinedCornerAndLeavesEdgeCellsOut) {
    // The proposed square lies half a unit inside the existing one: the grid
    // starts at the existing corner, so only the 8 x 8 cells wholly inside
    // the proposed square count (9 x 9 would if it started at 0.5).
    std::wstring existing = surface("existing", gridSurfaceText(0, 0, 1, 1, 10, level(0)));
    std::wstring proposed = surface("proposed", gridSurfaceText(0.5, 0.5, 1, 1, 9, level(1)));
    EXPECT_EQ(run(existing, proposed), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 64, 64, "Cubic Meters"));
    // The other way round the extent is the same.
    EXPECT_EQ(run(proposed, existing), RTNORM);
    EXPECT_EQ(capture.text(), result(-64, 0, -64, "Cubic Meters"));
}

TEST_F(VolumesTest, TheLastTriangleHoldingACornerGivesItsHeight) {
    std::wstring existing = surface("existing", gridSurfaceText(0, 0, 1, 1, 4, level(0)));
    // The same square twice, first at 1 then at 3: the later triangles win.
    std::wstring overlapping = surface("overlap", gridSurfaceText(0, 0, 1, 1, 4, level(1)) +
                                                      gridSurfaceText(0, 0, 1, 1, 4, level(3)));
    EXPECT_EQ(run(existing, overlapping), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 48, 48, "Cubic Meters"));
}

TEST_F(VolumesTest, NamesWithoutExtensionAndWithAnyExtensionMeanTheTinFile) {
    EXPECT_EQ(vog::products::surfaceFileName(L"/a/site.dat"), L"/a/site.tin");
    EXPECT_EQ(vog::products::surfaceFileName(L"/a/site.north.tin"), L"/a/site.north.tin");
    EXPECT_EQ(vog::products::surfaceFileName(L"/a/site"), L"/a/site.tin");
    EXPECT_EQ(vog::products::surfaceFileName(L""), L".tin");

    std::wstring a = surface("a", gridSurfaceText(0, 0, 1, 1, 2, level(0)));
    std::wstring b = surface("b", gridSurfaceText(0, 0, 1, 1, 2, level(1)));
    EXPECT_EQ(run(a + L".dat", b), RTNORM); // b has no extension at all
    EXPECT_EQ(capture.text(), result(0, 4, 4, "Cubic Meters"));
}

TEST_F(VolumesTest, DialogResetsBadNumbersAndRefusesOkWhileAComplaintShows) {
    std::wstring a = surface("a", gridSurfaceText(0, 0, 1, 1, 4, level(0)));
    std::wstring b = surface("b", gridSurfaceText(0, 0, 1, 1, 4, level(1)));
    // A negative interval complains, OK is refused, the dialog ends cancelled.
    EXPECT_EQ(run({{L"exist_tin", a}, {L"proposed_tin", b}, {L"vol_intrvl", L"-2"}}), RTCAN);
    EXPECT_NE(capture.text().find("still open after scripted answers"), std::string::npos);
    EXPECT_EQ(capture.text().find("Calculating"), std::string::npos);

    // The interval was put back to 1.0000: once another field clears the
    // complaint, the run uses it (16 cells of 1 x 1 at +1).
    vog::products::VolumesRequest request;
    standin::queueDialogAnswer(
        L"volumes",
        {{{L"vol_intrvl", L"-2"}, {L"compkt", L"x"}, {L"exist_tin", a}, {L"proposed_tin", b}}});
    ASSERT_TRUE(vog::products::askVolumesRequest(request));
    EXPECT_EQ(request.interval, 1);
    EXPECT_EQ(request.fillFactor, 1);
    EXPECT_EQ(request.existingName, a);
    EXPECT_EQ(request.feetFlag, L"0");

    // A surface name whose triangle file is missing empties its tile.
    standin::queueDialogAnswer(
        L"volumes",
        {{{L"exist_tin", a + L"-missing"}, {L"proposed_tin", b}, {L"vol_intrvl", L"2"}}});
    ASSERT_TRUE(vog::products::askVolumesRequest(request));
    EXPECT_EQ(request.existingName, L"");
    EXPECT_EQ(request.interval, 2);

    // Cancel.
    EXPECT_EQ(run({{L"exist_tin", a}}, L"cancel"), RTCAN);
    EXPECT_EQ(capture.text(), "");
}

TEST_F(VolumesTest, NumbersAreReadInTheDrawingsUnits) {
    // Architectural units: an interval of 1' is 12 drawing units, as the
    // field check read it. Only the cell from 12 to 24 lies on the proposed
    // square from 6 to 24.
    resbuf units{};
    units.restype = RTSHORT;
    units.resval.rint = 4;
    standin::setSysVar(L"LUNITS", units);
    std::wstring existing = surface("existing", gridSurfaceText(0, 0, 1, 1, 24, level(0)));
    std::wstring proposed = surface("proposed", gridSurfaceText(6, 6, 1, 1, 18, level(1)));
    EXPECT_EQ(run(existing, proposed, L"1'"), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 144, 144, "Cubic Meters"));
}

TEST_F(VolumesTest, MissingSurfaceComplaintShowsInTheErrorTile) {
    // The complaint keeps OK from closing the dialog until cleared.
    EXPECT_EQ(run({{L"exist_tin", L"/no/such/place/x"}}), RTCAN);
    EXPECT_NE(capture.text().find("still open"), std::string::npos);
    EXPECT_EQ(run({{L"proposed_tin", L"/no/such/place/x"}}), RTCAN);
}

TEST_F(VolumesTest, BrowseButtonsFillTheSurfaceTiles) {
    std::wstring a = surface("a", gridSurfaceText(0, 0, 1, 1, 4, level(0)));
    std::wstring b = surface("b", gridSurfaceText(0, 0, 1, 1, 4, level(2)));
    standin::queueFileAnswer(a + L".dat");
    standin::queueFileAnswer(b + L".tin");
    EXPECT_EQ(run({{L"esbrowse", L""}, {L"psbrowse", L""}}), RTNORM);
    EXPECT_EQ(capture.text(), result(0, 32, 32, "Cubic Meters"));
}

TEST_F(VolumesTest, UnusableInputStopsBeforeTheGrid) {
    std::wstring a = surface("a", gridSurfaceText(0, 0, 1, 1, 4, level(0)));
    std::wstring b = surface("b", gridSurfaceText(0, 0, 1, 1, 4, level(1)));
    std::wstring empty = surface("empty", "");

    // An interval of 0 passes the dialog's check but would never advance.
    EXPECT_EQ(run(a, b, L"0"), RTERROR);
    EXPECT_EQ(standin::alerts(),
              std::vector<std::wstring>{L"Volume grid interval must be a positive number."});
    EXPECT_EQ(capture.text().find("Calculating"), std::string::npos);

    // An empty name reaches the command and names no file.
    EXPECT_EQ(run(a, L""), RTERROR);
    EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{
                                     L"Proposed Surface does not exist.\nTry creating the surface "
                                     L"first, or\ncheck the path and filename.\n"});
    EXPECT_EQ(run(L"", b), RTERROR);
    EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{
                                     L"Existing Surface does not exist.\nTry creating the surface "
                                     L"first, or\ncheck the path and filename.\n"});

    // Empty surfaces: one line, nothing else.
    EXPECT_EQ(run(empty, b), RTERROR);
    EXPECT_EQ(capture.text(), "\nSurface has no triangles.");
    EXPECT_EQ(run(a, empty), RTERROR);
    EXPECT_EQ(capture.text(), "\nSurface has no triangles.");

    // A record that is not a triangle names its file and line.
    std::wstring bad = surface("bad", "0 0 0 0 1 0 1 1 0\n0 0 0 one 1 0 1 1 0\n");
    EXPECT_EQ(run(a, bad), RTERROR);
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_NE(standin::alerts()[0].find(L"Line 2 of"), std::wstring::npos);
    EXPECT_NE(standin::alerts()[0].find(L"bad.tin"), std::wstring::npos);
    EXPECT_EQ(capture.text().find("Calculating"), std::string::npos);
}

TEST_F(VolumesTest, BreakDuringTheGridPrintsNothingFurther) {
    std::wstring a = surface("a", gridSurfaceText(0, 0, 2, 2, 2, level(0)));
    std::wstring b = surface("b", gridSurfaceText(0, 0, 2, 2, 2, level(1)));
    standin::breakAfterPolls(5); // once per cell: the fifth of 16
    EXPECT_EQ(run(a, b), RTCAN);
    EXPECT_EQ(capture.text(), "\nCalculating Volume...");
}

} // namespace
