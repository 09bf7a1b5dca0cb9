#include "products/mesh/mesh_grid.h"

namespace vog::products {

namespace {

// Lines of more steps than this poll the break key every so many steps, so
// that a grid interval that is tiny against the surface stays stoppable.
constexpr long kStepsBetweenPolls = 65536;

} // namespace

bool firstTriangleElevation(const std::vector<SurfaceTriangle>& surface, double x, double y,
                            double& z) {
    for (const SurfaceTriangle& t : surface) {
        if (pointOnTriangle(t, x, y)) {
            z = triangleElevation(t, x, y);
            return true;
        }
    }
    return false;
}

Status sampleGridLine(const SurfaceGrid& surface, GridDirection direction, double across,
                      double from, double to, double step, double heightFactor,
                      Cancellation& cancellation, std::vector<surface::Segment>& line) {
    line.clear();
    long steps = 0;
    // The far end of one step is the near end of the next (both are the
    // coordinate plus step), so its sample is carried over, not looked up
    // again.
    bool carried = false;
    bool carriedFound = false;
    double carriedZ = 0;
    for (double along = from; along <= to; along += step) {
        if (++steps % kStepsBetweenPolls == 0 && cancellation.requested()) return Status::cancelled;
        double next = along + step;
        surface::Point3 a, b;
        if (direction == GridDirection::AlongY) {
            a = {across, along, 0};
            b = {across, next, 0};
        } else {
            a = {along, across, 0};
            b = {next, across, 0};
        }
        bool aFound = carried ? carriedFound : firstTriangleElevation(surface, a.x, a.y, a.z);
        if (carried) a.z = carriedZ;
        carried = false;
        if (!aFound) continue;
        bool bFound = firstTriangleElevation(surface, b.x, b.y, b.z);
        carried = true;
        carriedFound = bFound;
        carriedZ = b.z;
        if (!bFound) continue;
        a.z *= heightFactor;
        b.z *= heightFactor;
        line.push_back({a, b});
    }
    return Status::ok;
}

} // namespace vog::products
