// Triangle files, rims, crossing lengths and drawing read-back for the
// contour and TIN display tests.
#pragma once

#include "geometry/geometry.h"
#include "host/standin.h"
#include "support/generators.h"

#include <functional>
#include <string>
#include <vector>

namespace vogtest {

using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;

// The edges of exactly one triangle.
std::vector<Segment> rimOf(const std::vector<Triangle>& triangles);

// Writes a triangle file as the surface code does: nine "%lf" values a line.
void writeTriangleFile(const std::string& path, const std::vector<Triangle>& triangles);

// The plan length of the level's crossing with the triangles, computed
// triangle by triangle from the corners sorted by height. The level must
// not equal any corner's height.
double crossingLength(const std::vector<Triangle>& triangles, double level);

// A polyline of the drawing with its vertices.
struct DrawnPolyline {
    std::wstring layer;
    double width = 0;
    double elevation = 0; // z of the header's point
    bool hasFlags = false;
    std::vector<Point3> vertices;
    bool ended = false; // its SEQEND was made
};

std::vector<DrawnPolyline> drawnPolylines(const standin::DrawingDatabase& db);

double planLength(const DrawnPolyline& polyline);

} // namespace vogtest
