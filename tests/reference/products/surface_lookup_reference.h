// The surface lookups of the mesh and the volume computation in their
// plainest form, kept as the oracle the fast versions are compared with:
// every sample scans every triangle from the front.
#pragma once

#include "geometry/geometry.h"
#include "products/common/surface_triangle.h"
#include "products/mesh/mesh_grid.h"
#include "products/volumes/volumes_grid.h"

#include <vector>

namespace vogref::products {

using vog::products::GridDirection;
using vog::products::SurfaceTriangle;
using vog::products::VolumeTotals;

// The first triangle in file order that holds the point gives its height.
bool firstTriangleElevation(const std::vector<SurfaceTriangle>& surface, double x, double y,
                            double& z);

// One mesh line's grid steps whose two ends both lie on the surface; polls the
// break key every 65536 steps like the production code.
bool sampleGridLine(const std::vector<SurfaceTriangle>& surface, GridDirection direction,
                    double across, double from, double to, double step, double heightFactor,
                    std::vector<vog::surface::Segment>& line);

// The grid pass of the volumes: every cell scans every triangle of both
// surfaces for its four corners, the last triangle holding a corner deciding.
bool integrateVolumes(const std::vector<SurfaceTriangle>& existing,
                      const std::vector<SurfaceTriangle>& proposed, double interval,
                      double fillFactor, VolumeTotals& totals);

} // namespace vogref::products
