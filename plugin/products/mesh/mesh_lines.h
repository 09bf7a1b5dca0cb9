// Writing the rectangular mesh into the drawing: each grid line as
// three-dimensional polylines (a new one wherever the line has a gap), with
// the skirt vertices at its ends, and the skirt's base line.
#pragma once

#include "base/status.h"
#include "geometry/geometry.h"
#include "products/common/drawing.h"

#include <optional>
#include <string>
#include <vector>

namespace vog::products {

// The two skirt points of a grid line: below its first and its last point,
// at the base elevation.
struct SkirtEnds {
    surface::Point3 start;
    surface::Point3 end;
};

// Writes a grid line of one or more segments on the layer. With skirt ends
// the line's first polyline begins at the skirt start and its last one ends
// at the skirt end. Ok, or failed after the failure has been reported (what
// was written stays).
Status writeMeshLine(const std::vector<surface::Segment>& line, const std::wstring& layer,
                     const std::optional<SkirtEnds>& skirt, Drawing& drawing);

// Writes the skirt's base line through the points, in order; at least one
// point. Ok, or failed after the failure has been reported.
Status writeSkirtBaseLine(const std::vector<surface::Point3>& points, const std::wstring& layer,
                          Drawing& drawing);

} // namespace vog::products
