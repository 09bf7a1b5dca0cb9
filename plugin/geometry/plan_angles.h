// Directions in plan: the angle under which one point is seen from another,
// and the point reached from a base in a direction. Angles are in radians,
// counterclockwise from the x axis (east).
#pragma once

#include "geometry/geometry.h"

#include <cmath>

namespace vog::geometry {

// The angle of b seen from a in plan, in [0, 2π); heights are not looked at.
inline double planAngle(const surface::Point3& a, const surface::Point3& b) {
    double angle = std::atan2(b.y - a.y, b.x - a.x);
    if (angle < 0) angle += 2 * M_PI;
    return angle;
}

// The point at the plan distance from base in the direction of the angle, at
// the height of base.
inline surface::Point3 polarPoint(const surface::Point3& base, double angle, double distance) {
    return {base.x + distance * std::cos(angle), base.y + distance * std::sin(angle), base.z};
}

// The distance between two points in space.
inline double spaceDistance(const surface::Point3& a, const surface::Point3& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

} // namespace vog::geometry
