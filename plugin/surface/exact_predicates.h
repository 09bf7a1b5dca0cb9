// Exact signs of the two decisions a triangulation is made of, for the points
// as the doubles hold them: on which side of a line a point lies, and whether
// a point lies inside the circle through three others. A quick estimate in
// floating point decides when its error bound allows; otherwise the sign is
// computed without rounding, as a sum of doubles that do not overlap.
#pragma once

#include "surface/geometry.h"

namespace vog::surface {

// +1 when a, b, c turn counter-clockwise in plan (c left of a->b), -1 when
// clockwise, 0 when the three lie exactly on one line.
int exactOrientation(const Point3& a, const Point3& b, const Point3& c);

// The sign of the in-circle determinant: for a, b, c counter-clockwise, +1
// when d lies strictly inside their circle, -1 when strictly outside, 0 on
// it. For a, b, c clockwise the sign turns over. Zero for collinear a, b, c
// only when d lies on their line too.
int exactInCircle(const Point3& a, const Point3& b, const Point3& c, const Point3& d);

} // namespace vog::surface
