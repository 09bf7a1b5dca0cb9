// The triangulate command: its dialog as a script and a person answer it,
// the pipeline's result, and the files it leaves on every way out.
#include "app/commands.h"
#include "dcl/dialogs.h"
#include "host/standin.h"
#include "plugin/surface/surface_test_support.h"
#include "project/project_state.h"
#include "surface/files/triangle_file.h"

#include <functional>
#include <random>
#include <sstream>

namespace vog::surface {
namespace {

using project::setSetting;
using project::setting;
using testing::readText;
using testing::widePath;
using testing::writeText;

using Answers = std::vector<std::pair<std::wstring, std::wstring>>;

// 80 points at random in 100 x 100, heights 10 to 50.
std::string samplePoints(unsigned seed = 1) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> plan(0, 100);
    std::uniform_real_distribution<double> height(10, 50);
    std::vector<Point3> points;
    for (int i = 0; i < 80; ++i)
        points.push_back({plan(random), plan(random), height(random)});
    points.push_back({50, 50, 5});  // the lowest
    points.push_back({20, 80, 60}); // the highest
    points.push_back({0, 0, 20});   // corners of the faults and the boundary
    points.push_back({100, 100, 30});
    return testing::pointLines(points);
}

class TriangulateCommand : public testing::SurfaceFixture {
  protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        project::resetProjectState();
        standin::addDialogFolder(standin::fromUtf8(VOG_SOURCE_DIR "/plugin/resources"));
        points = writePointFile(samplePoints(), "site.xyz");
        faults = dir() / "site.flt";
        boundary = dir() / "site.bnd";
        writeText(faults, "0 0 20 100 100 30\n");
        writeText(boundary, "5 5 0 95 5 0\n95 5 0 95 95 0\n95 95 0 5 95 0\n5 95 0 5 5 0\n");
        project::applyDefaults();
        setSetting(L"dpoints", widePath(points));
        setSetting(L"uelev", L"0");
        setSetting(L"ufaults", L"0");
        setSetting(L"ubound", L"0");
        setSetting(L"dimfaults", L"3");
        setSetting(L"dfaults", widePath(faults));
        setSetting(L"dbndry", widePath(boundary));
        project::markProjectOpen();
    }
    void TearDown() override {
        standin::setInteractive(false);
        standin::setTerminalInput(nullptr);
        project::resetProjectState();
        SurfaceFixture::TearDown();
    }

    std::filesystem::path sibling(const char* extension) const {
        std::filesystem::path p = points;
        return p.replace_extension(extension);
    }

    int run(Answers values = {}, const wchar_t* press = L"accept") {
        standin::queueDialogAnswer(L"triangulate", {std::move(values), press});
        capture.clear();
        standin::clearAlerts();
        return triangulateCommand();
    }

    // The dialog drawn at the terminal while a person types these lines.
    std::string typed(const std::string& lines) {
        standin::setInteractive(true);
        std::istringstream input(lines);
        standin::setTerminalInput(&input);
        capture.clear();
        standin::clearAlerts();
        lastResult = triangulateCommand();
        standin::setTerminalInput(nullptr);
        standin::setInteractive(false);
        return capture.text();
    }

    // The triangles the core makes of the same points, built apart.
    std::string coreTriangles() {
        const auto apart = dir() / "apart";
        std::filesystem::create_directories(apart);
        const auto copy = apart / "site.xyz";
        std::filesystem::copy_file(points, copy);
        EXPECT_EQ(runPipeline(copy), Status::ok);
        std::filesystem::path ttin = copy;
        return readText(ttin.replace_extension(".ttin"));
    }

    // No intermediate, no half-written surface and no sort work file.
    void expectNoLeftovers(const std::string& path) {
        EXPECT_FALSE(std::filesystem::exists(sibling(".ttin"))) << path;
        EXPECT_FALSE(std::filesystem::exists(sibling(".ftin"))) << path;
        EXPECT_FALSE(std::filesystem::exists(dir() / "site.tin.tmp")) << path;
        EXPECT_FALSE(std::filesystem::exists(workFile())) << path;
        EXPECT_FALSE(std::filesystem::exists(sortedFile())) << path;
    }

    // The file replaced by one that opens but whose every read fails.
    static void failingFile(const std::filesystem::path& file) {
        std::filesystem::remove(file);
        std::filesystem::create_symlink("/proc/self/mem", file);
    }

