#include "reference/products/surface_lookup_reference.h"

#include "host_api.h"

#include <array>

namespace vogref::products {

using vog::products::gridStepAdvances;
using vog::products::pointOnTriangle;
using vog::products::SurfaceExtent;
using vog::products::triangleElevation;
using vog::surface::Point3;
using vog::surface::Segment;

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

bool sampleGridLine(const std::vector<SurfaceTriangle>& surface, GridDirection direction,
                    double across, double from, double to, double step, double heightFactor,
                    std::vector<Segment>& line) {
    line.clear();
    long steps = 0;
    for (double along = from; along <= to; along += step) {
        if (++steps % 65536 == 0 && acedUsrBrk()) return false;
        double next = along + step;
        Point3 a, b;
        if (direction == GridDirection::AlongY) {
            a = {across, along, 0};
            b = {across, next, 0};
        } else {
            a = {along, across, 0};
            b = {next, across, 0};
        }
        if (!vogref::products::firstTriangleElevation(surface, a.x, a.y, a.z)) continue;
        if (!vogref::products::firstTriangleElevation(surface, b.x, b.y, b.z)) continue;
        a.z *= heightFactor;
        b.z *= heightFactor;
        line.push_back({a, b});
    }
    return true;
}

namespace {

bool sampleCorners(const std::vector<SurfaceTriangle>& surface, const std::array<double, 4>& x,
                   const std::array<double, 4>& y, double& meanHeight) {
    std::array<bool, 4> found{false, false, false, false};
    std::array<double, 4> z{0, 0, 0, 0};
    for (const SurfaceTriangle& t : surface) {
        for (int k = 0; k < 4; ++k) {
            if (pointOnTriangle(t, x[k], y[k])) {
                found[k] = true;
                z[k] = triangleElevation(t, x[k], y[k]);
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
            std::array<double, 4> cx{x, x, x + t, x + t};
            std::array<double, 4> cy{y, y + t, y, y + t};
            double r = 0, q = 0;
            bool onExisting = sampleCorners(existing, cx, cy, r);
            bool onProposed = sampleCorners(proposed, cx, cy, q);
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

} // namespace vogref::products
