// Fault lines in their plainest form, kept as the oracle of the fast version.
// Every fault scans every vertex to snap its ends and to find the vertices on
// it, scans every triangle for the ones it cuts, and rebuilds the whole
// triangle list when it takes triangles out. Its geometric decisions are made
// here from the rules, in exact arithmetic (integers on the six-decimal
// lattice of the files, exact rationals beyond it), and share no code with
// the fast version's predicates.
#pragma once

#include "geometry/geometry.h"

#include <string>
#include <vector>

namespace vogref::surface {

using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;

// +1 when c lies left of a->b in plan, -1 right, 0 on the line; coordinates
// taken to the nearest millionth while all lie within 1e9 of the origin.
int latticeSide(const Point3& a, const Point3& b, const Point3& c);

// The six-decimal lattice coordinate of a value, in millionths.
long long latticeCoordinate(double value);

// The ".ftin" beside triangleFile; 0, RTERROR after an alert, RTCAN.
int applyFaultLines(const std::wstring& triangleFile, const std::wstring& faultFile, int dimension);

} // namespace vogref::surface
