// Fault lines in their plainest form, kept as the oracle of the fast version:
// every fault scans every vertex to snap its ends and to find the vertices on
// it, scans every triangle for the ones it cuts, and rebuilds the whole
// triangle list when it takes triangles out.
#pragma once

#include "geometry/geometry.h"

#include <string>
#include <vector>

namespace vogref::surface {

using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;

void snapToNearestVertex(const std::vector<Triangle>& triangles, Point3& point);

// The corners of one side of a fault's hole, fault ends first and last, to
// clockwise triangles appended to triangles; 0, or -1 with nothing appended.
int triangulatePolygonPoints(const std::vector<Point3>& polygon, std::vector<Triangle>& triangles);

// 0 placed or reported missing, 5000 not applied, faultNumber when the hole
// cannot be followed, RTCAN on the break key.
int applyFaultSegment(std::vector<Triangle>& triangles, Segment& fault, int faultNumber);

// The ".ftin" beside triangleFile; 0, RTERROR after an alert, RTCAN.
int applyFaultLines(const std::wstring& triangleFile, const std::wstring& faultFile, int dimension);

} // namespace vogref::surface
