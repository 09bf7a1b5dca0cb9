// The rmesh command: the grid lines over small surfaces, gaps, the skirt, the
// height factor, the "mesh" dialog and the failures before and while drawing.
#include "products/mesh/mesh_grid.h"
#include "support/generators.h"
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/commands.h"
#include "dcl/dialogs.h"

#include <filesystem>
#include <sstream>
#include <tuple>

namespace {

using vogtest::gridSurfaceText;
using vogtest::triangleRecord;

struct Vertex {
    double x, y, z;
    bool operator==(const Vertex&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Vertex& v) {
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

// A polyline of the drawing as the mesh writes it.
struct Polyline {
    std::wstring layer;
    long flags = 0;
    Vertex start{};
    std::vector<Vertex> vertices;
    std::vector<long> vertexFlags;
    bool ended = false;
};

Vertex pointOf(const standin::Entity& e) {
    const standin::Group* g = e.group(10);
    return g ? Vertex{g->values[0], g->values[1], g->values[2]} : Vertex{};
}

std::vector<Polyline> polylines(const std::wstring& layer = L"KT_Mesh") {
    std::vector<Polyline> out;
    for (const standin::Entity& e : standin::database().entities) {
        if (e.erased) continue;
        if (e.type == L"POLYLINE") {
            out.push_back({e.layer, e.integer(70), pointOf(e), {}, {}, false});
        } else if (!out.empty() && e.type == L"VERTEX") {
            out.back().vertices.push_back(pointOf(e));
            out.back().vertexFlags.push_back(e.integer(70));
        } else if (!out.empty() && e.type == L"SEQEND") {
            out.back().ended = true;
        }
    }
    std::erase_if(out, [&](const Polyline& p) { return p.layer != layer; });
    return out;
}

std::vector<Vertex> line(std::initializer_list<Vertex> vertices) {
    return vertices;
}

double sloped(double x, double y) {
    return x + 2 * y;
}

class MeshTest : public vogtest::PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        folder = vogtest::freshFolder("mesh");
        vogtest::writeFile(folder + "/site.dat", "");
        call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
        standin::clearAlerts();
    }

    void surface(const std::string& text) { vogtest::writeFile(folder + "/site.tin", text); }

    int run(std::vector<std::pair<std::wstring, std::wstring>> values = {},
            const wchar_t* press = L"accept") {
        standin::queueDialogAnswer(L"mesh", {std::move(values), press});
        capture.clear();
        standin::clearAlerts();
        return vog::rmeshCommand();
    }

    // The dialog drawn at the terminal while a person types these lines.
    std::string typed(const std::string& lines) {
        standin::setInteractive(true);
        std::istringstream input(lines);
        standin::setTerminalInput(&input);
        capture.clear();
        vog::rmeshCommand();
        standin::setTerminalInput(nullptr);
        standin::setInteractive(false);
        return capture.text();
    }

    // A line that is on no mesh layer, to see that it survives.
    void otherEntity(const wchar_t* layer) {
        ads_point a = {0, 0, 0}, b = {1, 1, 0};
        resbuf* line = acutBuildList(RTDXF0, L"LINE", 8, layer, 10, a, 11, b, RTNONE);
        acdbEntMake(line);
        acutRelRb(line);
    }
    std::size_t liveOn(const std::wstring& layer) {
        std::size_t n = 0;
        for (const auto& e : standin::database().entities)
            if (!e.erased && e.layer == layer && !e.subentity) ++n;
        return n;
    }

