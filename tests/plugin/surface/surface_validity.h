// A checker of surfaces that shares nothing with the plug-in: the triangles
// as the file holds them (six decimals, so whole numbers of millionths) are
// tested with integer arithmetic for being a triangulation of the points they
// cover.
#pragma once

#include "geometry/geometry.h"

#include <string>
#include <vector>

namespace vog::surface::testing {

struct SurfaceCheck {
    std::string fault;        // empty when every property holds
    long double area = 0;     // plan area of the triangles, square units
    long double hullArea = 0; // plan area of the points' convex hull
};

// Checks that the triangles form a valid triangulation of the region they
// cover, with the points as vertices:
// - every corner is one of the points (x, y and z);
// - every triangle turns clockwise with an area;
// - every edge is used by one triangle or by two in opposite directions, and
//   the edges used once close up (each vertex starts as many as it ends);
// - no two triangles overlap, so the plan area is that of the region covered;
//   and that region lies within the points' convex hull;
// - no point lies inside a triangle or on the inside of an edge.
SurfaceCheck checkSurface(const std::vector<Triangle>& triangles,
                          const std::vector<Point3>& points);

} // namespace vog::surface::testing
