// The triangulation core in its plainest form, kept as the oracle of the fast
// version: every insertion walks the whole working list, removals shift it,
// and the segment toggle scans its list for every edge.
#pragma once

#include "geometry/geometry.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace vogref::surface {

using vog::surface::CircumTriangle;
using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;

void computeCircumcircle(CircumTriangle& triangle);
CircumTriangle withCircumcircle(const Triangle& triangle);

void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments);

// The point count of the latest reference triangulation (points + 2); the
// limit is three times it.
void setTriangulationPointCount(std::size_t count);
std::size_t triangulationPointCount();
std::size_t triangleLimit();

int insertPointSweep(std::vector<CircumTriangle>& working, std::vector<CircumTriangle>& completed,
                     const Point3& p);
int insertPoint(std::vector<CircumTriangle>& triangles, const Point3& p);

std::array<Point3, 3> enclosingCorners(const Point3& min, const Point3& max);

// The sorted point file to the ".ttin" beside pointFile.
int triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile);

} // namespace vogref::surface