    std::vector<std::string> alertTexts() const {
        std::vector<std::string> out;
        for (const auto& a : standin::alerts())
            out.push_back(standin::toUtf8(a));
        return out;
    }

    std::filesystem::path points, faults, boundary;
    standin::OutputCapture capture;
    int lastResult = 0;
};

TEST_F(TriangulateCommand, WithoutFaultsAndBoundaryTheSurfaceIsTheCoresTrianglesInOrder) {
    EXPECT_EQ(run(), RTNORM);
    EXPECT_EQ(capture.text(), "Optimizing\n\nCreating Triangulation...Done\n");
    EXPECT_TRUE(alertTexts().empty());
    expectNoLeftovers("plain build");
    const std::string surface = readText(sibling(".tin"));
    EXPECT_EQ(surface, coreTriangles());
    EXPECT_GT(testing::parseTriangles(surface).size(), 100u);
}

TEST_F(TriangulateCommand, FaultsAndBoundaryAreAppliedInTurn) {
    EXPECT_EQ(run({{L"ufaults", L"1"}, {L"ubound", L"1"}}), RTNORM);
    EXPECT_EQ(capture.text(), "Optimizing\n\nCreating Triangulation...Done\n\nApplying Fault "
                              "Lines...Done\n");
    expectNoLeftovers("faults and boundary");
    const std::vector<Triangle> surface = testing::parseTriangles(readText(sibling(".tin")));
    const std::vector<Triangle> plain = testing::parseTriangles(coreTriangles());
    ASSERT_FALSE(surface.empty());
    EXPECT_LT(surface.size(), plain.size());
    for (const Triangle& t : surface)
        for (const Point3& c : t.corners) {
            EXPECT_GE(c.x, 5);
            EXPECT_LE(c.x, 95);
            EXPECT_GE(c.y, 5);
            EXPECT_LE(c.y, 95);
        }
    EXPECT_EQ(setting(L"ufaults"), L"1");
    EXPECT_EQ(setting(L"ubound"), L"1");

    // The dimension comes from dimfaults, truncated: "2.9" reads x1 y1 x2 y2.
    writeText(faults, "0 0 100 100\n");
    setSetting(L"dimfaults", L"2.9");
    EXPECT_EQ(run(), RTNORM);
    EXPECT_TRUE(alertTexts().empty());
    expectNoLeftovers("plan faults");
}

