// The elevation range of a point file, as the triangulate dialog shows it for
// the elevation limits.
#pragma once

#include <string>

namespace vog::surface {

struct ElevationRange {
    std::wstring mine; // smallest z, at most 15 characters
    std::wstring maxe; // largest z, at most 15 characters
};

// Sets range to the smallest and largest z of the point file as text in the
// drawing's current decimal precision. A file that cannot be opened or holds
// no point leaves both texts empty, as does a failed conversion its text.
// Returns 0, or RTERROR after an alert when a record is not a point.
int readElevationRange(const std::wstring& pointFile, ElevationRange& range);

} // namespace vog::surface
