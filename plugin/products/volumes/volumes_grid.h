// The volume between two surfaces, integrated on a square grid over their
// combined extent: every cell whose four corners lie on both surfaces adds its
// area times the difference of the mean corner heights, proposed minus
// existing.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "products/common/surface_triangle.h"

#include <vector>

namespace vog::products {

struct VolumeTotals {
    double cut = 0;  // sum of the cells where the proposed surface is below or level (<= 0)
    double fill = 0; // sum of the cells where it is above, times the fill factor
    double net = 0;  // sum of every cell, fill after the factor
};

// The grid pass over the extent of both surfaces with the grid interval
// (which must advance the grid, gridStepAdvances), with the meter
// "Calculating volume" moving column by column. Polls the break key once per
// cell; cancelled, with the totals as far as they got, when the user
// interrupted; else ok.
Status integrateVolumes(const std::vector<SurfaceTriangle>& existing,
                        const std::vector<SurfaceTriangle>& proposed, double interval,
                        double fillFactor, const Seam& seam, VolumeTotals& totals);

} // namespace vog::products
