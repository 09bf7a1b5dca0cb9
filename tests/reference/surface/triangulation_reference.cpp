#include "reference/surface/triangulation_reference.h"

#include "base/wide_text.h"
#include "geometry/point_order.h"
#include "host_api.h"
#include "project/project_state.h"
#include "reference/surface/record_reference.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace vogref::surface {

using vog::surface::comparePointsXYZ;

namespace {

std::size_t pointCount = 0;

double distanceToCentre(const CircumTriangle& t, const Point3& p) {
    return std::sqrt((p.x - t.xc) * (p.x - t.xc) + (p.y - t.yc) * (p.y - t.yc));
}

void toggleEdges(const Triangle& t, std::vector<Segment>& cavity) {
    toggleSegment(t.corners[0], t.corners[1], cavity);
    toggleSegment(t.corners[1], t.corners[2], cavity);
    toggleSegment(t.corners[2], t.corners[0], cavity);
}

int fillCavity(std::vector<CircumTriangle>& triangles, const std::vector<Segment>& cavity,
               const Point3& p) {
    for (const Segment& edge : cavity) {
        if (triangles.size() >= triangleLimit()) {
            std::wstring message = L"# of triangles exceeds maximum allowed of " +
                                   std::to_wstring(triangleLimit()) + L".  Contact the developer.";
            acedAlert(message.c_str());
            return RTERROR;
        }
        triangles.push_back(withCircumcircle(Triangle{{edge.a, edge.b, p}}));
    }
    return 0;
}

bool touchesAnyCorner(const Triangle& t, const std::array<Point3, 3>& corners) {
    for (const Point3& corner : t.corners)
        for (const Point3& v : corners)
            if (comparePointsXYZ(corner, v) == 0) return true;
    return false;
}

} // namespace

void computeCircumcircle(CircumTriangle& triangle) {
    const auto& c = triangle.triangle.corners;
    const double x1 = c[0].x, y1 = c[0].y;
    const double x2 = c[1].x, y2 = c[1].y;
    const double x3 = c[2].x, y3 = c[2].y;
    double xc;
    double yc;
    if (y1 == y2) {
        xc = (x1 + x2) * 0.5;
        double m2 = -(x3 - x2) / (y3 - y2);
        yc = m2 * (xc - (x2 + x3) * 0.5) + (y2 + y3) * 0.5;
    } else if (y2 == y3) {
        double m1 = -(x2 - x1) / (y2 - y1);
        xc = (x2 + x3) * 0.5;
        yc = m1 * (xc - (x1 + x2) * 0.5) + (y1 + y2) * 0.5;
    } else {
        double m1 = -(x2 - x1) / (y2 - y1);
        double m2 = -(x3 - x2) / (y3 - y2);
        double mx1 = (x1 + x2) * 0.5;
        double my1 = (y1 + y2) * 0.5;
        double mx2 = (x2 + x3) * 0.5;
        double my2 = (y2 + y3) * 0.5;
        xc = (m1 * mx1 - m2 * mx2 + my2 - my1) / (m1 - m2);
        yc = m1 * (xc - mx1) + my1;
    }
    triangle.xc = xc;
    triangle.yc = yc;
    triangle.zc = 0;
    triangle.radius = std::sqrt((x2 - xc) * (x2 - xc) + (y2 - yc) * (y2 - yc));
}

CircumTriangle withCircumcircle(const Triangle& triangle) {
    CircumTriangle result;
    result.triangle = triangle;
    computeCircumcircle(result);
    return result;
}

void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments) {
    for (auto it = segments.begin(); it != segments.end(); ++it) {
        if ((it->a == a && it->b == b) || (it->a == b && it->b == a)) {
            segments.erase(it);
            return;
        }
    }
    segments.push_back({a, b});
}

void setTriangulationPointCount(std::size_t count) {
    pointCount = count;
}

std::size_t triangulationPointCount() {
    return pointCount;
}

std::size_t triangleLimit() {
    return 3 * pointCount;
}

