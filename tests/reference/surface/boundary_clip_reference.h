// Boundary and void clipping in its plainest form, kept as the oracle of the
// indexed version: every triangle is tested against every boundary segment,
// first for a crossing edge, then, when none crosses, by the even-odd count
// along the ray from its test point.
#pragma once

#include "geometry/geometry.h"

#include <string>
#include <vector>

namespace vogref::surface {

using vog::surface::Segment;
using vog::surface::Triangle;

int clipTrianglesToBoundary(const std::wstring& boundaryFile, const std::wstring& source,
                            const std::wstring& target);

int triangleCrossesBoundary(const Triangle& triangle, const std::vector<Segment>& segments);

int triangleInsidePolygon(const Triangle& triangle, const std::vector<Segment>& segments);

} // namespace vogref::surface
