// The in-memory sort, point preparation (sorting through the work files, the
// elevation filter, duplicate removal, the header) and the elevation range.
#include "app/host_seam.h"
#include "geometry/point_order.h"
#include "host_api.h"
#include "plugin/surface/delaunay_reference.h"
#include "plugin/surface/surface_test_support.h"
#include "surface/files/sort_work_files.h"
#include "surface/prepare/elevation_range.h"
#include "surface/prepare/point_preparation.h"
#include "surface/prepare/point_sort.h"
#include "surface/triangulate_dialog.h"
#include "surface/triangulation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;

bool sameBits(const Point3& a, const Point3& b) {
    return a == b && std::signbit(a.x) == std::signbit(b.x) &&
           std::signbit(a.y) == std::signbit(b.y) && std::signbit(a.z) == std::signbit(b.z);
}

TEST(SurfacePointSort, SortsByXYZAndKeepsEqualPointsInOrder) {
    // Small integer coordinates give many ties; the sign of a zero z marks
    // the order of points that compare equal.
    std::mt19937 random(3);
    std::uniform_int_distribution<int> coordinate(0, 4);
    for (int size : {1, 2, 3, 7, 64, 1000}) {
        std::vector<Point3> points;
        for (int i = 0; i < size; ++i)
            points.push_back({double(coordinate(random)), double(coordinate(random)),
                              coordinate(random) < 2 ? -0.0 : 0.0});
        std::vector<Point3> expected = points;
        std::stable_sort(expected.begin(), expected.end(), [](const Point3& a, const Point3& b) {
            return comparePointsXYZ(a, b) < 0;
        });
        sortPoints(points, 0, points.size() - 1);
        for (int i = 0; i < size; ++i)
            ASSERT_TRUE(sameBits(points[i], expected[i])) << i;
    }
}

TEST(SurfacePointSort, SortsOnlyTheGivenRun) {
    std::vector<Point3> points{{9, 0, 0}, {3, 0, 0}, {2, 0, 0}, {1, 0, 0}, {0, 0, 0}};
    sortPoints(points, 1, 3);
    EXPECT_EQ(points, (std::vector<Point3>{{9, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {0, 0, 0}}));
}

class SurfacePreparation : public SurfaceFixture {
  protected:
    Status prepare(const std::string& text, bool useElevationLimits = false,
                   const std::wstring& mine = L"0", const std::wstring& maxe = L"0") {
        pointFile_ = writePointFile(text);
        return preparePoints(widePath(pointFile_),
                             testing::elevationLimits(useElevationLimits, mine, maxe),
                             sortWorkFiles(), app::hostSeam());
    }
    std::string sortedText() const { return readText(sortedFile()); }
    std::vector<Point3> sortedPoints() const {
        auto all = testing::parsePoints(sortedText());
        EXPECT_GE(all.size(), 2u);
        return std::vector<Point3>(all.begin() + std::min<std::size_t>(2, all.size()), all.end());
    }
    std::filesystem::path pointFile_;
};

TEST_F(SurfacePreparation, WritesTheHeaderAndTheSortedPointsToTheTempFolder) {
    standin::OutputCapture output;
    ASSERT_EQ(prepare("2 3 0\n2 1 0\n1 9 0\n"), Status::ok);
    EXPECT_EQ(sortedText(), "1.000000 1.000000 0.000000\n"
                            "2.000000 9.000000 0.000000\n"
                            "1.000000 9.000000 0.000000\n"
                            "2.000000 1.000000 0.000000\n"
                            "2.000000 3.000000 0.000000\n");
    EXPECT_TRUE(std::filesystem::exists(workFile()));
    EXPECT_EQ(output.text(), "Optimizing\n");
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SurfacePreparation, FirstPointOfTheFileSurvivesItsGroupOtherwiseTheLowest) {
    ASSERT_EQ(prepare("5 5 3\n5 5 1\n5 5 2\n"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{5, 5, 3}}));
    ASSERT_EQ(prepare("0 0 0\n5 5 3\n5 5 1\n5 5 2\n"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{0, 0, 0}, {5, 5, 1}}));
    // Equal z: the earlier one, which is the same point.
    ASSERT_EQ(prepare("9 9 9\n1 1 4\n1 1 4\n1 1 6\n"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{1, 1, 4}, {9, 9, 9}}));
}

TEST_F(SurfacePreparation, ElevationFilterKeepsBothBoundsAndOnlyWhenAsked) {
    const std::string text = "0 0 10\n1 0 20\n2 0 9.999999\n3 0 20.000001\n4 0 15\n";
    ASSERT_EQ(prepare(text, true, L"10", L"20"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{0, 0, 10}, {1, 0, 20}, {4, 0, 15}}));
    ASSERT_EQ(prepare(text, false, L"10", L"20"), Status::ok);
    EXPECT_EQ(sortedPoints().size(), 5u);
    ASSERT_EQ(prepare(text, false, L"30", L"-5"), Status::ok);
    EXPECT_EQ(sortedPoints().size(), 5u);
    // The bounds read as far as they are numbers; no number is 0.
    ASSERT_EQ(prepare(text, true, L"15abc", L"  20.0000001x"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{1, 0, 20}, {4, 0, 15}}));
    ASSERT_EQ(prepare("0 0 -1\n1 0 0\n2 0 1\n", true, L"low", L"0"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{1, 0, 0}}));
}

