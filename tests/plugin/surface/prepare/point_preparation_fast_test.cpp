// Point preparation in memory against the merge through the work files: the
// same work file #1, the same sorted point file, the same alerts and the same
// command-line text, byte for byte, on files that stress the first-point
// rule, duplicates, the elevation filter, rounding and the text of the file.
#include "app/host_result.h"
#include "app/host_seam.h"
#include "host/progress_meter.h"
#include "host_api.h"
#include "plugin/surface/surface_test_support.h"
#include "reference/surface/point_preparation_reference.h"
#include "support/differential.h"
#include "support/generators.h"
#include "surface/prepare/point_preparation.h"

#include <filesystem>
#include <random>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;
using testing::writeText;
using vogtest::Yields;

struct PreparationRun {
    int result = 0;
    bool workExists = false;
    bool sortedExists = false;
    std::string work;
    std::string sorted;
    std::string printed;
    std::vector<std::wstring> alerts;
};

struct Limits {
    bool use = false;
    std::wstring mine = L"0";
    std::wstring maxe = L"0";
};

class PointPreparationFast : public SurfaceFixture {
  protected:
    // One version on the text, its files in a folder of its own.
    PreparationRun run(bool reference, const std::string& text, const Limits& limits) {
        const std::filesystem::path folder = dir() / (reference ? "plain" : "fast");
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        writeText(folder / "points.txt", text);
        return runOn(reference, widePath(folder / "points.txt"),
                     {widePath(folder / "sortwk1.txt"), widePath(folder / "sortwk2.txt")}, limits);
    }

    PreparationRun runOn(bool reference, const std::wstring& pointFile, const SortWorkFiles& files,
                         const Limits& limits) {
        standin::resetHost();
        standin::OutputCapture output;
        PreparationRun r;
        r.result =
            reference
                ? vogref::surface::preparePoints(pointFile, limits.use, limits.mine, limits.maxe,
                                                 files)
                : app::toHostResult(preparePoints(
                      pointFile, testing::elevationLimits(limits.use, limits.mine, limits.maxe),
                      files, app::hostSeam()));
        r.printed = output.text();
        for (std::size_t at; (at = r.printed.find("/plain/")) != std::string::npos;)
            r.printed.replace(at, 7, "/fast/");
        r.workExists = std::filesystem::exists(files.workFile);
        r.sortedExists = std::filesystem::exists(files.sortedPointFile);
        if (r.workExists && std::filesystem::is_regular_file(files.workFile))
            r.work = readText(files.workFile);
        if (r.sortedExists && std::filesystem::is_regular_file(files.sortedPointFile))
            r.sorted = readText(files.sortedPointFile);
        for (std::wstring text : standin::alerts()) {
            for (std::size_t at; (at = text.find(L"/plain/")) != std::wstring::npos;)
                text.replace(at, 7, L"/fast/");
            r.alerts.push_back(text);
        }
        return r;
    }

    // work and sorted: what the two files are declared to hold.
    void compare(const std::string& label, const std::string& text, const Limits& limits = {},
                 Yields work = Yields::something, Yields sorted = Yields::something) {
        const PreparationRun plain = run(true, text, limits);
        const PreparationRun fast = run(false, text, limits);
        EXPECT_EQ(fast.result, plain.result) << label;
        EXPECT_EQ(fast.alerts, plain.alerts) << label;
        EXPECT_EQ(fast.printed, plain.printed) << label;
        EXPECT_EQ(fast.workExists, plain.workExists) << label;
        EXPECT_EQ(fast.sortedExists, plain.sortedExists) << label;
        EXPECT_TRUE(vogtest::sameOutput(plain.work, fast.work, work)) << label << ": work files";
        EXPECT_TRUE(vogtest::sameOutput(plain.sorted, fast.sorted, sorted))
            << label << ": sorted point files";
    }
};

std::string lines(std::initializer_list<const char*> records) {
    std::string text;
    for (const char* record : records)
        text += std::string(record) + "\n";
    return text;
}

