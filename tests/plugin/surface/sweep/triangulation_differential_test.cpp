// The fast point preparation and triangulation against their plain forms:
// the same sorted point file and the same ".ttin", byte for byte, the same
// messages, on point sets that stress the sort, the duplicate removal, the
// retirement order and the cavity search.
#include "app/host_seam.h"
#include "host/standin.h"
#include "host_api.h"
#include "plugin/surface/surface_test_support.h"
#include "reference/surface/point_preparation_reference.h"
#include "reference/surface/triangulation_reference.h"
#include "support/differential.h"
#include "support/exact_arithmetic.h"
#include "support/generators.h"
#include "surface/prepare/point_preparation.h"
#include "surface/triangulation.h"

#include <filesystem>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;
using testing::writeText;
using vogtest::PointSet;
using vogtest::Yields;

// One run of a version: its files in a folder of its own, and what it said.
struct VersionRun {
    int prepared = 0;
    int triangulated = 0;
    std::string sorted;
    std::string work;
    std::string raw;
    std::vector<std::wstring> alerts;
};

class TriangulationDifferential : public SurfaceFixture {
  protected:
    VersionRun run(bool reference, const std::string& pointText, bool useLimits = false,
                   const std::wstring& mine = L"0", const std::wstring& maxe = L"0") {
        const std::filesystem::path folder = dir() / (reference ? "plain" : "fast");
        // Nothing of an earlier case may pass for this one's output.
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        writeText(folder / "points.txt", pointText);
        const SortWorkFiles files{widePath(folder / "sortwk1.txt"),
                                  widePath(folder / "sortwk2.txt")};
        const std::wstring pointFile = widePath(folder / "points.txt");
        standin::resetHost();
        VersionRun r;
        r.prepared =
            reference
                ? vogref::surface::preparePoints(pointFile, useLimits, mine, maxe, files)
                : testing::resultCode(preparePoints(pointFile,
                                                    testing::elevationLimits(useLimits, mine, maxe),
                                                    files, app::hostSeam()),
                                      RTNORM);
        if (r.prepared == RTNORM)
            r.triangulated =
                reference
                    ? vogref::surface::triangulateSortedPoints(pointFile, files.sortedPointFile)
                    : testing::resultCode(triangulateSortedPoints(pointFile, files.sortedPointFile,
                                                                  app::hostSeam()));
        r.sorted = readText(folder / "sortwk2.txt");
        r.work = readText(folder / "sortwk1.txt");
        r.raw = readText(folder / "points.ttin");
        // The messages name the version's folder.
        for (const std::wstring& alert : standin::alerts()) {
            std::wstring text = alert;
            for (std::size_t at; (at = text.find(L"/plain/")) != std::wstring::npos;)
                text.replace(at, 7, L"/fast/");
            r.alerts.push_back(text);
        }
        return r;
    }

    // Both versions on the text; they must agree in every file and message.
    void compare(const std::string& label, const std::string& pointText, bool useLimits = false,
                 const std::wstring& mine = L"0", const std::wstring& maxe = L"0",
                 Yields triangles = Yields::something, Yields work = Yields::something,
                 Yields sorted = Yields::something) {
        const VersionRun plain = run(true, pointText, useLimits, mine, maxe);
        const VersionRun fast = run(false, pointText, useLimits, mine, maxe);
        EXPECT_EQ(fast.prepared, plain.prepared) << label;
        EXPECT_EQ(fast.triangulated, plain.triangulated) << label;
        EXPECT_EQ(fast.alerts, plain.alerts) << label;
        EXPECT_TRUE(vogtest::sameOutput(plain.sorted, fast.sorted, sorted))
            << label << ": sorted point files";
        EXPECT_TRUE(vogtest::sameOutput(plain.work, fast.work, work)) << label << ": work files";
        EXPECT_TRUE(vogtest::sameOutput(plain.raw, fast.raw, triangles))
            << label << ": triangle files";
    }

    // The triangulation alone on a sorted point file written as given.
    void compareTriangulation(const std::string& label, const std::string& sortedText,
                              Yields yields = Yields::something) {
        std::string files[2];
        std::vector<std::wstring> alerts[2];
        int results[2];
        for (int reference = 0; reference < 2; ++reference) {
            const std::filesystem::path folder = dir() / (reference ? "plain" : "fast");
            std::filesystem::create_directories(folder);
            std::filesystem::remove(folder / "points.ttin");
            writeText(folder / "sorted.txt", sortedText);
            standin::resetHost();
            const std::wstring pointFile = widePath(folder / "points.txt");
            const std::wstring sortedFile = widePath(folder / "sorted.txt");
            results[reference] =
                reference ? vogref::surface::triangulateSortedPoints(pointFile, sortedFile)
                          : testing::resultCode(
                                triangulateSortedPoints(pointFile, sortedFile, app::hostSeam()));
            files[reference] = readText(folder / "points.ttin");
            alerts[reference] = standin::alerts();
        }
        EXPECT_EQ(results[0], results[1]) << label;
        EXPECT_EQ(alerts[0], alerts[1]) << label;
        EXPECT_TRUE(vogtest::sameOutput(files[1], files[0], yields)) << label << ": triangle files";
    }
};

