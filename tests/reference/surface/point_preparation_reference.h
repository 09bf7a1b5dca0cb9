// Point preparation in its plainest form, kept as the oracle of the fast
// version: the point file is read three times, the points pass through the
// two work files as text, and the sort is a top-down merge sort with a
// scratch array.
#pragma once

#include "geometry/geometry.h"
#include "surface/files/sort_work_files.h"
#include "surface/prepare/point_preparation.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vogref::surface {

using vog::surface::Point3;
using vog::surface::PointExtremes;
using vog::surface::SortWorkFiles;

void sortPoints(std::vector<Point3>& points, std::size_t first, std::size_t last);

int preparePoints(const std::wstring& pointFile, bool useElevationLimits,
                  const std::wstring& minText, const std::wstring& maxText,
                  const SortWorkFiles& files);

int removeDuplicatePoints(const PointExtremes& extremes, const SortWorkFiles& files);

} // namespace vogref::surface