    std::string folder;
};

// 3 x 2 squares of 1 from (0.5, 0.25), heights x + 2y.
TEST_F(MeshTest, GridStartsAtTheLowestCornerAndStepsOffTheSurfaceAreLeftOut) {
    surface(gridSurfaceText(0.5, 0.25, 3, 2, 1, sloped));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(capture.text(), "\nGenerating Grid...Done\n");
    std::vector<Polyline> lines = polylines();
    // Four lines along y (x = 0.5 … 3.5), then three along x (y = 0.25 …
    // 2.25); each stops at the last grid point, the step beyond it being off
    // the surface.
    ASSERT_EQ(lines.size(), 7u);
    for (int i = 0; i < 4; ++i) {
        double x = 0.5 + i;
        EXPECT_EQ(lines[i].vertices,
                  line({{x, 0.25, x + 0.5}, {x, 1.25, x + 2.5}, {x, 2.25, x + 4.5}}))
            << "line " << i;
    }
    for (int j = 0; j < 3; ++j) {
        double y = 0.25 + j;
        EXPECT_EQ(lines[4 + j].vertices, line({{0.5, y, 0.5 + 2 * y},
                                               {1.5, y, 1.5 + 2 * y},
                                               {2.5, y, 2.5 + 2 * y},
                                               {3.5, y, 3.5 + 2 * y}}))
            << "line " << 4 + j;
    }
    for (const Polyline& p : lines) {
        EXPECT_EQ(p.flags, 8); // three-dimensional
        EXPECT_EQ(p.start, p.vertices.front());
        EXPECT_EQ(p.vertexFlags, std::vector<long>(p.vertices.size(), 32));
        EXPECT_TRUE(p.ended);
    }
    const standin::Layer* layer = standin::database().findLayer(L"KT_Mesh");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->colour, 3);

    // Running it again replaces the mesh; other layers are left alone.
    otherEntity(L"Roads");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(polylines().size(), 7u);
    EXPECT_EQ(liveOn(L"Roads"), 1u);
}

TEST_F(MeshTest, TheLastLineLiesAtTheLastStepNotBeyondTheEdge) {
    // 2.5 wide: with a step of 1 the lines along y are at 0, 1 and 2; the
    // lines along x end at x = 2 since the step to 3 leaves the surface.
    surface(gridSurfaceText(0, 0, 1, 1, 2.5, [](double, double) { return 4; }));
    EXPECT_EQ(run(), 0);
    std::vector<Polyline> lines = polylines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2].vertices, line({{2, 0, 4}, {2, 1, 4}, {2, 2, 4}}));
    EXPECT_EQ(lines[5].vertices, line({{0, 2, 4}, {1, 2, 4}, {2, 2, 4}}));
}

TEST_F(MeshTest, AHoleOrANotchSplitsALine) {
    // 3 x 3 unit squares without the middle one: the line x = 1.5 crosses the
    // hole.
    std::string text;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != 1 || j != 1) text += gridSurfaceText(i, j, 1, 1, 1, sloped);
    surface(text);
    EXPECT_EQ(run({{L"dxi", L"0.5"}}), 0);
    std::vector<Polyline> lines = polylines();
    // Along y: x = 0, 0.5, 1 and 1.5 (split), 2, 2.5, 3.
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[3].vertices, line({{1.5, 0, 1.5}, {1.5, 0.5, 2.5}, {1.5, 1, 3.5}}));
    EXPECT_EQ(lines[4].vertices, line({{1.5, 2, 5.5}, {1.5, 2.5, 6.5}, {1.5, 3, 7.5}}));
    EXPECT_EQ(lines.size(), 16u); // 7 + 1 along y, 7 + 1 along x

    // A notch in the outline: the top middle square missing, the line
    // y = 2.5 is split the same way.
    text.clear();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != 1 || j != 2) text += gridSurfaceText(i, j, 1, 1, 1, sloped);
    surface(text);
    EXPECT_EQ(run({{L"dxi", L"0.5"}}), 0);
    lines = polylines();
    auto atY = [&](double y) {
        std::vector<Polyline> found;
        for (const Polyline& p : lines)
            if (p.vertices.front().y == y && p.vertices.back().y == y) found.push_back(p);
        return found;
    };
    std::vector<Polyline> split = atY(2.5);
    ASSERT_EQ(split.size(), 2u);
    EXPECT_EQ(split[0].vertices, line({{0, 2.5, 5}, {0.5, 2.5, 5.5}, {1, 2.5, 6}}));
    EXPECT_EQ(split[1].vertices, line({{2, 2.5, 7}, {2.5, 2.5, 7.5}, {3, 2.5, 8}}));
}

