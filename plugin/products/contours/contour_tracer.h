// Contour tracing: for every level, the level's segment pool is built from
// the triangles, joined into chains, and each chain worth drawing is handed
// to the writer.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"
#include "products/contours/contour_levels.h"

#include <functional>
#include <span>
#include <vector>

namespace vog::products {

using surface::Segment;
using surface::Triangle;

// Takes one chain to draw; answers ok, or failed (after its own message) to
// stop tracing.
using ChainWriter = std::function<Status(std::span<const Segment> chain)>;

// Every level from levels.first up to levels.top, with the meter "Tracing
// contours" moving level by level. The break key is polled before each
// level: cancelled when the user asked to stop, with the earlier levels
// drawn; failed when the writer failed; ok otherwise. rim is the surface's
// boundary edges.
Status traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                     const ContourLevels& levels, const ChainWriter& write, const Seam& seam);

} // namespace vog::products