TEST_F(TriangulationDifferential, EveryPointSetGivesTheSameFiles) {
    for (const PointSet& set : vogtest::differentialPointSets()) {
        // Points all on one line make no triangle.
        compare(set.name, testing::pointLines(set.points), false, L"0", L"0",
                vogtest::allOnOneLine(set.points) ? Yields::nothing : Yields::something);
        ASSERT_FALSE(HasFailure()) << set.name;
    }
}

TEST_F(TriangulationDifferential, ElevationLimitsAndFirstPointRules) {
    std::vector<Point3> points = vogtest::repeatedPoints(800, 21);
    compare("limits 1 to 2", testing::pointLines(points), true, L"1", L"2");
    compare("limits that keep nothing", testing::pointLines(points), true, L"5", L"4",
            Yields::nothing, Yields::nothing);
    // The first point of the file survives its group even with a higher z.
    points.insert(points.begin(), Point3{0.5, 0.25, 3});
    compare("first point first", testing::pointLines(points));
    compare("one point", "5 5 5\n", false, L"0", L"0", Yields::nothing);
    compare("no point", "", false, L"0", L"0", Yields::nothing, Yields::nothing);
    compare("last line without line end", "1 1 1\n2 3 4\n5 1 2\n4 4 4");
}

TEST_F(TriangulationDifferential, NumbersAsUsersWriteThem) {
    // Signs, exponents, more decimals than the files keep, negative zero,
    // tabs and carriage returns.
    compare("notations", "1e2 -0.0000001 5\r\n+3.14159265\t2.5e-1 -0\n-0 0 7\n"
                         "0.0000005 1.0000005 2.0000015\n100.0000004 -3 1\n7 7 -7\n");
    // Refused: no file is written.
    compare("not a number", "1 2 3\n4 five 6\n", false, L"0", L"0", Yields::nothing,
            Yields::nothing, Yields::nothing);
}

TEST_F(TriangulationDifferential, SortedFilesOutOfOrderAndRepeated) {
    // The triangulation reads any file; the fast one must not rely on the
    // order the preparation gives.
    std::mt19937 random(31);
    std::vector<Point3> points = vogtest::scatteredPoints(400, 32);
    std::string text = "1000 2000 90\n1500 2300 110\n" + testing::pointLines(points);
    compareTriangulation("scattered, file order", text);
    std::vector<Point3> repeated = points;
    repeated.insert(repeated.end(), points.begin(), points.begin() + 50);
    std::shuffle(repeated.begin(), repeated.end(), random);
    compareTriangulation("repeated, file order",
                         "1000 2000 90\n1500 2300 110\n" + testing::pointLines(repeated));
    // A header that does not enclose the points.
    compareTriangulation("small header",
                         "1200 2100 0\n1201 2101 0\n" + testing::pointLines(points));
    // Every point on one line, and every point at one place.
    // None of them makes a triangle.
    compareTriangulation("collinear", "0 0 0\n10 10 0\n0 0 0\n1 1 0\n2 2 0\n3 3 0\n10 10 0\n",
                         Yields::nothing);
    compareTriangulation("one place", "0 0 0\n0 0 0\n0 0 0\n0 0 0\n", Yields::nothing);
    // Zero at the enclosing corner's height at the centre of a flat box.
    compareTriangulation("point on a corner", "5 5 0\n5 5 0\n5 5 0\n", Yields::nothing);
}

TEST_F(TriangulationDifferential, TheBreakKeyStopsAtTheSamePoint) {
    // A sorted point file that claims few points cannot be made to overrun
    // the limit: the limit counts the points read. Grid points make the
    // largest cavities; both versions must stop at the same point.
    const std::string grid = testing::pointLines(vogtest::gridPoints(20, 20, 0));
    for (int polls : {1, 2, 57, 400}) {
        std::string files[2];
        int results[2];
        for (int reference = 0; reference < 2; ++reference) {
            const std::filesystem::path folder = dir() / (reference ? "plain" : "fast");
            std::filesystem::create_directories(folder);
            std::filesystem::remove(folder / "points.ttin");
            writeText(folder / "sorted.txt", "500 700 0\n519 719 10\n" + grid);
            standin::resetHost();
            standin::breakAfterPolls(polls);
            const std::wstring pointFile = widePath(folder / "points.txt");
            const std::wstring sortedFile = widePath(folder / "sorted.txt");
            results[reference] =
                reference ? vogref::surface::triangulateSortedPoints(pointFile, sortedFile)
                          : testing::resultCode(
                                triangulateSortedPoints(pointFile, sortedFile, app::hostSeam()));
            files[reference] = readText(folder / "points.ttin");
            standin::breakAfterPolls(0);
        }
        EXPECT_EQ(results[0], results[1]) << polls;
        // Stopped, the triangle file is left empty.
        EXPECT_TRUE(vogtest::sameOutput(files[1], files[0], Yields::nothing)) << polls;
    }
}

} // namespace
} // namespace vog::surface
