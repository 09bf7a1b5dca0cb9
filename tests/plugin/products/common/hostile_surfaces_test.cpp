// The commands that read a triangle file (contours, showtin, rmesh, volumes)
// fed hostile surface files: valid variants are drawn or measured, the others
// are refused with a message naming the file and the line; always quickly,
// never leaving the drawing half changed by a refused file, and never
// touching the surface or the settings file.
#include "plugin/hostile_files.h"

#include "app/commands.h"
#include "host/standin.h"
#include "support/run_host.h"

#include "dcl/dialogs.h"

#include <chrono>
#include <cstdio>

namespace {

using namespace std::chrono_literals;
using vogtest::HostileFile;

#if defined(__SANITIZE_ADDRESS__)
constexpr auto kQuick = 100s;
#else
constexpr auto kQuick = 20s;
#endif

// A 2 x 2 grid of unit squares, two clockwise triangles each, heights x + y.
std::vector<std::string> siteTriangleRecords(double raise = 0) {
    std::vector<std::string> records;
    char text[256];
    auto add = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
        std::snprintf(text, sizeof text, "%g %g %g %g %g %g %g %g %g", x1, y1, x1 + y1 + raise, x2,
                      y2, x2 + y2 + raise, x3, y3, x3 + y3 + raise);
        records.push_back(text);
    };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            add(x, y, x, y + 1, x + 1, y);
            add(x + 1, y, x, y + 1, x + 1, y + 1);
        }
    return records;
}

std::string lines(const std::vector<std::string>& records) {
    std::string text;
    for (const std::string& r : records)
        text += r + "\n";
    return text;
}

// The commands end with RTNORM, or 0 like the inner steps.
bool succeeded(int result) {
    return result == RTNORM || result == 0;
}

struct Command {
    const char* name;
    int (*run)();
    const wchar_t* dialog;
};

class HostileSurfaces : public vogtest::HostileProjectTest {
  protected:
    // Runs the command on site.tin holding the bytes; the dialog accepted
    // with its values as they stand.
    int run(const Command& command, const std::string& bytes,
            std::chrono::steady_clock::duration& took) {
        write("site.tin", bytes);
        rememberProjectFiles();
        if (command.run == vog::volumesCommand) {
            write("raised.tin", lines(siteTriangleRecords(2)));
            standin::queueDialogAnswer(L"volumes", {{{L"exist_tin", widePath("site.tin")},
                                                     {L"proposed_tin", widePath("raised.tin")},
                                                     {L"vol_intrvl", L"0.25"}}});
        } else {
            standin::queueDialogAnswer(command.dialog, {});
        }
        return runCommand(command.run, took);
    }

    std::size_t liveEntities() const {
        std::size_t n = 0;
        for (const auto& e : standin::database().entities)
            if (!e.erased) ++n;
        return n;
    }
};

const Command kCommands[] = {{"contours", vog::contoursCommand, L"contours"},
                             {"showtin", vog::showtinCommand, L"showtin"},
                             {"rmesh", vog::rmeshCommand, L"mesh"},
                             {"volumes", vog::volumesCommand, L"volumes"}};

TEST_F(HostileSurfaces, EveryReaderOfTriangleFiles) {
    for (const Command& command : kCommands) {
        for (HostileFile file : vogtest::hostileVariants(siteTriangleRecords())) {
            const std::string label = std::string(command.name) + ", " + file.name;
            // A corner at 1e308 is read; what the command makes of it is
            // checked on its own below.
            if (file.name == "1e308") continue;
            std::chrono::steady_clock::duration took{};
            const int result = run(command, file.bytes, took);
            EXPECT_LT(took, kQuick) << label;
            EXPECT_NE(result, RTCAN) << label << ": did not end by itself";
            if (file.refusedLine) {
                EXPECT_EQ(result, RTERROR) << label;
                const std::wstring expected = L"Line " + std::to_wstring(file.refusedLine) +
                                              L" of " + widePath("site.tin") + L" is not";
                EXPECT_EQ(lastAlert().rfind(expected, 0), 0u)
                    << label << ": " << standin::toUtf8(lastAlert());
            } else if (file.name != "empty") {
                EXPECT_TRUE(succeeded(result)) << label << ": " << standin::toUtf8(lastAlert());
                EXPECT_TRUE(standin::alerts().empty())
                    << label << ": " << standin::toUtf8(lastAlert());
            }
            EXPECT_TRUE(projectFilesUnchanged()) << label;
        }
    }
}

TEST_F(HostileSurfaces, AnEmptySurfaceDrawsNothingAndMeasuresNothing) {
    for (const Command& command : kCommands) {
        standin::database().entities.clear();
        std::chrono::steady_clock::duration took{};
        const int result = run(command, "", took);
        EXPECT_LT(took, kQuick) << command.name;
        EXPECT_NE(result, RTCAN) << command.name;
        // Either a message or nothing to do, and nothing drawn but layers.
        for (const auto& e : standin::database().entities)
            EXPECT_TRUE(e.erased || e.type == L"LAYER")
                << command.name << " drew a " << standin::toUtf8(e.type);
        EXPECT_TRUE(projectFilesUnchanged()) << command.name;
    }
}

TEST_F(HostileSurfaces, CoordinatesBeyondEveryCapacity) {
    // One corner far out: contours would need about 1e308 levels, the mesh
    // and the volume grid about 1e616 cells. Each ends by itself, with a
    // message or a result, well before the break key would have to be used.
    std::vector<std::string> records = siteTriangleRecords();
    records.push_back("1e308 0 5 2 0 2 2 1 3");
    records.push_back("2 0 2 2 1 3 3 0 1e300");
    for (const Command& command : kCommands) {
        std::chrono::steady_clock::duration took{};
        const int result = run(command, lines(records), took);
        EXPECT_LT(took, kQuick) << command.name;
        EXPECT_NE(result, RTCAN) << command.name << ": did not end by itself";
        if (!succeeded(result)) {
            EXPECT_FALSE(lastAlert().empty()) << command.name << " failed without a message";
        }
        EXPECT_TRUE(projectFilesUnchanged()) << command.name;
    }
}

} // namespace
