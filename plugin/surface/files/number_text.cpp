#include "surface/files/number_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace vog::surface {

namespace {

// The unit in the last place of a positive value below 2^53 (0 for 0 and
// for values below the normal range, which are far from any half-way point).
// For a power of two this is the gap above it, the larger of its two gaps.
double unitInLastPlace(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    bits &= 0x7FF0000000000000ull; // the power of two at or below the value
    double power;
    std::memcpy(&power, &bits, sizeof power);
    return power * 0x1p-52;
}

// The number of millionths in |value| rounded to the nearest, when one
// rounded product gives it for certain: |value| below 2^33, and the product
// far enough from half-way between two integers that its rounding error
// cannot change the result. False otherwise.
bool sixDecimalUnitsQuickly(double value, std::uint64_t& units) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 8589934592.0)) return false;
    const double scaled = magnitude * 1e6; // below 2^53
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole; // exact
    // The product is within half a unit of its last place of the true
    // value: it must lie further than that from the half-way point.
    if (!(std::fabs(fraction - 0.5) > unitInLastPlace(scaled))) return false;
    units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    return true;
}

// Appends the value from its millionths when they can be had quickly.
// Negative values, negative zero included, get a "-". False, with nothing
// appended, otherwise.
bool appendFixed6Quickly(std::string& out, double value) {
    std::uint64_t units;
    if (!sixDecimalUnitsQuickly(value, units)) return false;
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

// Reads a plain decimal of at most 15 digits in all, without exponent:
// optional sign, digits, an optional point and more digits, at least one
// digit. Its digits make an integer below 10^15, exact as a double, and 10^k
// for the k digits after the point is exact too, so the one correctly
// rounded division gives the double nearest the decimal, as any correct
// reader does. False for every other text, which the general reader takes.
bool parsePlainDecimal(std::string_view token, double& value) {
    const char* p = token.data();
    const char* const end = p + token.size();
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    // More than 19 digits wrap around, but more than 15 are refused anyway.
    std::uint64_t digits = 0;
    const char* const integerStart = p;
    while (p != end && static_cast<unsigned char>(*p - '0') < 10)
        digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    const auto integerDigits = p - integerStart;
    std::ptrdiff_t decimals = 0;
    if (p != end && *p == '.') {
        const char* const fractionStart = ++p;
        while (p != end && static_cast<unsigned char>(*p - '0') < 10)
            digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
        decimals = p - fractionStart;
    }
    if (p != end || integerDigits + decimals == 0 || integerDigits + decimals > 15) return false;
    static constexpr double kPowers[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    double magnitude = static_cast<double>(digits);
    if (decimals > 0) magnitude /= kPowers[decimals];
    value = negative ? -magnitude : magnitude;
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
    // The text holds the millionths; reading it back is the one correctly
    // rounded division of them by 10^6 (both exact below 2^53).
    std::uint64_t units;
    if (sixDecimalUnitsQuickly(value, units)) {
        const double rounded = static_cast<double>(units) / 1e6;
        return std::signbit(value) ? -rounded : rounded;
    }
    char buffer[400];
    auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

const char* readFixed6Text(const char* begin, const char* end, double& value) {
    // Why such a text is the one written for its value v: its decimal d lies
    // below 10^9 < 2^30 in magnitude, where doubles are at most 2^-23 apart,
    // so |v - d| <= 2^-24 < 0.0000005. d is therefore the six-decimal number
    // nearest v, with no tie, and the writer gives d's digits in this one
    // form (a "-" exactly when v is negative or negative zero, which
    // "-0.000000" reads as). Its at most 15 digits make the millionths of d,
    // exact as a double, so one correctly rounded division by 10^6 gives v.
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (negative) ++p;
    const char* const integerStart = p;
    std::uint64_t millionths = 0;
    while (p != end && static_cast<unsigned char>(*p - '0') < 10 && p - integerStart < 10)
        millionths = millionths * 10 + static_cast<std::uint64_t>(*p++ - '0');
    const auto integerDigits = p - integerStart;
    if (integerDigits == 0 || integerDigits > 9) return nullptr;
    if (integerDigits > 1 && *integerStart == '0') return nullptr;
    if (end - p < 7 || *p != '.') return nullptr;
    for (int k = 1; k <= 6; ++k) {
        const auto digit = static_cast<unsigned char>(p[k] - '0');
        if (digit >= 10) return nullptr;
        millionths = millionths * 10 + digit;
    }
    const double magnitude = static_cast<double>(millionths) / 1e6;
    value = negative ? -magnitude : magnitude;
    return p + 7;
}

bool isFixed6Text(std::string_view token) {
    double value;
    const char* end = token.data() + token.size();
    return readFixed6Text(token.data(), end, value) == end;
}

bool parseNumber(std::string_view token, double& value) {
    if (parsePlainDecimal(token, value)) return true;
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