TEST_F(SurfacePreparation, FilterDropsBeforeDuplicatesAreRemoved) {
    // The lowest of the group is filtered out, so the next one survives.
    ASSERT_EQ(prepare("0 0 5\n5 5 1\n5 5 12\n5 5 14\n", true, L"2", L"13"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{0, 0, 5}, {5, 5, 12}}));
}

TEST_F(SurfacePreparation, HeaderHoldsTheExtremesOfAllPointsReadFiltersAside) {
    ASSERT_EQ(prepare("3 -4 50\n-2 8 1\n3 -4 -7\n10 0 5\n", true, L"2", L"6"), Status::ok);
    auto all = testing::parsePoints(sortedText());
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0], (Point3{-2, -4, -7}));
    EXPECT_EQ(all[1], (Point3{10, 8, 50}));
    EXPECT_EQ(all[2], (Point3{10, 0, 5}));
}

TEST_F(SurfacePreparation, OneOrTwoPoints) {
    ASSERT_EQ(prepare("4.5 6 7\n"), Status::ok);
    EXPECT_EQ(sortedText(), "4.500000 6.000000 7.000000\n4.500000 6.000000 7.000000\n"
                            "4.500000 6.000000 7.000000\n");
    ASSERT_EQ(prepare("8 0 1\n4 0 2\n"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{4, 0, 2}, {8, 0, 1}}));
    // A single point outside the elevation limits is filtered like any other.
    ASSERT_EQ(prepare("4.5 6 7\n", true, L"10", L"20"), Status::ok);
    EXPECT_EQ(testing::parsePoints(sortedText()).size(), 2u);
}

TEST_F(SurfacePreparation, NoPointsGiveAHeaderAndNoSurface) {
    ASSERT_EQ(prepare(""), Status::ok);
    EXPECT_EQ(testing::parsePoints(sortedText()).size(), 2u);
    ASSERT_EQ(prepare("1 1 1\n2 2 2\n", true, L"5", L"4"), Status::ok);
    EXPECT_EQ(testing::parsePoints(sortedText()), (std::vector<Point3>{{1, 1, 1}, {2, 2, 2}}));

    standin::OutputCapture output;
    EXPECT_EQ(
        triangulateSortedPoints(widePath(pointFile_), widePath(sortedFile()), app::hostSeam()),
        Status::ok);
    EXPECT_EQ(output.text(), "\nNo points to triangulate.");
    EXPECT_EQ(readText(dir() / "points.ttin"), "");
}

TEST_F(SurfacePreparation, MoreThanSixDecimalsAreRoundedBeforeSortingAndDuplicates) {
    // Read as is, these x values sort apart but are written as equal; the
    // core would then meet two equal points out of order.
    ASSERT_EQ(prepare("0 0 0\n1.0000001 5 1\n1.0000002 3 2\n1.0000003 5 3\n4 8 5\n"), Status::ok);
    EXPECT_EQ(sortedPoints(), (std::vector<Point3>{{0, 0, 0}, {1, 3, 2}, {1, 5, 1}, {4, 8, 5}}));
    ASSERT_EQ(
        triangulateSortedPoints(widePath(pointFile_), widePath(sortedFile()), app::hostSeam()),
        Status::ok);
    // (1, 3) lies inside the triangle of the other three.
    auto triangles = rawTriangles(pointFile_);
    EXPECT_EQ(triangles.size(), 3u);
    EXPECT_EQ(testing::triangulationFault(triangles, sortedPoints()), "");
}

TEST_F(SurfacePreparation, BadRecordStopsBeforeAnyFileIsWritten) {
    EXPECT_EQ(prepare("1 2 3\n4;5;6\n"), Status::failed);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(
        alerts()[0],
        L"Line 2 of " + widePath(pointFile_) +
            L" is not a point: 4;5;6 (3 numbers expected, 0 found, and \"4;5;6\" is not a number)");
    EXPECT_FALSE(std::filesystem::exists(workFile()));
    EXPECT_FALSE(std::filesystem::exists(sortedFile()));
}

