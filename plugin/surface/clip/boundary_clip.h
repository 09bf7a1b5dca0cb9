// Boundary and void clipping: trims a triangle file with the segments of a
// boundary/void file. A triangle is kept whole when no boundary segment cuts
// it and its test point lies inside the segments by the even-odd rule, so
// outer boundaries, voids and islands in voids are told apart by nesting
// alone. Triangles are never cut.
//
// The segments are indexed so that each triangle is tested only against the
// segments near it: a grid over their boxes for the crossing test, strips over
// their heights for the even-odd ray. The index only narrows the candidates;
// each candidate is decided by the same per-segment test as always, so the
// results are those of testing every segment.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"
#include "surface/clip/ray_strips.h"
#include "surface/clip/segment_grid.h"

#include <string>
#include <vector>

namespace vog::surface {

// Distance within which a test point still counts a segment it lies just
// beside (see triangleInsidePolygon).
constexpr double kPolygonTolerance = 0.001;

// Writes the triangles of source that survive the boundary to target, in
// source order, with the meter "Clipping to the boundary". Returns
// Status::ok, or failed after an alert: "Could not open boundary file." when
// it cannot be opened, a message naming the file and line of a record that is
// not a boundary segment or not a triangle, or a triangle file that cannot be
// opened or written. On failure the target may be incomplete and is the
// caller's to delete.
Status clipTrianglesToBoundary(const std::wstring& boundaryFile, const std::wstring& source,
                               const std::wstring& target, const Seam& seam);

// The boundary segments, in file order, with their two indexes.
struct BoundaryIndex {
    std::vector<Segment> segments;
    SegmentGrid grid;
    RayStrips strips;
};

BoundaryIndex makeBoundaryIndex(std::vector<Segment> segments);

// 1 when an edge of the triangle crosses a boundary segment, else 0. An edge
// crosses a segment only where the two meet in a point interior to both;
// touching does not count, nor does an edge with an end within the plan
// tolerance of a segment end, nor a crossing point within it of a segment end.
int triangleCrossesBoundary(const Triangle& triangle, const BoundaryIndex& boundary);
int triangleCrossesBoundary(const Triangle& triangle, const std::vector<Segment>& segments);

// 1 when the triangle's test point lies inside the segments by the even-odd
// rule, else 0. The test point ((x1 + 2 x2 + x3) / 4, (y1 + 2 y2 + y3) / 4) is
// the midpoint between the midpoints of the edges 1-2 and 2-3. A segment
// counts when the horizontal ray from the test point towards +x crosses it,
// the lower end excluded and the upper included; horizontal segments never
// count, and a crossing up to kPolygonTolerance left of the test point still
// does.
int triangleInsidePolygon(const Triangle& triangle, const BoundaryIndex& boundary);
int triangleInsidePolygon(const Triangle& triangle, const std::vector<Segment>& segments);

} // namespace vog::surface
