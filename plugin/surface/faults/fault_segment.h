// One fault line applied to a surface in memory: the triangles the fault cuts
// are removed, the hole on each side of the fault is triangulated on its own,
// and so the fault becomes an edge across which the surface is not
// interpolated. A fault that cannot be placed leaves the surface as it was.
#pragma once

#include "base/seam.h"
#include "geometry/geometry.h"
#include "surface/faults/fault_surface.h"

#include <vector>

namespace vog::surface {

// Plan distance within which a fault end is moved onto a surface vertex.
constexpr double kSnapDistance = 0.1;

// How applyFaultSegment ended for one fault.
enum class [[nodiscard]] FaultResult{
    // The fault was placed, or could not be placed and was reported with
    // "Fault line (x1,y1,z1)-(x2,y2,z2) missing for triangulation.\nApplying
    // Fault Lines..." (the surface then holds the same triangles as before,
    // the cut ones possibly moved to the end).
    processed,
    // An end is not a surface vertex, or the fault cuts at most one triangle
    // (for example because it is an edge already); no message.
    notApplied,
    // The outline of the hole cannot be followed; surface unchanged, no
    // message.
    unfollowable,
    // The break key was pressed; surface unchanged.
    cancelled,
};

// Moves point onto the surface vertex nearest to it in plan, elevation
// included, when that vertex lies within kSnapDistance (inclusive). Of
// equally near vertices the first in surface order wins (triangle by
// triangle, corners 1, 2, 3).
void snapToNearestVertex(FaultSurface& surface, Point3& point);
void snapToNearestVertex(const std::vector<Triangle>& triangles, Point3& point);

// Applies the fault to the triangles. Both ends are snapped, then take the
// elevations of the surface vertices they lie on. A fault that passes exactly
// through further vertices is applied as the chain of faults between them.
// Triangles the fault does not cut keep their order at the front; the new ones
// follow, those of the first side (the side of the hole's outline edge at the
// fault's second end that comes first) before those of the second.
//
// The report goes to the seam's messages, and its break key is polled while
// the hole is followed. The fault's ends are updated in place by the
// snapping and the elevations.
FaultResult applyFaultSegment(FaultSurface& surface, Segment& fault, const Seam& seam);
// The same on a list of triangles, for a single fault (the list is indexed
// for the call).
FaultResult applyFaultSegment(std::vector<Triangle>& triangles, Segment& fault, const Seam& seam);

} // namespace vog::surface
