// The block reader and its number readers against the plain ones that read a
// line at a time through getline and every number through from_chars: the
// same records, the same bits, the same malformed line and text, on random
// texts of every notation and line end, and on lines that straddle the
// blocks the reader takes the stream in.
#include "reference/surface/record_reference.h"
#include "support/differential.h"
#include "surface/files/number_text.h"
#include "surface/files/record_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

namespace vog::surface {
namespace {

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// ---- numbers -------------------------------------------------------------

void expectSameParse(const std::string& token) {
    double fast = 12345;
    double plain = 12345;
    const bool fastRead = parseNumber(token, fast);
    const bool plainRead = vogref::surface::parseNumber(token, plain);
    ASSERT_EQ(fastRead, plainRead) << token;
    ASSERT_TRUE(sameBits(fast, plain)) << token << ": " << fast << " against " << plain;
}

// A random token made of signs, digits, points and exponents, mostly shaped
// like numbers.
std::string randomNumberText(std::mt19937_64& random) {
    static const char* signs[] = {"", "", "", "-", "+", "--", "+-"};
    std::uniform_int_distribution<int> pick(0, 99);
    std::string text = signs[pick(random) % 7];
    const int integerDigits = pick(random) % 21;
    for (int i = 0; i < integerDigits; ++i)
        text += static_cast<char>('0' + pick(random) % 10);
    if (pick(random) < 80) {
        text += '.';
        const int decimals = pick(random) % 18;
        for (int i = 0; i < decimals; ++i)
            text += static_cast<char>('0' + pick(random) % 10);
    }
    if (pick(random) < 5) text += "e" + std::to_string(pick(random) - 50);
    if (pick(random) < 2) text += '.';
    if (pick(random) < 2) text += 'x';
    return text;
}

TEST(FastNumberReading, PlainDecimalsReadAsTheGeneralReaderReadsThem) {
    std::mt19937_64 random(41);
    for (int i = 0; i < 200000; ++i)
        expectSameParse(randomNumberText(random));
    for (const char* token : {"0",
                              "-0",
                              "+0",
                              "0.",
                              ".0",
                              ".",
                              "-.",
                              "+.",
                              "-.5",
                              "5.",
                              "000000000000000",
                              "999999999999999",
                              "9999999999999999",
                              "0.000000000000001",
                              "1234567.1234567",
                              "123456789012345",
                              "1234567890123456",
                              "0.1",
                              "0.3",
                              "-2.675",
                              "9007199254.740993",
                              "8589934591.999999",
                              "4503599627370497",
                              "1e3",
                              "1E-3",
                              "0x1p3",
                              "inf",
                              "-nan",
                              "1..2",
                              "1.2.3",
                              "12a",
                              "",
                              "+",
                              "-"})
        expectSameParse(token);
}

TEST(FastNumberReading, SixDecimalRoundingAgreesWithWritingAndReadingBack) {
    std::mt19937_64 random(43);
    std::uniform_real_distribution<double> unit(0, 1);
    auto expectSame = [](double value) {
        const double fast = roundToSixDecimals(value);
        const double plain = vogref::surface::roundToSixDecimals(value);
        ASSERT_TRUE(sameBits(fast, plain)) << std::hexfloat << value;
    };
    for (int i = 0; i < 100000; ++i) {
        const double magnitude = std::pow(10.0, -9 + 20 * unit(random));
        expectSame(magnitude);
        expectSame(-magnitude);
        // Half-way between two six-decimal numbers and beside it.
        const double tie = (std::round(unit(random) * 1e12) + 0.5) / 1e6;
        expectSame(tie);
        expectSame(std::nextafter(tie, 0.0));
        expectSame(std::nextafter(tie, 1e300));
    }
    for (double edge : {0.0, -0.0, 5e-7, -5e-7, 4.9999999e-7, 0.0078125, 8589934591.9999995,
                        8589934592.0, 1e15, 1e300, 5e-324, std::numeric_limits<double>::max()})
        expectSame(edge);
}

TEST(FastNumberReading, SixDecimalTextIsExactlyTheWritersText) {
    // The form that a copy may keep as it stands: writing the value read
    // from it gives it back, and no other text is taken for it.
    std::mt19937_64 random(47);
    for (int i = 0; i < 200000; ++i) {
        std::string token = randomNumberText(random);
        if (i % 2 == 0) {
            double value;
            if (!parseNumber(token, value) || !std::isfinite(value)) continue;
            token = formatFixed6(value); // the writer's own text, of any size
        }
        double value = 0;
        const bool canonical = isFixed6Text(token);
        if (canonical) {
            ASSERT_TRUE(parseNumber(token, value)) << token;
            ASSERT_EQ(formatFixed6(value), token);
            double fixed = 0;
            const char* end = token.data() + token.size();
            ASSERT_EQ(readFixed6Text(token.data(), end, fixed), end) << token;
            ASSERT_TRUE(sameBits(fixed, value)) << token;
        }
        // Every writer's text below 10^9 is in the form.
        if (parseNumber(token, value) && std::fabs(value) < 999999999.5 &&
            formatFixed6(value) == token) {
            ASSERT_TRUE(canonical) << token;
        }
    }
    for (const char* yes : {"0.000000", "-0.000000", "1.500000", "-999999999.999999"})
        EXPECT_TRUE(isFixed6Text(yes)) << yes;
    for (const char* no : {"1.5", "1e3", "+1.000000", "01.000000", "-00.000000", "1.0000000",
                           "1000000000.000000", "1,000000", ".000000", "1.00000a", "-"})
        EXPECT_FALSE(isFixed6Text(no)) << no;
}

// ---- records -------------------------------------------------------------

struct Reading {
    std::vector<std::vector<double>> records;
    std::vector<std::string> written; // writtenRecordText of each record
    int last = 0;
    std::size_t line = 0;
    std::string text;
};

Reading readFast(const std::string& text, std::size_t size, bool twice = false) {
    std::istringstream in(text);
    RecordReader reader(in);
    Reading r;
    for (int pass = 0; pass < (twice ? 2 : 1); ++pass) {
        if (pass == 1) {
            reader.rewind();
            r = {};
        }
        std::vector<double> values(size);
        RecordReader::Result result;
        while ((result = reader.read(values)) == RecordReader::Result::Record) {
            r.records.push_back(values);
            r.written.emplace_back(reader.writtenRecordText());
        }
        r.last = static_cast<int>(result);
        r.line = reader.malformedLine();
        r.text = reader.malformedText();
    }
    return r;
}

// The plain reader knows only line feeds; a lone carriage return ends a line
// for the block reader, so it becomes a line feed for the plain one.
Reading readPlain(std::string text, std::size_t size) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) text[i] = '\n';
    std::istringstream in(text);
    vogref::surface::RecordReader reader(in);
    Reading r;
    std::vector<double> values(size);
    vogref::surface::RecordReader::Result result;
    while ((result = reader.read(values)) == vogref::surface::RecordReader::Result::Record)
        r.records.push_back(values);
    r.last = static_cast<int>(result);
    r.line = reader.malformedLine();
    r.text = reader.malformedText();
    return r;
}

