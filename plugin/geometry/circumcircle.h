// The circumcircle of a triangle, as the triangulation and the fault step use
// it for their in-circle tests.
#pragma once

#include "geometry/geometry.h"

#include <cmath>

namespace vog::surface {

// Centre (xc, yc) and radius of a circle in plan.
struct Circle {
    double xc = 0;
    double yc = 0;
    double radius = 0;
};

// The circle through the three corners, from the perpendicular bisectors of
// the edges 1-2 and 2-3 (exact comparisons, no tolerance); the radius is the
// distance from the centre to the second corner. For three corners on one
// line the values are infinite or undefined, and the tests that use them
// follow ordinary IEEE comparison.
Circle circumcircleOf(const Point3& c1, const Point3& c2, const Point3& c3);

// Fills in the centre (xc, yc, 0) and the radius of the triangle's circle.
void computeCircumcircle(CircumTriangle& triangle);

// The triangle with its circumcircle.
CircumTriangle withCircumcircle(const Triangle& triangle);

// The square of the plan distance from (x, y) to the centre (xc, yc), the
// number under the root of the in-circle test.
inline double squaredDistanceToCentre(double xc, double yc, double x, double y) {
    return (x - xc) * (x - xc) + (y - yc) * (y - yc);
}

// The in-circle test of the insertion steps: the plan distance from p to the
// centre, computed as the triangulation has always computed it.
inline double distanceToCentre(const Circle& circle, const Point3& p) {
    return std::sqrt(squaredDistanceToCentre(circle.xc, circle.yc, p.x, p.y));
}

// The largest square s (as squaredDistanceToCentre computes it) whose root
// is below the radius: since the rounded root never decreases as s grows,
// distanceToCentre(circle, p) < radius exactly when the square is at most
// this. -1 when no square passes (a radius of 0 or below, or not a number).
double largestSquareWithin(double radius);

} // namespace vog::surface