int insertPointSweep(std::vector<CircumTriangle>& working, std::vector<CircumTriangle>& completed,
                     const Point3& p) {
    std::vector<Segment> cavity;
    std::size_t j = 0;
    while (j < working.size()) {
        const CircumTriangle& t = working[j];
        if (p.x > t.xc + t.radius) {
            completed.push_back(t);
            working.erase(working.begin() + static_cast<std::ptrdiff_t>(j));
            continue;
        }
        if (distanceToCentre(t, p) < t.radius) {
            toggleEdges(t.triangle, cavity);
            working.erase(working.begin() + static_cast<std::ptrdiff_t>(j));
            continue;
        }
        ++j;
    }
    return fillCavity(working, cavity, p);
}

int insertPoint(std::vector<CircumTriangle>& triangles, const Point3& p) {
    std::vector<Segment> cavity;
    std::size_t j = 0;
    while (j < triangles.size()) {
        const CircumTriangle& t = triangles[j];
        if (distanceToCentre(t, p) <= t.radius) {
            toggleEdges(t.triangle, cavity);
            triangles.erase(triangles.begin() + static_cast<std::ptrdiff_t>(j));
            continue;
        }
        ++j;
    }
    return fillCavity(triangles, cavity, p);
}

std::array<Point3, 3> enclosingCorners(const Point3& min, const Point3& max) {
    const double d = std::max(max.x - min.x, max.y - min.y);
    const double xm = (min.x + max.x) * 0.5;
    const double ym = (min.y + max.y) * 0.5;
    return {{{xm - 16000 * d, ym - 8000 * d, 0},
             {xm, ym + 8000 * d, 0},
             {xm + 16000 * d, ym - 8000 * d, 0}}};
}

int triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile) {
    auto outputPath = vog::project::siblingPath(pointFile, vog::surface::kRawTriangleExtension);
    if (!outputPath) {
        acedAlert((L"Point file name has no extension: " + pointFile).c_str());
        return RTERROR;
    }
    PointFileReader sorted(sortedPointFile);
    if (!sorted.isOpen()) {
        acedAlert(L"Error opening sorted point file.");
        return RTERROR;
    }
    std::ofstream out(vog::filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        acedAlert(L"Error opening triangle file.");
        return RTERROR;
    }

    Point3 min;
    Point3 max;
    std::size_t count = 0;
    PointFileReader::Result result = sorted.read(min);
    if (result == PointFileReader::Result::Point) result = sorted.read(max);
    if (result == PointFileReader::Result::Point) {
        Point3 point;
        while ((result = sorted.read(point)) == PointFileReader::Result::Point)
            ++count;
    }
    if (result == PointFileReader::Result::Malformed) {
        acedAlert(sorted.malformedMessage().c_str());
        return RTERROR;
    }
    setTriangulationPointCount(count + 2);

    if (count == 0) {
        acutPrintf(L"\nNo points to triangulate.");
        out.close();
        if (out.fail()) {
            acedAlert((L"Error writing " + *outputPath + L".").c_str());
            return RTERROR;
        }
        return 0;
    }

    const std::array<Point3, 3> corners = enclosingCorners(min, max);
    std::vector<CircumTriangle> working;
    std::vector<CircumTriangle> completed;
    working.push_back(withCircumcircle(Triangle{corners}));

    sorted.rewind();
    Point3 point;
    sorted.read(point);
    sorted.read(point);
    while (sorted.read(point) == PointFileReader::Result::Point) {
        if (acedUsrBrk() == 1) return RTCAN;
        if (insertPointSweep(working, completed, point) != 0) return RTERROR;
    }

    std::vector<CircumTriangle>& all = completed;
    all.insert(all.end(), working.begin(), working.end());
    std::erase_if(all,
                  [&](const CircumTriangle& t) { return touchesAnyCorner(t.triangle, corners); });

    acutPrintf(L"Done\n");
    std::string line;
    for (const CircumTriangle& t : all) {
        line.clear();
        vogref::surface::appendTriangleRecord(line, t.triangle);
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    out.close();
    if (out.fail()) {
        acedAlert((L"Error writing " + *outputPath + L".").c_str());
        return RTERROR;
    }
    return 0;
}

} // namespace vogref::surface
