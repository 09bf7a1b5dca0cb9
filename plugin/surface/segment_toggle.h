// The segment toggle: collects the outline of a set of triangles, since an
// edge shared by two of them is added twice and so cancels out.
#pragma once

#include "surface/geometry.h"

#include <vector>

namespace vog::surface {

// Removes the first entry equal to (a, b) or (b, a), all coordinates compared
// exactly; appends (a, b) when there is none.
void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments);

} // namespace vog::surface
