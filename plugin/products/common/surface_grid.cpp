#include "products/common/surface_grid.h"

#include <algorithm>
#include <cmath>

namespace vog::products {

namespace {

// A triangle whose box covers more cells than this is tried at every lookup:
// long slivers along the rim would otherwise fill whole rows of cells.
constexpr std::int64_t kWideCells = 1024;

bool insideExtent(const SurfaceGrid& grid, double x, double y) {
    return grid.minX <= x && x <= grid.maxX && grid.minY <= y && y <= grid.maxY;
}

// Walks the candidates of the point's cell merged with the wide triangles, in
// file order (forward) or against it, until the visitor accepts one.
template <bool Forward, class Visit>
bool visitCandidates(const SurfaceGrid& grid, double x, double y, Visit visit) {
    std::int64_t cx = geometry::signedCellOf(grid.columns, x);
    std::int64_t cy = geometry::signedCellOf(grid.rows, y);
    std::size_t cell =
        static_cast<std::size_t>(cy) * grid.columns.count + static_cast<std::size_t>(cx);
    const std::uint32_t* cellBegin = grid.items.data() + grid.cellStart[cell];
    const std::uint32_t* cellEnd = grid.items.data() + grid.cellStart[cell + 1];
    const std::uint32_t* wideBegin = grid.wide.data();
    const std::uint32_t* wideEnd = wideBegin + grid.wide.size();
    if constexpr (Forward) {
        const std::uint32_t* i = cellBegin;
        const std::uint32_t* j = wideBegin;
        while (i != cellEnd || j != wideEnd) {
            std::uint32_t next = (j == wideEnd || (i != cellEnd && *i < *j)) ? *i++ : *j++;
            if (visit(next)) return true;
        }
    } else {
        const std::uint32_t* i = cellEnd;
        const std::uint32_t* j = wideEnd;
        while (i != cellBegin || j != wideBegin) {
            std::uint32_t next =
                (j == wideBegin || (i != cellBegin && *(i - 1) > *(j - 1))) ? *--i : *--j;
            if (visit(next)) return true;
        }
    }
    return false;
}

template <bool Forward> bool elevationAt(const SurfaceGrid& grid, double x, double y, double& z) {
    // No triangle's box reaches beyond the extent (and a point that is not
    // a number lies in none).
    if (!insideExtent(grid, x, y)) return false;
    return visitCandidates<Forward>(grid, x, y, [&](std::uint32_t index) {
        const SurfaceTriangle& t = grid.triangles[index];
        if (!pointOnTriangle(t, x, y)) return false;
        z = triangleElevation(t, x, y);
        return true;
    });
}

} // namespace

SurfaceGrid buildSurfaceGrid(std::span<const SurfaceTriangle> triangles) {
    SurfaceGrid grid;
    grid.triangles = triangles;
    if (triangles.empty()) {
        grid.cellStart.assign(2, 0);
        return grid;
    }
    SurfaceExtent extent;
    for (const SurfaceTriangle& t : triangles)
        extent.include(t);
    grid.minX = extent.minX;
    grid.maxX = extent.maxX;
    grid.minY = extent.minY;
    grid.maxY = extent.maxY;

    // About one cell per triangle, shaped like the extent.
    const double n = static_cast<double>(triangles.size());
    const double width = extent.maxX - extent.minX;
    const double height = extent.maxY - extent.minY;
    double columns = 1, rows = 1;
    if (width > 0 && height > 0 && std::isfinite(width / height)) {
        columns = std::ceil(std::sqrt(n * width / height));
        rows = std::ceil(n / columns);
    } else if (width > 0) {
        columns = n;
    } else if (height > 0) {
        rows = n;
    }
    grid.columns = geometry::planAxisAlong(grid.minX, width, columns, n);
    grid.rows = geometry::planAxisAlong(grid.minY, height, rows, n);

    const std::size_t cells = grid.columns.count * grid.rows.count;
    struct Span {
        std::int64_t x0, x1, y0, y1;
    };
    auto spanOf = [&](const SurfaceTriangle& t) {
        return Span{geometry::signedCellOf(grid.columns, t.minX),
                    geometry::signedCellOf(grid.columns, t.maxX),
                    geometry::signedCellOf(grid.rows, t.minY),
                    geometry::signedCellOf(grid.rows, t.maxY)};
    };
    auto isWide = [](const Span& s) { return (s.x1 - s.x0 + 1) * (s.y1 - s.y0 + 1) > kWideCells; };

    // Count, then place: each cell's list comes out in file order.
    grid.cellStart.assign(cells + 1, 0);
    for (const SurfaceTriangle& t : triangles) {
        Span s = spanOf(t);
        if (isWide(s)) continue;
        for (std::int64_t cy = s.y0; cy <= s.y1; ++cy)
            for (std::int64_t cx = s.x0; cx <= s.x1; ++cx)
                ++grid.cellStart[static_cast<std::size_t>(cy) * grid.columns.count +
                                 static_cast<std::size_t>(cx) + 1];
    }
    for (std::size_t c = 0; c < cells; ++c)
        grid.cellStart[c + 1] += grid.cellStart[c];
    grid.items.resize(grid.cellStart[cells]);
    std::vector<std::uint64_t> fill(grid.cellStart.begin(), grid.cellStart.end() - 1);
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        Span s = spanOf(triangles[i]);
        if (isWide(s)) {
            grid.wide.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        for (std::int64_t cy = s.y0; cy <= s.y1; ++cy)
            for (std::int64_t cx = s.x0; cx <= s.x1; ++cx)
                grid.items[fill[static_cast<std::size_t>(cy) * grid.columns.count +
                                static_cast<std::size_t>(cx)]++] = static_cast<std::uint32_t>(i);
    }
    return grid;
}

bool firstTriangleElevation(const SurfaceGrid& grid, double x, double y, double& z) {
    return elevationAt<true>(grid, x, y, z);
}

bool lastTriangleElevation(const SurfaceGrid& grid, double x, double y, double& z) {
    return elevationAt<false>(grid, x, y, z);
}

} // namespace vog::products
