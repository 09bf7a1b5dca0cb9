#include "products/volumes_grid.h"

#include "host/host_api.h"

#include <array>

namespace vog::products {

namespace {

struct CellCorners {
    std::array<double, 4> x;
    std::array<double, 4> y;
};

// Samples the four corners on one surface: every triangle in file order is
// tried against every corner, and a later triangle that holds a corner
// overwrites the height an earlier one gave. True when all four were found.
bool sampleCorners(const std::vector<SurfaceTriangle>& surface, const CellCorners& corners,
                   double& meanHeight) {
    std::array<bool, 4> found{false, false, false, false};
    std::array<double, 4> z{0, 0, 0, 0};
    for (const SurfaceTriangle& t : surface) {
        for (int k = 0; k < 4; ++k) {
            if (pointOnTriangle(t, corners.x[k], corners.y[k])) {
                found[k] = true;
                z[k] = triangleElevation(t, corners.x[k], corners.y[k]);
            }
        }
    }
    if (!(found[0] && found[1] && found[2] && found[3])) return false;
    meanHeight = 0.25 * (z[0] + z[1] + z[2] + z[3]);
    return true;
}

} // namespace

bool integrateVolumes(const std::vector<SurfaceTriangle>& existing,
                      const std::vector<SurfaceTriangle>& proposed, double interval,
                      double fillFactor, VolumeTotals& totals) {
    SurfaceExtent extent;
    extent.include(existing);
    extent.include(proposed);
    if (extent.empty || !gridStepAdvances(extent, interval)) return true;
    const double t = interval;
    for (double x = extent.minX; x < extent.maxX; x += t) {
        for (double y = extent.minY; y < extent.maxY; y += t) {
            if (acedUsrBrk()) return false;
            CellCorners corners{{x, x, x + t, x + t}, {y, y + t, y, y + t}};
            double r = 0;
            double q = 0;
            // Both surfaces are sampled in full, as the cell counts only when
            // all eight samples exist.
            bool onExisting = sampleCorners(existing, corners, r);
            bool onProposed = sampleCorners(proposed, corners, q);
            if (!onExisting || !onProposed) continue;
            double v = t * t * (q - r);
            if (q > r) {
                v *= fillFactor;
                totals.fill += v;
            } else {
                totals.cut += v;
            }
            totals.net += v;
        }
    }
    return true;
}

} // namespace vog::products
