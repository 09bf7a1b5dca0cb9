// Exact signs of the two decisions a triangulation is made of, for the points
// as the doubles hold them: on which side of a line a point lies, and whether
// a point lies inside the circle through three others. A quick estimate in
// floating point decides when its error bound allows; otherwise the sign is
// computed without rounding, as a sum of doubles that do not overlap.
#pragma once

#include "geometry/geometry.h"

#include <cmath>

namespace vog::surface {

// The orientation without rounding, for exactOrientation.
int exactOrientationSlow(const Point3& a, const Point3& b, const Point3& c);

// +1 when a, b, c turn counter-clockwise in plan (c left of a->b), -1 when
// clockwise, 0 when the three lie exactly on one line.
inline int exactOrientation(const Point3& a, const Point3& b, const Point3& c) {
    const double left = (a.x - c.x) * (b.y - c.y);
    const double right = (a.y - c.y) * (b.x - c.x);
    const double det = left - right;
    // The rounding of the four differences, two products and the difference
    // cannot change the sign while the estimate is beyond this bound (below
    // the smallest size the products may have lost bits to underflow).
    constexpr double kEpsilon = 0x1p-53;
    const double size = std::fabs(left) + std::fabs(right);
    const double bound = (3.0 + 16.0 * kEpsilon) * kEpsilon * size;
    if (size > 1e-280 && size < 1e300 && std::fabs(det) > bound) return det > 0 ? 1 : -1;
    return exactOrientationSlow(a, b, c);
}

// The sign of the in-circle determinant: for a, b, c counter-clockwise, +1
// when d lies strictly inside their circle, -1 when strictly outside, 0 on
// it. For a, b, c clockwise the sign turns over. Zero for collinear a, b, c
// only when d lies on their line too.
int exactInCircle(const Point3& a, const Point3& b, const Point3& c, const Point3& d);

} // namespace vog::surface
