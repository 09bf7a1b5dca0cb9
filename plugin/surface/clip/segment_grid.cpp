#include "surface/clip/segment_grid.h"

#include <cmath>

namespace vog::surface {

namespace {

bool withinLimit(const Segment& s, double limit) {
    return std::fabs(s.a.x) < limit && std::fabs(s.a.y) < limit && std::fabs(s.b.x) < limit &&
           std::fabs(s.b.y) < limit;
}

// Cells of a segment's box: columns c0..c1, rows r0..r1.
struct CellRange {
    std::uint32_t c0, c1, r0, r1;
};

CellRange cellsOf(const SegmentGrid& grid, const PlanBox& box) {
    // The counts of the grid's axes fit 32 bits.
    auto cell = [](const geometry::PlanAxis& axis, double v) {
        return static_cast<std::uint32_t>(geometry::cellOf(axis, v));
    };
    return {cell(grid.columns, box.minX), cell(grid.columns, box.maxX), cell(grid.rows, box.minY),
            cell(grid.rows, box.maxY)};
}

std::size_t entryCount(const SegmentGrid& grid, const std::vector<PlanBox>& boxes) {
    std::size_t total = 0;
    for (const PlanBox& box : boxes) {
        const CellRange r = cellsOf(grid, box);
        total += static_cast<std::size_t>(r.c1 - r.c0 + 1) * (r.r1 - r.r0 + 1);
    }
    return total;
}

// Cells along one side for about `cells` square cells over the extent.
void chooseCellCounts(const PlanBox& extent, std::size_t cells, std::uint32_t& columns,
                      std::uint32_t& rows) {
    const double width = extent.maxX - extent.minX;
    const double height = extent.maxY - extent.minY;
    const double n = static_cast<double>(cells);
    double side = std::sqrt(width * height / n);
    side = std::max(side, std::max(width, height) / n);
    columns = rows = 1;
    if (!(side > 0)) return; // every segment is one and the same point
    columns = static_cast<std::uint32_t>(std::clamp(std::ceil(width / side), 1.0, n));
    rows = static_cast<std::uint32_t>(std::clamp(std::ceil(height / side), 1.0, n));
}

} // namespace

SegmentGrid makeSegmentGrid(const std::vector<Segment>& segments, double limit) {
    SegmentGrid grid;
    std::vector<std::uint32_t> filed;
    std::vector<PlanBox> boxes;
    for (std::uint32_t i = 0; i < segments.size(); ++i) {
        if (!withinLimit(segments[i], limit)) {
            grid.unfiled.push_back(i);
            continue;
        }
        const PlanBox box = segmentBox(segments[i]);
        if (filed.empty()) grid.extent = box;
        grid.extent.minX = std::min(grid.extent.minX, box.minX);
        grid.extent.minY = std::min(grid.extent.minY, box.minY);
        grid.extent.maxX = std::max(grid.extent.maxX, box.maxX);
        grid.extent.maxY = std::max(grid.extent.maxY, box.maxY);
        filed.push_back(i);
        boxes.push_back(box);
    }
    grid.filedAny = !filed.empty();
    if (!grid.filedAny) {
        grid.columns = grid.rows = geometry::planAxisOver(0, 0, 1);
        grid.cellStart.assign(2, 0);
        return grid;
    }

    // Long segments spread over many cells; past a few entries per segment
    // the cells are made coarser until the grid fits.
    const std::size_t budget = 8 * filed.size() + (1u << 16);
    std::uint32_t columns = 1;
    std::uint32_t rows = 1;
    chooseCellCounts(grid.extent, filed.size(), columns, rows);
    for (;;) {
        grid.columns = geometry::planAxisOver(grid.extent.minX, grid.extent.maxX, columns);
        grid.rows = geometry::planAxisOver(grid.extent.minY, grid.extent.maxY, rows);
        if ((columns == 1 && rows == 1) || entryCount(grid, boxes) <= budget) break;
        columns = std::max<std::uint32_t>(1, columns / 2);
        rows = std::max<std::uint32_t>(1, rows / 2);
    }

    // Counting sort of the entries by cell, list order kept within a cell.
    const std::size_t cells = static_cast<std::size_t>(columns) * rows;
    grid.cellStart.assign(cells + 1, 0);
    std::vector<CellRange> ranges;
    ranges.reserve(boxes.size());
    for (const PlanBox& box : boxes) {
        const CellRange r = cellsOf(grid, box);
        ranges.push_back(r);
        for (std::uint32_t row = r.r0; row <= r.r1; ++row)
            for (std::uint32_t column = r.c0; column <= r.c1; ++column)
                ++grid.cellStart[static_cast<std::size_t>(row) * columns + column + 1];
    }
    for (std::size_t c = 0; c < cells; ++c)
        grid.cellStart[c + 1] += grid.cellStart[c];
    grid.entries.resize(grid.cellStart[cells]);
    std::vector<std::uint32_t> next(grid.cellStart.begin(), grid.cellStart.end() - 1);
    for (std::size_t k = 0; k < filed.size(); ++k) {
        const CellRange& r = ranges[k];
        for (std::uint32_t row = r.r0; row <= r.r1; ++row)
            for (std::uint32_t column = r.c0; column <= r.c1; ++column)
                grid.entries[next[static_cast<std::size_t>(row) * columns + column]++] = {
                    filed[k], r.c0, r.r0};
    }
    return grid;
}

} // namespace vog::surface
