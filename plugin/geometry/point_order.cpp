#include "geometry/point_order.h"

#include <cmath>

namespace vog::surface {

namespace {

int compareValues(double a, double b) {
    if (a < b) return -1;
    if (a > b) return 1;
    return 0;
}

} // namespace

int comparePointsXY(const Point3& a, const Point3& b) {
    if (int byX = compareValues(a.x, b.x)) return byX;
    return compareValues(a.y, b.y);
}

int comparePointsXYZ(const Point3& a, const Point3& b) {
    if (int byXY = comparePointsXY(a, b)) return byXY;
    return compareValues(a.z, b.z);
}

int comparePointsXYTolerant(const Point3& a, const Point3& b) {
    double dx = a.x - b.x;
    if (std::fabs(dx) > kPlanTolerance) return a.x < b.x ? -1 : 1;
    // Within the tolerance in x (a difference of exactly the tolerance
    // included): y decides.
    double dy = a.y - b.y;
    if (std::fabs(dy) > kPlanTolerance) return a.y < b.y ? -1 : 1;
    return 0;
}

} // namespace vog::surface
