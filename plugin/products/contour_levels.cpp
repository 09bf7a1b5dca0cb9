#include "products/contour_levels.h"

#include <cmath>

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

} // namespace vog::products
