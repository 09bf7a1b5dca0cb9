// The surface build fed hostile files: the point file, the sorted point file,
// the fault-line file and the boundary/void file, each spoiled in every way a
// file can be. Valid variants build a surface; the others are refused with a
// message naming the file and the line, quickly, and leave the project's
// surface and settings file as they were.
#include "plugin/hostile_files.h"

#include "app/commands.h"
#include "app/host_seam.h"
#include "host/standin.h"
#include "project/project_state.h"
#include "support/run_host.h"
#include "surface/triangulation.h"

#include "dcl/dialogs.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using vogtest::HostileFile;
using vogtest::hostileVariants;

// How long any one hostile build may take; the sanitizer build runs several
// times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr auto kQuick = 100s;
#else
constexpr auto kQuick = 20s;
#endif

class HostileSurfaceInputs : public vogtest::HostileProjectTest {
  protected:
    // Builds the surface with the settings as they are, the dialog accepted.
    int triangulate(std::chrono::steady_clock::duration& took) {
        standin::queueDialogAnswer(L"triangulate", {});
        return runCommand(vog::triangulateCommand, took);
    }

    // A refused build: an alert "Line N of <file> ..." and nothing replaced.
    void expectRefused(const HostileFile& file, const std::string& name, int result) {
        EXPECT_EQ(result, RTERROR) << file.name;
        const std::wstring expected =
            L"Line " + std::to_wstring(file.refusedLine) + L" of " + widePath(name) + L" is not";
        EXPECT_EQ(lastAlert().rfind(expected, 0), 0u)
            << file.name << ": " << standin::toUtf8(lastAlert());
        EXPECT_TRUE(projectFilesUnchanged()) << file.name;
        EXPECT_FALSE(std::filesystem::exists(path("site.tin.tmp"))) << file.name;
    }

    // A built surface: no alert, a new site.tin of whole triangle lines.
    void expectBuilt(const HostileFile& file, int result) {
        EXPECT_EQ(result, RTNORM) << file.name << ": " << standin::toUtf8(lastAlert());
        EXPECT_TRUE(standin::alerts().empty()) << file.name << ": " << standin::toUtf8(lastAlert());
        const std::string surface = contents("site.tin").value_or("");
        EXPECT_NE(surface, savedSurface.value_or("")) << file.name;
        EXPECT_FALSE(surface.empty()) << file.name;
        EXPECT_EQ(surface.back(), '\n') << file.name;
    }

    // The surface the well-formed file gives; the old surface is put back.
    std::string wellFormedSurface(const std::string& name,
                                  const std::vector<std::string>& records) {
        std::string lines;
        for (const std::string& r : records)
            lines += r + "\n";
        write(name, lines);
        std::chrono::steady_clock::duration took{};
        EXPECT_EQ(triangulate(took), RTNORM) << standin::toUtf8(lastAlert());
        const std::string surface = contents("site.tin").value_or("");
        write("site.tin", savedSurface.value());
        return surface;
    }

    // A file the user prepared whose last line has no line end gives the
    // surface of the whole file: its last record counts.
    void expectLastRecordUsed(const HostileFile& file, const std::string& expected) {
        if (file.name == "no line end at the end") {
            EXPECT_EQ(contents("site.tin").value_or(""), expected) << file.name;
        }
    }

    // A build that keeps no triangle: done, with an empty surface that the
    // products report as having no triangles.
    void expectEmptySurface(const std::string& name, int result) {
        EXPECT_EQ(result, RTNORM) << name << ": " << standin::toUtf8(lastAlert());
        EXPECT_EQ(contents("site.tin").value_or("missing"), "") << name;
        EXPECT_FALSE(std::filesystem::exists(path("site.tin.tmp"))) << name;
    }
};

TEST_F(HostileSurfaceInputs, PointFiles) {
    const std::string whole = wellFormedSurface("site.xyz", vogtest::sitePointRecords());
    for (HostileFile file : hostileVariants(vogtest::sitePointRecords())) {
        // A coordinate of 1e308 is beyond what a surface can be built on.
        if (file.name == "1e308") file.refusedLine = 2;
        write("site.xyz", file.bytes);
        std::chrono::steady_clock::duration took{};
        const int result = triangulate(took);
        EXPECT_LT(took, kQuick) << file.name;
        if (file.name == "empty") {
            // No point: an empty surface.
            expectEmptySurface(file.name, result);
        } else if (file.refusedLine) {
            expectRefused(file, "site.xyz", result);
        } else {
            expectBuilt(file, result);
            expectLastRecordUsed(file, whole);
        }
        write("site.tin", savedSurface.value());
        // Nothing is left in TEMP but the lock file.
        for (const auto& entry : std::filesystem::directory_iterator(path("temp")))
            EXPECT_EQ(entry.path().filename(), "sortwk.lck") << file.name;
    }
}

