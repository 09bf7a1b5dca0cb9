// The plan grid's cells: the position rounded down and clamped to the grid,
// NaN in the first cell, for every index that the surface build keeps.
#include "geometry/plan_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace vog::geometry {
namespace {

// The cell by its definition.
std::size_t plainCell(const PlanAxis& axis, double v) {
    const double position = (v - axis.origin) * axis.perUnit;
    if (std::isnan(position) || position < 0) return 0;
    const double cell = std::floor(position);
    if (cell >= static_cast<double>(axis.count - 1)) return axis.count - 1;
    return static_cast<std::size_t>(cell);
}

TEST(PlanGrid, CellsAreThePositionRoundedDownAndClamped) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t count : {1u, 2u, 3u, 7u, 1000u}) {
        const PlanAxis axis = planAxisOver(-2.5, 7.5, count);
        const double width = 10.0 / static_cast<double>(count);
        std::vector<double> values{-inf,        -1e300, -2.5, -2.5 + 1e-12, 7.5,
                                   7.5 - 1e-12, 1e300,  inf,  nan,          0};
        // Every cell's start, and the numbers just beside it.
        for (std::size_t k = 0; k <= count; ++k) {
            const double start = -2.5 + width * static_cast<double>(k);
            values.insert(values.end(),
                          {start, std::nextafter(start, -inf), std::nextafter(start, inf)});
        }
        std::mt19937 random(static_cast<unsigned>(count));
        std::uniform_real_distribution<double> anywhere(-5, 10);
        for (int i = 0; i < 200; ++i)
            values.push_back(anywhere(random));
        for (double v : values)
            EXPECT_EQ(cellOf(axis, v), plainCell(axis, v)) << count << " cells, at " << v;
        EXPECT_EQ(cellOf(axis, nan), 0u);
        EXPECT_EQ(cellOf(axis, inf), count - 1);
    }
    // A grid of no extent, or of none that is finite, puts everything in the
    // first cell.
    for (const PlanAxis& flat : {planAxisOver(3, 3, 8), planAxisOver(0, inf, 8)})
        for (double v : {-1.0, 3.0, 1e300, inf, nan})
            EXPECT_EQ(cellOf(flat, v), 0u);
}

} // namespace
} // namespace vog::geometry
