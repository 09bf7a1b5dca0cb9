// The surface as the contours command holds it: every triangle of the
// project's triangle file in memory, the surface's rim and its height range.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"
#include "surface/files/triangle_file.h"

#include <vector>

namespace vog::products {

struct ContourSurface {
    std::vector<surface::Triangle> triangles; // in file order
    std::vector<surface::Segment> rim;        // the edges of exactly one triangle
    double lowest = 0;                        // least and greatest corner height;
    double highest = 0;                       // both 0 for a surface without triangles
};

// Reads the open triangle file to its end, polling the break key once per
// triangle, and collects the rim with the segment toggle. Cancelled when the
// user broke off; failed after an alert naming the file and line of a record
// that is not a triangle, or saying that the file could not be read.
Status readContourSurface(surface::TriangleFileReader& reader, const Seam& seam,
                          ContourSurface& surface);

} // namespace vog::products
