// Number text, the record reader's line, end-of-file and malformed-record
// rules, and the readers of every data file and the writers.
#include "base/wide_text.h"
#include "plugin/surface/surface_test_support.h"
#include "products/common/edge_exchange.h"
#include "surface/files/number_text.h"
#include "surface/files/point_file.h"
#include "surface/files/record_reader.h"
#include "surface/files/segment_file.h"
#include "surface/files/triangle_file.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vog::surface {
namespace {

using testing::SurfaceFixture;
using testing::widePath;

TEST(SurfaceNumberText, WritesSixDecimalsLikePrintf) {
    EXPECT_EQ(formatFixed6(1234567.1234567), "1234567.123457");
    EXPECT_EQ(formatFixed6(0.0000004), "0.000000");
    EXPECT_EQ(formatFixed6(-12.5), "-12.500000");
    EXPECT_EQ(formatFixed6(1e20), "100000000000000000000.000000");
    // Random values of all magnitudes against the C library's "%lf".
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-1, 1);
    std::uniform_int_distribution<int> exponent(-9, 12);
    for (int i = 0; i < 20000; ++i) {
        double value = mantissa(random) * std::pow(10.0, exponent(random));
        char expected[400];
        std::snprintf(expected, sizeof expected, "%lf", value);
        ASSERT_EQ(formatFixed6(value), expected) << value;
    }
}

TEST(SurfaceNumberText, RoundsAsTheFirstWriteDoes) {
    EXPECT_EQ(roundToSixDecimals(1.0000004), 1.0);
    EXPECT_EQ(roundToSixDecimals(1.0000006), 1.000001);
    EXPECT_EQ(roundToSixDecimals(503755.035), 503755.035);
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> any(-1e7, 1e7);
    for (int i = 0; i < 20000; ++i) {
        double once = roundToSixDecimals(any(random));
        ASSERT_EQ(roundToSixDecimals(once), once);
        ASSERT_EQ(std::stod(formatFixed6(once)), once);
    }
}

