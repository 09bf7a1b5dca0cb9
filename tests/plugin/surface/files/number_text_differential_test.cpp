// The quick six-decimal writer against the C library's "%.6f" and the plain
// writer: every value, near half-way points, large and tiny magnitudes,
// negative zero.
#include "reference/surface/record_reference.h"
#include "support/differential.h"
#include "surface/files/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

namespace vog::surface {
namespace {

std::string printed(double value) {
    char text[512];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

void expectSame(double value) {
    std::string plain;
    vogref::surface::appendFixed6(plain, value);
    EXPECT_TRUE(vogtest::sameOutput(plain, formatFixed6(value))) << std::hexfloat << value;
    EXPECT_EQ(formatFixed6(value), printed(value)) << std::hexfloat << value;
}

TEST(SixDecimalWriter, AgreesWithPrintfEverywhere) {
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 20000; ++i) {
        const double magnitude = std::pow(10.0, -8 + 20 * unit(random));
        expectSame(magnitude);
        expectSame(-magnitude);
        // Six-decimal values, as the files hold them, and their neighbours.
        const double surveyed = std::round(unit(random) * 1e13) / 1e6;
        expectSame(surveyed);
        expectSame(std::nextafter(surveyed, 0.0));
        expectSame(std::nextafter(surveyed, 1e300));
    }
}

TEST(SixDecimalWriter, HalfWayPointsAndEdges) {
    // Exact ties round to even; values beside a tie round away from it.
    for (double tie : {0.0078125, 1.0078125, 2.5e-6 + 0.0078125, 12345.0000005, 0.0000005, 1.5e-6,
                       4294967296.0078125}) {
        expectSame(tie);
        expectSame(-tie);
        expectSame(std::nextafter(tie, 0.0));
        expectSame(std::nextafter(tie, 1e300));
    }
    for (double edge : {0.0, -0.0, 1e-7, -1e-7, 4e-7, 5e-7, 8589934591.999999, 8589934592.0,
                        9007199254.740993, 1e15, 1.7976931348623157e308, 5e-324}) {
        expectSame(edge);
        expectSame(-edge);
    }
    EXPECT_EQ(formatFixed6(-0.0), "-0.000000");
    EXPECT_EQ(formatFixed6(1234567.1234567), "1234567.123457");
}

} // namespace
} // namespace vog::surface
