#include "geometry/circumcircle.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vog::surface {

Circle circumcircleOf(const Point3& c1, const Point3& c2, const Point3& c3) {
    const double x1 = c1.x, y1 = c1.y;
    const double x2 = c2.x, y2 = c2.y;
    const double x3 = c3.x, y3 = c3.y;
    double xc;
    double yc;
    if (y1 == y2) {
        // Edge 1-2 is horizontal: its bisector is vertical.
        xc = (x1 + x2) * 0.5;
        double m2 = -(x3 - x2) / (y3 - y2);
        yc = m2 * (xc - (x2 + x3) * 0.5) + (y2 + y3) * 0.5;
    } else if (y2 == y3) {
        // Edge 2-3 is horizontal.
        double m1 = -(x2 - x1) / (y2 - y1);
        xc = (x2 + x3) * 0.5;
        yc = m1 * (xc - (x1 + x2) * 0.5) + (y1 + y2) * 0.5;
    } else {
        // Slopes of the two bisectors and the mid-points they pass through.
        double m1 = -(x2 - x1) / (y2 - y1);
        double m2 = -(x3 - x2) / (y3 - y2);
        double mx1 = (x1 + x2) * 0.5;
        double my1 = (y1 + y2) * 0.5;
        double mx2 = (x2 + x3) * 0.5;
        double my2 = (y2 + y3) * 0.5;
        xc = (m1 * mx1 - m2 * mx2 + my2 - my1) / (m1 - m2);
        yc = m1 * (xc - mx1) + my1;
    }
    return {xc, yc, std::sqrt((x2 - xc) * (x2 - xc) + (y2 - yc) * (y2 - yc))};
}

namespace {

// The next double above or below a positive finite one.
double stepUp(double s) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(s) + 1);
}
double stepDown(double s) {
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(s) - 1);
}

} // namespace

double largestSquareWithin(double radius) {
    if (!(radius > 0)) return -1;
    constexpr double kLargest = std::numeric_limits<double>::max();
    // The root of the rounded square of the radius lies within a unit in the
    // last place of the radius, so the bound is a few steps away.
    double s = radius * radius;
    if (!(s <= kLargest)) s = kLargest;
    if (std::sqrt(s) < radius) {
        while (s < kLargest && std::sqrt(stepUp(s)) < radius)
            s = stepUp(s);
        return s;
    }
    while (s > 0 && !(std::sqrt(s) < radius))
        s = stepDown(s);
    return std::sqrt(s) < radius ? s : -1;
}

void computeCircumcircle(CircumTriangle& triangle) {
    const auto& c = triangle.triangle.corners;
    const Circle circle = circumcircleOf(c[0], c[1], c[2]);
    triangle.xc = circle.xc;
    triangle.yc = circle.yc;
    triangle.zc = 0;
    triangle.radius = circle.radius;
}

CircumTriangle withCircumcircle(const Triangle& triangle) {
    CircumTriangle result;
    result.triangle = triangle;
    computeCircumcircle(result);
    return result;
}

} // namespace vog::surface
