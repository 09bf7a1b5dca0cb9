// The axes of a plan grid: cells of equal size from an origin, for the
// spatial indexes of the surface build and the products (the sweep's circles,
// the fault step's triangles, the clipping step's segments, the products'
// triangle and edge lookups). The cell of a coordinate never decreases as the
// coordinate grows, and is clamped to the grid, so a value between two others
// always falls in a cell between theirs: the indexes rely on this to stay
// conservative. Values below the grid and NaN fall in the first cell, values
// above it in the last.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vog::geometry {

struct PlanAxis {
    double origin = 0;
    double perUnit = 0; // cells per drawing unit; 0 puts everything in cell 0
    std::size_t count = 1;
};

// The axis from low to high in count cells (count >= 1).
inline PlanAxis planAxisOver(double low, double high, std::size_t count) {
    PlanAxis axis{low, 0, std::max<std::size_t>(count, 1)};
    const double span = high - low;
    if (span > 0 && std::isfinite(span)) axis.perUnit = static_cast<double>(axis.count) / span;
    return axis;
}

// The cell of v on the axis.
inline std::size_t cellOf(const PlanAxis& axis, double v) {
    const double position = (v - axis.origin) * axis.perUnit;
    if (!(position > 0)) return 0;
    if (position >= static_cast<double>(axis.count)) return axis.count - 1;
    return std::min(static_cast<std::size_t>(position), axis.count - 1);
}

} // namespace vog::geometry