TEST_F(MeshTest, APointOnASharedEdgeTakesTheFirstTriangleInFileOrder) {
    // Two level squares meeting at x = 1 with a step between them.
    std::string low = gridSurfaceText(0, 0, 1, 1, 1, [](double, double) { return 1; });
    std::string high = gridSurfaceText(1, 0, 1, 1, 1, [](double, double) { return 5; });
    surface(low + high);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(polylines()[1].vertices, line({{1, 0, 1}, {1, 1, 1}}));
    surface(high + low);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(polylines()[1].vertices, line({{1, 0, 5}, {1, 1, 5}}));

    // The lookup itself.
    std::vector<vog::products::SurfaceTriangle> triangles{
        vog::products::makeSurfaceTriangle(0, 0, 1, 0, 1, 1, 1, 1, 1),
        vog::products::makeSurfaceTriangle(0, 0, 9, 0, 1, 9, 1, 1, 9)};
    double z = 0;
    EXPECT_TRUE(vog::products::firstTriangleElevation(triangles, 0.5, 0.75, z));
    EXPECT_EQ(z, 1);
    EXPECT_FALSE(vog::products::firstTriangleElevation(triangles, 0.75, 0.5, z));
}

TEST_F(MeshTest, SkirtDropsEveryLineToTheBaseAndJoinsTheLinesAlongY) {
    surface(gridSurfaceText(0.5, 0.25, 3, 2, 1, sloped));
    EXPECT_EQ(run({{L"dsk", L"1"}}), 0);
    // The lowest height, 1, is the proposed base elevation.
    EXPECT_EQ(vog::project::setting(L"dbe"), L"1.0000");
    std::vector<Polyline> lines = polylines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].start, (Vertex{0.5, 0.25, 1}));
    EXPECT_EQ(
        lines[0].vertices,
        line({{0.5, 0.25, 1}, {0.5, 0.25, 1}, {0.5, 1.25, 3}, {0.5, 2.25, 5}, {0.5, 2.25, 1}}));
    EXPECT_EQ(lines[4].vertices, line({{0.5, 0.25, 1},
                                       {0.5, 0.25, 1},
                                       {1.5, 0.25, 2},
                                       {2.5, 0.25, 3},
                                       {3.5, 0.25, 4},
                                       {3.5, 0.25, 1}}));
    // The base line: below the start of every line along y, in line order.
    EXPECT_EQ(lines[7].start, (Vertex{0.5, 0.25, 1}));
    EXPECT_EQ(lines[7].flags, 8);
    EXPECT_EQ(lines[7].vertices,
              line({{0.5, 0.25, 1}, {1.5, 0.25, 1}, {2.5, 0.25, 1}, {3.5, 0.25, 1}}));

    // A base typed in the dialog is used, and at the next run the lowest
    // height is proposed again.
    EXPECT_EQ(run({{L"dbe", L"-3"}}), 0);
    EXPECT_EQ(vog::project::setting(L"dbe"), L"-3");
    EXPECT_EQ(polylines()[0].vertices.front(), (Vertex{0.5, 0.25, -3}));
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(polylines()[0].vertices.front(), (Vertex{0.5, 0.25, 1}));
}

TEST_F(MeshTest, PiecesBetweenGapsCarryNoSkirt) {
    std::string text;
    for (int j = 0; j < 3; ++j)
        if (j != 1) text += gridSurfaceText(0, j, 1, 1, 1, [](double, double) { return 2; });
    surface(text); // two squares one above the other with a gap of one
    EXPECT_EQ(run({{L"dsk", L"1"}, {L"dxi", L"0.5"}}), 0);
    std::vector<Polyline> lines = polylines();
    // x = 0: y from 0 to 1, then from 2 to 3.
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].vertices, line({{0, 0, 2}, {0, 0, 2}, {0, 0.5, 2}, {0, 1, 2}}));
    EXPECT_EQ(lines[1].vertices, line({{0, 2, 2}, {0, 2.5, 2}, {0, 3, 2}, {0, 3, 2}}));
}