TEST_F(HostileSurfaceInputs, AMillionCopiesOfOnePointMakeNoSurfaceQuickly) {
    std::string copies;
    for (int i = 0; i < 1'000'000; ++i)
        copies += "1234.5 678.25 10.125\n";
    write("site.xyz", copies);
    std::chrono::steady_clock::duration took{};
    expectEmptySurface("a million copies", triangulate(took));
    EXPECT_LT(took, kQuick);
}

TEST_F(HostileSurfaceInputs, FewerThanThreeUsablePointsGiveAnEmptySurface) {
    for (const char* points : {"5 5 1\n", "5 5 1\n6 6 2\n", "0 0 0\n1 1 1\n2 2 2\n3 3 3\n"}) {
        write("site.xyz", points);
        std::chrono::steady_clock::duration took{};
        expectEmptySurface(points, triangulate(took));
        write("site.tin", savedSurface.value());
    }
}

// The sorted point file is the plug-in's own, but a damaged one (a full disk,
// another program in TEMP) must be refused, not triangulated.
TEST_F(HostileSurfaceInputs, SortedPointFiles) {
    std::vector<std::string> records = {"0 0 0", "3 3 6"};
    for (const std::string& r : vogtest::sitePointRecords())
        records.push_back(r);
    for (HostileFile file : hostileVariants(records)) {
        if (file.name == "1e308") file.refusedLine = 2;
        write("temp/sorted.txt", file.bytes);
        standin::clearAlerts();
        const auto started = std::chrono::steady_clock::now();
        const vog::Status result = vog::surface::triangulateSortedPoints(
            widePath("site.xyz"), widePath("temp/sorted.txt"), vog::app::hostSeam());
        EXPECT_LT(std::chrono::steady_clock::now() - started, kQuick) << file.name;
        if (file.refusedLine) {
            EXPECT_EQ(result, vog::Status::failed) << file.name;
            const std::wstring expected = L"Line " + std::to_wstring(file.refusedLine) + L" of " +
                                          widePath("temp/sorted.txt") + L" is not";
            EXPECT_EQ(lastAlert().rfind(expected, 0), 0u)
                << file.name << ": " << standin::toUtf8(lastAlert());
        } else {
            EXPECT_EQ(result, vog::Status::ok) << file.name << ": " << standin::toUtf8(lastAlert());
            EXPECT_TRUE(standin::alerts().empty()) << file.name;
        }
        EXPECT_TRUE(projectFilesUnchanged()) << file.name;
    }
}

TEST_F(HostileSurfaceInputs, FaultLineFiles) {
    // Two faults across the site and one along its edge, in 3-D.
    const std::vector<std::string> faults = {"0 0.5 0.5 3 0.5 3.5", "0.5 3 3 2.5 0 2.5",
                                             "1 1 2 2 2 4"};
    vog::project::setSetting(L"ufaults", L"1");
    vog::project::setSetting(L"dimfaults", L"3");
    vog::project::setSetting(L"dfaults", widePath("faults.txt"));
    const std::string whole = wellFormedSurface("faults.txt", faults);
    for (const HostileFile& file : hostileVariants(faults)) {
        write("faults.txt", file.bytes);
        std::chrono::steady_clock::duration took{};
        const int result = triangulate(took);
        EXPECT_LT(took, kQuick) << file.name;
        // An empty fault file applies no fault; a fault out at 1e308 meets no
        // triangle and is skipped.
        if (file.refusedLine) {
            expectRefused(file, "faults.txt", result);
        } else {
            expectBuilt(file, result);
            expectLastRecordUsed(file, whole);
        }
        write("site.tin", savedSurface.value());
        EXPECT_FALSE(std::filesystem::exists(path("site.ttin"))) << file.name;
        EXPECT_FALSE(std::filesystem::exists(path("site.ftin"))) << file.name;
    }
}

TEST_F(HostileSurfaceInputs, BoundaryFiles) {
    // A boundary around the middle of the site, then a void inside it.
    const std::vector<std::string> boundary = {
        "0 0.5 0 2.5 0.5 0", "2.5 0.5 0 2.5 2.5 0", "2.5 2.5 0 0.5 2.5 0", "0.5 2.5 0 0.5 0.5 0",
        "1 1 0 1.2 1 0",     "1.2 1 0 1.2 1.2 0",   "1.2 1.2 0 1 1 0"};
    vog::project::setSetting(L"ubound", L"1");
    vog::project::setSetting(L"dbndry", widePath("boundary.txt"));
    const std::string whole = wellFormedSurface("boundary.txt", boundary);
    for (const HostileFile& file : hostileVariants(boundary)) {
        write("boundary.txt", file.bytes);
        std::chrono::steady_clock::duration took{};
        const int result = triangulate(took);
        EXPECT_LT(took, kQuick) << file.name;
        if (file.name == "empty") {
            // No boundary keeps no triangle: an empty surface.
            expectEmptySurface(file.name, result);
        } else if (file.refusedLine) {
            expectRefused(file, "boundary.txt", result);
        } else {
            expectBuilt(file, result);
            expectLastRecordUsed(file, whole);
        }
        write("site.tin", savedSurface.value());
        EXPECT_FALSE(std::filesystem::exists(path("site.ftin"))) << file.name;
    }
}

