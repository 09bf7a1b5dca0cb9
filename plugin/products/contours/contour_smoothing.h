// Rounded contours: a chain replaced by a dense chain that follows cubic
// Hermite pieces through the chain's vertices, one piece per chain entry.
#pragma once

#include "geometry/geometry.h"

#include <span>
#include <vector>

namespace vog::products {

using surface::Point3;
using surface::Segment;

// The number of steps of a piece of plan length d: d / 100 from 1000 on,
// d / 80 from 500, d / 4 from 50, d / 2 from 25, d below that, each cut
// toward zero and at least 1. (A single step is later made five steps of
// 0.2.)
int pieceStepCount(double d);

// Appends the piece from p1 to p2, with the outer guide points p0 and p3 that
// set its tangents: p1 itself, then one point per step, the last at p2. All
// points keep p1's height.
void splinePiece(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3,
                 std::vector<Point3>& points);

// Replaces rounded with the rounded form of the chain. Each piece's guide
// points are placed from its end vertices toward or away from their
// neighbours at distances that grow with the piece's length; the chain's own
// vertices stay in the rounded chain, where each join appears twice in a
// row. The rounded chain grows as far as the chain needs.
void smoothChain(std::span<const Segment> chain, std::vector<Segment>& rounded);

} // namespace vog::products
