// Contour tracing: for every level, the level's segment pool is built from
// the triangles, joined into chains, and each chain worth drawing is handed
// to the writer.
#pragma once

#include "products/contours/contour_levels.h"
#include "geometry/geometry.h"

#include <functional>
#include <span>
#include <vector>

namespace vog::products {

using surface::Segment;
using surface::Triangle;

// Takes one chain to draw; answers RTNORM, or RTERROR (after its own
// message) to stop tracing.
using ChainWriter = std::function<int(std::span<const Segment> chain)>;

// The chains of one level, in the order they are built. RTERROR as soon as
// the writer gives it, else RTNORM.
int traceLevel(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
               double level, const ChainWriter& write);

// Every level from levels.first up to levels.top. The break key is polled
// before each level: RTCAN when the user asked to stop, with the earlier
// levels drawn; RTERROR when the writer failed; RTNORM otherwise. rim is the
// surface's boundary edges.
int traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                  const ContourLevels& levels, const ChainWriter& write);

} // namespace vog::products
