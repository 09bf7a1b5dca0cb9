// The raw triangulation: the sorted point file becomes the ".ttin" triangle
// file beside the point file. An incremental Delaunay triangulation inside a
// very large enclosing triangle; the points arrive in ascending x, so the
// triangles left behind the sweep are retired from the working list as it
// goes. The sweep itself works on points in memory and writes to a stream;
// the file step around it opens the files and says what went wrong with them.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace vog::surface {

// The corners V1, V2, V3 of the enclosing triangle, clockwise, for points in
// the box min..max: with d the larger side of the box and (xm, ym) its
// centre, (xm - 16000 d, ym - 8000 d), (xm, ym + 8000 d) and
// (xm + 16000 d, ym - 8000 d), all at elevation 0.
std::array<Point3, 3> enclosingCorners(const Point3& min, const Point3& max);

// The points of a sorted point file: its header of extremes, then its points
// in file order, and what the reading saw of their order.
struct SortedPoints {
    Point3 min;
    Point3 max;
    std::vector<Point3> points;
    bool ascendingX = true;        // no point has a smaller x than the one before
    bool strictlyAscending = true; // each point after the one before by x, y, z
};

// The most triangles the working list of a triangulation of pointCount points
// may hold: three times the points and two.
std::size_t triangleLimit(std::size_t pointCount);

// How the sweep over points in memory ended.
enum class [[nodiscard]] SweepEnd{
    written,     // every triangle handed to the stream, which took them all
    writeFailed, // the stream failed; the caller names the file
    failed,      // stopped after the alert "# of triangles exceeds maximum
                 // allowed of <limit>.  Contact the developer."
    cancelled,   // the break key, polled before each point
};

// Triangulates the points (the three corners of the enclosing triangle are
// appended to them) and writes the triangles to out: first those retired by
// the sweep, in retirement order, then those left in the working list, in its
// order; every triangle with a corner of the enclosing triangle is dropped.
// The working list holds at most limit triangles. Prints "Done\n" before the
// last triangles are written, or "\nNo points to triangulate." and writes
// nothing when there is no point; the meter "Creating Triangulation" counts
// the points. After failed or cancelled, out may hold part of the triangles.
// writtenForm, when given, is set to whether every written number is in the
// form a copy of the file writes again (moveTriangleFile's knownWritten).
SweepEnd triangulatePoints(SortedPoints& sorted, std::ostream& out, std::size_t limit,
                           const Seam& seam, bool* writtenForm = nullptr);

// Triangulates the points of the sorted point file (header of extremes, then
// points ascending by x, y, z without plan duplicates) into the point file's
// ".ttin" sibling, as triangulatePoints writes them. Returns Status::ok;
// failed after an alert when a file cannot be opened, read or written, or the
// triangle limit is reached; cancelled on a break. After a failure once the
// ".ttin" is open, and on a break, it is left empty. writtenForm as for
// triangulatePoints.
Status triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile,
                               const Seam& seam, bool* writtenForm = nullptr);

} // namespace vog::surface
