#include "surface/sweep/point_insertion.h"

#include "host_api.h"
#include "geometry/circumcircle.h"
#include "surface/sweep/segment_toggle.h"

#include <cmath>
#include <string>

namespace vog::surface {

namespace {

std::size_t pointCount = 0;

double distanceToCentre(const CircumTriangle& t, const Point3& p) {
    return std::sqrt((p.x - t.xc) * (p.x - t.xc) + (p.y - t.yc) * (p.y - t.yc));
}

// The edges of a cavity triangle, in the order 1-2, 2-3, 3-1.
void toggleEdges(const Triangle& t, std::vector<Segment>& cavity) {
    toggleSegment(t.corners[0], t.corners[1], cavity);
    toggleSegment(t.corners[1], t.corners[2], cavity);
    toggleSegment(t.corners[2], t.corners[0], cavity);
}

// Fans the cavity outline out from p, in outline order.
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

} // namespace

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

} // namespace vog::surface
