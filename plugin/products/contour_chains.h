// Joining a level's segments into chains and deciding which chains are
// drawn. Points match when they agree in plan within the surface tolerance,
// so the two computations of a crossing on a shared edge still join.
//
// A chain is a run of directed segments, each ending where the next starts;
// its polyline is the start of the first entry followed by the end of every
// entry.
#pragma once

#include "products/level_segments.h"

#include <span>
#include <vector>

namespace vog::products {

// True when some entry of the chain matches the segment point for point, in
// the same or in the reversed direction.
bool segmentInChain(std::span<const Segment> chain, const Segment& segment);

// Builds the next chain of the level into chain: segments the previous chain
// took become taken by an earlier chain; the first free segment of the pool
// starts the chain; then the chain grows at its end and afterwards, unless it
// closed, at its start. Each step takes the first free segment of the pool,
// testing its start before its end, that meets the chain's end point; a taken
// segment already in the chain is marked taken but not added again. False
// when no free segment is left.
bool buildChain(std::vector<ContourSegment>& pool, std::vector<Segment>& chain);

// True when the chain is worth drawing: it is closed, both its ends lie on
// the surface's rim (on the line of some boundary edge), or one of its points
// meets a segment of the pool that the chain did not take.
bool chainQualifies(std::span<const Segment> chain, const std::vector<ContourSegment>& pool,
                    const std::vector<Segment>& rim);

// True when the point lies on the line through some boundary edge: within
// 0.001 of the line for a sloping edge; for a north-south edge at its x
// exactly, with y between the edge's ends or at one of them.
bool onRim(const Point3& point, const std::vector<Segment>& rim);

} // namespace vog::products
