#include "plugin/surface/delaunay_reference.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <unordered_map>

namespace vog::surface::testing {

namespace {

using Wide = __int128;

// Twice the signed area: > 0 when a, b, c turn counter-clockwise.
Wide orient(const LatticePoint& a, const LatticePoint& b, const LatticePoint& c) {
    return Wide(b.x - a.x) * (c.y - a.y) - Wide(b.y - a.y) * (c.x - a.x);
}

// > 0 when d lies inside the circle through the counter-clockwise a, b, c.
Wide inCircle(const LatticePoint& a, const LatticePoint& b, const LatticePoint& c,
              const LatticePoint& d) {
    Wide adx = a.x - d.x, ady = a.y - d.y;
    Wide bdx = b.x - d.x, bdy = b.y - d.y;
    Wide cdx = c.x - d.x, cdy = c.y - d.y;
    Wide ad = adx * adx + ady * ady;
    Wide bd = bdx * bdx + bdy * bdy;
    Wide cd = cdx * cdx + cdy * cdy;
    return adx * (bdy * cd - cdy * bd) - ady * (bdx * cd - cdx * bd) + ad * (bdx * cdy - cdx * bdy);
}

std::uint64_t edgeKey(int a, int b) {
    return (std::uint64_t(std::uint32_t(a)) << 32) | std::uint32_t(b);
}

struct Mesh {
    std::vector<std::array<int, 3>> triangles;
    std::unordered_map<std::uint64_t, int> owner; // directed edge -> triangle holding it

    void set(int t, std::array<int, 3> corners) {
        if (t == int(triangles.size()))
            triangles.push_back(corners);
        else
            triangles[t] = corners;
        for (int i = 0; i < 3; ++i)
            owner[edgeKey(corners[i], corners[(i + 1) % 3])] = t;
    }
    int add(std::array<int, 3> corners) {
        int t = int(triangles.size());
        set(t, corners);
        return t;
    }
    int ownerOf(int a, int b) const {
        auto it = owner.find(edgeKey(a, b));
        return it == owner.end() ? -1 : it->second;
    }
    int opposite(int t, int a, int b) const {
        for (int v : triangles[t])
            if (v != a && v != b) return v;
        return -1;
    }
};

} // namespace

LatticePoint toLattice(double x, double y) {
    return {std::llround(x * 1000), std::llround(y * 1000)};
}

ReferenceTriangulation delaunayReference(const std::vector<LatticePoint>& points) {
    ReferenceTriangulation result;
    const int n = int(points.size());
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return points[a].x != points[b].x ? points[a].x < points[b].x : points[a].y < points[b].y;
    });

    // The sorted points up to the first that leaves the line of the first
    // two form a fan.
    int k = 2;
    while (k < n && orient(points[order[0]], points[order[1]], points[order[k]]) == 0)
        ++k;
    if (k >= n) return result;

    Mesh mesh;
    std::vector<int> next(n, -1), prev(n, -1);
    const bool leftTurn = orient(points[order[0]], points[order[1]], points[order[k]]) > 0;
    for (int i = 0; i + 1 < k; ++i) {
        int a = order[i], b = order[i + 1], c = order[k];
        mesh.add(leftTurn ? std::array<int, 3>{a, b, c} : std::array<int, 3>{b, a, c});
    }
    // The hull, counter-clockwise.
    std::vector<int> hull;
    if (leftTurn) {
        for (int i = 0; i <= k; ++i)
            hull.push_back(order[i]);
    } else {
        hull.push_back(order[0]);
        hull.push_back(order[k]);
        for (int i = k - 1; i >= 1; --i)
            hull.push_back(order[i]);
    }
    for (std::size_t i = 0; i < hull.size(); ++i) {
        next[hull[i]] = hull[(i + 1) % hull.size()];
        prev[hull[(i + 1) % hull.size()]] = hull[i];
    }

    // Each further point lies beyond the hull: join it to the hull edges it
    // sees, starting at the previous point, which is the hull's last vertex.
    for (int i = k + 1; i < n; ++i) {
        const int p = order[i];
        const int q = order[i - 1];
        bool sawEdge = false;
        int right = q;
        while (orient(points[right], points[next[right]], points[p]) < 0) {
            mesh.add({next[right], right, p});
            right = next[right];
            sawEdge = true;
        }
        int left = q;
        while (orient(points[prev[left]], points[left], points[p]) < 0) {
            mesh.add({left, prev[left], p});
            left = prev[left];
            sawEdge = true;
        }
        if (!sawEdge) {
            result.ok = false;
            return result;
        }
        next[left] = p;
        prev[p] = left;
        next[p] = right;
        prev[right] = p;
    }

    // Lawson's flips.
    std::vector<std::pair<int, int>> pending;
    for (const auto& t : mesh.triangles)
        for (int e = 0; e < 3; ++e)
            pending.push_back({t[e], t[(e + 1) % 3]});
    while (!pending.empty()) {
        auto [a, b] = pending.back();
        pending.pop_back();
        int t1 = mesh.ownerOf(a, b);
        int t2 = mesh.ownerOf(b, a);
        if (t1 < 0 || t2 < 0) continue;
        int c = mesh.opposite(t1, a, b);
        int d = mesh.opposite(t2, b, a);
        if (inCircle(points[a], points[b], points[c], points[d]) <= 0) continue;
        mesh.owner.erase(edgeKey(a, b));
        mesh.owner.erase(edgeKey(b, a));
        mesh.set(t1, {a, d, c});
        mesh.set(t2, {d, b, c});
        pending.insert(pending.end(), {{a, d}, {d, b}, {b, c}, {c, a}});
    }
    for (const auto& t : mesh.triangles) {
        for (int e = 0; e < 3; ++e) {
            int a = t[e], b = t[(e + 1) % 3];
            int other = mesh.ownerOf(b, a);
            if (other < 0) continue;
            int c = mesh.opposite(mesh.ownerOf(a, b), a, b);
            int d = mesh.opposite(other, b, a);
            if (inCircle(points[a], points[b], points[c], points[d]) == 0) result.cocircular = true;
        }
    }
    result.triangles = mesh.triangles;
    return result;
}

