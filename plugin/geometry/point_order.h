// The three point orderings of the surface code. Each answers -1 when the
// first point orders before the second, 0 when they count as equal and +1
// when it orders after.
#pragma once

#include "geometry/geometry.h"

namespace vog::surface {

// Plan distance below which comparePointsXYTolerant counts coordinates equal.
constexpr double kPlanTolerance = 1e-5;

// By x, then y; z is ignored. Two points of a point file are duplicates
// exactly when this answers 0.
int comparePointsXY(const Point3& a, const Point3& b);

// By x, then y, then z; 0 only when all three are equal.
int comparePointsXYZ(const Point3& a, const Point3& b);

// Same-point test in plan with a tolerance of kPlanTolerance: x decides when
// the x values differ by more than the tolerance, otherwise y does, and two
// points within the tolerance in both are equal. Not transitive near the
// tolerance, so never used for sorting.
int comparePointsXYTolerant(const Point3& a, const Point3& b);

} // namespace vog::surface