bool sameRecords(const std::vector<std::vector<double>>& a,
                 const std::vector<std::vector<double>>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t k = 0; k < a[i].size(); ++k)
            if (!sameBits(a[i][k], b[i][k])) return false;
    return true;
}

void expectSameReading(const std::string& label, const std::string& text, std::size_t size,
                       vogtest::Yields yields = vogtest::Yields::something) {
    const Reading fast = readFast(text, size);
    const Reading plain = readPlain(text, size);
    ASSERT_TRUE(vogtest::sameOutput(plain.records, fast.records, sameRecords, yields)) << label;
    ASSERT_EQ(fast.last, plain.last) << label;
    ASSERT_EQ(fast.line, plain.line) << label;
    ASSERT_EQ(fast.text, plain.text) << label;
}

// Random text: numbers of every notation, junk now and then, and every kind
// of white space and line end.
// With perLine, every perLine-th gap ends the line and the others do not,
// so that most lines are records.
std::string randomRecordText(std::mt19937_64& random, std::size_t tokens, int junkPercent,
                             std::size_t perLine = 0) {
    static const char* gaps[] = {" ",    " ",  " ",  "  ", "\t",   "\n",     "\n",
                                 "\r\n", "\r", "\v", "\f", "\n\n", "\r\r\n", " \r\n"};
    static const char* inLine[] = {" ", " ", "  ", "\t", "\v", "\f", " \t"};
    static const char* lineEnds[] = {"\n", "\n", "\r\n", "\r", "\n\n", "\r\r\n", " \r\n", "\n \n"};
    std::uniform_int_distribution<int> pick(0, 99);
    std::string text = pick(random) < 10 ? "\xEF\xBB\xBF" : "";
    for (std::size_t i = 0; i < tokens; ++i) {
        const int kind = pick(random);
        if (kind < junkPercent)
            text += pick(random) < 50 ? "x" : "1,5";
        else if (kind < 60)
            text += formatFixed6((pick(random) - 50) * 1234.5678 / (1 + pick(random)));
        else if (perLine == 0)
            text += randomNumberText(random);
        else {
            // Valid numbers of other notations, so that the lines are
            // records.
            char number[64];
            std::snprintf(number, sizeof number, pick(random) < 50 ? "%.17g" : "%.3f",
                          (pick(random) - 50) * 98.765 / (1 + pick(random)));
            text += number;
        }
        if (perLine == 0)
            text += gaps[pick(random) % 14];
        else if ((i + 1) % perLine == 0)
            text += lineEnds[pick(random) % 8];
        else
            text += inLine[pick(random) % 7];
    }
    if (pick(random) < 30) text.pop_back();
    return text;
}

