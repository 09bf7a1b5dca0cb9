// An independent Delaunay triangulation and a validity check for the tests of
// the triangulation core. Both work on points of a lattice (the test data have
// at most three decimals, so coordinate x 1000 is an integer) with exact
// integer predicates, and share nothing with the plug-in's code.
#pragma once

#include "geometry/geometry.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vog::surface::testing {

struct LatticePoint {
    std::int64_t x;
    std::int64_t y;
};

// The lattice point of a coordinate pair with at most three decimals.
LatticePoint toLattice(double x, double y);

struct ReferenceTriangulation {
    std::vector<std::array<int, 3>> triangles; // indices into the points, counter-clockwise
    bool cocircular = false;                   // four points on an empty circle: not unique
    bool ok = true;                            // construction went as expected
};

// Delaunay triangulation of distinct points: a sweep that builds some
// triangulation of the convex hull, then edge flips until every edge is
// locally Delaunay.
ReferenceTriangulation delaunayReference(const std::vector<LatticePoint>& points);

// Empty when the triangles form a valid triangulation of the given points:
// every triangle clockwise with non-zero area, every undirected edge used at
// most twice and then in opposite directions, every corner one of the points
// (x, y and z). Otherwise a description of the first fault found.
std::string triangulationFault(const std::vector<Triangle>& triangles,
                               const std::vector<Point3>& points);

// The sorted corner index triples of triangles whose corners are all among
// the points (by x and y); a corner that is not gives the index -1.
std::vector<std::array<int, 3>> indexTriples(const std::vector<Triangle>& triangles,
                                             const std::vector<Point3>& points);
std::vector<std::array<int, 3>> sortedTriples(std::vector<std::array<int, 3>> triangles);

} // namespace vog::surface::testing
