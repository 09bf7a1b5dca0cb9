#include "surface/number_text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vog::surface {

void appendFixed6(std::string& out, double value) {
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
