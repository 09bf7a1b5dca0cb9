#include "surface/triangulation.h"

#include "host/host_api.h"
#include "host/wide_text.h"
#include "project/project_state.h"
#include "surface/circumcircle.h"
#include "surface/point_file.h"
#include "surface/point_insertion.h"
#include "surface/point_order.h"
#include "surface/triangle_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace vog::surface {

namespace {

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

bool touchesAnyCorner(const Triangle& t, const std::array<Point3, 3>& corners) {
    for (const Point3& corner : t.corners)
        for (const Point3& v : corners)
            if (comparePointsXYZ(corner, v) == 0) return true;
    return false;
}

} // namespace

std::array<Point3, 3> enclosingCorners(const Point3& min, const Point3& max) {
    const double d = std::max(max.x - min.x, max.y - min.y);
    const double xm = (min.x + max.x) * 0.5;
    const double ym = (min.y + max.y) * 0.5;
    return {{{xm - 16000 * d, ym - 8000 * d, 0},
             {xm, ym + 8000 * d, 0},
             {xm + 16000 * d, ym - 8000 * d, 0}}};
}

int triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile) {
    auto outputPath = project::siblingPath(pointFile, kRawTriangleExtension);
    if (!outputPath) {
        alert(L"Point file name has no extension: " + pointFile);
        return RTERROR;
    }
    PointFileReader sorted(sortedPointFile);
    if (!sorted.isOpen()) {
        alert(L"Error opening sorted point file.");
        return RTERROR;
    }
    std::ofstream out(filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        alert(L"Error opening triangle file.");
        return RTERROR;
    }

    // Header (the extremes), then count the points.
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
        alert(sorted.malformedMessage());
        return RTERROR;
    }
    setTriangulationPointCount(count + 2);

    if (count == 0) {
        acutPrintf(L"\nNo points to triangulate.");
        out.close();
        if (out.fail()) {
            alert(L"Error writing " + *outputPath + L".");
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
        appendTriangleRecord(line, t.triangle);
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
    out.close();
    if (out.fail()) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    return 0;
}

} // namespace vog::surface
