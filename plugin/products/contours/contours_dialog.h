// The "contours" dialog: the elevation range to contour, the intervals, the
// widths, the two layers and the rounding choice.
#pragma once

#include <string>

namespace vog::products {

// The range texts the user accepted; they belong to this use of the dialog
// only, not to the project.
struct ContourRange {
    std::wstring start;
    std::wstring end;
};

// Shows the dialog with the start and end proposed from the surface's
// heights and every other field from the project settings. On accept the
// settings dci, dii, dcw, diw, dcln, diln and dcround take the fields' values
// and range the start and end texts; true. False when cancelled or when the
// dialog could not be shown.
bool askContourSettings(double lowest, double highest, ContourRange& range);

} // namespace vog::products