// Every way the command can end before the surface is complete keeps the old
// surface byte for byte and leaves no intermediate behind.
TEST_F(TriangulateCommand, EveryFailureKeepsTheOldSurfaceAndLeavesNoIntermediates) {
    const std::string oldSurface = "1 2 3 4 5 6 7 8 9\n";
    struct Case {
        const char* what;
        std::function<void()> arrange;
        Answers answers;
        int result;
        std::string alert; // empty: none
    };
    const std::string flt = faults.string();
    const std::string bnd = boundary.string();
    std::vector<Case> cases = {
        {"cancelled", [] {}, {{L"ufaults", L"1"}}, RTCAN, ""},
        // A missing file is refused by the dialog's check at OK.
        {"missing fault file",
         [&] { std::filesystem::remove(faults); },
         {{L"ufaults", L"1"}},
         RTCAN,
         ""},
        {"unreadable fault file",
         [&] { failingFile(faults); },
         {{L"ufaults", L"1"}},
         RTERROR,
         "Error opening fault line file.\n"},
        {"malformed fault file",
         [&] { writeText(faults, "0 0 20 100 100 30\n1 2 3 x 5 6\n"); },
         {{L"ufaults", L"1"}},
         RTERROR,
         "Line 2 of " + flt +
             " is not a fault line: 1 2 3 x 5 6 (6 numbers expected, 5 found, and \"x\" is not "
             "a number)"},
        {"missing boundary file",
         [&] { std::filesystem::remove(boundary); },
         {{L"ubound", L"1"}},
         RTCAN,
         ""},
        {"unreadable boundary file",
         [&] { failingFile(boundary); },
         {{L"ubound", L"1"}},
         RTERROR,
         "Could not open boundary file."},
        {"unreadable boundary file with faults",
         [&] { failingFile(boundary); },
         {{L"ufaults", L"1"}, {L"ubound", L"1"}},
         RTERROR,
         "Error opening boundary file.\n"},
        {"point file is a folder",
         [&] {
             std::filesystem::rename(points, dir() / "kept.xyz");
             std::filesystem::create_directory(points);
         },
         {},
         RTERROR,
         "Could not open point file for reading.  Command terminates.\n"},
        {"point file cannot be read",
         [&] {
             std::filesystem::rename(points, dir() / "kept.xyz");
             failingFile(points);
         },
         {},
         RTERROR,
         "Could not open point file for reading.  Command terminates.\n"},
        {"malformed boundary file",
         [&] { writeText(boundary, "5 5 0 95 5\n"); },
         {{L"ubound", L"1"}},
         RTERROR,
         "Line 1 of " + bnd +
             " is not a boundary segment: 5 5 0 95 5 (6 numbers expected, 5 found)"},
        // A folder holding a file is not removed as a leftover would be.
        {"raw triangle file cannot be made",
         [&] {
             std::filesystem::create_directory(sibling(".ttin"));
             writeText(sibling(".ttin") / "kept", "");
         },
         {},
         RTERROR,
         "Error opening triangle file."},
        {"work files cannot be made",
         [&] { ::setenv("TEMP", (dir() / "nowhere").c_str(), 1); },
         {},
         RTERROR,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& file : {faults, boundary, points})
            if (std::filesystem::is_symlink(file)) std::filesystem::remove(file);
        if (std::filesystem::is_directory(points)) std::filesystem::remove(points);
        if (std::filesystem::exists(dir() / "kept.xyz"))
            std::filesystem::rename(dir() / "kept.xyz", points);
        writeText(sibling(".tin"), oldSurface);
        writeText(faults, "0 0 20 100 100 30\n");
        writeText(boundary, "5 5 0 95 5 0\n95 5 0 95 95 0\n95 95 0 5 95 0\n5 95 0 5 5 0\n");
        setSetting(L"ufaults", L"0");
        setSetting(L"ubound", L"0");
        c.arrange();
        EXPECT_EQ(run(c.answers, c.result == RTCAN ? L"cancel" : L"accept"), c.result);
        if (!c.alert.empty()) {
            EXPECT_EQ(alertTexts(), std::vector<std::string>{c.alert});
        }
        if (c.result == RTERROR) {
            EXPECT_FALSE(alertTexts().empty());
        }
        EXPECT_EQ(readText(sibling(".tin")), oldSurface);
        if (std::filesystem::is_directory(sibling(".ttin")))
            std::filesystem::remove_all(sibling(".ttin"));
        ::setenv("TEMP", tempDir().c_str(), 1);
        expectNoLeftovers(c.what);
    }
}

TEST_F(TriangulateCommand, TheBreakKeyAnywhereKeepsTheOldSurface) {
    const std::string oldSurface = "1 2 3 4 5 6 7 8 9\n";
    setSetting(L"ufaults", L"1");
    int broken = 0;
    for (int poll = 1; poll < 400; ++poll) {
        writeText(sibling(".tin"), oldSurface);
        standin::breakAfterPolls(poll);
        const int result = run();
        standin::breakAfterPolls(0);
        if (result == RTNORM) break;
        ++broken;
        EXPECT_EQ(result, RTCAN) << "break at poll " << poll;
        EXPECT_NE(capture.text().find("\n*Cancel*"), std::string::npos) << "poll " << poll;
        EXPECT_EQ(readText(sibling(".tin")), oldSurface) << "poll " << poll;
        expectNoLeftovers("break at poll " + std::to_string(poll));
    }
    // Every point of the triangulation and the fault are polled.
    EXPECT_GT(broken, 80);
    EXPECT_NE(readText(sibling(".tin")), oldSurface);
}

TEST_F(TriangulateCommand, CancellingChangesNoSettingAndNoFile) {
    writeText(sibling(".tin"), "old\n");
    const std::array<std::wstring, project::kSettingCount> before = project::state().values;
    EXPECT_EQ(run({{L"uelev", L"1"},
                   {L"mine", L"20"},
                   {L"ufaults", L"1"},
                   {L"fault_file", widePath(boundary)},
                   {L"ubound", L"1"},
                   {L"bound_file", widePath(faults)}},
                  L"cancel"),
              RTCAN);
    EXPECT_EQ(project::state().values, before);
    EXPECT_EQ(capture.text(), "");
    EXPECT_EQ(readText(sibling(".tin")), "old\n");
    expectNoLeftovers("cancelled");
    EXPECT_EQ(standin::loadedDialogFiles(), 0u);
}

