// Copies of triangle files: every record read and written again with "%lf",
// whether its numbers are kept as they stand or written from their values;
// bad records named by file and line as the readers name them.
#include "app/host_seam.h"
#include "host_api.h"
#include "plugin/surface/surface_test_support.h"
#include "reference/surface/record_reference.h"
#include "support/differential.h"
#include "surface/files/number_text.h"
#include "surface/files/triangle_copy.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/stat.h>

namespace vog::surface {
namespace {

using testing::readText;
using testing::SurfaceFixture;
using testing::widePath;
using testing::writeText;

// What a copy must hold: the source read by the plain reader, each number
// written with the C library's "%lf".
std::string rewritten(const std::filesystem::path& source) {
    vogref::surface::TriangleFileReader in(widePath(source));
    std::string text;
    Triangle triangle;
    while (in.read(triangle) == vogref::surface::TriangleFileReader::Result::Triangle) {
        for (int c = 0; c < 3; ++c) {
            const Point3& p = triangle.corners[c];
            char line[1200];
            std::snprintf(line, sizeof line, "%lf %lf %lf%c", p.x, p.y, p.z, c < 2 ? ' ' : '\n');
            text += line;
        }
    }
    return text;
}

class TriangleCopy : public SurfaceFixture {
  protected:
    // Copies text and checks the copy against the rewrite.
    void expectRewritten(const std::string& label, const std::string& text,
                         vogtest::Yields yields = vogtest::Yields::something) {
        writeText(dir() / "a.ttin", text);
        ASSERT_EQ(copyTriangleFile(widePath(dir() / "a.ttin"), widePath(dir() / "a.ftin"),
                                   app::hostSeam().messages),
                  Status::ok)
            << label;
        EXPECT_TRUE(
            vogtest::sameOutput(rewritten(dir() / "a.ttin"), readText(dir() / "a.ftin"), yields))
            << label;
        EXPECT_TRUE(alerts().empty()) << label;
        // Handing the file on gives the same bytes, and the source goes.
        writeText(dir() / "m.ttin", text);
        ASSERT_EQ(moveTriangleFile(widePath(dir() / "m.ttin"), widePath(dir() / "m.ftin"),
                                   app::hostSeam().messages),
                  Status::ok)
            << label;
        EXPECT_TRUE(readText(dir() / "m.ftin") == readText(dir() / "a.ftin")) << label;
        EXPECT_FALSE(std::filesystem::exists(dir() / "m.ttin")) << label;
        EXPECT_TRUE(alerts().empty()) << label;
        // A copy of what a copy gives is the same bytes, which the command
        // relies on to rename the ".ftin" unread.
        ASSERT_EQ(copyTriangleFile(widePath(dir() / "a.ftin"), widePath(dir() / "a.tin"),
                                   app::hostSeam().messages),
                  Status::ok);
        EXPECT_TRUE(readText(dir() / "a.tin") == readText(dir() / "a.ftin")) << label;
    }
    // Copies text that holds a bad record; returns the alert.
    std::wstring copyAlert(const std::string& text) {
        writeText(dir() / "bad.ttin", text);
        standin::resetHost();
        EXPECT_EQ(copyTriangleFile(widePath(dir() / "bad.ttin"), widePath(dir() / "bad.ftin"),
                                   app::hostSeam().messages),
                  Status::failed);
        const std::wstring alert = alerts().empty() ? L"" : alerts().back();
        // Handing it on fails the same way and still removes the source.
        standin::resetHost();
        EXPECT_EQ(moveTriangleFile(widePath(dir() / "bad.ttin"), widePath(dir() / "bad.ftin"),
                                   app::hostSeam().messages),
                  Status::failed);
        EXPECT_EQ(alerts().empty() ? L"" : alerts().back(), alert);
        EXPECT_FALSE(std::filesystem::exists(dir() / "bad.ttin"));
        return alert;
    }
};

std::string record(std::initializer_list<const char*> numbers, const char* gap = " ") {
    std::string text;
    for (const char* n : numbers)
        text += (text.empty() ? "" : gap) + std::string(n);
    return text + "\n";
}

TEST_F(TriangleCopy, NumbersInTheWritersFormAndOthers) {
    expectRewritten("the writer's own lines",
                    record({"0.000000", "-0.000000", "1.500000", "-2.250000", "999999999.999999",
                            "-999999999.000001", "12.000001", "3.141593", "100.000000"}) +
                        record({"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    expectRewritten("short and long decimals",
                    record({"1.5", "-0.25", "7.", ".5", "2.0000005", "2.0000015", "-0.0000004",
                            "0.00000049999", "1234567.1234567"}));
    expectRewritten("exponents, signs, hexadecimal and leading zeros",
                    record({"1e3", "-2.5E-3", "+4.000000", "0x1p3", "-0X1.8", "0012.500000",
                            "-00.000000", "1e-7", "+0"}));
    expectRewritten("negative zeros", record({"-0", "-0.0", "-0.000000", "-0.0000001", "-1e-300",
                                              "0", "-0e5", "0.000000", "-0.0000000"}));
    expectRewritten("twelve-digit integers and values beyond 2^33",
                    record({"123456789012", "-999999999999", "8589934592.000000",
                            "8589934591.999999", "9007199254.740993", "1234567890.123456",
                            "4503599627370496.5", "1e15", "-12345678901234.567891"}));
    // Whole records of numbers nearly in the writer's form, which a copy
    // that kept them as they stand would get wrong.
    for (const char* nearly : {"0012.500000", "+4.000000", "-00.000000", "1.0000005", "1.50000",
                               "12345678901.000000", "1e3", "0x1.000000p0", "1.000000e0"}) {
        std::string text;
        for (int k = 0; k < 9; ++k)
            text += std::string(nearly) + (k < 8 ? " " : "\n");
        expectRewritten(nearly, text);
    }
    expectRewritten("huge and tiny",
                    record({"1e300", "-1.7976931348623157e308", "5e-324", "1e22", "1e23",
                            "123456789012345678901234567890", "0.1", "0.2", "0.3"}));
}

TEST_F(TriangleCopy, WhiteSpaceAndLineEnds) {
    const std::string nine = "1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 "
                             "8.000000 9.000000";
    expectRewritten("CR LF", nine + "\r\n" + nine + "\r\n");
    expectRewritten("byte-order mark", "\xEF\xBB\xBF" + nine + "\n" + nine + "\n");
    expectRewritten("tabs and double blanks",
                    record({"1.000000", "2.000000", "3.000000", "4.000000", "5.000000", "6.000000",
                            "7.000000", "8.000000", "9.000000"},
                           "\t") +
                        "  " + nine + "  \n");
    expectRewritten("blank lines between records", "\n" + nine + "\n\n \t\n" + nine + "\n\n");
    expectRewritten("lone carriage returns", nine + "\r" + nine + "\r");
    expectRewritten("the last record without line end is not used", nine + "\n" + nine);
    expectRewritten("empty", "", vogtest::Yields::nothing);
}

TEST_F(TriangleCopy, RandomRecordsOfEveryNotation) {
    std::mt19937_64 random(67);
    std::uniform_int_distribution<int> pick(0, 99);
    std::uniform_real_distribution<double> unit(-1, 1);
    static const char* gaps[] = {" ", " ", " ", " ", "  ", "\t", " \t", "\v"};
    std::string text;
    for (int t = 0; t < 3000; ++t) {
        for (int k = 0; k < 9; ++k) {
            const double value = unit(random) * std::pow(10.0, pick(random) % 14 - 3);
            char number[512];
            const int kind = pick(random);
            if (kind < 50)
                std::snprintf(number, sizeof number, "%lf", value);
            else if (kind < 65)
                std::snprintf(number, sizeof number, "%.3f", value);
            else if (kind < 75)
                std::snprintf(number, sizeof number, "%.9f", value);
            else if (kind < 85)
                std::snprintf(number, sizeof number, "%.17g", value);
            else if (kind < 90)
                std::snprintf(number, sizeof number, "%.0f", std::round(value * 1e6));
            else
                std::snprintf(number, sizeof number, "%lf", std::round(value) == 0 ? -0.0 : value);
            text += number;
            text += k < 8 ? gaps[pick(random) % 8] : (pick(random) < 90 ? "\n" : "\r\n");
        }
    }
    expectRewritten("random records", text);
}

TEST_F(TriangleCopy, BadRecordsNameTheFileAndLine) {
    const std::string good = record({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    const std::wstring file = widePath(dir() / "bad.ttin");
    EXPECT_EQ(copyAlert(good + good + "1 2 3 4 x 6 7 8 9\n"),
              L"Line 3 of " + file +
                  L" is not a triangle: 1 2 3 4 x 6 7 8 9 (9 numbers expected, 8 found, and \"x\" "
                  L"is not a number)");
    EXPECT_EQ(copyAlert(good + "1.000000 2.000000 3.000000 nan 5 6 7 8 9\r\n"),
              L"Line 2 of " + file +
                  L" is not a triangle: 1.000000 2.000000 3.000000 nan 5 6 7 8 9 (9 numbers "
                  L"expected, 8 found, and \"nan\" is not a number)");
    // A record over two lines, and two records on one.
    EXPECT_EQ(copyAlert(good + "1 2 3 4 5 6\n7 8 9\n"),
              L"Line 2 of " + file +
                  L" is not a triangle: 1 2 3 4 5 6 (9 numbers expected, 6 found)");
    EXPECT_EQ(copyAlert(good + "\n1 2 3 4 5 6 7 8 9 1 2 3\n"),
              L"Line 3 of " + file +
                  L" is not a triangle: 1 2 3 4 5 6 7 8 9 1 2 3 (9 numbers expected, 12 found)");
    EXPECT_EQ(copyAlert("1,2,3,4,5,6,7,8,9\n"),
              L"Line 1 of " + file +
                  L" is not a triangle: 1,2,3,4,5,6,7,8,9 (9 numbers expected, 0 found, and "
                  L"\"1,2,3,4,5,6,7,8,9\" is not a number)");
}

TEST_F(TriangleCopy, AFileInTheWritersFormIsRenamedNotWritten) {
    const std::string line = record({"1.000000", "2.000000", "3.000000", "4.000000", "5.000000",
                                     "6.000000", "7.000000", "8.000000", "9.000000"});
    writeText(dir() / "w.ttin", line + line);
    struct stat before {};
    ASSERT_EQ(::stat((dir() / "w.ttin").c_str(), &before), 0);
    ASSERT_EQ(moveTriangleFile(widePath(dir() / "w.ttin"), widePath(dir() / "w.ftin"),
                               app::hostSeam().messages),
              Status::ok);
    struct stat after {};
    ASSERT_EQ(::stat((dir() / "w.ftin").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(readText(dir() / "w.ftin"), line + line);
    // One blank too many, and the file is written again.
    writeText(dir() / "x.ttin", line + "\n" + line);
    ASSERT_EQ(::stat((dir() / "x.ttin").c_str(), &before), 0);
    ASSERT_EQ(moveTriangleFile(widePath(dir() / "x.ttin"), widePath(dir() / "x.ftin"),
                               app::hostSeam().messages),
              Status::ok);
    EXPECT_EQ(readText(dir() / "x.ftin"), line + line);
    EXPECT_FALSE(std::filesystem::exists(dir() / "x.ttin"));
}

TEST_F(TriangleCopy, FilesThatCannotBeOpened) {
    EXPECT_EQ(copyTriangleFile(widePath(dir() / "none.ttin"), widePath(dir() / "none.ftin"),
                               app::hostSeam().messages),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Error opening triangle file.");
    writeText(dir() / "a.ttin", "1 2 3 4 5 6 7 8 9\n");
    EXPECT_EQ(copyTriangleFile(widePath(dir() / "a.ttin"), widePath(dir() / "no" / "a.ftin"),
                               app::hostSeam().messages),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Error opening output file.");
    // Handing on into a folder that is not there fails as the copy does,
    // when the rename fails too.
    writeText(dir() / "a.ttin", record({"1.000000", "2.000000", "3.000000", "4.000000", "5.000000",
                                        "6.000000", "7.000000", "8.000000", "9.000000"}));
    EXPECT_EQ(moveTriangleFile(widePath(dir() / "a.ttin"), widePath(dir() / "no" / "a.ftin"),
                               app::hostSeam().messages),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Error opening output file.");
    EXPECT_EQ(moveTriangleFile(widePath(dir() / "none.ttin"), widePath(dir() / "none.ftin"),
                               app::hostSeam().messages),
              Status::failed);
    EXPECT_EQ(alerts().back(), L"Error opening triangle file.");
}

} // namespace
} // namespace vog::surface
