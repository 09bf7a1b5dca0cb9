// Contour polylines in the drawing: a traced chain, rounded first when the
// project asks for it, becomes one POLYLINE with a VERTEX per point and a
// closing SEQEND, on the regular or the index contour layer.
#pragma once

#include "base/status.h"
#include "geometry/geometry.h"
#include "products/common/drawing.h"

#include <span>
#include <string>
#include <vector>

namespace vog::products {

using surface::Segment;

// What the contours command fixes for every polyline it draws.
struct WriterParameters {
    std::wstring rounding = L"0"; // "0": straight through the chain points; else rounded
    double contourWidth = 0;
    double indexWidth = 0;
    std::wstring contourLayer;
    std::wstring indexLayer;
    double indexInterval = 0; // the effective index interval
};

// Writes the chain as a two-dimensional polyline at the height of its first
// vertex, which also decides whether it is an index contour. A closed chain
// stays an open polyline whose last vertex lies on its first. On the first
// entity that cannot be put together or that the drawing refuses, the reason
// is reported and failed comes back; what was made stays. Ok otherwise.
Status writeContourPolyline(std::span<const Segment> chain, const WriterParameters& parameters,
                            Drawing& drawing);

// One traced chain into the drawing: rounded into the reused buffer rounded
// unless the rounding mode is "0", then written.
Status drawContour(std::span<const Segment> chain, const WriterParameters& parameters,
                   std::vector<Segment>& rounded, Drawing& drawing);

} // namespace vog::products
