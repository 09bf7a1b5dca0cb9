#include "products/volumes/volumes_grid.h"

#include "base/progress_steps.h"
#include "products/common/surface_grid.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vog::products {

namespace {

// The samples of one surface at a cell's four corners, in the order (x, y),
// (x, y + t), (x + t, y), (x + t, y + t).
struct CornerSamples {
    std::array<bool, 4> found{false, false, false, false};
    std::array<double, 4> z{0, 0, 0, 0};
};

// Samples the corners of the cell at (x, y); the last triangle in file order
// that holds a corner gives its height. The cell below in the same column
// shares its lower corners with this cell's upper ones: with `below` they
// are carried over instead of being looked up again.
void sampleCell(const SurfaceGrid& surface, double x, double y, double t, bool below,
                CornerSamples& samples) {
    const double xs[4] = {x, x, x + t, x + t};
    const double ys[4] = {y, y + t, y, y + t};
    if (below) {
        samples.found[0] = samples.found[1];
        samples.z[0] = samples.z[1];
        samples.found[2] = samples.found[3];
        samples.z[2] = samples.z[3];
    }
    for (int k = below ? 1 : 0; k < 4; k += below ? 2 : 1) {
        double z = 0;
        samples.found[k] = lastTriangleElevation(surface, xs[k], ys[k], z);
        samples.z[k] = samples.found[k] ? z : 0;
    }
}

bool meanHeight(const CornerSamples& s, double& mean) {
    if (!(s.found[0] && s.found[1] && s.found[2] && s.found[3])) return false;
    mean = 0.25 * (s.z[0] + s.z[1] + s.z[2] + s.z[3]);
    return true;
}

} // namespace

Status integrateVolumes(const std::vector<SurfaceTriangle>& existing,
                        const std::vector<SurfaceTriangle>& proposed, double interval,
                        double fillFactor, const Seam& seam, VolumeTotals& totals) {
    SurfaceExtent extent;
    extent.include(existing);
    extent.include(proposed);
    if (extent.empty || !gridStepAdvances(extent, interval)) return Status::ok;
    const SurfaceGrid existingGrid = buildSurfaceGrid(existing);
    const SurfaceGrid proposedGrid = buildSurfaceGrid(proposed);
    const double t = interval;
    CornerSamples onExisting, onProposed;
    const double columns = std::ceil((extent.maxX - extent.minX) / t);
    StepMeter progress(seam.progress, L"Calculating volume",
                       static_cast<std::uint64_t>(std::min(columns, 1e15)));
    std::uint64_t columnsDone = 0;
    Cancellation& cancellation = seam.cancellation;
    for (double x = extent.minX; x < extent.maxX; x += t) {
        progress.advance(columnsDone++);
        bool below = false;
        for (double y = extent.minY; y < extent.maxY; y += t) {
            if (cancellation.requested()) return Status::cancelled;
            // Both surfaces are sampled in full, as the cell counts only when
            // all eight samples exist.
            sampleCell(existingGrid, x, y, t, below, onExisting);
            sampleCell(proposedGrid, x, y, t, below, onProposed);
            below = true;
            double r = 0;
            double q = 0;
            if (!meanHeight(onExisting, r) || !meanHeight(onProposed, q)) continue;
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
    return Status::ok;
}

} // namespace vog::products
