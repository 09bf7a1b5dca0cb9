// Exact orientation of three points in plan, and the segment crossing built on
// it. The fault step decides with these which triangles a fault cuts and which
// vertices lie on it, so every decision must agree with every other one: the
// sign is computed exactly, never rounded into a wrong side.
//
// The geometry is that of the numbers the data files hold: coordinates are
// taken to the nearest millionth (the six decimals of every record written),
// so three vertices that lie on one line in a file are collinear here too,
// although the doubles nearest to their decimals are not. Coordinates beyond
// 1e9 in size are used as they are.
#pragma once

#include "geometry/geometry.h"

namespace vog::surface {

// +1 when c lies to the left of the directed line a->b (a, b, c turn
// counter-clockwise), -1 when to the right (clockwise), 0 when the three lie
// on one line. Only x and y take part.
int planOrientation(const Point3& a, const Point3& b, const Point3& c);

// True when the segments a-b and c-d meet in exactly one point that is interior
// to both: each segment has its two ends strictly on opposite sides of the
// other's line. Touching at an end, and collinear overlap, are no crossing.
bool segmentsCrossInterior(const Point3& a, const Point3& b, const Point3& c, const Point3& d);

// True when p lies on the open segment a-b: on its line and strictly between
// its ends. A segment of zero length has no such point.
bool pointInsideSegment(const Point3& p, const Point3& a, const Point3& b);

} // namespace vog::surface
