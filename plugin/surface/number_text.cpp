#include "surface/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace vog::surface {

namespace {

// Appends the value when the six-decimal text can be had from one rounded
// product: |value| below 2^33, and the product far enough from half-way
// between two integers that its rounding error cannot change the rounded
// result. Negative values, negative zero included, get a "-". False, with nothing appended,
// otherwise.
bool appendFixed6Quickly(std::string& out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 8589934592.0)) return false;
    const double scaled = magnitude * 1e6; // below 2^53
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole; // exact
    // The product is within half a unit of its last place of the true
    // value: it must lie further than that from the half-way point.
    const double unit = std::nextafter(scaled, 1e300) - scaled;
    if (!(std::fabs(fraction - 0.5) > unit)) return false;
    auto units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    char digits[32];
    char* end = digits + sizeof digits;
    char* p = end;
    for (int i = 0; i < 6; ++i) {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    *--p = '.';
    do {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (std::signbit(value)) *--p = '-';
    out.append(p, end);
    return true;
}

} // namespace

void appendFixed6(std::string& out, double value) {
    if (appendFixed6Quickly(out, value)) return;
    // The largest double has 309 digits before the point.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

std::string formatFixed6(double value) {
    std::string text;
    appendFixed6(text, value);
    return text;
}

double roundToSixDecimals(double value) {
    if (!std::isfinite(value)) return value;
    char buffer[400];
    auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

bool parseNumber(std::string_view token, double& value) {
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    // from_chars takes neither a second sign nor an empty text.
    if (token.empty() || token.front() == '+' || token.front() == '-') return false;

    auto format = std::chars_format::general;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        token.remove_prefix(2);
        if (token.front() == '+' || token.front() == '-') return false;
        format = std::chars_format::hex;
    }
    double parsed = 0;
    auto result = std::from_chars(token.data(), token.data() + token.size(), parsed, format);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size()) return false;
    value = negative ? -parsed : parsed;
    return true;
}

} // namespace vog::surface
