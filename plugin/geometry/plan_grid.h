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
#include <cstdint>

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

// The cell of v on the axis: its position rounded down, clamped to the grid.
// Below the second cell (NaN included) it is the first, from the start of the
// last cell on the last; between, cutting the position to an integer rounds
// it down. In signed 64 bits, which the processor converts in one step, as
// the sweep asks for cells several times per point.
inline std::size_t cellOf(const PlanAxis& axis, double v) {
    const double position = (v - axis.origin) * axis.perUnit;
    if (!(position >= 1)) return 0;
    const auto last = static_cast<std::int64_t>(axis.count) - 1;
    if (position >= static_cast<double>(last)) return axis.count - 1;
    return static_cast<std::size_t>(static_cast<std::int64_t>(position));
}

// The cell of v as a signed number, for grids that do arithmetic with cells.
inline std::int64_t signedCellOf(const PlanAxis& axis, double v) {
    return static_cast<std::int64_t>(cellOf(axis, v));
}

// An axis of cells cells (clamped to 1 .. most) from origin over span; no
// cells per unit along a zero span or where the division overflows.
inline PlanAxis planAxisAlong(double origin, double span, double cells, double most) {
    PlanAxis axis;
    axis.origin = origin;
    axis.count = static_cast<std::size_t>(std::clamp(cells, 1.0, most));
    axis.perUnit = span > 0 ? static_cast<double>(axis.count) / span : 0;
    if (!std::isfinite(axis.perUnit)) axis.perUnit = 0;
    return axis;
}

} // namespace vog::geometry
