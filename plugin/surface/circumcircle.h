// The circumcircle of a triangle, as the triangulation and the fault step use
// it for their in-circle tests.
#pragma once

#include "surface/geometry.h"

namespace vog::surface {

// Fills in the centre (xc, yc, 0) and the radius of the circle through the
// three corners, from the perpendicular bisectors of the edges 1-2 and 2-3
// (exact comparisons, no tolerance). For three corners on one line the values
// are infinite or undefined, and the tests that use them follow ordinary IEEE
// comparison.
void computeCircumcircle(CircumTriangle& triangle);

// The triangle with its circumcircle.
CircumTriangle withCircumcircle(const Triangle& triangle);

} // namespace vog::surface
