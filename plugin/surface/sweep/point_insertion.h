// One step of the incremental Delaunay triangulation: a point is inserted by
// removing every triangle whose circumcircle contains it and filling the
// cavity with triangles that fan out from it. Each new triangle is the cavity
// edge, in the direction it had in the removed triangle, then the point, so
// new triangles keep the clockwise turning of those they replace.
#pragma once

#include "geometry/geometry.h"

#include <cstddef>
#include <vector>

namespace vog::surface {

// The point count of the latest triangulation (its number of points plus 2).
// It is kept after the triangulation for the local triangulations of the
// fault step and for boundary clipping of the same command.
void setTriangulationPointCount(std::size_t count);
std::size_t triangulationPointCount();

// A working list may hold at most 3 x the point count triangles.
std::size_t triangleLimit();

// Inserts p into the working list of a triangulation whose points arrive in
// ascending x. A triangle whose circle ends left of p (p.x > xc + radius) can
// contain no later point: it is retired, in order, to the completed list. A
// triangle belongs to the cavity when p lies strictly inside its circle, so a
// point on a circle keeps that triangle. Returns 0, or RTERROR after the alert
// "# of triangles exceeds maximum allowed of <limit>.  Contact the developer."
// when a new triangle would pass the limit.
int insertPointSweep(std::vector<CircumTriangle>& working, std::vector<CircumTriangle>& completed,
                     const Point3& p);

// The same without retiring and with an inclusive test: a triangle whose
// circle passes through p belongs to the cavity too. For local
// triangulations of points in any order.
int insertPoint(std::vector<CircumTriangle>& triangles, const Point3& p);

} // namespace vog::surface
