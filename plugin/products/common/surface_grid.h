// A uniform grid of plan cells over a surface's triangles, so that a point
// lookup tries only the triangles whose bounding box meets the point's cell
// instead of every triangle of the surface. Each cell lists its triangles in
// file order, and the lookups keep the rules of the linear scan exactly: the
// mesh takes the first triangle in file order that holds the point, the
// volume computation the last one, with the very same tests.
#pragma once

#include "products/common/surface_triangle.h"

#include "geometry/plan_grid.h"

#include <cstdint>
#include <span>
#include <vector>

namespace vog::products {

struct SurfaceGrid {
    std::span<const SurfaceTriangle> triangles; // not owned: must outlive the grid
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    // The columns from minX and the rows from minY; cells per drawing unit 0
    // along a zero extent.
    geometry::PlanAxis columns, rows;
    // Cell c lists items[cellStart[c] .. cellStart[c + 1]), ascending.
    std::vector<std::uint64_t> cellStart;
    std::vector<std::uint32_t> items;
    // Triangles whose box spans so many cells that they are tried at every
    // lookup instead (ascending).
    std::vector<std::uint32_t> wide;
};

// Builds the grid, with about one cell per triangle. The triangles must stay
// in place while the grid is used.
SurfaceGrid buildSurfaceGrid(std::span<const SurfaceTriangle> triangles);

// The height at the plan point from the first triangle in file order that
// holds it (the lookup rule of pointOnTriangle); false when none does.
bool firstTriangleElevation(const SurfaceGrid& grid, double x, double y, double& z);

// The same from the last triangle in file order that holds the point.
bool lastTriangleElevation(const SurfaceGrid& grid, double x, double y, double& z);

} // namespace vog::products
