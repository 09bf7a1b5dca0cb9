// Number text, the record reader's end-of-file and malformed-record rules,
// and the point and triangle file readers and writers.
#include "host/wide_text.h"
#include "surface/number_text.h"
#include "surface/point_file.h"
#include "surface/record_reader.h"
#include "surface/triangle_file.h"
#include "surface_test_support.h"

#include <cstdio>
#include <random>
#include <sstream>

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
                                         std::string& badText) {
    std::istringstream in(text);
    RecordReader reader(in);
    std::vector<std::vector<double>> records;
    std::vector<double> values(size);
    while ((last = reader.read(values)) == RecordReader::Result::Record)
        records.push_back(values);
    badLine = reader.malformedLine();
    badText = reader.malformedText();
    return records;
}

TEST(SurfaceRecordReader, LastRecordRunningIntoTheEndIsNotUsed) {
    RecordReader::Result last;
    std::size_t line;
    std::string text;
    EXPECT_EQ(readAll("1 2 3\n4 5 6\n", 3, last, line, text).size(), 2u);
    EXPECT_EQ(last, RecordReader::Result::End);
    // No line end after the last number: that record is lost.
    EXPECT_EQ(readAll("1 2 3\n4 5 6", 3, last, line, text).size(), 1u);
    EXPECT_EQ(last, RecordReader::Result::End);
    // Any white space after it keeps it.
    EXPECT_EQ(readAll("1 2 3\n4 5 6 ", 3, last, line, text).size(), 2u);
    EXPECT_EQ(readAll("1 2 3\r\n4 5 6\r", 3, last, line, text).size(), 2u);
    EXPECT_EQ(readAll("", 3, last, line, text).size(), 0u);
    EXPECT_EQ(last, RecordReader::Result::End);
}

TEST(SurfaceRecordReader, LineStructureIsNotEnforced) {
    RecordReader::Result last;
    std::size_t line;
    std::string text;
    auto records = readAll("\n  1\t2\n\n3 4\n5   6  \n\n", 3, last, line, text);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(records[1], (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(last, RecordReader::Result::End);
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

    // A file that ends inside a record names the line the record starts on.
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
    for (const Case& c : {Case{"1 2 3\n4 5 1.5e\n", "Line 2 of % is not a point: 4 5 1.5e"},
                          Case{"x y z\n1 2 3\n", "Line 1 of % is not a point: x y z"},
                          Case{"1 2 3\n4 nan 6\n", "Line 2 of % is not a point: 4 nan 6"},
                          Case{"1 2 inf\n", "Line 1 of % is not a point: 1 2 inf"},
                          Case{"1 2 3\n4 5\n", "Line 2 of % is not a point: 4 5"}}) {
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
                                             std::wstring(200, L'x') + L"...");
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
    EXPECT_EQ(reader.malformedMessage(), L"Line 2 of " + widePath(dir() / "b.tin") +
                                             L" is not a triangle: 0 0 0 0 1 0 1 0 zero");
    EXPECT_FALSE(TriangleFileReader(widePath(dir() / "missing.tin")).isOpen());
}

} // namespace
} // namespace vog::surface
