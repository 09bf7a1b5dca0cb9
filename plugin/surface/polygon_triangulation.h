// Triangulation of one side of a fault's hole: a simple polygon whose corners
// are surface vertices. The triangles tile the polygon exactly, use only its
// corners and contain every polygon edge; among such triangulations it is a
// Delaunay one as far as the polygon edges allow (constrained Delaunay), so
// the surface keeps well-shaped triangles next to the fault.
#pragma once

#include "surface/geometry.h"

#include <vector>

namespace vog::surface {

// Triangulates the polygon with the given corners in order (closed: the last
// corner joins the first), in either direction. The triangles are appended to
// triangles, each clockwise. Returns 0, or -1 when the corners do not form a
// simple polygon of non-zero area (then nothing is appended).
int triangulatePolygonPoints(const std::vector<Point3>& polygon, std::vector<Triangle>& triangles);

} // namespace vog::surface
