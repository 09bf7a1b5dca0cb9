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

// Reads a whole token as a floating-point number: optional sign, then decimal
// digits with an optional point and exponent, a hexadecimal number with the
// prefix 0x, or inf, infinity and nan (any letter case). False, with value
// untouched, when the token is anything else or lies beyond the range of
// double.
bool parseNumber(std::string_view token, double& value);

} // namespace vog::surface
