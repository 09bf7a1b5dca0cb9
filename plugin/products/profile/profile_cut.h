// Cutting a polyline's segments against the surface edges: every plan
// crossing becomes a profile point (station along the polyline, elevation of
// the edge there).
#pragma once

#include "geometry/geometry.h"
#include "products/common/edge_exchange.h"
#include "products/common/edge_grid.h"

#include <vector>

namespace vog::products {

struct ProfilePoint {
    double station;
    double elevation;
};

// The edges of a profile with their grid, and scratch space for the
// lookups: build once per profile, then cut every segment against it.
struct ProfileEdges {
    explicit ProfileEdges(const std::vector<SurfaceEdge>& edges) : grid(buildEdgeGrid(edges)) {}
    EdgeGrid grid;
    std::vector<std::uint32_t> near;
    std::vector<std::uint32_t> seen;
    std::uint32_t stamp = 0;
};

// A straight segment from p to q, with the station base s at p. Crossings
// are appended in edge order; returns the segment's length.
double cutStraightSegment(const surface::Point3& p, const surface::Point3& q, double s,
                          ProfileEdges& edges, std::vector<ProfilePoint>& out);
double cutStraightSegment(const surface::Point3& p, const surface::Point3& q, double s,
                          const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out);

// An arc segment from p to q with bulge b (not 0), followed in chords of one
// drawing unit; stations come from the angle swept from p. Returns the arc's
// length.
double cutArcSegment(const surface::Point3& p, const surface::Point3& q, double bulge, double s,
                     ProfileEdges& edges, std::vector<ProfilePoint>& out);
double cutArcSegment(const surface::Point3& p, const surface::Point3& q, double bulge, double s,
                     const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out);

} // namespace vog::products
