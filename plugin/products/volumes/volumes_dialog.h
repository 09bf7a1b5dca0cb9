// The "volumes" dialog: the existing and the proposed surface, the grid
// interval, the fill factor and whether the drawing unit is the foot.
#pragma once

#include <string>
#include <string_view>

namespace vog::products {

// What the dialog's OK took from its tiles. The numbers are NaN when their
// text is not a number.
struct VolumesRequest {
    std::wstring existingName;
    std::wstring proposedName;
    std::wstring feetFlag; // "1": the drawing unit is the foot
    double interval = 0;
    double fillFactor = 0;
};

// The triangle file a surface name stands for: the name cut at its last "."
// with ".tin" appended, or ".tin" appended to the whole name when it has no
// ".".
std::wstring surfaceFileName(std::wstring_view name);

// Shows the dialog; true when it was closed with OK, the request then filled.
bool askVolumesRequest(VolumesRequest& request);

} // namespace vog::products
