// Horizontal strips over a list of segments, for the even-odd count along the
// ray that runs from a point towards +x: only the segments whose height range
// holds the point's y and that reach as far right as its x can meet the ray.
// Each strip holds the segments whose height range touches it, by their right
// end from the furthest right, so a query stops at the first segment that
// ends left of the point. Horizontal segments, and those with a height that
// is not a number, are left out: the ray never counts them.
#pragma once

#include "geometry/geometry.h"
#include "geometry/plan_grid.h"

#include <cstdint>
#include <vector>

namespace vog::surface {

struct RayStrips {
    struct Entry {
        double maxX; // the segment's right end
        std::uint32_t segment;
    };

    double lowest = 0;  // lowest y of the segments filed
    double highest = 0; // highest y of the segments filed
    bool filedAny = false;
    geometry::PlanAxis strips; // along y
    // Strip s holds entries[stripStart[s] .. stripStart[s + 1]).
    std::vector<std::uint32_t> stripStart;
    std::vector<Entry> entries;
};

// About one strip per segment; fewer, taller strips when segments of great
// height would make them hold more than a few entries per segment.
RayStrips makeRayStrips(const std::vector<Segment>& segments);

// Calls visit(position) for every segment (a, b) of the list with
// min(a.y, b.y) < py <= max(a.y, b.y), a.y != b.y and px <= max(a.x, b.x),
// each once, and for some others of its strip that end further right.
template <class Visit>
void visitSegmentsRightOf(const RayStrips& index, double px, double py, Visit visit) {
    if (!index.filedAny || !(py > index.lowest) || !(py <= index.highest)) return;
    const std::uint32_t s = geometry::cellOf(index.strips, py);
    for (std::uint32_t i = index.stripStart[s]; i < index.stripStart[s + 1]; ++i) {
        const RayStrips::Entry& e = index.entries[i];
        if (!(px <= e.maxX)) return;
        visit(e.segment);
    }
}

} // namespace vog::surface
