// Contour tracing in its plainest form, kept as the oracle of the fast
// version: every level scans every triangle, the pool is bubble sorted, and
// chaining rescans the pool from its front after every segment it takes.
#pragma once

#include "products/contours/contour_levels.h"
#include "products/contours/contour_tracer.h"
#include "products/contours/level_segments.h"

#include <functional>
#include <span>
#include <vector>

namespace vogref::products {

using vog::products::ContourLevels;
using vog::products::ContourSegment;
using vog::surface::Point3;
using vog::surface::Segment;
using vog::surface::Triangle;

// Takes one chain to draw; RTNORM, or RTERROR to stop tracing.
using ChainWriter = std::function<int(std::span<const Segment> chain)>;

void collectLevelSegments(const std::vector<Triangle>& triangles, double level,
                          std::vector<ContourSegment>& pool);
void normaliseSegments(std::vector<ContourSegment>& pool);
bool isGrazedEdge(const ContourSegment& segment, const std::vector<Triangle>& triangles);
void buildLevelPool(const std::vector<Triangle>& triangles, double level,
                    std::vector<ContourSegment>& pool);

bool segmentInChain(std::span<const Segment> chain, const Segment& segment);
bool buildChain(std::vector<ContourSegment>& pool, std::vector<Segment>& chain);
bool onRim(const Point3& point, const std::vector<Segment>& rim);
bool chainQualifies(std::span<const Segment> chain, const std::vector<ContourSegment>& pool,
                    const std::vector<Segment>& rim);

int traceLevel(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
               double level, const ChainWriter& write);
int traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                  const ContourLevels& levels, const ChainWriter& write);

// The rim by the segment toggle: every triangle edge added, or removed when
// an equal one (either direction) is already there.
std::vector<Segment> surfaceRim(const std::vector<Triangle>& triangles);

} // namespace vogref::products
