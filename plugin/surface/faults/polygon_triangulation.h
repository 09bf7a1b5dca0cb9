// Triangulation of one side of a fault's hole. The side is a polygon from the
// fault's second end round the cut triangles' corners on that side back to its
// first end, closed by the fault itself; every corner sees the fault (it is the
// end of an edge that crossed it), and a corner may occur twice where the hole
// touches itself. The triangles tile the polygon exactly, use only its
// corners, contain every polygon edge, and among such triangulations are a
// Delaunay one (constrained Delaunay), so the surface keeps well-shaped
// triangles beside the fault.
#pragma once

#include "geometry/geometry.h"

#include <vector>

namespace vog::surface {

// Triangulates the polygon with the given corners in order; its base edge
// runs from the last corner back to the first. Every corner must see the base
// edge. The triangles are appended to triangles, each clockwise. False when
// fewer than three corners are given or a triangle would have no area (then
// nothing is appended).
[[nodiscard]] bool triangulatePolygonPoints(const std::vector<Point3>& polygon,
                                            std::vector<Triangle>& triangles);

} // namespace vog::surface
