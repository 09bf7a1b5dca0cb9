// The elevation range of a point file, as the triangulate dialog shows it for
// the elevation limits.
#pragma once

#include "base/seam.h"
#include "base/status.h"

#include <functional>
#include <string>

namespace vog::surface {

struct ElevationRange {
    std::wstring mine; // smallest z, at most 15 characters
    std::wstring maxe; // largest z, at most 15 characters
};

// The elevation limits of a build: the points kept have lowest <= z <=
// highest.
struct ElevationLimits {
    double lowest = 0;
    double highest = 0;
};

// The limits the texts stand for, each read as wcstod reads it: a text that
// does not start with a number counts as 0. (The dialog lets only numbers
// through; the settings file may hold anything.)
ElevationLimits elevationLimits(const ElevationRange& texts);

// A number as the user reads it (the command gives the drawing's decimal
// units and precision); empty when it cannot be converted.
using NumberText = std::function<std::wstring(double)>;

// Sets range to the smallest and largest z of the point file, each as text
// of numberText cut to 15 characters. A file that cannot be opened or holds
// no point leaves both texts empty, as does a failed conversion its text.
// Returns Status::ok, or failed after an alert when a record is not a point.
Status readElevationRange(const std::wstring& pointFile, ElevationRange& range,
                          const NumberText& numberText, Messages& messages);

} // namespace vog::surface
