#include "products/common/edge_grid.h"

#include <algorithm>
#include <cmath>

namespace vog::products {

namespace {

constexpr std::int64_t kWideCells = 1024;

// The crossing test accepts a point up to a relative 1e-12 beyond either
// segment and lines that miss each other by 1e-9 of the largest coordinate;
// every box is widened by far more than that.
double marginOf(double x1, double y1, double x2, double y2) {
    double largest = std::max({1.0, std::fabs(x1), std::fabs(y1), std::fabs(x2), std::fabs(y2)});
    return 1e-6 * (largest + std::hypot(x2 - x1, y2 - y1));
}

struct Box {
    double x0, y0, x1, y1;
};

Box edgeBox(const SurfaceEdge& e) {
    double m = marginOf(e.v[0], e.v[1], e.v[3], e.v[4]);
    return {std::min(e.v[0], e.v[3]) - m, std::min(e.v[1], e.v[4]) - m,
            std::max(e.v[0], e.v[3]) + m, std::max(e.v[1], e.v[4]) + m};
}

bool finiteBox(const Box& b) {
    return std::isfinite(b.x0) && std::isfinite(b.y0) && std::isfinite(b.x1) && std::isfinite(b.y1);
}

} // namespace

EdgeGrid buildEdgeGrid(std::span<const SurfaceEdge> edges) {
    EdgeGrid grid;
    grid.edges = edges;
    grid.cellStart.assign(2, 0);
    if (edges.empty()) return grid;

    std::vector<Box> boxes;
    boxes.reserve(edges.size());
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool any = false;
    for (const SurfaceEdge& e : edges) {
        Box b = edgeBox(e);
        boxes.push_back(b);
        if (!finiteBox(b)) continue;
        if (!any) {
            minX = b.x0, minY = b.y0, maxX = b.x1, maxY = b.y1;
            any = true;
        }
        minX = std::min(minX, b.x0);
        minY = std::min(minY, b.y0);
        maxX = std::max(maxX, b.x1);
        maxY = std::max(maxY, b.y1);
    }
    grid.minX = minX;
    grid.minY = minY;
    const double n = static_cast<double>(edges.size());
    const double width = maxX - minX, height = maxY - minY;
    double columns = 1, rows = 1;
    if (width > 0 && height > 0 && std::isfinite(width / height)) {
        columns = std::ceil(std::sqrt(n * width / height));
        rows = std::ceil(n / columns);
    }
    grid.columns = geometry::planAxisAlong(grid.minX, width, columns, n);
    grid.rows = geometry::planAxisAlong(grid.minY, height, rows, n);

    struct Span {
        std::int64_t x0, x1, y0, y1;
        bool wide;
    };
    auto spanOf = [&](const Box& b) {
        Span s{geometry::signedCellOf(grid.columns, b.x0),
               geometry::signedCellOf(grid.columns, b.x1), geometry::signedCellOf(grid.rows, b.y0),
               geometry::signedCellOf(grid.rows, b.y1), false};
        s.wide = !finiteBox(b) || (s.x1 - s.x0 + 1) * (s.y1 - s.y0 + 1) > kWideCells;
        return s;
    };
    const std::size_t cells = grid.columns.count * grid.rows.count;
    grid.cellStart.assign(cells + 1, 0);
    for (const Box& b : boxes) {
        Span s = spanOf(b);
        if (s.wide) continue;
        for (std::int64_t cy = s.y0; cy <= s.y1; ++cy)
            for (std::int64_t cx = s.x0; cx <= s.x1; ++cx)
                ++grid.cellStart[static_cast<std::size_t>(cy) * grid.columns.count +
                                 static_cast<std::size_t>(cx) + 1];
    }
    for (std::size_t c = 0; c < cells; ++c)
        grid.cellStart[c + 1] += grid.cellStart[c];
    grid.items.resize(grid.cellStart[cells]);
    std::vector<std::uint64_t> fill(grid.cellStart.begin(), grid.cellStart.end() - 1);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        Span s = spanOf(boxes[i]);
        if (s.wide) {
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

void edgesNearChord(const EdgeGrid& grid, double ax, double ay, double bx, double by,
                    std::vector<std::uint32_t>& out, std::vector<std::uint32_t>& seen,
                    std::uint32_t& stamp) {
    out.clear();
    if (grid.edges.empty()) return;
    if (seen.size() != grid.edges.size() || stamp == UINT32_MAX) {
        seen.assign(grid.edges.size(), 0);
        stamp = 0;
    }
    ++stamp;
    auto take = [&](std::uint32_t index) {
        if (seen[index] == stamp) return;
        seen[index] = stamp;
        out.push_back(index);
    };
    for (std::uint32_t index : grid.wide)
        take(index);

    const double m = marginOf(ax, ay, bx, by);
    const double x0 = std::min(ax, bx) - m, x1 = std::max(ax, bx) + m;
    const double y0 = std::min(ay, by) - m, y1 = std::max(ay, by) + m;
    if (!(std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1))) {
        // A chord that cannot be placed is tried against every edge.
        out.clear();
        for (std::uint32_t i = 0; i < grid.edges.size(); ++i)
            out.push_back(i);
        return;
    }
    auto visitCell = [&](std::int64_t cx, std::int64_t cy) {
        std::size_t cell =
            static_cast<std::size_t>(cy) * grid.columns.count + static_cast<std::size_t>(cx);
        for (std::uint64_t k = grid.cellStart[cell]; k < grid.cellStart[cell + 1]; ++k)
            take(grid.items[k]);
    };
    const std::int64_t cx0 = geometry::signedCellOf(grid.columns, x0);
    const std::int64_t cx1 = geometry::signedCellOf(grid.columns, x1);
    const std::int64_t cy0 = geometry::signedCellOf(grid.rows, y0);
    const std::int64_t cy1 = geometry::signedCellOf(grid.rows, y1);
    if (cx0 == cx1 || grid.columns.perUnit == 0 || ax == bx ||
        (cx1 - cx0 + 1) * (cy1 - cy0 + 1) <= 16) {
        for (std::int64_t cy = cy0; cy <= cy1; ++cy)
            for (std::int64_t cx = cx0; cx <= cx1; ++cx)
                visitCell(cx, cy);
    } else {
        // A long chord: column by column, only the rows that the chord,
        // widened by the margin, passes through there.
        const double dx = bx - ax, dy = by - ay;
        const double lowX = std::min(ax, bx), highX = std::max(ax, bx);
        for (std::int64_t cx = cx0; cx <= cx1; ++cx) {
            double left = grid.minX + static_cast<double>(cx) / grid.columns.perUnit - m;
            double right = grid.minX + static_cast<double>(cx + 1) / grid.columns.perUnit + m;
            left = std::clamp(left, lowX, highX);
            right = std::clamp(right, lowX, highX);
            double ya = ay + (left - ax) / dx * dy;
            double yb = ay + (right - ax) / dx * dy;
            // Rounding in the cell bounds and the chord's heights is covered by
            // one more row each way.
            std::int64_t r0 = std::max<std::int64_t>(
                cy0, geometry::signedCellOf(grid.rows, std::min(ya, yb) - m) - 1);
            std::int64_t r1 = std::min<std::int64_t>(
                cy1, geometry::signedCellOf(grid.rows, std::max(ya, yb) + m) + 1);
            for (std::int64_t cy = r0; cy <= r1; ++cy)
                visitCell(cx, cy);
        }
    }
    std::sort(out.begin(), out.end());
}

} // namespace vog::products
