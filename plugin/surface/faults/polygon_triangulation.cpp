#include "surface/faults/polygon_triangulation.h"

#include "geometry/plan_orientation.h"

#include <cstddef>
#include <utility>

namespace vog::surface {

namespace {

// d strictly inside the circle through a, b, c (counter-clockwise). Only the
// shape of the triangles depends on this test, never their validity.
bool inCircle(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const long double adx = static_cast<long double>(a.x) - d.x;
    const long double ady = static_cast<long double>(a.y) - d.y;
    const long double bdx = static_cast<long double>(b.x) - d.x;
    const long double bdy = static_cast<long double>(b.y) - d.y;
    const long double cdx = static_cast<long double>(c.x) - d.x;
    const long double cdy = static_cast<long double>(c.y) - d.y;
    const long double det = (adx * adx + ady * ady) * (bdx * cdy - cdx * bdy) +
                            (bdx * bdx + bdy * bdy) * (cdx * ady - adx * cdy) +
                            (cdx * cdx + cdy * cdy) * (adx * bdy - bdx * ady);
    return det > 0;
}

// The same with a, b, c in any turning.
bool inCircleAnyTurn(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    return planOrientation(a, b, c) > 0 ? inCircle(a, b, c, d) : inCircle(a, c, b, d);
}

} // namespace

bool triangulatePolygonPoints(const std::vector<Point3>& polygon,
                              std::vector<Triangle>& triangles) {
    const std::size_t n = polygon.size();
    if (n < 3) return false;
    std::vector<Triangle> result;
    // Each piece is the corners first..last with its base edge last-first.
    // The corner between them whose circle through the base edge holds no
    // other corner of the piece makes a triangle of the constrained Delaunay
    // triangulation with the base edge; it splits the rest in two pieces.
    std::vector<std::pair<std::size_t, std::size_t>> pieces{{0, n - 1}};
    while (!pieces.empty()) {
        const auto [first, last] = pieces.back();
        pieces.pop_back();
        if (last - first < 2) continue;
        const Point3& a = polygon[last];
        const Point3& b = polygon[first];
        // Corners on the base edge's line can make no triangle with it.
        std::size_t apex = last;
        for (std::size_t k = first + 1; k < last; ++k) {
            if (planOrientation(a, b, polygon[k]) == 0) continue;
            if (apex == last || inCircleAnyTurn(a, b, polygon[apex], polygon[k])) apex = k;
        }
        if (apex == last) return false;
        const Point3& c = polygon[apex];
        const int turn = planOrientation(a, b, c);
        result.push_back(turn < 0 ? Triangle{{a, b, c}} : Triangle{{a, c, b}});
        pieces.push_back({first, apex});
        pieces.push_back({apex, last});
    }
    triangles.insert(triangles.end(), result.begin(), result.end());
    return true;
}

} // namespace vog::surface