TEST_F(MeshTest, HeightFactorTwoDoublesHeightsAndBase) {
    surface(gridSurfaceText(0.5, 0.25, 3, 2, 1, sloped));
    EXPECT_EQ(run({{L"dsk", L"1"}, {L"dzi", L"2"}}), 0);
    std::vector<Polyline> lines = polylines();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].start, (Vertex{0.5, 0.25, 2}));
    EXPECT_EQ(
        lines[0].vertices,
        line({{0.5, 0.25, 2}, {0.5, 0.25, 2}, {0.5, 1.25, 6}, {0.5, 2.25, 10}, {0.5, 2.25, 2}}));
    EXPECT_EQ(lines[7].vertices.back(), (Vertex{3.5, 0.25, 2}));
}

TEST_F(MeshTest, SkirtOffWritesNoSkirtAndTheBaseFieldIsDisabled) {
    surface(gridSurfaceText(0.5, 0.25, 3, 2, 1, sloped));
    EXPECT_EQ(run({{L"dbe", L"-5"}}), 0);
    EXPECT_NE(capture.text().find("; dialog mesh: tile dbe is disabled"), std::string::npos);
    std::vector<Polyline> lines = polylines();
    ASSERT_EQ(lines.size(), 7u);
    for (const Polyline& p : lines)
        for (const Vertex& v : p.vertices)
            EXPECT_EQ(v.z, v.x + 2 * v.y);
    // Switching the skirt on enables the field, off again disables it.
    EXPECT_EQ(run({{L"dsk", L"1"}, {L"dbe", L"-5"}, {L"dsk", L"0"}}), 0);
    EXPECT_EQ(capture.text().find("disabled"), std::string::npos);
    EXPECT_EQ(vog::project::setting(L"dsk"), L"0");
    EXPECT_EQ(polylines().size(), 7u);
}

TEST_F(MeshTest, DialogRefusesZeroAndTextAndBadLayerNames) {
    surface(gridSurfaceText(0, 0, 1, 1, 2, sloped));
    std::string out = typed("dxi=0\nok\n");
    EXPECT_NE(out.find("error: Value must be positive\n"), std::string::npos) << out;
    EXPECT_EQ(vog::project::setting(L"dxi"), L"1") << "the field got its setting back";

    out = typed("dzi=0\nok\n");
    EXPECT_NE(out.find("error: Value must be positive\n"), std::string::npos) << out;
    out = typed("dzi=abc\nok\n");
    EXPECT_NE(out.find("error: Value must be numeric.\n"), std::string::npos) << out;
    EXPECT_EQ(vog::project::setting(L"dzi"), L"1");
    out = typed("dsk=1\ndbe=low\nok\n");
    EXPECT_NE(out.find("error: Value must be numeric.\n"), std::string::npos) << out;
    EXPECT_EQ(vog::project::setting(L"dbe"), L"0.0000");
    out = typed("dmln=\nok\n");
    EXPECT_NE(out.find("error: Value must be non-blank\n"), std::string::npos) << out;
    out = typed("dmln=my mesh\nok\n");
    EXPECT_NE(out.find("error: Value must contain A-Z,a-z,0-9,-,_,$ only\n"), std::string::npos)
        << out;
    EXPECT_EQ(vog::project::setting(L"dmln"), L"KT_Mesh");

    // Good values pass and are kept; a long layer name is kept whole.
    EXPECT_EQ(run({{L"dxi", L"0.5"}, {L"dzi", L"3"}, {L"dmln", L"Site_Mesh_Layer_Long_Name"}}), 0);
    EXPECT_EQ(vog::project::setting(L"dxi"), L"0.5");
    EXPECT_EQ(vog::project::setting(L"dzi"), L"3");
    EXPECT_EQ(vog::project::setting(L"dmln"), L"Site_Mesh_Layer_Long_Name");
    EXPECT_FALSE(polylines(L"Site_Mesh_Layer_Long_Name").empty());
}