TEST(SurfaceNumberText, ReadsWhatTheCLibraryReadsAsAWholeNumber) {
    struct Case {
        const char* text;
        double value;
    };
    for (Case c :
         {Case{"12", 12}, Case{"-3.25", -3.25}, Case{"+7", 7}, Case{".5", 0.5}, Case{"5.", 5},
          Case{"1e3", 1000}, Case{"2.5E-1", 0.25}, Case{"0x1p3", 8}, Case{"-0X1.8", -1.5}}) {
        double value = 0;
        EXPECT_TRUE(parseNumber(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    double inf = 0;
    EXPECT_TRUE(parseNumber("-Infinity", inf));
    EXPECT_TRUE(std::isinf(inf) && inf < 0);
    for (const char* bad :
         {"", "+", "-", "1,5", "1.5e", "abc", "1.5x", "--1", "+-1", "0x", "e5", "1e999", "12a"}) {
        double value = 42;
        EXPECT_FALSE(parseNumber(bad, value)) << bad;
        EXPECT_EQ(value, 42) << bad;
    }
}

std::vector<std::vector<double>> readAll(const std::string& text, std::size_t size,
                                         RecordReader::Result& last, std::size_t& badLine,
                                         std::string& badText, FileMaker maker = FileMaker::System,
                                         std::string* detail = nullptr) {
    std::istringstream in(text);
    RecordReader reader(in, maker);
    std::vector<std::vector<double>> records;
    std::vector<double> values(size);
    while ((last = reader.read(values)) == RecordReader::Result::Record)
        records.push_back(values);
    badLine = reader.malformedLine();
    badText = reader.malformedText();
    if (detail) *detail = reader.malformedDetail();
    return records;
}

TEST(SurfaceRecordReader, AnUnterminatedLastRecordCountsOnlyInTheUsersFiles) {
    RecordReader::Result last;
    std::size_t line;
    std::string text;
    for (FileMaker maker : {FileMaker::System, FileMaker::User}) {
        EXPECT_EQ(readAll("1 2 3\n4 5 6\n", 3, last, line, text, maker).size(), 2u);
        EXPECT_EQ(last, RecordReader::Result::End);
        // No line end after the last number: the system's own files were
        // cut short there, the user's are complete.
        EXPECT_EQ(readAll("1 2 3\n4 5 6", 3, last, line, text, maker).size(),
                  maker == FileMaker::User ? 2u : 1u);
        EXPECT_EQ(last, RecordReader::Result::End);
        // Any white space after it keeps it.
        EXPECT_EQ(readAll("1 2 3\n4 5 6 ", 3, last, line, text, maker).size(), 2u);
        EXPECT_EQ(readAll("1 2 3\r\n4 5 6\r", 3, last, line, text, maker).size(), 2u);
        EXPECT_EQ(readAll("", 3, last, line, text, maker).size(), 0u);
        EXPECT_EQ(last, RecordReader::Result::End);
        // A short last line is no record, with or without its line end.
        readAll("1 2 3\n4 5", 3, last, line, text, maker);
        EXPECT_EQ(last, RecordReader::Result::Malformed);
        EXPECT_EQ(line, 2u);
    }
}

TEST(SurfaceRecordReader, ARecordIsALineAndBlankLinesAreSkipped) {
    RecordReader::Result last;
    std::size_t line;
    std::string text;
    std::string detail;
    auto records = readAll("\n  1\t2 3\n\n \t\n4 5   6  \n\n", 3, last, line, text);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(records[1], (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(last, RecordReader::Result::End);

    // A point-number, easting, northing, height export: twelve numbers make
    // four points three at a time, but no line is a point.
    records = readAll("1 100 200 10.5\n2 110 200 11\n3 110 210 12\n", 3, last, line, text,
                      FileMaker::User, &detail);
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(last, RecordReader::Result::Malformed);
    EXPECT_EQ(line, 1u);
    EXPECT_EQ(text, "1 100 200 10.5");
    EXPECT_EQ(detail, "(3 numbers expected, 4 found)");

    // A record over two lines, and two records on one line.
    records = readAll("1 2 3\n4 5\n6\n", 3, last, line, text, FileMaker::System, &detail);
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(line, 2u);
    EXPECT_EQ(detail, "(3 numbers expected, 2 found)");
    readAll("1 2 3 4 5 6\n", 3, last, line, text, FileMaker::System, &detail);
    EXPECT_EQ(last, RecordReader::Result::Malformed);
    EXPECT_EQ(detail, "(3 numbers expected, 6 found)");

    // Six numbers where four are expected: a 3-D fault file read in plan.
    readAll("0 0.5 0.5 3 0.5 3.5\n", 4, last, line, text, FileMaker::User, &detail);
    EXPECT_EQ(last, RecordReader::Result::Malformed);
    EXPECT_EQ(detail, "(4 numbers expected, 6 found)");

    // The first token that is not a number is named, cut when long.
    readAll("1 x 2 y\n", 3, last, line, text, FileMaker::System, &detail);
    EXPECT_EQ(detail, "(3 numbers expected, 2 found, and \"x\" is not a number)");
    readAll(std::string(100, 'q') + "\n", 9, last, line, text, FileMaker::System, &detail);
    EXPECT_EQ(detail, "(9 numbers expected, 0 found, and \"" + std::string(40, 'q') +
                          "...\" is not a number)");
}

TEST(SurfaceRecordReader, NamesTheLineOfAMalformedRecord) {
    RecordReader::Result last;
    std::size_t line;
    std::string text;
    auto records = readAll("1 2 3\n\n4,5,6\r\n7 8 9\n", 3, last, line, text);
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(last, RecordReader::Result::Malformed);
    EXPECT_EQ(line, 3u);
    EXPECT_EQ(text, "4,5,6");

    readAll("x y z\n1 2 3\n", 3, last, line, text);
    EXPECT_EQ(last, RecordReader::Result::Malformed);
    EXPECT_EQ(line, 1u);
    EXPECT_EQ(text, "x y z");

    // A line that ends inside a record is named.
    records = readAll("1 2 3\n4 5\n", 3, last, line, text);
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(last, RecordReader::Result::Malformed);
    EXPECT_EQ(line, 2u);
    EXPECT_EQ(text, "4 5");
}

class SurfacePointFile : public SurfaceFixture {};

TEST_F(SurfacePointFile, RoundsEveryPointToSixDecimalsAsItIsRead) {
    auto path = writePointFile("1.0000004 2.9999996 -0.0000004\n0x1p-1 1e2 7\n");
    PointFileReader reader(widePath(path));
    ASSERT_TRUE(reader.isOpen());
    Point3 p;
    ASSERT_EQ(reader.read(p), PointFileReader::Result::Point);
    EXPECT_EQ(p, (Point3{1, 3, 0}));
    ASSERT_EQ(reader.read(p), PointFileReader::Result::Point);
    EXPECT_EQ(p, (Point3{0.5, 100, 7}));
    EXPECT_EQ(reader.read(p), PointFileReader::Result::End);
    reader.rewind();
    ASSERT_EQ(reader.read(p), PointFileReader::Result::Point);
    EXPECT_EQ(p, (Point3{1, 3, 0}));
}

TEST_F(SurfacePointFile, RejectsRecordsThatAreNotThreeFiniteNumbers) {
    struct Case {
        std::string text;
        std::string expected;
    };
    for (const Case& c :
         {Case{"1 2 3\n4 5 1.5e\n", "Line 2 of % is not a point: 4 5 1.5e (3 numbers expected, "
                                    "2 found, and \"1.5e\" is not a number)"},
          Case{"x y z\n1 2 3\n", "Line 1 of % is not a point: x y z (3 numbers expected, 0 "
                                 "found, and \"x\" is not a number)"},
          Case{"1 2 3\n4 nan 6\n", "Line 2 of % is not a point: 4 nan 6 (3 numbers expected, 2 "
                                   "found, and \"nan\" is not a number)"},
          Case{"1 2 inf\n", "Line 1 of % is not a point: 1 2 inf (3 numbers expected, 2 found, "
                            "and \"inf\" is not a number)"},
          Case{"1 2 3\n4 5\n", "Line 2 of % is not a point: 4 5 (3 numbers expected, 2 found)"},
          Case{"1 2 3\n4 5 6 7\n",
               "Line 2 of % is not a point: 4 5 6 7 (3 numbers expected, 4 found)"}}) {
        auto path = writePointFile(c.text);
        PointFileReader reader(widePath(path));
        Point3 p;
        PointFileReader::Result result;
        while ((result = reader.read(p)) == PointFileReader::Result::Point) {
        }
        EXPECT_EQ(result, PointFileReader::Result::Malformed) << c.text;
        std::wstring expected = fromUtf8(c.expected);
        expected.replace(expected.find(L'%'), 1, widePath(path));
        EXPECT_EQ(reader.malformedMessage(), expected);
    }
}

TEST_F(SurfacePointFile, ShowsOnlyTheStartOfAHugeBadLine) {
    auto path = writePointFile("1 2 3\n" + std::string(100000, 'x') + "\n");
    PointFileReader reader(widePath(path));
    Point3 p;
    ASSERT_EQ(reader.read(p), PointFileReader::Result::Point);
    ASSERT_EQ(reader.read(p), PointFileReader::Result::Malformed);
    EXPECT_EQ(reader.malformedMessage(), L"Line 2 of " + widePath(path) + L" is not a point: " +
                                             std::wstring(200, L'x') +
                                             L"... (3 numbers expected, 0 found, and \"" +
                                             std::wstring(40, L'x') + L"...\" is not a number)");
}

TEST_F(SurfacePointFile, WritesRecordsWithLineEnds) {
    std::ostringstream out;
    writePointRecord(out, {1234567.1234567, -2, 0.0000004});
    EXPECT_EQ(out.str(), "1234567.123457 -2.000000 0.000000\n");
}

class SurfaceTriangleFile : public SurfaceFixture {};

TEST_F(SurfaceTriangleFile, WritesAndReadsBackNineNumbersPerLine) {
    Triangle t{{Point3{0, 0, 1}, Point3{0, 1, 2.5}, Point3{1, 0, -3}}};
    std::string line;
    appendTriangleRecord(line, t);
    EXPECT_EQ(line, "0.000000 0.000000 1.000000 0.000000 1.000000 2.500000 1.000000 0.000000 "
                    "-3.000000\n");
    testing::writeText(dir() / "a.tin", line + line);
    TriangleFileReader reader(widePath(dir() / "a.tin"));
    Triangle back;
    ASSERT_EQ(reader.read(back), TriangleFileReader::Result::Triangle);
    EXPECT_EQ(back, t);
    ASSERT_EQ(reader.read(back), TriangleFileReader::Result::Triangle);
    EXPECT_EQ(reader.read(back), TriangleFileReader::Result::End);
}

TEST_F(SurfaceTriangleFile, NamesAMalformedTriangleLine) {
    testing::writeText(dir() / "b.tin", "0 0 0 0 1 0 1 0 0\n0 0 0 0 1 0 1 0 zero\n");
    TriangleFileReader reader(widePath(dir() / "b.tin"));
    Triangle t;
    ASSERT_EQ(reader.read(t), TriangleFileReader::Result::Triangle);
    ASSERT_EQ(reader.read(t), TriangleFileReader::Result::Malformed);
    EXPECT_EQ(reader.malformedMessage(),
              L"Line 2 of " + widePath(dir() / "b.tin") +
                  L" is not a triangle: 0 0 0 0 1 0 1 0 zero (9 numbers expected, 8 found, and "
                  L"\"zero\" is not a number)");
    EXPECT_FALSE(TriangleFileReader(widePath(dir() / "missing.tin")).isOpen());
}

// The readers of every data file, one record a line, the last line counted
// in the files the user prepares; and paths that name no readable file.
class SurfaceDataFileReaders : public SurfaceFixture {};

TEST_F(SurfaceDataFileReaders, EveryRecordIsOneLineAndTheUsersLastLineCounts) {
    // The user's point file: a last point without a line end is a point.
    auto path = writePointFile("1 2 3\n\n4 5 6");
    PointFileReader user(widePath(path), FileMaker::User);
    Point3 p;
    ASSERT_EQ(user.read(p), PointFileReader::Result::Point);
    ASSERT_EQ(user.read(p), PointFileReader::Result::Point);
    EXPECT_EQ(p, (Point3{4, 5, 6}));
    EXPECT_EQ(user.read(p), PointFileReader::Result::End);
    // The sorted point file, the system's own: that point was cut short.
    PointFileReader system(widePath(path));
    ASSERT_EQ(system.read(p), PointFileReader::Result::Point);
    EXPECT_EQ(system.read(p), PointFileReader::Result::End);

    // Triangle files: one triangle a line, the unterminated last one unused.
    testing::writeText(dir() / "c.tin", "0 0 0 0 1 0 1 0 0\n0 0 0 0 1 0\n1 0 0\n");
    TriangleFileReader split(widePath(dir() / "c.tin"));
    Triangle t;
    ASSERT_EQ(split.read(t), TriangleFileReader::Result::Triangle);
    EXPECT_EQ(split.read(t), TriangleFileReader::Result::Malformed);
    EXPECT_NE(split.malformedMessage().find(L"Line 2 of"), std::wstring::npos);
    testing::writeText(dir() / "d.tin", "0 0 0 0 1 0 1 0 0\n0 0 0 0 1 0 1 0 0");
    TriangleFileReader cut(widePath(dir() / "d.tin"));
    ASSERT_EQ(cut.read(t), TriangleFileReader::Result::Triangle);
    EXPECT_EQ(cut.read(t), TriangleFileReader::Result::End);

    // Fault lines in plan from a file of 3-D ones: refused, not misread.
    testing::writeText(dir() / "f.flt", "0 0.5 0.5 3 0.5 3.5\n0.5 3 3 2.5 0 2.5\n");
    SegmentFileContents faults =
        readSegmentFile(widePath(dir() / "f.flt"), SegmentLayout::Plan, L"fault line");
    EXPECT_EQ(faults.status, SegmentFileContents::Status::Malformed);
    EXPECT_EQ(faults.message, L"Line 1 of " + widePath(dir() / "f.flt") +
                                  L" is not a fault line: 0 0.5 0.5 3 0.5 3.5 (4 numbers "
                                  L"expected, 6 found)");
    // A boundary whose last segment has no line end keeps it.
    testing::writeText(dir() / "b.bnd", "0 0 0 1 0 0\n1 0 0 1 1 0\n1 1 0 0 0 0");
    SegmentFileContents boundary =
        readSegmentFile(widePath(dir() / "b.bnd"), SegmentLayout::Spatial, L"boundary segment");
    EXPECT_EQ(boundary.status, SegmentFileContents::Status::Read);
    EXPECT_EQ(boundary.segments.size(), 3u);

    // The edge exchange file is prepared outside the system: its last edge
    // counts; an edge over two lines does not read.
    testing::writeText(dir() / "kttin.asc", "0 0 1 5 5 2\n5 5 2 9 0 3");
    products::EdgeTable edges;
    EXPECT_EQ(products::readEdgeExchange(widePath(dir() / "kttin.asc"), edges),
              products::EdgeReadResult::Read);
    EXPECT_EQ(edges.edges.size(), 2u);
    testing::writeText(dir() / "kttin.asc", "0 0 1\n5 5 2\n");
    EXPECT_EQ(products::readEdgeExchange(widePath(dir() / "kttin.asc"), edges),
              products::EdgeReadResult::Malformed);
    EXPECT_EQ(edges.malformedLine, 1u);
    EXPECT_EQ(edges.malformedDetail, "(6 numbers expected, 3 found)");
}

TEST_F(SurfaceDataFileReaders, AFolderADeviceAFifoOrAFailingReadIsAFileThatCannotBeOpened) {
    const auto folder = dir() / "folder.xyz";
    std::filesystem::create_directory(folder);
    const auto fifo = dir() / "fifo.xyz";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A file whose every read fails (EIO), though it opens.
    const auto failing = dir() / "failing.xyz";
    std::filesystem::create_symlink("/proc/self/mem", failing);
    // Should an open wait for a writer of the FIFO, one comes after a while
    // (so that a fault shows as a failure, not as a hang).
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const int handle = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (handle >= 0) ::close(handle);
    });
    const auto started = std::chrono::steady_clock::now();
    for (const auto& path : {folder, fifo, std::filesystem::path("/dev/null")}) {
        SCOPED_TRACE(path.string());
        EXPECT_FALSE(PointFileReader(widePath(path), FileMaker::User).isOpen());
        EXPECT_FALSE(TriangleFileReader(widePath(path)).isOpen());
        EXPECT_EQ(readSegmentFile(widePath(path), SegmentLayout::Spatial, L"fault line").status,
                  SegmentFileContents::Status::NotOpened);
        products::EdgeTable edges;
        EXPECT_EQ(products::readEdgeExchange(widePath(path), edges),
                  products::EdgeReadResult::CannotOpen);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    writer.join();

    PointFileReader points(widePath(failing), FileMaker::User);
    ASSERT_TRUE(points.isOpen());
    Point3 p;
    EXPECT_EQ(points.read(p), PointFileReader::Result::Unreadable);
    EXPECT_EQ(points.read(p), PointFileReader::Result::Unreadable);
    TriangleFileReader triangles(widePath(failing));
    Triangle t;
    EXPECT_EQ(triangles.read(t), TriangleFileReader::Result::Unreadable);
    EXPECT_EQ(readSegmentFile(widePath(failing), SegmentLayout::Plan, L"fault line").status,
              SegmentFileContents::Status::NotOpened);
    products::EdgeTable edges;
    EXPECT_EQ(products::readEdgeExchange(widePath(failing), edges),
              products::EdgeReadResult::CannotOpen);
}

} // namespace
} // namespace vog::surface
