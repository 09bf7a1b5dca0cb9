// The "triangulate" dialog: the options of a surface build. It shows the
// point file, the elevation limits, the fault-line file and the boundary/void
// file with their toggles, and checks the limits and files as the user
// leaves their fields.
#pragma once

#include "surface/prepare/elevation_range.h"

namespace vog::surface {

// Shows the dialog filled from the project settings and from limits (the
// point file's elevation range, or what the caller proposes). When it is
// accepted, dpoints, uelev, ufaults, dfaults, ubound and dbndry are replaced
// in memory with the tiles' values, limits takes the minimum and maximum,
// and the answer is true; a cancelled dialog changes nothing.
bool askTriangulationOptions(ElevationRange& limits);

// A number in the drawing's decimal units and precision, as the dialog shows
// the elevation limits; empty when the host cannot convert it.
std::wstring drawingDecimalText(double value);

// The folder the browse buttons start in: the point file's path up to, not
// including, its last folder separator; empty when it has none.
std::wstring pointFileFolder(const std::wstring& pointFile);

} // namespace vog::surface