TEST_F(PointPreparationFast, SmallFilesAndTheFirstPointRule) {
    // No point leaves the work file empty.
    compare("no point", "", {}, Yields::nothing);
    compare("blank lines only", "\n\n  \n", {}, Yields::nothing);
    compare("one point", "5 5 5\n");
    compare("two points in order", "1 2 3\n4 5 6\n");
    compare("two points reversed", "8 0 1\n4 0 2\n");
    compare("two equal points", "3 3 3\n3 3 3\n");
    compare("the first point in its group", lines({"5 5 3", "5 5 1", "5 5 2"}));
    compare("the lowest of a later group", lines({"0 0 0", "5 5 3", "5 5 1", "5 5 2"}));
    compare("the first point last in x", lines({"9 9 9", "1 1 4", "1 1 4", "1 1 6"}));
    compare("the first point between equal x",
            lines({"2 5 0", "2 1 0", "2 9 0", "2 5 -1", "2 5 1", "1 5 0"}));
    compare("last line without line end", "1 1 1\n2 3 4\n5 1 2\n4 4 4");
}

TEST_F(PointPreparationFast, ElevationFilterOnAndOff) {
    const std::string text = lines({"0 0 10", "1 0 20", "2 0 9.999999", "3 0 20.000001", "4 0 15",
                                    "4 0 12", "0 0 11", "5 5 10"});
    compare("filter off", text);
    compare("filter on", text, {true, L"10", L"20"});
    compare("filter off whatever the bounds", text, {false, L"30", L"-5"});
    compare("bounds that keep nothing", text, {true, L"30", L"-5"}, Yields::nothing);
    compare("bounds read as far as they are numbers", text, {true, L"15abc", L"  20.0000001x"});
    compare("no number counts as 0", lines({"0 0 -1", "1 0 0", "2 0 1"}), {true, L"low", L"0"});
    compare("a single point outside", "4.5 6 7\n", {true, L"10", L"20"}, Yields::nothing);
    compare("a single point inside", "4.5 6 7\n", {true, L"0", L"20"});
    // The lowest of a group is filtered out, so the next one survives; the
    // first point of the file is filtered like any other.
    compare("filter before duplicates", lines({"0 0 5", "5 5 1", "5 5 12", "5 5 14"}),
            {true, L"2", L"13"});
    compare("the first point filtered", lines({"5 5 1", "5 5 12", "5 5 3", "0 0 4"}),
            {true, L"2", L"13"});
}

TEST_F(PointPreparationFast, RoundingSignsAndNotations) {
    // Values with more decimals than the files keep can tie in plan once
    // rounded; negative zeros compare equal to zeros but are written with
    // their sign, so the order of equal points shows in the files.
    compare("more decimals", lines({"0 0 0", "1.0000001 5 1", "1.0000002 3 2", "1.0000003 5 3",
                                    "4 8 5", "1.0000004 3 2.0000004"}));
    compare("negative zeros", lines({"0 0 0", "-0 0 -0", "0 -0 0", "-0 -0 -0", "0 0 -0",
                                     "-0.0000004 0.0000004 0", "1 1 1"}));
    compare("notations", "1e2 -0.0000001 5\r\n+3.14159265\t2.5e-1 -0\n-0 0 7\n"
                         "0.0000005 1.0000005 2.0000015\n100.0000004 -3 1\n7 7 -7\n"
                         "0x1p3 0X1.8p1 .5\n5. 0012.500 -000.25\n");
    compare("large coordinates",
            lines({"99999999999.999999 -99999999999.5 999999999999999", "8589934591.9999995 1 2",
                   "8589934592.0000005 1 2", "-1e11 1e11 -1e15", "12345678901.25 5e-7 6"}));
}

TEST_F(PointPreparationFast, ByteOrderMarksAndLineEnds) {
    const std::string body = lines({"3 1 2", "1 2 3", "3 1 5", "2 2 2"});
    compare("byte-order mark", "\xEF\xBB\xBF" + body);
    std::string crlf;
    for (char c : body)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    compare("CR LF", crlf);
    compare("byte-order mark and CR LF", "\xEF\xBB\xBF" + crlf);
    compare("CR LF, last line without line end", crlf + "9 9 9");
    compare("tabs and blanks", "\t3 1\t2  \n 1  2 3\t\n\n\n3\t1 5\n 2 2 2 \n");
    // Refused: a point is one line.
    compare("a record over several lines", "1\n2\n3 4 5\n6\n\n7 8\n9\n", {}, Yields::nothing,
            Yields::nothing);
}

