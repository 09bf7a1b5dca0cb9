// Surfaces, triangle files and drawing read-back for the contour and TIN
// display tests.
#pragma once

#include "host/standin.h"
#include "geometry/geometry.h"

#include <functional>
#include <string>
#include <vector>

namespace vogtest {

using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;

// A grid of nx x ny cells of the given step from (x0, y0), heights from the
// function, each cell split into two clockwise triangles along the diagonal
// from its south-west corner (or, with otherDiagonal, from its south-east
// corner).
std::vector<Triangle> gridSurface(int nx, int ny, double x0, double y0, double step,
                                  const std::function<double(double, double)>& height,
                                  bool otherDiagonal = false);

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