// A point, fault-line or boundary file that is a folder, a FIFO or a file
// whose read fails: refused as a file that cannot be opened, at once (a FIFO
// without a writer keeps nothing waiting), and nothing is replaced.
TEST_F(HostileSurfaceInputs, PathsThatAreNotReadableFilesReplaceNothing) {
    const std::string points = contents("site.xyz").value();
    auto make = [&](const std::string& name, const std::string& kind) {
        std::filesystem::remove(path(name));
        if (kind == "folder")
            std::filesystem::create_directory(path(name));
        else if (kind == "FIFO")
            ASSERT_EQ(::mkfifo(path(name).c_str(), 0600), 0);
        else
            std::filesystem::create_symlink("/proc/self/mem", path(name));
    };
    for (const std::string kind : {"folder", "FIFO", "failing read"}) {
        for (const std::string name : {"site.xyz", "faults.txt", "boundary.txt"}) {
            SCOPED_TRACE(name + " is a " + kind);
            write("faults.txt", "0 0.5 0.5 3 0.5 3.5\n");
            write("boundary.txt", "0 0 0 3 0 0\n3 0 0 3 3 0\n3 3 0 0 0 0\n");
            vog::project::setSetting(L"ufaults", name == "faults.txt" ? L"1" : L"0");
            vog::project::setSetting(L"ubound", name == "boundary.txt" ? L"1" : L"0");
            vog::project::setSetting(L"dfaults", widePath("faults.txt"));
            vog::project::setSetting(L"dbndry", widePath("boundary.txt"));
            make(name, kind);
            // Should an open wait for a writer of the FIFO, one comes.
            std::thread writer([&] {
                std::this_thread::sleep_for(3s);
                const int handle = ::open(path(name).c_str(), O_WRONLY | O_NONBLOCK);
                if (handle >= 0) ::close(handle);
            });
            std::chrono::steady_clock::duration took{};
            const int result = triangulate(took);
            writer.join();
            EXPECT_LT(took, 2s);
            EXPECT_NE(result, RTNORM);
            EXPECT_TRUE(projectFilesUnchanged());
            EXPECT_FALSE(std::filesystem::exists(path("site.tin.tmp")));
            // The dialog refuses a fault or boundary file that is no file; a
            // read that fails is the open failure of the step.
            if (name == "site.xyz")
                EXPECT_EQ(lastAlert(), L"Could not open point file for reading.  Command "
                                       L"terminates.\n");
            else if (kind == "failing read")
                EXPECT_EQ(lastAlert(), name == "faults.txt" ? L"Error opening fault line file.\n"
                                                            : L"Could not open boundary file.");
            else
                EXPECT_EQ(result, RTCAN);
            std::filesystem::remove(path(name));
            write("site.xyz", points);
        }
    }
}

// The contours command on a surface whose read fails: the open failure,
// and the contours it would redraw are not erased.
TEST_F(HostileSurfaceInputs, ContoursOfAnUnreadableSurfaceEraseNothing) {
    ads_point a = {0, 0, 0}, b = {1, 1, 0};
    resbuf* line = acutBuildList(RTDXF0, L"LINE", 8, L"KT_Regcontours", 10, a, 11, b, RTNONE);
    acdbEntMake(line);
    acutRelRb(line);
    std::filesystem::remove(path("site.tin"));
    std::filesystem::create_symlink("/proc/self/mem", path("site.tin"));
    standin::queueDialogAnswer(L"contours", {});
    std::chrono::steady_clock::duration took{};
    EXPECT_EQ(runCommand(vog::contoursCommand, took), RTERROR);
    EXPECT_EQ(standin::alerts(),
              std::vector<std::wstring>{L"Could not open triangle file.  Command terminates.\n"});
    EXPECT_EQ(standin::pendingDialogAnswers(L"contours"), 1u) << "no dialog was shown";
    std::size_t live = 0;
    for (const standin::Entity& e : standin::database().entities)
        if (!e.erased && !e.subentity && e.layer == L"KT_Regcontours") ++live;
    EXPECT_EQ(live, 1u);
    std::filesystem::remove(path("site.tin"));
}

} // namespace