TEST_F(PointPreparationFast, BadRecordsAreAlertedAlike) {
    // Refused: neither version writes a file.
    auto refused = [this](const std::string& label, const std::string& text) {
        compare(label, text, {}, Yields::nothing, Yields::nothing);
    };
    refused("not a number", "1 2 3\n4 five 6\n");
    refused("comma-separated", "1,2,3\n");
    refused("a header line", "x y z\n1 2 3\n");
    refused("the file ends inside a record", "1 2 3\n4 5\n");
    refused("not finite", "1 2 3\ninf 0 0\n");
    refused("bad after a byte-order mark", "\xEF\xBB\xBF"
                                           "1 2 3\r\n4 5 ?\r\n");
}

TEST_F(PointPreparationFast, PointSetsOfEveryKind) {
    for (const vogtest::PointSet& set : vogtest::differentialPointSets()) {
        compare(set.name, testing::pointLines(set.points));
        ASSERT_FALSE(HasFailure()) << set.name;
    }
    // Survey-like text: three decimals, repeated points, shuffled.
    std::mt19937 random(5);
    std::uniform_int_distribution<int> grid(0, 300);
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        const int x = grid(random);
        const int y = grid(random) % 20;
        text += std::to_string(1000 + x / 7.0).substr(0, 8) + " " + std::to_string(y) + "." +
                std::to_string(i % 1000) + " " + std::to_string(grid(random) % 5) + "\n";
    }
    compare("survey text", text);
    compare("survey text, filtered", text, {true, L"1", L"3"});
}

TEST_F(PointPreparationFast, FilesThatCannotBeCreatedAreAlertedAlike) {
    const std::string text = "1 1 1\n2 2 2\n";
    for (int reference = 0; reference < 2; ++reference) {
        writeText(dir() / "points.txt", text);
        const std::wstring points = widePath(dir() / "points.txt");
        const Limits none;
        // No folder for the work files.
        PreparationRun missing = runOn(
            reference, points,
            {widePath(dir() / "no" / "sortwk1.txt"), widePath(dir() / "no" / "sortwk2.txt")}, none);
        EXPECT_EQ(missing.result, RTERROR);
        EXPECT_EQ(missing.alerts, (std::vector<std::wstring>{
                                      L"Could not open sort work file #1 for output.  Command "
                                      L"terminates.\n"}));
        EXPECT_EQ(missing.printed.find("Optimizing"), std::string::npos);
        // A folder in the way of the sorted point file.
        const std::filesystem::path blocked = dir() / "blocked";
        std::filesystem::remove_all(blocked);
        std::filesystem::create_directories(blocked / "sortwk2.txt");
        PreparationRun inTheWay =
            runOn(reference, points,
                  {widePath(blocked / "sortwk1.txt"), widePath(blocked / "sortwk2.txt")}, none);
        EXPECT_EQ(inTheWay.result, RTERROR);
        EXPECT_EQ(inTheWay.alerts, (std::vector<std::wstring>{
                                       L"Could not open sorted point file for output.  Command "
                                       L"terminates.\n"}));
        // No point file.
        PreparationRun noPoints =
            runOn(reference, widePath(dir() / "missing.txt"), sortWorkFiles(), none);
        EXPECT_EQ(noPoints.result, RTERROR);
        EXPECT_EQ(noPoints.alerts,
                  (std::vector<std::wstring>{
                      L"Could not open point file for reading.  Command terminates.\n"}));
        EXPECT_FALSE(noPoints.workExists);
    }
}

TEST_F(PointPreparationFast, TheMeterIsShownOnceAndTakenAway) {
    const auto points = writePointFile(testing::pointLines(vogtest::scatteredPoints(300, 8)));
    standin::resetProgressMeter();
    ASSERT_EQ(preparePoints(widePath(points), std::nullopt, sortWorkFiles(), app::hostSeam()),
              Status::ok);
    EXPECT_EQ(standin::progressMeter().meters, 1);
    EXPECT_EQ(standin::progressMeter().restores, 1);
    EXPECT_FALSE(standin::progressMeter().shown);
    // A bad record takes it away as well.
    const auto bad = writePointFile("1 2 3\n4 5\n", "bad.txt");
    standin::resetProgressMeter();
    EXPECT_EQ(preparePoints(widePath(bad), std::nullopt, sortWorkFiles(), app::hostSeam()),
              Status::failed);
    EXPECT_EQ(standin::progressMeter().restores, standin::progressMeter().meters);
    EXPECT_FALSE(standin::progressMeter().shown);
}

} // namespace
} // namespace vog::surface
