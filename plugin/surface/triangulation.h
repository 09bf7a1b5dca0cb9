// The raw triangulation: the sorted point file becomes the ".ttin" triangle
// file beside the point file. An incremental Delaunay triangulation inside a
// very large enclosing triangle; the points arrive in ascending x, so the
// triangles left behind the sweep are retired from the working list as it
// goes.
#pragma once

#include "geometry/geometry.h"

#include <array>
#include <string>

namespace vog::surface {

// The corners V1, V2, V3 of the enclosing triangle, clockwise, for points in
// the box min..max: with d the larger side of the box and (xm, ym) its
// centre, (xm - 16000 d, ym - 8000 d), (xm, ym + 8000 d) and
// (xm + 16000 d, ym - 8000 d), all at elevation 0.
std::array<Point3, 3> enclosingCorners(const Point3& min, const Point3& max);

// Triangulates the points of the sorted point file (header of extremes, then
// points ascending by x, y, z without plan duplicates) and writes the
// triangles to the point file's ".ttin" sibling: first those retired by the
// sweep, in retirement order, then those left in the working list, in its
// order; every triangle with a corner of the enclosing triangle is dropped.
// Prints "Done\n" before writing, or "\nNo points to triangulate." and writes
// an empty file when there is no point. The break key is polled before each
// point. Returns 0; RTERROR after an alert when a file cannot be opened or
// read, or the triangle limit is reached; RTCAN on a break. On RTERROR after
// opening and on RTCAN the ".ttin" file is left empty. writtenForm, when
// given, is set to whether the ".ttin" is known to be what a copy of it
// writes (moveTriangleFile's knownWritten).
int triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile,
                            bool* writtenForm = nullptr);

} // namespace vog::surface
