// The in-memory sort of point preparation.
#pragma once

#include "surface/geometry.h"

#include <cstddef>
#include <vector>

namespace vog::surface {

// Sorts points[first] to points[last] (both included) in place, ascending by
// comparePointsXYZ; stable, so equal points keep their order. A top-down
// merge sort with one scratch array for the whole sort.
void sortPoints(std::vector<Point3>& points, std::size_t first, std::size_t last);

} // namespace vog::surface
