// Sampling a surface along the lines of the rectangular mesh: lines in the y
// direction at every grid step of x and lines in the x direction at every
// grid step of y, each a run of grid steps whose two ends lie on the
// surface.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"
#include "products/common/surface_grid.h"
#include "products/common/surface_triangle.h"

#include <vector>

namespace vog::products {

// The height of the surface at a plan point by the mesh's rule: the first
// triangle in file order that holds the point decides. False when no
// triangle holds it. A scan of every triangle: for many points, look up in a
// SurfaceGrid instead.
bool firstTriangleElevation(const std::vector<SurfaceTriangle>& surface, double x, double y,
                            double& z);

enum class GridDirection {
    AlongY, // x fixed, y from the lowest y up
    AlongX, // y fixed, x from the lowest x up
};

// The grid steps of one line, replacing the contents of line: from `from`
// (the extent's lowest coordinate along the line) by repeated addition of
// step while the coordinate is not beyond `to`, each step from the
// coordinate to the coordinate plus step. A step becomes a segment, its
// heights times heightFactor, when both its ends lie on the surface; other
// steps are left out, so gaps show as segments that do not meet. Very long
// lines poll the break key every 65536 steps; cancelled when the user
// interrupted, else ok.
Status sampleGridLine(const SurfaceGrid& surface, GridDirection direction, double across,
                      double from, double to, double step, double heightFactor,
                      Cancellation& cancellation, std::vector<surface::Segment>& line);

} // namespace vog::products
