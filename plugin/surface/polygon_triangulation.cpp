#include "surface/polygon_triangulation.h"

#include "surface/plan_orientation.h"
#include "surface/point_order.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <unordered_map>

namespace vog::surface {

namespace {

using Corners = std::array<std::size_t, 3>; // indices into the polygon, counter-clockwise

// True when p lies inside the triangle a, b, c (turning as given) or on its
// sides.
bool inClosedTriangle(const Point3& p, const Point3& a, const Point3& b, const Point3& c,
                      int turn) {
    return planOrientation(a, b, p) != -turn && planOrientation(b, c, p) != -turn &&
           planOrientation(c, a, p) != -turn;
}

// d strictly inside the circle through a, b, c (counter-clockwise). Only the
// shape of the result depends on this test, never its validity.
bool inCircle(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const long double adx = static_cast<long double>(a.x) - d.x;
    const long double ady = static_cast<long double>(a.y) - d.y;
    const long double bdx = static_cast<long double>(b.x) - d.x;
    const long double bdy = static_cast<long double>(b.y) - d.y;
    const long double cdx = static_cast<long double>(c.x) - d.x;
    const long double cdy = static_cast<long double>(c.y) - d.y;
    const long double det = (adx * adx + ady * ady) * (bdx * cdy - cdx * bdy) +
                            (bdx * bdx + bdy * bdy) * (cdx * ady - adx * cdy) +
                            (cdx * cdx + cdy * cdy) * (adx * bdy - bdx * ady);
    return det > 0;
}

bool hasRepeatedCorner(const std::vector<Point3>& polygon) {
    std::vector<Point3> sorted = polygon;
    std::sort(sorted.begin(), sorted.end(),
              [](const Point3& a, const Point3& b) { return comparePointsXY(a, b) < 0; });
    for (std::size_t i = 1; i < sorted.size(); ++i)
        if (comparePointsXY(sorted[i - 1], sorted[i]) == 0) return true;
    return false;
}

// The turning direction of the polygon, read at its lowest-left corner, which
// is always a strictly convex one in a simple polygon.
int polygonTurn(const std::vector<Point3>& polygon) {
    const std::size_t n = polygon.size();
    std::size_t lowest = 0;
    for (std::size_t i = 1; i < n; ++i)
        if (comparePointsXY(polygon[i], polygon[lowest]) < 0) lowest = i;
    return planOrientation(polygon[(lowest + n - 1) % n], polygon[lowest],
                           polygon[(lowest + 1) % n]);
}

// Cuts ears off the polygon until one triangle is left. False when no ear can
// be found, which a simple polygon always has.
bool clipEars(const std::vector<Point3>& polygon, int turn, std::vector<Corners>& triangles) {
    const std::size_t n = polygon.size();
    std::vector<std::size_t> prev(n);
    std::vector<std::size_t> next(n);
    for (std::size_t i = 0; i < n; ++i) {
        prev[i] = (i + n - 1) % n;
        next[i] = (i + 1) % n;
    }
    auto isEar = [&](std::size_t i) {
        const std::size_t p = prev[i];
        const std::size_t q = next[i];
        if (planOrientation(polygon[p], polygon[i], polygon[q]) != turn) return false;
        for (std::size_t j = next[q]; j != p; j = next[j])
            if (inClosedTriangle(polygon[j], polygon[p], polygon[i], polygon[q], turn))
                return false;
        return true;
    };
    auto addTriangle = [&](std::size_t p, std::size_t i, std::size_t q) {
        triangles.push_back(turn > 0 ? Corners{p, i, q} : Corners{q, i, p});
    };

    std::size_t remaining = n;
    std::size_t current = 0;
    std::size_t misses = 0;
    while (remaining > 3) {
        if (isEar(current)) {
            const std::size_t p = prev[current];
            const std::size_t q = next[current];
            addTriangle(p, current, q);
            next[p] = q;
            prev[q] = p;
            --remaining;
            current = p;
            misses = 0;
        } else {
            current = next[current];
            if (++misses > remaining) return false;
        }
    }
    const std::size_t p = prev[current];
    const std::size_t q = next[current];
    if (planOrientation(polygon[p], polygon[current], polygon[q]) != turn) return false;
    addTriangle(p, current, q);
    return true;
}

// Flips the diagonals that are not locally Delaunay. The polygon edges are
// never flipped; a flip happens only in a strictly convex quadrilateral, so
// the triangles keep tiling the polygon.
void flipToDelaunay(const std::vector<Point3>& polygon, std::vector<Corners>& triangles) {
    const std::size_t n = polygon.size();
    auto key = [n](std::size_t u, std::size_t v) { return u * n + v; };
    auto isPolygonEdge = [n](std::size_t u, std::size_t v) {
        return (u + 1) % n == v || (v + 1) % n == u;
    };
    std::unordered_map<std::size_t, std::size_t> owner; // directed edge -> triangle
    std::vector<std::array<std::size_t, 2>> pending;
    for (std::size_t t = 0; t < triangles.size(); ++t) {
        for (int k = 0; k < 3; ++k) {
            const std::size_t u = triangles[t][k];
            const std::size_t v = triangles[t][(k + 1) % 3];
            owner[key(u, v)] = t;
            if (!isPolygonEdge(u, v)) pending.push_back({u, v});
        }
    }
    auto third = [](const Corners& t, std::size_t u, std::size_t v) {
        for (std::size_t c : t)
            if (c != u && c != v) return c;
        return t[0];
    };

    // Each flip makes the triangulation strictly more Delaunay with exact
    // arithmetic; the limit only guards against rounding in the circle test.
    std::size_t flipsLeft = 4 * n * n + 16;
    while (!pending.empty() && flipsLeft > 0) {
        const auto [u, v] = pending.back();
        pending.pop_back();
        auto left = owner.find(key(u, v));
        auto right = owner.find(key(v, u));
        if (left == owner.end() || right == owner.end()) continue;
        const std::size_t t1 = left->second;
        const std::size_t t2 = right->second;
        const std::size_t w = third(triangles[t1], u, v); // left of u->v
        const std::size_t x = third(triangles[t2], u, v); // right of u->v
        if (!inCircle(polygon[u], polygon[v], polygon[w], polygon[x])) continue;
        if (!segmentsCrossInterior(polygon[w], polygon[x], polygon[u], polygon[v])) continue;
        owner.erase(key(u, v));
        owner.erase(key(v, u));
        triangles[t1] = {u, x, w};
        triangles[t2] = {x, v, w};
        owner[key(u, x)] = t1;
        owner[key(x, w)] = t1;
        owner[key(w, u)] = t1;
        owner[key(x, v)] = t2;
        owner[key(v, w)] = t2;
        owner[key(w, x)] = t2;
        for (auto edge : {std::array<std::size_t, 2>{u, x}, {x, v}, {v, w}, {w, u}})
            if (!isPolygonEdge(edge[0], edge[1])) pending.push_back(edge);
        --flipsLeft;
    }
}

} // namespace

int triangulatePolygonPoints(const std::vector<Point3>& polygon, std::vector<Triangle>& triangles) {
    if (polygon.size() < 3 || hasRepeatedCorner(polygon)) return -1;
    const int turn = polygonTurn(polygon);
    if (turn == 0) return -1;
    std::vector<Corners> corners;
    if (!clipEars(polygon, turn, corners)) return -1;
    flipToDelaunay(polygon, corners);
    for (const Corners& c : corners)
        triangles.push_back(Triangle{{polygon[c[0]], polygon[c[2]], polygon[c[1]]}});
    return 0;
}

} // namespace vog::surface
