// A uniform grid of plan cells over the surface edges of a profile, so that a
// chord of the polyline is tried only against the edges near it. The edges a
// chord could cross are found with a margin wider than the intersection's own
// tolerance, then tried in table order with the very same intersection, so
// the crossings and their order are those of trying every edge.
#pragma once

#include "products/common/edge_exchange.h"

#include "geometry/plan_grid.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vog::products {

struct EdgeGrid {
    std::span<const SurfaceEdge> edges; // not owned: must outlive the grid
    double minX = 0, minY = 0;
    // The columns from minX and the rows from minY; cells per drawing unit 0
    // along a zero extent.
    geometry::PlanAxis columns, rows;
    // Cell c lists items[cellStart[c] .. cellStart[c + 1]), ascending.
    std::vector<std::uint64_t> cellStart;
    std::vector<std::uint32_t> items;
    std::vector<std::uint32_t> wide; // edges spanning very many cells, tried always
};

// Builds the grid, with about one cell per edge.
EdgeGrid buildEdgeGrid(std::span<const SurfaceEdge> edges);

// The indexes of the edges that the plan chord a-b might cross, ascending,
// replacing the contents of out. seen is scratch space kept between calls.
void edgesNearChord(const EdgeGrid& grid, double ax, double ay, double bx, double by,
                    std::vector<std::uint32_t>& out, std::vector<std::uint32_t>& seen,
                    std::uint32_t& stamp);

} // namespace vog::products