TEST_F(TriangulateCommand, NoProjectIsRefusedBeforeTheDialog) {
    project::resetProjectState();
    EXPECT_EQ(run(), RTERROR);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"You must open a project first."});
    EXPECT_EQ(standin::pendingDialogAnswers(L"triangulate"), 1u);
    EXPECT_FALSE(std::filesystem::exists(sibling(".tin")));
}

TEST_F(TriangulateCommand, TheElevationLimitsShowThePointFileAtEveryOpening) {
    std::string drawn = typed("cancel\n");
    EXPECT_NE(drawn.find("[mine]: 5.0000  (disabled)"), std::string::npos) << drawn;
    EXPECT_NE(drawn.find("[maxe]: 60.0000  (disabled)"), std::string::npos) << drawn;

    // Limits typed and used: points outside them are left out.
    EXPECT_EQ(run({{L"uelev", L"1"}, {L"mine", L"20"}, {L"maxe", L"40"}}), RTNORM);
    const auto limited = testing::parseTriangles(readText(sibling(".tin")));
    for (const Triangle& t : limited)
        for (const Point3& c : t.corners) {
            EXPECT_GE(c.z, 20);
            EXPECT_LE(c.z, 40);
        }
    EXPECT_EQ(setting(L"uelev"), L"1");

    // The next opening shows the file's range again, enabled now, and a
    // point added since is in it.
    writeText(points, samplePoints() + "60.5 60.5 75.25\n");
    drawn = typed("cancel\n");
    EXPECT_NE(drawn.find("[mine]: 5.0000\n"), std::string::npos) << drawn;
    EXPECT_NE(drawn.find("[maxe]: 75.2500\n"), std::string::npos) << drawn;
    EXPECT_EQ(run(), RTNORM);
    const auto all = testing::parseTriangles(readText(sibling(".tin")));
    EXPECT_GT(all.size(), limited.size());

    // A limit that is not a number is put back, and accept waits for a good
    // one.
    drawn = typed("mine=low\nok\nmine=7\nok\n");
    const std::size_t complaint = drawn.find("error: Value must be numeric.");
    ASSERT_NE(complaint, std::string::npos) << drawn;
    const std::size_t shown = drawn.rfind("=== Triangulate ===", complaint);
    EXPECT_NE(drawn.substr(shown, complaint - shown).find("[mine]: 5.0000\n"), std::string::npos);
    EXPECT_EQ(lastResult, RTNORM);
}

TEST_F(TriangulateCommand, AMissingFileTypedIntoItsFieldIsReplacedByTheSettingAndBlocksAccept) {
    setSetting(L"ufaults", L"1");
    setSetting(L"ubound", L"1");
    const std::string missing = (dir() / "none.flt").string();
    // The redrawn dialog shows the complaint and the setting back in place.
    auto shownWith = [](const std::string& drawn, const std::string& complaint) {
        const std::size_t at = drawn.find("error: " + complaint);
        if (at == std::string::npos) return std::string();
        const std::size_t start = drawn.rfind("=== Triangulate ===", at);
        return drawn.substr(start, at - start);
    };
    std::string drawn = typed("fault_file=" + missing + "\nok\ncancel\n");
    std::string shown = shownWith(drawn, "Fault line file does not exist.\n");
    EXPECT_NE(shown.find("[fault_file]: " + faults.string() + "\n"), std::string::npos) << drawn;
    // The guarded accept kept the dialog open: the cancel ended it.
    EXPECT_EQ(lastResult, RTCAN);
    EXPECT_EQ(setting(L"dfaults"), widePath(faults));

    drawn = typed("bound_file=" + (dir() / "none.bnd").string() + "\ncancel\n");
    shown = shownWith(drawn, "Boundary/void file does not exist.\n");
    EXPECT_NE(shown.find("[bound_file]: " + boundary.string() + "\n"), std::string::npos) << drawn;

    // A later good field clears the complaint and accept goes through with
    // the field as it was put back.
    const auto other = dir() / "other.flt";
    writeText(other, "0 0 20 100 100 30\n");
    EXPECT_EQ(
        run({{L"fault_file", standin::fromUtf8(missing)}, {L"bound_file", widePath(boundary)}}),
        RTNORM);
    EXPECT_EQ(setting(L"dfaults"), widePath(faults));
    EXPECT_EQ(run({{L"fault_file", widePath(other)}}), RTNORM);
    EXPECT_EQ(setting(L"dfaults"), widePath(other));
    // An empty field is left alone and stored as it is.
    EXPECT_EQ(run({{L"ufaults", L"0"}, {L"bound_file", L""}, {L"ubound", L"0"}}), RTNORM);
    EXPECT_EQ(setting(L"dbndry"), L"");
}