TEST_F(SurfacePreparation, FilesThatCannotBeOpenedAreAlerted) {
    const Seam& seam = app::hostSeam();
    EXPECT_EQ(preparePoints(widePath(dir() / "missing.txt"), std::nullopt, sortWorkFiles(), seam),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Could not open point file for reading.  Command terminates.\n");

    auto points = writePointFile("1 1 1\n");
    SortWorkFiles nowhere{widePath(dir() / "no" / "sortwk1.txt"),
                          widePath(dir() / "no" / "sortwk2.txt")};
    EXPECT_EQ(preparePoints(widePath(points), std::nullopt, nowhere, seam), Status::failed);
    EXPECT_EQ(alerts().back(),
              L"Could not open sort work file #1 for output.  Command terminates.\n");

    std::filesystem::create_directory(sortedFile());
    EXPECT_EQ(preparePoints(widePath(points), std::nullopt, sortWorkFiles(), seam), Status::failed);
    EXPECT_EQ(alerts().back(),
              L"Could not open sorted point file for output.  Command terminates.\n");
}

TEST_F(SurfacePreparation, DuplicateRemovalAlertsWhenItsFilesCannotBeOpened) {
    PointExtremes extremes{{0, 0, 0}, {1, 1, 1}};
    EXPECT_EQ(removeDuplicatePoints(extremes, sortWorkFiles(), app::hostSeam().messages),
              Status::failed);
    EXPECT_EQ(alerts().back(),
              L"Could not open sort work file #1 file for reading.  Command terminates.\n");
    testing::writeText(workFile(), "0 0 0\n");
    std::filesystem::create_directory(sortedFile());
    EXPECT_EQ(removeDuplicatePoints(extremes, sortWorkFiles(), app::hostSeam().messages),
              Status::failed);
    EXPECT_EQ(alerts().back(),
              L"Could not open sorted point file for writing.  Program will abend.\n");
}

TEST_F(SurfacePreparation, WorkFilesLieInTempOrTheSystemTemporaryFolder) {
    SortWorkFiles files = sortWorkFiles();
    EXPECT_EQ(files.workFile, widePath(workFile()));
    EXPECT_EQ(files.sortedPointFile, widePath(sortedFile()));
    ::unsetenv("TEMP");
    EXPECT_EQ(tempFolder(), widePath(std::filesystem::temp_directory_path()));
    EXPECT_EQ(sortWorkFiles().workFile,
              widePath(std::filesystem::temp_directory_path() / "sortwk1.txt"));
}

class SurfaceElevationRange : public SurfaceFixture {};

TEST_F(SurfaceElevationRange, TextsInTheDrawingsPrecision) {
    auto points = writePointFile("0 0 3\n1 1 -12.5\n2 2 130.25\n3 3 7\n");
    ElevationRange range;
    ASSERT_EQ(
        readElevationRange(widePath(points), range, drawingDecimalText, app::hostSeam().messages),
        Status::ok);
    EXPECT_EQ(range.mine, L"-12.5000");
    EXPECT_EQ(range.maxe, L"130.2500");

    resbuf precision{};
    precision.restype = RTSHORT;
    precision.resval.rint = 1;
    standin::setSysVar(L"LUPREC", precision);
    ASSERT_EQ(
        readElevationRange(widePath(points), range, drawingDecimalText, app::hostSeam().messages),
        Status::ok);
    EXPECT_EQ(range.mine, L"-12.5");
    EXPECT_EQ(range.maxe, L"130.2");
}

TEST_F(SurfaceElevationRange, DefaultBoundsAreRoundedSoTheLowestPointCanDrop) {
    auto points = writePointFile("0 0 100.123456\n5 0 101\n0 5 102\n5 5 103\n");
    ElevationRange range;
    ASSERT_EQ(
        readElevationRange(widePath(points), range, drawingDecimalText, app::hostSeam().messages),
        Status::ok);
    EXPECT_EQ(range.mine, L"100.1235");
    ASSERT_EQ(
        preparePoints(widePath(points), elevationLimits(range), sortWorkFiles(), app::hostSeam()),
        Status::ok);
    auto kept = testing::parsePoints(readText(sortedFile()));
    EXPECT_EQ(kept.size(), 2u + 3u);
}

TEST_F(SurfaceElevationRange, TextsAreCutTo15Characters) {
    auto points = writePointFile("0 0 123456789012.5\n");
    ElevationRange range;
    ASSERT_EQ(
        readElevationRange(widePath(points), range, drawingDecimalText, app::hostSeam().messages),
        Status::ok);
    EXPECT_EQ(range.mine, L"123456789012.50");
}

TEST_F(SurfaceElevationRange, NoPointsLeaveTheTextsEmptyBadRecordsAreAlerted) {
    ElevationRange range{L"old", L"old"};
    EXPECT_EQ(readElevationRange(widePath(dir() / "missing.txt"), range, drawingDecimalText,
                                 app::hostSeam().messages),
              Status::ok);
    EXPECT_EQ(range.mine, L"");
    EXPECT_EQ(range.maxe, L"");
    range = {L"old", L"old"};
    EXPECT_EQ(readElevationRange(widePath(writePointFile("\n\n")), range, drawingDecimalText,
                                 app::hostSeam().messages),
              Status::ok);
    EXPECT_EQ(range.mine, L"");
    EXPECT_TRUE(alerts().empty());

    auto bad = writePointFile("1 2 3\n1 2 three\n");
    EXPECT_EQ(
        readElevationRange(widePath(bad), range, drawingDecimalText, app::hostSeam().messages),
        Status::failed);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], L"Line 2 of " + widePath(bad) +
                               L" is not a point: 1 2 three (3 numbers expected, 2 found, and "
                               L"\"three\" is not a number)");
}

} // namespace
} // namespace vog::surface