TEST(FastRecordReading, RandomTextsReadAsThePlainReaderReadsThem) {
    std::mt19937_64 random(53);
    // A short or junk text may hold no record; most must hold some.
    const vogtest::Yields either = vogtest::Yields::either;
    int withRecords = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::size_t size = i % 3 == 0 ? 9 : 3;
        const std::string text = randomRecordText(random, 1 + i % 40, i % 4 == 0 ? 3 : 0);
        expectSameReading("text " + std::to_string(i), text, size, either);
        const std::string lines =
            randomRecordText(random, 1 + i % 40, i % 4 == 0 ? 3 : 0, i % 7 == 0 ? 4 : size);
        expectSameReading("lines " + std::to_string(i), lines, size, either);
        withRecords += !readPlain(text, size).records.empty();
        withRecords += !readPlain(lines, size).records.empty();
    }
    EXPECT_GT(withRecords, 2000);
}

TEST(FastRecordReading, LinesAcrossTheBlocksOfTheStream) {
    // Texts of a few blocks, each cut at every kind of place: inside a
    // number, between a carriage return and its line feed, inside a record.
    std::mt19937_64 random(59);
    const std::size_t block = std::size_t{1} << 20;
    for (const char* tail : {"1.5 2.5 3.5\n", "\r\n4 5 6\n", "\r7 8 9\n", "x\n", "1 2"}) {
        for (std::size_t shift = 0; shift < 8; ++shift) {
            std::string text(block - shift, ' ');
            text[0] = '1';
            text[2] = '2';
            text += std::string(" 3\n") + tail;
            expectSameReading("tail after " + std::to_string(shift), text, 3);
            // A bad record after it shows the line count.
            expectSameReading("bad after " + std::to_string(shift), text + "\n?\n", 3);
        }
    }
    std::string many;
    while (many.size() < 2 * block + block / 3) {
        // Whole lines of three numbers, without the byte-order mark that
        // only the first line may carry.
        std::string chunk = randomRecordText(random, 198, 0, 3);
        if (chunk.rfind("\xEF\xBB\xBF", 0) == 0) chunk.erase(0, 3);
        many += chunk + "\n";
    }
    expectSameReading("many blocks", many, 3);
    // Lines of three are no records of nine: refused at the first line.
    expectSameReading("many blocks, nine at a time", many, 9, vogtest::Yields::nothing);
    ASSERT_GT(readFast(many, 3).records.size(), 10000u) << "the lines are records";
    many += "bad token\n";
    expectSameReading("a bad record after many blocks", many, 3);
}

TEST(FastRecordReading, ALineLongerThanABlock) {
    const std::size_t block = std::size_t{1} << 20;
    // Few numbers, far apart (the plain reader copies the line per record).
    std::string line;
    while (line.size() < 2 * block + 17)
        line += "1.250000 -3.5\t" + std::string(block / 7, ' ');
    // The line holds pairs of numbers, no record of three: refused.
    expectSameReading("numbers", line + "\n", 3, vogtest::Yields::nothing);
    expectSameReading("then a bad one", line + "bad\n2 3\n", 3, vogtest::Yields::nothing);
    const Reading bad = readFast("1 2 3\n" + line + "?\n", 3);
    EXPECT_EQ(bad.line, 2u);
    EXPECT_EQ(bad.text.size(), line.size() + 1);
}

TEST(FastRecordReading, RewindStartsAgainFromTheFirstByte) {
    std::mt19937_64 random(61);
    for (int i = 0; i < 200; ++i) {
        const std::string text = randomRecordText(random, 30, 2);
        const Reading once = readFast(text, 3);
        const Reading again = readFast(text, 3, true);
        ASSERT_EQ(again.records, once.records);
        ASSERT_EQ(again.last, once.last);
        ASSERT_EQ(again.line, once.line);
        ASSERT_EQ(again.text, once.text);
    }
}

TEST(FastRecordReading, WrittenRecordTextOnlyForTheWritersOwnLines) {
    const Reading r = readFast("1.000000 -2.500000 0.000000\n"
                               "1.000000  -2.500000 0.000000\n" // two blanks
                               "1.000000\t-2.500000 0.000000\n" // a tab
                               "1.5 -2.500000 0.000000\n"       // not six decimals
                               "1.000000 -2.500000 0.000000 \n" // a blank after it
                               "-0.000000 123456789.000001 7.000000\r\n",
                               3);
    ASSERT_EQ(r.written.size(), 6u);
    EXPECT_EQ(r.written[0], "1.000000 -2.500000 0.000000");
    EXPECT_EQ(r.written[1], "");
    EXPECT_EQ(r.written[2], "");
    EXPECT_EQ(r.written[3], "");
    EXPECT_EQ(r.written[4], "1.000000 -2.500000 0.000000");
    EXPECT_EQ(r.written[5], "-0.000000 123456789.000001 7.000000");
}

} // namespace
} // namespace vog::surface