// The browse buttons only fill their field; the checks run when a field
// loses the focus and again at OK.
TEST_F(TriangulateCommand, BrowsingOnlyFillsItsFieldAndOkChecksTheFieldsInUse) {
    const auto other = dir() / "other.flt";
    writeText(other, "0 0 20 100 100 30\n");
    // A good file browsed does not answer the complaint about another field.
    standin::queueFileAnswer(widePath(other));
    EXPECT_EQ(run({{L"uelev", L"1"}, {L"mine", L"low"}, {L"ufaults", L"1"}, {L"ffbrowse", L""}}),
              RTCAN);
    EXPECT_EQ(standin::pendingFileAnswers(), 0u);
    EXPECT_EQ(setting(L"dfaults"), widePath(faults)) << "the refused dialog changed nothing";

    // A missing file browsed is refused at OK, with the field's complaint.
    standin::queueFileAnswer(widePath(dir() / "none.flt"));
    std::string drawn = typed("ufaults=1\nffbrowse\nok\ncancel\n");
    EXPECT_NE(drawn.find("error: Fault line file does not exist.\n"), std::string::npos) << drawn;
    EXPECT_EQ(lastResult, RTCAN);

    // A bound never entered, left empty because the point file gave no
    // range, is no number: OK refuses it rather than filtering with 0.
    writeText(points, "");
    writeText(sibling(".tin"), "1 2 3 4 5 6 7 8 9\n");
    EXPECT_EQ(run({{L"uelev", L"1"}}), RTCAN);
    EXPECT_EQ(readText(sibling(".tin")), "1 2 3 4 5 6 7 8 9\n");
    EXPECT_EQ(setting(L"uelev"), L"0");
}

// Without the lock the build stops before any work file or output file is
// touched, and never goes on unlocked.
TEST_F(TriangulateCommand, ALockThatCannotBeTakenStopsBeforeAnyFileIsTouched) {
    std::filesystem::create_directory(tempDir() / "sortwk.lck");
    writeText(workFile(), "another build's points\n");
    writeText(sibling(".tin"), "1 2 3 4 5 6 7 8 9\n");
    EXPECT_EQ(run(), RTERROR);
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"Could not lock the sort work files with " +
                                                     (tempDir() / "sortwk.lck").string() +
                                                     ".  Command terminates.\n"});
    EXPECT_EQ(readText(workFile()), "another build's points\n");
    EXPECT_EQ(readText(sibling(".tin")), "1 2 3 4 5 6 7 8 9\n");
    EXPECT_FALSE(std::filesystem::exists(sibling(".ttin")));
    std::filesystem::remove(tempDir() / "sortwk.lck");
    std::filesystem::remove(workFile());
}

TEST_F(TriangulateCommand, TheTogglesEnableTheirTiles) {
    std::string drawn = typed("cancel\n");
    EXPECT_NE(drawn.find("[fault_file]: " + faults.string() + "  (disabled)"), std::string::npos)
        << drawn;
    EXPECT_NE(drawn.find("[bound_file]: " + boundary.string() + "  (disabled)"), std::string::npos);
    EXPECT_NE(drawn.find("[point_file]: " + points.string() + "  (disabled)"), std::string::npos);
    // dim2 and dim3 keep the dialog file's state until the toggle is used.
    EXPECT_EQ(drawn.find("[dim3]  (disabled)"), std::string::npos) << drawn;

    drawn = typed("ufaults=1\nubound=1\nuelev=1\ncancel\n");
    const std::size_t last = drawn.rfind("=== Triangulate ===");
    ASSERT_NE(last, std::string::npos);
    const std::string after = drawn.substr(last);
    EXPECT_NE(after.find("[fault_file]: " + faults.string() + "\n"), std::string::npos) << after;
    EXPECT_NE(after.find("[bound_file]: " + boundary.string() + "\n"), std::string::npos);
    EXPECT_NE(after.find("[mine]: 5.0000\n"), std::string::npos);
    drawn = typed("ufaults=1\nufaults=0\ncancel\n");
    EXPECT_NE(drawn.substr(drawn.rfind("=== Triangulate ===")).find("[dim3]  (disabled)"),
              std::string::npos);
}

} // namespace
} // namespace vog::surface
