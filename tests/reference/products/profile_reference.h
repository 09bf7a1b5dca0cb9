// The profile cut in its plainest form, kept as the oracle of the fast
// version: every chord of the polyline is tried against every surface edge in
// table order, and the write order is found by one scan per line.
#pragma once

#include "host_api.h"
#include "products/common/edge_exchange.h"
#include "products/profile/profile_cut.h"

#include <cstddef>
#include <vector>

namespace vogref::products {

using vog::products::ProfilePoint;
using vog::products::SurfaceEdge;

double cutStraightSegment(const ads_point p, const ads_point q, double s,
                          const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out);

double cutArcSegment(const ads_point p, const ads_point q, double bulge, double s,
                     const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out);

std::vector<std::size_t> profileWriteOrder(const std::vector<ProfilePoint>& points);

} // namespace vogref::products
