#include "products/contours/index_contours.h"

#include <cmath>

namespace vog::products {

IndexInterval effectiveIndexInterval(double indexInterval, double interval) {
    double ratio = indexInterval / interval;
    double k = std::trunc(ratio);
    if (std::fabs(k - ratio) > 0.9999) k += 1;
    double value = k * interval;
    if (value == interval) return {2 * interval, true};
    return {value, false};
}

bool isIndexContour(double z, double effectiveInterval) {
    if (effectiveInterval == 0 || !std::isfinite(effectiveInterval)) return false;
    double q = z / effectiveInterval;
    double f = std::trunc(q);
    if (std::fabs(f - q) > 0.9999) f = f >= 0 ? f + 1 : f - 1;
    return std::fabs(std::fabs(f) - std::fabs(q)) <= 0.0001;
}

} // namespace vog::products
