#include "surface/boundary_clip.h"

#include "host/host_api.h"
#include "host/wide_text.h"
#include "surface/plan_orientation.h"
#include "surface/point_order.h"
#include "surface/segment_file.h"
#include "surface/step_progress.h"
#include "surface/triangle_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

namespace vog::surface {

namespace {

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

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

} // namespace

int triangleCrossesBoundary(const Triangle& triangle, const std::vector<Segment>& segments) {
    const auto& c = triangle.corners;
    for (const Segment& s : segments) {
        if (edgeCrossesSegment(c[0], c[1], s) || edgeCrossesSegment(c[1], c[2], s) ||
            edgeCrossesSegment(c[2], c[0], s))
            return 1;
    }
    return 0;
}

int triangleInsidePolygon(const Triangle& triangle, const std::vector<Segment>& segments) {
    const auto& c = triangle.corners;
    const double px = ((c[1].x + c[2].x) * 0.5 + (c[1].x + c[0].x) * 0.5) * 0.5;
    const double py = ((c[1].y + c[2].y) * 0.5 + (c[1].y + c[0].y) * 0.5) * 0.5;
    int count = 0;
    for (const Segment& s : segments) {
        const Point3& a = s.a;
        const Point3& b = s.b;
        if (!(py > std::min(a.y, b.y) && py <= std::max(a.y, b.y) && px <= std::max(a.x, b.x) &&
              a.y != b.y))
            continue;
        if (a.x == b.x) {
            ++count;
            continue;
        }
        const double xi = (py - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
        if (px <= xi || std::fabs(px - xi) < kPolygonTolerance) ++count;
    }
    return count % 2 == 1 ? 1 : 0;
}

int clipTrianglesToBoundary(const std::wstring& boundaryFile, const std::wstring& source,
                            const std::wstring& target) {
    SegmentFileContents boundary =
        readSegmentFile(boundaryFile, SegmentLayout::Spatial, L"boundary segment");
    if (boundary.status == SegmentFileContents::Status::NotOpened) {
        alert(L"Could not open boundary file.");
        return RTERROR;
    }
    if (boundary.status == SegmentFileContents::Status::Malformed) {
        alert(boundary.message);
        return RTERROR;
    }

    TriangleFileReader in(source);
    if (!in.isOpen()) {
        alert(L"Error opening triangle file.");
        return RTERROR;
    }
    std::ofstream out(filePath(target), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        alert(L"Error opening output file.");
        return RTERROR;
    }

    Triangle triangle;
    TriangleFileReader::Result result;
    std::string lines;
    // The meter counts triangles against an estimate from the file size.
    std::error_code sizeError;
    const auto bytes = std::filesystem::file_size(filePath(source), sizeError);
    StepProgress progress(L"Clipping to the boundary", sizeError ? 0 : bytes / 80 + 1);
    std::size_t read = 0;
    while ((result = in.read(triangle)) == TriangleFileReader::Result::Triangle) {
        progress.advance(++read);
        if (triangleCrossesBoundary(triangle, boundary.segments) == 0 &&
            triangleInsidePolygon(triangle, boundary.segments) == 1)
            appendTriangleRecord(lines, triangle);
        if (lines.size() > (1 << 16)) {
            out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
            lines.clear();
        }
    }
    if (result == TriangleFileReader::Result::Malformed) {
        alert(in.malformedMessage());
        return RTERROR;
    }
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    out.close();
    if (out.fail()) {
        alert(L"Error writing " + target + L".");
        return RTERROR;
    }
    return RTNORM;
}

} // namespace vog::surface
