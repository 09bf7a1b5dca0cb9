// Numbers as the data files hold them: written in fixed-point notation with
// six decimals, read as any decimal or hexadecimal floating-point number.
#pragma once

#include <string>
#include <string_view>

namespace vog::surface {

// Appends the value with exactly six digits after the decimal point, a
// leading "-" for negative values (negative zero included), no exponent and
// no separators; correctly rounded. Infinities and NaNs give "inf" and "nan".
void appendFixed6(std::string& out, double value);

std::string formatFixed6(double value);

// The value that writing with six decimals and reading back gives. Rounding
// twice gives the same value as rounding once.
double roundToSixDecimals(double value);

// True when the token is exactly the text appendFixed6 writes for the value
// the token reads as, so that a copy can keep the token as it stands: an
// optional "-", one to nine digits without a leading zero (a lone 0 aside), a
// point and exactly six digits.
bool isFixed6Text(std::string_view token);

// Reads a number in that form at the start of [begin, end): the end of its
// text, with value set as parseNumber sets it, or nullptr when the text
// does not start with one (what follows it is not looked at).
const char* readFixed6Text(const char* begin, const char* end, double& value);

// Reads a whole token as a floating-point number: optional sign, then decimal
// digits with an optional point and exponent, a hexadecimal number with the
// prefix 0x, or inf, infinity and nan (any letter case). False, with value
// untouched, when the token is anything else or lies beyond the range of
// double.
bool parseNumber(std::string_view token, double& value);

} // namespace vog::surface
