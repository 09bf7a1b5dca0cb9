// An independent check of surfaces changed by fault lines: the triangles must
// still tile exactly the plan area of the surface they came from, with the
// same vertices. Works on the six-decimal lattice of the triangle files with
// exact integer arithmetic and shares nothing with the plug-in's geometry.
#pragma once

#include "geometry/geometry.h"

#include <memory>
#include <string>
#include <vector>

namespace vog::surface::testing {

// Checks triangulations against the original surface: empty when the
// triangles are a valid triangulation of the same region and vertex set as
// the original: every triangle clockwise with non-zero area, no directed edge
// used twice, the unshared edges (the outline) exactly those of the original,
// the vertices (x, y and z) exactly the original's and the total area the
// same. Otherwise a description of the first fault found.
class SurfaceCheck {
  public:
    explicit SurfaceCheck(const std::vector<Triangle>& original);
    std::string faultIn(const std::vector<Triangle>& triangles) const;

    struct Summary;

  private:
    std::shared_ptr<const Summary> original_;
};

// True when a and b lie in plan on a chain of surface edges along the straight
// line between them (every surface vertex on the segment is a stop of it).
bool isEdgeChain(const std::vector<Triangle>& triangles, const Point3& a, const Point3& b);

// True when the segments a-b and c-d cross at a point interior to both.
bool crossesInterior(const Point3& a, const Point3& b, const Point3& c, const Point3& d);

} // namespace vog::surface::testing
