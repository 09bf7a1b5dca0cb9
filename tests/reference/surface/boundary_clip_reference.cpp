#include "reference/surface/boundary_clip_reference.h"

#include "base/wide_text.h"
#include "geometry/plan_orientation.h"
#include "geometry/point_order.h"
#include "host_api.h"
#include "reference/surface/record_reference.h"
#include "surface/files/segment_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace vogref::surface {

using vog::surface::comparePointsXYTolerant;
using vog::surface::Point3;
using vog::surface::segmentsCrossInterior;

namespace {

bool tolerantEqual(const Point3& a, const Point3& b) {
    return comparePointsXYTolerant(a, b) == 0;
}

bool edgeCrossesSegment(const Point3& e1, const Point3& e2, const Segment& s) {
    if (tolerantEqual(e1, s.a) || tolerantEqual(e1, s.b) || tolerantEqual(e2, s.a) ||
        tolerantEqual(e2, s.b))
        return false;
    if (!segmentsCrossInterior(e1, e2, s.a, s.b)) return false;
    const double d = (s.b.y - s.a.y) * (e2.x - e1.x) - (s.b.x - s.a.x) * (e2.y - e1.y);
    if (d == 0) return false;
    const double t = ((e1.y - s.a.y) * (s.b.x - s.a.x) - (e1.x - s.a.x) * (s.b.y - s.a.y)) / d;
    const Point3 crossing{e1.x + t * (e2.x - e1.x), e1.y + t * (e2.y - e1.y), 0};
    return !tolerantEqual(crossing, s.a) && !tolerantEqual(crossing, s.b);
}

} // namespace

int triangleCrossesBoundary(const Triangle& triangle, const std::vector<Segment>& segments) {
    const auto& c = triangle.corners;
    int result = 0;
    for (const Segment& s : segments) {
        if (edgeCrossesSegment(c[0], c[1], s)) result = 1;
        if (edgeCrossesSegment(c[1], c[2], s)) result = 1;
        if (edgeCrossesSegment(c[2], c[0], s)) result = 1;
    }
    return result;
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
        if (px <= xi || std::fabs(px - xi) < 0.001) ++count;
    }
    return count % 2 == 1 ? 1 : 0;
}

int clipTrianglesToBoundary(const std::wstring& boundaryFile, const std::wstring& source,
                            const std::wstring& target) {
    using vog::surface::readSegmentFile;
    using vog::surface::SegmentFileContents;
    using vog::surface::SegmentLayout;

    SegmentFileContents boundary =
        readSegmentFile(boundaryFile, SegmentLayout::Spatial, L"boundary segment");
    if (boundary.status == SegmentFileContents::Status::NotOpened) {
        acedAlert(L"Could not open boundary file.");
        return RTERROR;
    }
    if (boundary.status == SegmentFileContents::Status::Malformed) {
        acedAlert(boundary.message.c_str());
        return RTERROR;
    }
    TriangleFileReader in(source);
    if (!in.isOpen()) {
        acedAlert(L"Error opening triangle file.");
        return RTERROR;
    }
    std::ofstream out(vog::filePath(target), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        acedAlert(L"Error opening output file.");
        return RTERROR;
    }
    Triangle triangle;
    TriangleFileReader::Result result;
    while ((result = in.read(triangle)) == TriangleFileReader::Result::Triangle) {
        if (triangleCrossesBoundary(triangle, boundary.segments) == 0 &&
            triangleInsidePolygon(triangle, boundary.segments) == 1)
            writeTriangleRecord(out, triangle);
    }
    if (result == TriangleFileReader::Result::Malformed) {
        acedAlert(in.malformedMessage().c_str());
        return RTERROR;
    }
    out.close();
    if (out.fail()) {
        const std::wstring message = L"Error writing " + target + L".";
        acedAlert(message.c_str());
        return RTERROR;
    }
    return RTNORM;
}

} // namespace vogref::surface