std::string triangulationFault(const std::vector<Triangle>& triangles,
                               const std::vector<Point3>& points) {
    std::set<std::array<double, 3>> corners;
    for (const Point3& p : points)
        corners.insert({p.x, p.y, p.z});
    // Undirected edge -> the directions in which it was used.
    std::map<std::pair<std::pair<double, double>, std::pair<double, double>>, std::vector<bool>>
        edges;
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const auto& c = triangles[i].corners;
        const std::string which = "triangle " + std::to_string(i) + ": ";
        for (const Point3& p : c)
            if (!corners.count({p.x, p.y, p.z})) return which + "corner is not an input point";
        Wide turn =
            orient(toLattice(c[0].x, c[0].y), toLattice(c[1].x, c[1].y), toLattice(c[2].x, c[2].y));
        if (turn == 0) return which + "zero area";
        if (turn > 0) return which + "counter-clockwise";
        for (int e = 0; e < 3; ++e) {
            std::pair<double, double> a{c[e].x, c[e].y}, b{c[(e + 1) % 3].x, c[(e + 1) % 3].y};
            bool forward = a < b;
            auto& uses = edges[forward ? std::make_pair(a, b) : std::make_pair(b, a)];
            uses.push_back(forward);
            if (uses.size() > 2) return which + "edge used more than twice";
            if (uses.size() == 2 && uses[0] == uses[1])
                return which + "edge used twice in the same direction";
        }
    }
    return {};
}

std::vector<std::array<int, 3>> indexTriples(const std::vector<Triangle>& triangles,
                                             const std::vector<Point3>& points) {
    std::map<std::pair<double, double>, int> index;
    for (std::size_t i = 0; i < points.size(); ++i)
        index[{points[i].x, points[i].y}] = int(i);
    std::vector<std::array<int, 3>> triples;
    for (const Triangle& t : triangles) {
        std::array<int, 3> triple;
        for (int k = 0; k < 3; ++k) {
            auto it = index.find({t.corners[k].x, t.corners[k].y});
            triple[k] = it == index.end() ? -1 : it->second;
        }
        triples.push_back(triple);
    }
    return sortedTriples(triples);
}

std::vector<std::array<int, 3>> sortedTriples(std::vector<std::array<int, 3>> triangles) {
    for (auto& t : triangles)
        std::sort(t.begin(), t.end());
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

} // namespace vog::surface::testing
