// The segment pool of one contour level: where the level's horizontal plane
// crosses each triangle, one segment per triangle, in a fixed order with each
// segment kept once.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <vector>

namespace vog::products {

using surface::Point3;
using surface::Segment;
using surface::Triangle;

// What a pool segment is to the chains of its level.
enum SegmentState : std::int32_t {
    kSegmentFree = 0,           // not in any chain yet
    kSegmentInChain = 1,        // taken by the chain being built
    kSegmentInEarlierChain = 2, // taken by an earlier chain of the level
};

struct ContourSegment {
    Point3 start;
    Point3 end;
    std::int32_t state = kSegmentFree;
};

// Replaces the pool with the crossings of the level with the triangles, in
// triangle order. A flat triangle, one the level misses and one the level
// only touches at a corner give nothing. A corner at the level (compared
// exactly) is itself the crossing point; other points are interpolated along
// the edge from its first corner and get the level as their height.
void collectLevelSegments(const std::vector<Triangle>& triangles, double level,
                          std::vector<ContourSegment>& pool);

// Orients every segment from its smaller to its larger point (exact point
// order), sorts the pool by start point and then end point with repeated
// neighbour swaps, and removes a segment identical to the one before it, so
// that an edge lying at the level comes out once, not once per triangle.
void normaliseSegments(std::vector<ContourSegment>& pool);

// True when exactly two triangles have the segment as an edge (all
// coordinates equal, in either direction) and the surface does not pass
// through the level there: their third corners are not one above and one
// below the level. The level then only grazes the surface along that edge.
bool isGrazedEdge(const ContourSegment& segment, const std::vector<Triangle>& triangles);

// The whole preparation of a level's pool: collected, normalised, and
// emptied when its only segment is a grazed edge. (An edge where the surface
// steps through the level is a contour of its own and stays.)
void buildLevelPool(const std::vector<Triangle>& triangles, double level,
                    std::vector<ContourSegment>& pool);

// The triangles arranged for walking the levels upward without visiting
// every triangle at every level: ordered by their lowest corner, with the
// set of triangles whose height range holds the current level kept in
// triangle order.
struct LevelSweep {
    const std::vector<Triangle>* triangles = nullptr;
    std::vector<double> lowest;          // per triangle, least corner height
    std::vector<double> highest;         // per triangle, greatest corner height
    std::vector<std::uint32_t> byLowest; // triangle indexes by lowest corner
    std::size_t entered = 0;             // byLowest[0, entered) have been met
    std::vector<std::uint32_t> active;   // ascending; lowest <= level <= highest
    std::vector<std::uint32_t> entering; // scratch
    double lastLevel = 0;
    bool started = false;
};

// Prepares the sweep; the triangles must stay in place while it is used.
void startLevelSweep(LevelSweep& sweep, const std::vector<Triangle>& triangles);

// The pool of buildLevelPool for the level, segment for segment. Fastest when
// the levels come in ascending order; a lower level starts the walk anew.
void sweepLevelPool(LevelSweep& sweep, double level, std::vector<ContourSegment>& pool);

} // namespace vog::products
