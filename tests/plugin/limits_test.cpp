// Inputs at and beyond the sizes the commands are built for: long paths,
// values longer than their settings, many fault lines and boundary
// segments, a million contour levels and grids of 10^8 cells. Each works or
// is refused with a message, within seconds; long runs stop on the break key.
#include "plugin/hostile_files.h"

#include "app/commands.h"
#include "app/host_seam.h"
#include "host/standin.h"
#include "project/project_state.h"
#include "project/settings_file.h"
#include "support/run_host.h"

#include "dcl/dialogs.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

#if defined(__SANITIZE_ADDRESS__)
constexpr auto kQuick = 100s;
#else
constexpr auto kQuick = 20s;
#endif

std::string number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

class Limits : public vogtest::HostileProjectTest {
  protected:
    // A square grid of n x n points, spacing 1, heights scaled by rise.
    void gridPoints(int n, double rise = 1) {
        std::string text;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                text += std::to_string(x) + " " + std::to_string(y) + " " +
                        number(rise * (x + y) + 0.01 * ((x * 7 + y * 3) % 5)) + "\n";
        write("site.xyz", text);
    }

    int build() {
        standin::queueDialogAnswer(L"triangulate", {});
        return runCommand(vog::triangulateCommand, took);
    }

    std::size_t liveOfType(const std::wstring& type) const {
        std::size_t n = 0;
        for (const auto& e : standin::database().entities)
            if (!e.erased && e.type == type) ++n;
        return n;
    }

    std::chrono::steady_clock::duration took{};
};

TEST_F(Limits, PathsOf512CharactersAndMore) {
    // Folders nested until the point file's path is over 600 characters.
    std::string deep = folder;
    while (deep.size() < 600)
        deep += "/" + std::string(60, 'd');
    fs::create_directories(deep);
    const std::string pointFile = deep + "/site.xyz";
    vogtest::writeFile(pointFile, vogtest::readFile(path("site.xyz")));
    standin::clearAlerts();
    call(L"lvogopen", {standin::fromUtf8(pointFile)});
    // Cut to its setting's capacity the path would name another file: it is
    // refused, and the open project stays as it was.
    EXPECT_EQ(lastAlert().rfind(L"Point file path is longer than 511 characters: ", 0), 0u)
        << standin::toUtf8(lastAlert());
    EXPECT_EQ(vog::project::setting(L"dpoints"), widePath("site.xyz"));
    EXPECT_TRUE(projectFilesUnchanged());
    EXPECT_FALSE(fs::exists(deep + "/site.set"));
    // A path of 511 characters is taken whole and the surface built beside it.
    std::string fits = folder;
    while (fits.size() + 61 + 10 < 511)
        fits += "/" + std::string(60, 'f');
    fs::create_directories(fits);
    fits += "/";
    fits += std::string(511 - fits.size() - 4, 'p') + ".xyz";
    ASSERT_EQ(fits.size(), 511u);
    vogtest::writeFile(fits, vogtest::readFile(path("site.xyz")));
    call(L"lvogopen", {standin::fromUtf8(fits)});
    EXPECT_EQ(vog::project::setting(L"dpoints"), standin::fromUtf8(fits));
    EXPECT_EQ(build(), RTNORM) << standin::toUtf8(lastAlert());
    EXPECT_TRUE(fs::exists(fits.substr(0, fits.size() - 4) + ".tin"));
    // A fault file path as long, through the settings.
    vog::project::setSetting(L"ufaults", L"1");
    vog::project::setSetting(L"dfaults", standin::fromUtf8(deep + "/faults.txt"));
    vogtest::writeFile(deep + "/faults.txt", "0.5 0.5 0 2.5 2.5 0\n");
    const int result = build();
    // A path longer than the dialog's field is cut there and refused by the
    // field's check at OK, which keeps the dialog open.
    EXPECT_TRUE(result == RTNORM || result == RTCAN || !lastAlert().empty()) << result;
    EXPECT_LT(took, kQuick);
}

