// The order in which profile points are written: by station, each station
// once, the file keeping one line per point found.
#pragma once

#include "products/profile/profile_cut.h"

#include <cstddef>
#include <vector>

namespace vog::products {

// Indexes of the points to write, in writing order: the smallest station,
// then n - 2 picks of the next larger station below the largest (repeating
// the last pick when none is left), then the largest station. Ties go to the
// point found first.
std::vector<std::size_t> profileWriteOrder(const std::vector<ProfilePoint>& points);

} // namespace vog::products
