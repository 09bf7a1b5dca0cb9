#include "surface/prepare/point_sort.h"

#include "geometry/point_order.h"

#include <algorithm>

namespace vog::surface {

void sortPoints(std::vector<Point3>& points, std::size_t first, std::size_t last) {
    if (first >= last) return;
    const auto begin = points.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = points.begin() + static_cast<std::ptrdiff_t>(last) + 1;
    std::stable_sort(begin, end,
                     [](const Point3& a, const Point3& b) { return comparePointsXYZ(a, b) < 0; });
}

} // namespace vog::surface