TEST_F(Limits, ValuesLongerThanEverySetting) {
    const std::wstring huge(100000, L'7');
    const std::vector<std::wstring> before = strings(call(L"vogvar"));
    for (const wchar_t* key : {L"dfaults", L"dbndry", L"ufaults", L"dimfaults", L"dci", L"dcln",
                               L"dxi", L"dcround", L"dmln"})
        call(L"vogset", {key, huge});
    const std::vector<std::wstring> after = strings(call(L"vogvar"));
    ASSERT_EQ(after.size(), before.size());
    for (const std::wstring& value : after)
        EXPECT_LE(value.size(), 512u);
    // The settings file takes them and reads back the same.
    EXPECT_EQ(vog::project::saveSettings(vog::app::hostSeam().messages), vog::Status::ok);
    call(L"lvogopen", {widePath("site.xyz")});
    EXPECT_EQ(strings(call(L"vogvar")), after);
}

TEST_F(Limits, TenThousandFaultLines) {
    gridPoints(40);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> at(0.5, 38.5);
    std::uniform_real_distribution<double> step(-1.5, 1.5);
    std::string faults;
    for (int i = 0; i < 10000; ++i) {
        const double x = at(random), y = at(random);
        faults += number(x) + " " + number(y) + " 0 " + number(x + step(random)) + " " +
                  number(y + step(random)) + " 0\n";
    }
    write("faults.txt", faults);
    vog::project::setSetting(L"ufaults", L"1");
    vog::project::setSetting(L"dimfaults", L"3");
    vog::project::setSetting(L"dfaults", widePath("faults.txt"));
    EXPECT_EQ(build(), RTNORM) << standin::toUtf8(lastAlert());
    EXPECT_LT(took, kQuick);
    EXPECT_NE(contents("site.tin"), savedSurface);
}

TEST_F(Limits, AHundredThousandBoundarySegments) {
    gridPoints(10);
    // A circle of 100,000 sides inside the site.
    std::string boundary;
    const int sides = 100000;
    auto corner = [&](int i) {
        const double a = 2 * M_PI * (i % sides) / sides;
        return number(4.5 + 4 * std::cos(a)) + " " + number(4.5 + 4 * std::sin(a)) + " 0";
    };
    for (int i = 0; i < sides; ++i)
        boundary += corner(i) + " " + corner(i + 1) + "\n";
    write("boundary.txt", boundary);
    vog::project::setSetting(L"ubound", L"1");
    vog::project::setSetting(L"dbndry", widePath("boundary.txt"));
    EXPECT_EQ(build(), RTNORM) << standin::toUtf8(lastAlert());
    EXPECT_LT(took, kQuick);
    // The triangles well inside the circle are kept.
    const std::string surface = contents("site.tin").value_or("");
    EXPECT_GT(std::count(surface.begin(), surface.end(), '\n'), 60);
}

TEST_F(Limits, AMillionContourLevelsStopOnTheBreakKey) {
    gridPoints(4, 1000.0 / 6); // heights 0 to 1000
    ASSERT_EQ(build(), RTNORM) << standin::toUtf8(lastAlert());
    // 990,100 levels: just within the most a run traces.
    vog::project::setSetting(L"dci", L"0.00101");
    vog::project::setSetting(L"dii", L"1");
    standin::queueDialogAnswer(L"contours", {});
    standin::clearAlerts();
    standin::breakAfterPolls(2000);
    const auto started = std::chrono::steady_clock::now();
    const int result = vog::contoursCommand();
    const auto elapsed = std::chrono::steady_clock::now() - started;
    standin::breakAfterPolls(0);
    EXPECT_EQ(result, RTCAN);
    EXPECT_LT(elapsed, kQuick);
    // The levels before the break stay drawn.
    EXPECT_GT(liveOfType(L"POLYLINE"), 100u);
    EXPECT_TRUE(standin::alerts().empty());
}

