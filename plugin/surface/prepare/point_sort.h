// The in-memory sort of point preparation.
#pragma once

#include "geometry/geometry.h"

#include <cstddef>
#include <vector>

namespace vog::surface {

// Sorts points[first] to points[last] (both included) in place, ascending by
// comparePointsXYZ; stable, so equal points keep their order. The points
// must be numbers (no NaN), as every point read from a file is.
void sortPoints(std::vector<Point3>& points, std::size_t first, std::size_t last);

} // namespace vog::surface
