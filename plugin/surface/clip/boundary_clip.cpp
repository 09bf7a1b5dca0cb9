#include "surface/clip/boundary_clip.h"

#include "base/progress_steps.h"
#include "base/wide_text.h"
#include "geometry/plan_orientation.h"
#include "geometry/point_order.h"
#include "surface/files/segment_file.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace vog::surface {

namespace {

// The crossing test decides on coordinates taken to the nearest millionth
// while they are below 1e9 in size (plan_orientation.h). When the corners and
// the segment ends are all below this limit, an edge can cross a segment only
// if their boxes, widened by kCrossingMargin, touch: the coordinates taken lie
// within a millionth (and a rounding error far smaller) of the true ones.
// Beyond the limit the boxes are not used and every segment is tested.
constexpr double kIndexLimit = 1e8;
constexpr double kCrossingMargin = 1e-5;

bool tolerantEqual(const Point3& a, const Point3& b) {
    return comparePointsXYTolerant(a, b) == 0;
}

bool edgeCrossesSegment(const Point3& e1, const Point3& e2, const Segment& s) {
    // An edge that ends at (or within the tolerance of) a boundary vertex
    // touches the boundary there: this edge is skipped, the others are not.
    if (tolerantEqual(e1, s.a) || tolerantEqual(e1, s.b) || tolerantEqual(e2, s.a) ||
        tolerantEqual(e2, s.b))
        return false;
    // The crossing point must be interior to both; decided exactly, so that a
    // corner lying on a boundary side is never taken for a crossing.
    if (!segmentsCrossInterior(e1, e2, s.a, s.b)) return false;
    const double d = (s.b.y - s.a.y) * (e2.x - e1.x) - (s.b.x - s.a.x) * (e2.y - e1.y);
    if (d == 0) return false;
    const double t = ((e1.y - s.a.y) * (s.b.x - s.a.x) - (e1.x - s.a.x) * (s.b.y - s.a.y)) / d;
    const Point3 crossing{e1.x + t * (e2.x - e1.x), e1.y + t * (e2.y - e1.y), 0};
    // An edge passing through a boundary vertex touches the boundary there.
    return !tolerantEqual(crossing, s.a) && !tolerantEqual(crossing, s.b);
}

bool triangleCrossesSegment(const Triangle& triangle, const Segment& s) {
    const auto& c = triangle.corners;
    return edgeCrossesSegment(c[0], c[1], s) || edgeCrossesSegment(c[1], c[2], s) ||
           edgeCrossesSegment(c[2], c[0], s);
}

// Whether the ray from (px, py) towards +x counts the segment.
bool rayCountsSegment(double px, double py, const Segment& s) {
    const Point3& a = s.a;
    const Point3& b = s.b;
    if (!(py > std::min(a.y, b.y) && py <= std::max(a.y, b.y) && px <= std::max(a.x, b.x) &&
          a.y != b.y))
        return false;
    if (a.x == b.x) return true;
    const double xi = (py - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
    return px <= xi || std::fabs(px - xi) < kPolygonTolerance;
}

bool withinIndexLimit(const Point3& p) {
    return std::fabs(p.x) < kIndexLimit && std::fabs(p.y) < kIndexLimit;
}

PlanBox widenedBox(const Point3& p, const Point3& q) {
    return {std::min(p.x, q.x) - kCrossingMargin, std::min(p.y, q.y) - kCrossingMargin,
            std::max(p.x, q.x) + kCrossingMargin, std::max(p.y, q.y) + kCrossingMargin};
}

} // namespace

BoundaryIndex makeBoundaryIndex(std::vector<Segment> segments) {
    BoundaryIndex index;
    index.segments = std::move(segments);
    index.grid = makeSegmentGrid(index.segments, kIndexLimit);
    index.strips = makeRayStrips(index.segments);
    return index;
}

int triangleCrossesBoundary(const Triangle& triangle, const BoundaryIndex& boundary) {
    const auto& c = triangle.corners;
    const std::vector<Segment>& segments = boundary.segments;
    if (!withinIndexLimit(c[0]) || !withinIndexLimit(c[1]) || !withinIndexLimit(c[2])) {
        for (const Segment& s : segments)
            if (triangleCrossesSegment(triangle, s)) return 1;
        return 0;
    }
    const PlanBox edges[3] = {widenedBox(c[0], c[1]), widenedBox(c[1], c[2]),
                              widenedBox(c[2], c[0])};
    const PlanBox box{std::min({edges[0].minX, edges[1].minX, edges[2].minX}),
                      std::min({edges[0].minY, edges[1].minY, edges[2].minY}),
                      std::max({edges[0].maxX, edges[1].maxX, edges[2].maxX}),
                      std::max({edges[0].maxY, edges[1].maxY, edges[2].maxY})};
    const bool crossed =
        visitSegmentsNear(boundary.grid, box, [&](std::uint32_t position, bool filed) {
            const Segment& s = segments[position];
            if (!filed) return triangleCrossesSegment(triangle, s);
            // Both within the limit: an edge whose box misses the segment's
            // cannot cross it.
            const PlanBox near = segmentBox(s);
            return (boxesTouch(edges[0], near) && edgeCrossesSegment(c[0], c[1], s)) ||
                   (boxesTouch(edges[1], near) && edgeCrossesSegment(c[1], c[2], s)) ||
                   (boxesTouch(edges[2], near) && edgeCrossesSegment(c[2], c[0], s));
        });
    return crossed ? 1 : 0;
}

int triangleCrossesBoundary(const Triangle& triangle, const std::vector<Segment>& segments) {
    return triangleCrossesBoundary(triangle, makeBoundaryIndex(segments));
}

int triangleInsidePolygon(const Triangle& triangle, const BoundaryIndex& boundary) {
    const auto& c = triangle.corners;
    const double px = ((c[1].x + c[2].x) * 0.5 + (c[1].x + c[0].x) * 0.5) * 0.5;
    const double py = ((c[1].y + c[2].y) * 0.5 + (c[1].y + c[0].y) * 0.5) * 0.5;
    // Only the parity of the count matters, so the order in which the
    // segments are counted does not.
    int count = 0;
    visitSegmentsRightOf(boundary.strips, px, py, [&](std::uint32_t position) {
        if (rayCountsSegment(px, py, boundary.segments[position])) ++count;
    });
    return count % 2 == 1 ? 1 : 0;
}

int triangleInsidePolygon(const Triangle& triangle, const std::vector<Segment>& segments) {
    return triangleInsidePolygon(triangle, makeBoundaryIndex(segments));
}

Status clipTrianglesToBoundary(const std::wstring& boundaryFile, const std::wstring& source,
                               const std::wstring& target, const Seam& seam) {
    Messages& messages = seam.messages;
    SegmentFileContents contents =
        readSegmentFile(boundaryFile, SegmentLayout::Spatial, L"boundary segment");
    if (contents.status == SegmentFileContents::Status::NotOpened) {
        messages.alert(L"Could not open boundary file.");
        return Status::failed;
    }
    if (contents.status == SegmentFileContents::Status::Malformed) {
        messages.alert(contents.message);
        return Status::failed;
    }

    TriangleFileReader in(source);
    if (!in.isOpen()) {
        messages.alert(L"Error opening triangle file.");
        return Status::failed;
    }
    std::ofstream out(filePath(target), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        messages.alert(L"Error opening output file.");
        return Status::failed;
    }
    const BoundaryIndex boundary = makeBoundaryIndex(std::move(contents.segments));

    std::string lines;
    // The meter counts triangles against an estimate from the file size.
    std::error_code sizeError;
    const auto bytes = std::filesystem::file_size(filePath(source), sizeError);
    StepMeter progress(seam.progress, L"Clipping to the boundary", sizeError ? 0 : bytes / 80 + 1,
                       1024);
    std::size_t read = 0;
    const TriangleWalk walk = forEachTriangle(in, [&](const Triangle& triangle) {
        progress.advance(++read);
        if (triangleCrossesBoundary(triangle, boundary) == 0 &&
            triangleInsidePolygon(triangle, boundary) == 1)
            appendTriangleRecord(lines, triangle);
        if (lines.size() > (1 << 16)) {
            out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
            lines.clear();
        }
        return true;
    });
    // The triangles kept before a bad record are written all the same, as a
    // record-by-record writer leaves them.
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    if (walk == TriangleWalk::malformed) {
        messages.alert(in.malformedMessage());
        return Status::failed;
    }
    if (walk == TriangleWalk::unreadable) {
        messages.alert(L"Error opening triangle file.");
        return Status::failed;
    }
    out.close();
    if (out.fail()) {
        messages.alert(L"Error writing " + target + L".");
        return Status::failed;
    }
    return Status::ok;
}

} // namespace vog::surface