// A surface one triangle wide whose heights span 2e15: at interval 1 the run
// would not end, each level drawing a polyline. More than a million levels
// are refused with their count, before the contour layers are erased.
TEST_F(Limits, MoreThanAMillionContourLevelsAreRefusedBeforeAnythingIsErased) {
    write("site.xyz", "0 0 -1000000000000000\n10 0 0\n0 10 1000000000000000\n");
    ASSERT_EQ(build(), RTNORM) << standin::toUtf8(lastAlert());
    vog::project::setSetting(L"dci", L"1000000000000");
    standin::queueDialogAnswer(L"contours", {{{L"start", L"-1e15"}, {L"end", L"1e15"}}});
    ASSERT_EQ(runCommand(vog::contoursCommand, took), RTNORM) << standin::toUtf8(lastAlert());
    const std::size_t drawn = liveOfType(L"POLYLINE");
    ASSERT_GT(drawn, 1000u);

    vog::project::setSetting(L"dci", L"1");
    standin::queueDialogAnswer(L"contours", {{{L"start", L"-1e15"}, {L"end", L"1e15"}}});
    standin::clearAlerts();
    EXPECT_EQ(runCommand(vog::contoursCommand, took), RTERROR);
    EXPECT_LT(took, kQuick);
    EXPECT_EQ(standin::toUtf8(lastAlert()),
              "Contour interval is too small for the start and end heights: the contours would "
              "have 2000000000000002 levels, more than 1000000.");
    EXPECT_EQ(liveOfType(L"POLYLINE"), drawn) << "the earlier contours stay";

    // Exactly a million levels is traced: heights 0 to 999,999 at interval 1
    // give levels 0 to 1,000,000, one too many; 0 to 999,998 give a million.
    write("site.xyz", "0 0 0\n10 0 500000\n0 10 999998\n");
    ASSERT_EQ(build(), RTNORM) << standin::toUtf8(lastAlert());
    standin::queueDialogAnswer(L"contours", {});
    standin::breakAfterPolls(10);
    const int traced = vog::contoursCommand();
    standin::breakAfterPolls(0);
    EXPECT_EQ(traced, RTCAN) << standin::toUtf8(lastAlert());
}

TEST_F(Limits, AMeshOf10To8CellsIsRefusedBeforeDrawing) {
    ASSERT_EQ(build(), RTNORM);
    const std::size_t entities = standin::database().entities.size();
    // The site is 3 x 3: 10,000 x 10,000 cells.
    standin::queueDialogAnswer(L"mesh", {{{L"dxi", L"0.0003"}}});
    const int result = runCommand(vog::rmeshCommand, took);
    EXPECT_EQ(result, RTERROR);
    EXPECT_LT(took, kQuick);
    EXPECT_NE(lastAlert().find(L"too small"), std::wstring::npos) << standin::toUtf8(lastAlert());
    EXPECT_EQ(standin::database().entities.size(), entities);
    // A finer grid that stays within the limit is drawn: 300 x 300 cells.
    standin::queueDialogAnswer(L"mesh", {{{L"dxi", L"0.01"}}});
    EXPECT_EQ(runCommand(vog::rmeshCommand, took), 0) << standin::toUtf8(lastAlert());
    EXPECT_GT(liveOfType(L"VERTEX"), 180'000u);
}

TEST_F(Limits, AVolumeGridOf10To8CellsStopsOnTheBreakKey) {
    ASSERT_EQ(build(), RTNORM);
    write("raised.tin", contents("site.tin").value());
    standin::queueDialogAnswer(L"volumes", {{{L"exist_tin", widePath("site.tin")},
                                             {L"proposed_tin", widePath("raised.tin")},
                                             {L"vol_intrvl", L"0.0003"}}});
    standin::clearAlerts();
    capture.clear();
    standin::breakAfterPolls(50);
    const auto started = std::chrono::steady_clock::now();
    const int result = vog::volumesCommand();
    const auto elapsed = std::chrono::steady_clock::now() - started;
    standin::breakAfterPolls(0);
    EXPECT_EQ(result, RTCAN);
    EXPECT_LT(elapsed, kQuick);
    EXPECT_EQ(capture.text().find("Cut="), std::string::npos);
}

} // namespace
