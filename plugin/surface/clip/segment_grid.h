// A uniform grid of buckets over the bounding boxes of a list of segments,
// for finding the segments that may meet a small region of the plan without
// looking at all of them. A segment is filed in every cell its bounding box
// touches; a query names each segment whose box touches the query box once.
//
// Segments with a coordinate beyond the grid's limit (or not finite) are not
// filed: every query names them, so callers still see every segment that
// could matter.
#pragma once

#include "geometry/geometry.h"
#include "geometry/plan_grid.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vog::surface {

// An axis-aligned box in plan, ends included.
struct PlanBox {
    double minX = 0;
    double minY = 0;
    double maxX = 0;
    double maxY = 0;
};

struct SegmentGrid {
    struct Entry {
        std::uint32_t segment;     // position in the list the grid was made from
        std::uint32_t firstColumn; // the cell where the segment's box starts
        std::uint32_t firstRow;
    };

    PlanBox extent;             // of the filed segments; meaningless when none is
    geometry::PlanAxis columns; // along x
    geometry::PlanAxis rows;    // along y
    bool filedAny = false;      // whether any segment is in the cells
    // Cell (column, row) holds entries[cellStart[c] .. cellStart[c + 1]) with
    // c = row * columns.count + column, in list order.
    std::vector<std::uint32_t> cellStart;
    std::vector<Entry> entries;
    std::vector<std::uint32_t> unfiled; // named by every query, in list order
};

// Files the segments whose plan coordinates are all below limit in size, in
// about one cell per segment; fewer, larger cells when long segments would
// make the grid hold more than a few entries per segment.
SegmentGrid makeSegmentGrid(const std::vector<Segment>& segments, double limit);

// The plan bounding box of a segment.
inline PlanBox segmentBox(const Segment& s) {
    return {std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y), std::max(s.a.x, s.b.x),
            std::max(s.a.y, s.b.y)};
}

inline bool boxesTouch(const PlanBox& p, const PlanBox& q) {
    return p.minX <= q.maxX && q.minX <= p.maxX && p.minY <= q.maxY && q.minY <= p.maxY;
}

// Calls visit(position, true) for the filed segments whose cells meet the
// box's cells (every segment whose bounding box touches the box among them),
// then visit(position, false) for every unfiled one, each once, until visit
// returns true. Returns whether a visit did.
template <class Visit>
bool visitSegmentsNear(const SegmentGrid& grid, const PlanBox& box, Visit visit) {
    if (grid.filedAny && boxesTouch(box, grid.extent)) {
        const std::uint32_t c0 = geometry::cellOf(grid.columns, box.minX);
        const std::uint32_t c1 = geometry::cellOf(grid.columns, box.maxX);
        const std::uint32_t r0 = geometry::cellOf(grid.rows, box.minY);
        const std::uint32_t r1 = geometry::cellOf(grid.rows, box.maxY);
        for (std::uint32_t r = r0; r <= r1; ++r) {
            for (std::uint32_t c = c0; c <= c1; ++c) {
                const std::size_t cell = static_cast<std::size_t>(r) * grid.columns.count + c;
                for (std::uint32_t i = grid.cellStart[cell]; i < grid.cellStart[cell + 1]; ++i) {
                    const SegmentGrid::Entry& e = grid.entries[i];
                    // A segment spread over several cells of the query is
                    // named in the first of them only.
                    if (c != std::max(c0, e.firstColumn) || r != std::max(r0, e.firstRow)) continue;
                    if (visit(e.segment, true)) return true;
                }
            }
        }
    }
    for (std::uint32_t position : grid.unfiled)
        if (visit(position, false)) return true;
    return false;
}

} // namespace vog::surface
