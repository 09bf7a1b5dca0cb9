#include "plugin/surface/faults/fault_surface_check.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <tuple>

namespace vog::surface::testing {

namespace {

using Wide = __int128;

struct Lattice {
    long long x;
    long long y;
    auto operator<=>(const Lattice&) const = default;
};

Lattice lattice(const Point3& p) {
    return {std::llround(p.x * 1e6), std::llround(p.y * 1e6)};
}

// Twice the signed area, > 0 counter-clockwise.
Wide orient(Lattice a, Lattice b, Lattice c) {
    return Wide(b.x - a.x) * (c.y - a.y) - Wide(b.y - a.y) * (c.x - a.x);
}

int sign(Wide v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

using Vertex = std::tuple<long long, long long, long long>; // lattice x, y, z
using Edge = std::pair<Lattice, Lattice>;

Vertex vertexOf(const Point3& p) {
    Lattice l = lattice(p);
    return {l.x, l.y, std::llround(p.z * 1e6)};
}

std::string describe(const Triangle& t) {
    std::ostringstream out;
    out.precision(12);
    for (const Point3& c : t.corners)
        out << "(" << c.x << ", " << c.y << ", " << c.z << ")";
    return out.str();
}

} // namespace

struct SurfaceCheck::Summary {
    std::vector<Vertex> vertices; // sorted, distinct
    std::vector<Edge> outline;    // sorted
    Wide area = 0;
    std::string fault;
};

namespace {

SurfaceCheck::Summary summarise(const std::vector<Triangle>& triangles) {
    SurfaceCheck::Summary s;
    std::vector<Edge> directed;
    directed.reserve(3 * triangles.size());
    for (const Triangle& t : triangles) {
        Lattice c[3];
        for (int k = 0; k < 3; ++k) {
            c[k] = lattice(t.corners[k]);
            s.vertices.push_back(vertexOf(t.corners[k]));
        }
        Wide a = orient(c[0], c[1], c[2]);
        if (a >= 0 && s.fault.empty())
            s.fault = (a == 0 ? "flat triangle " : "counter-clockwise triangle ") + describe(t);
        s.area -= a;
        for (int k = 0; k < 3; ++k)
            directed.push_back({c[k], c[(k + 1) % 3]});
    }
    std::sort(s.vertices.begin(), s.vertices.end());
    s.vertices.erase(std::unique(s.vertices.begin(), s.vertices.end()), s.vertices.end());
    std::sort(directed.begin(), directed.end());
    if (std::adjacent_find(directed.begin(), directed.end()) != directed.end() && s.fault.empty())
        s.fault = "an edge used twice in one direction (overlapping triangles)";
    for (const Edge& e : directed)
        if (!std::binary_search(directed.begin(), directed.end(), Edge{e.second, e.first}))
            s.outline.push_back(e);
    return s;
}

} // namespace

SurfaceCheck::SurfaceCheck(const std::vector<Triangle>& original)
    : original_(std::make_shared<Summary>(summarise(original))) {}

std::string SurfaceCheck::faultIn(const std::vector<Triangle>& triangles) const {
    if (!original_->fault.empty()) return "original: " + original_->fault;
    Summary now = summarise(triangles);
    if (!now.fault.empty()) return now.fault;
    if (now.vertices != original_->vertices)
        return "vertex set changed: " + std::to_string(now.vertices.size()) + " vertices, was " +
               std::to_string(original_->vertices.size());
    if (now.outline != original_->outline)
        return "outline changed (hole or overlap): " + std::to_string(now.outline.size()) +
               " unshared edges, was " + std::to_string(original_->outline.size());
    if (now.area != original_->area) return "plan area changed";
    return "";
}

bool crossesInterior(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    Lattice la = lattice(a), lb = lattice(b), lc = lattice(c), ld = lattice(d);
    int s1 = sign(orient(la, lb, lc)), s2 = sign(orient(la, lb, ld));
    int s3 = sign(orient(lc, ld, la)), s4 = sign(orient(lc, ld, lb));
    return s1 * s2 < 0 && s3 * s4 < 0;
}

bool isEdgeChain(const std::vector<Triangle>& triangles, const Point3& a, const Point3& b) {
    const Lattice la = lattice(a), lb = lattice(b);
    const Lattice lo = std::min(la, lb), hi = std::max(la, lb);
    // The surface vertices on the segment, and the edges among them.
    std::vector<Lattice> stops{la, lb};
    std::vector<Edge> edges;
    for (const Triangle& t : triangles) {
        for (int k = 0; k < 3; ++k) {
            Lattice p = lattice(t.corners[k]);
            Lattice q = lattice(t.corners[(k + 1) % 3]);
            bool pOn = orient(la, lb, p) == 0 && lo <= p && p <= hi;
            bool qOn = orient(la, lb, q) == 0 && lo <= q && q <= hi;
            if (pOn) stops.push_back(p);
            if (pOn && qOn) edges.push_back({std::min(p, q), std::max(p, q)});
        }
    }
    // Points on one line are ordered along it by their lexicographic order.
    std::sort(stops.begin(), stops.end());
    stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
    std::sort(edges.begin(), edges.end());
    for (std::size_t i = 0; i + 1 < stops.size(); ++i)
        if (!std::binary_search(edges.begin(), edges.end(), Edge{stops[i], stops[i + 1]}))
            return false;
    return true;
}

} // namespace vog::surface::testing
