#include "products/contours/contour_levels.h"

#include <cmath>
#include <cstdio>

namespace vog::products {

ContourLevels contourLevels(double start, double end, double interval) {
    ContourLevels levels;
    levels.interval = interval;
    levels.first = std::trunc(start / interval) * interval;
    levels.top = (std::trunc(end / interval) + 1) * interval;
    return levels;
}

bool nextLevel(const ContourLevels& levels, double& level) {
    double next = level + levels.interval;
    if (!(next > level) || !(next <= levels.top)) return false;
    level = next;
    return true;
}

double levelCount(const ContourLevels& levels) {
    if (!(levels.first <= levels.top)) return 0;
    return std::floor((levels.top - levels.first) / levels.interval) + 1;
}

std::wstring tooManyLevelsMessage(double count) {
    const std::wstring prefix =
        L"Contour interval is too small for the start and end heights: the contours would have ";
    if (!std::isfinite(count)) return prefix + L"more than 1000000 levels.";
    wchar_t number[64];
    std::swprintf(number, 64, L"%.0f", count);
    return prefix + number + L" levels, more than 1000000.";
}

} // namespace vog::products
