// Joining a level's segments into chains and deciding which chains are
// drawn. Points match when they agree in plan within the surface tolerance,
// so the two computations of a crossing on a shared edge still join.
//
// A chain is a run of directed segments, each ending where the next starts;
// its polyline is the start of the first entry followed by the end of every
// entry.
#pragma once

#include "products/common/edge_grid.h"
#include "products/contours/level_segments.h"
#include "products/contours/plan_point_hash.h"

#include <cstdint>
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

// ---------------------------------------------------------------- fast forms
// The rim with a grid over its edges: a point is first tried against the
// edges near it, and only when none of them holds it against every edge (the
// test takes the whole line through an edge, so a far edge may hold it too).
struct RimIndex {
    const std::vector<Segment>* rim = nullptr;
    std::vector<SurfaceEdge> edges;
    EdgeGrid grid;
    std::vector<std::uint32_t> near, seen;
    std::uint32_t stamp = 0;
};
void buildRimIndex(RimIndex& index, const std::vector<Segment>& rim);
bool onRim(const Point3& point, RimIndex& rim);

// The chaining of one level's pool with the segment ends hashed by plan
// position, so that finding the free segment that meets a chain's end costs
// the few segments near that point instead of a scan of the pool. The
// segments taken, the tie-break (lowest pool position, start before end) and
// the states are those of buildChain.
struct ChainSearch {
    std::vector<ContourSegment>* pool = nullptr;
    PlanPointHash ends;             // item 2i: start of segment i; 2i + 1: its end
    std::size_t firstFree = 0;      // no free segment before this position
    std::vector<std::size_t> taken; // segments with state kSegmentInChain
    PlanPointHash entries;          // the chain's entries by their start
    std::vector<Segment> entryList; // the chain's entries in the order taken
    std::vector<Segment> prepended; // entries put before the first, latest last
};

// Starts on the pool (its states as they are); the pool must not change
// while the search is used, other than through it.
void startChainSearch(ChainSearch& search, std::vector<ContourSegment>& pool);

// buildChain on the search's pool.
bool nextChain(ChainSearch& search, std::vector<Segment>& chain);

// chainQualifies for the chain just built.
bool chainQualifies(std::span<const Segment> chain, const ChainSearch& search, RimIndex& rim);

} // namespace vog::products