TEST_F(MeshTest, CancelAndUnusableValuesStopBeforeAnythingIsErased) {
    surface(gridSurfaceText(0, 0, 1, 1, 2, sloped));
    otherEntity(L"KT_Mesh");
    EXPECT_EQ(run({}, L"cancel"), RTCAN);
    EXPECT_EQ(capture.text(), "");
    EXPECT_EQ(liveOn(L"KT_Mesh"), 1u);

    // Values set without the dialog's checks.
    for (auto [key, value, message] :
         {std::tuple{L"dxi", L"0", L"Mesh grid interval must be a positive number."},
          {L"dxi", L"-1", L"Mesh grid interval must be a positive number."},
          {L"dxi", L"wide", L"Mesh grid interval must be a positive number."},
          {L"dxi", L"1e-30",
           L"Mesh grid interval is too small for the coordinates of the surface."},
          {L"dzi", L"0", L"Mesh height factor must be a positive number."}}) {
        call(L"vogset", {L"dxi", L"1"});
        call(L"vogset", {L"dzi", L"1"});
        call(L"vogset", {key, value});
        EXPECT_EQ(run(), RTERROR) << standin::toUtf8(value);
        EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{message});
        EXPECT_EQ(liveOn(L"KT_Mesh"), 1u);
        EXPECT_EQ(capture.text().find("Generating"), std::string::npos);
    }
}

TEST_F(MeshTest, EmptyAndBadSurfaces) {
    surface("");
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(capture.text(), "\nSurface has no triangles.");
    EXPECT_EQ(standin::pendingDialogAnswers(L"mesh"), 1u) << "no dialog was shown";
    standin::resetDialogs();
    standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));

    surface(triangleRecord(0, 0, 0, 0, 1, 0, 1, 1, 0) + "0 0 0 0 1 0 1 1\n");
    EXPECT_EQ(run(), RTERROR);
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_NE(standin::alerts()[0].find(L"Line 2 of"), std::wstring::npos);
    EXPECT_NE(standin::alerts()[0].find(L"site.tin"), std::wstring::npos);
}

TEST_F(MeshTest, WithoutAProjectOrATriangleFile) {
    vog::project::resetProjectState();
    capture.clear();
    EXPECT_EQ(vog::rmeshCommand(), RTERROR);
    EXPECT_EQ(standin::alerts(), std::vector<std::wstring>{L"You must open a project first."});

    // A project whose point file has no points: the triangulation runs and
    // makes no surface.
    call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
    standin::clearAlerts();
    vog::rmeshCommand();
    ASSERT_FALSE(standin::alerts().empty());
    EXPECT_EQ(standin::alerts().front(),
              L"Triangle file does not exist.  You will automatically be taken to "
              L"triangulation.\n");
    if (!std::filesystem::exists(folder + "/site.tin")) {
        EXPECT_EQ(standin::alerts().back(),
                  L"Could not open triangle file.  Command terminates.\n");
    }
}

TEST_F(MeshTest, AMissingSurfaceIsTriangulatedFirst) {
    vogtest::writeFile(folder + "/site.dat", "0 0 1\n10 0 2\n10 10 3\n0 10 4\n5 5 6\n");
    standin::queueDialogAnswer(L"mesh", {{{L"dxi", L"5"}}});
    capture.clear();
    call(L"rmesh");
    EXPECT_TRUE(std::filesystem::exists(folder + "/site.tin"));
    EXPECT_NE(capture.text().find("Done\n"), std::string::npos) << capture.text();
    std::vector<Polyline> lines = polylines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1].vertices, line({{5, 0, 1.5}, {5, 5, 6}, {5, 10, 3.5}}));
}

TEST_F(MeshTest, EntityFailuresArePrintedAndStopTheCommand) {
    surface(gridSurfaceText(0, 0, 1, 1, 2, sloped));
    // A layer without a name: the host refuses the first line's header.
    call(L"vogset", {L"dmln", L""});
    EXPECT_EQ(run(), RTERROR);
    EXPECT_EQ(capture.text(), "\nGenerating Grid...VOG: Unable to start mesh line\n");
}

TEST_F(MeshTest, BreakStopsBetweenLinesAndKeepsWhatWasDrawn) {
    surface(gridSurfaceText(0, 0, 2, 2, 1, sloped));
    standin::breakAfterPolls(3);
    EXPECT_EQ(run(), RTCAN);
    EXPECT_EQ(capture.text(), "\nGenerating Grid...");
    EXPECT_EQ(polylines().size(), 2u);
}

} // namespace
