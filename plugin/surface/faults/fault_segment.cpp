#include "surface/faults/fault_segment.h"

#include "geometry/edge_toggle.h"
#include "geometry/plan_orientation.h"
#include "geometry/point_order.h"
#include "surface/faults/polygon_triangulation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cwchar>
#include <iterator>
#include <tuple>
#include <utility>

namespace vog::surface {

namespace {

bool tolerantEqual(const Point3& a, const Point3& b) {
    return comparePointsXYTolerant(a, b) == 0;
}

bool planEqual(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y;
}

// The plan extents of a fault, to pass over far-away triangles quickly.
struct PlanBox {
    double minX, minY, maxX, maxY;

    PlanBox(const Point3& a, const Point3& b)
        : minX(std::min(a.x, b.x)), minY(std::min(a.y, b.y)), maxX(std::max(a.x, b.x)),
          maxY(std::max(a.y, b.y)) {}

    bool contains(const Point3& p) const {
        return p.x >= minX && p.x <= maxX && p.y >= minY && p.y <= maxY;
    }
    bool misses(const Triangle& t) const {
        const auto& c = t.corners;
        return std::max({c[0].x, c[1].x, c[2].x}) < minX ||
               std::min({c[0].x, c[1].x, c[2].x}) > maxX ||
               std::max({c[0].y, c[1].y, c[2].y}) < minY ||
               std::min({c[0].y, c[1].y, c[2].y}) > maxY;
    }
};

// An edge is cut when it and the fault meet in a point interior to both. An
// edge that ends at a fault end only touches the fault.
bool edgeCut(const Point3& e1, const Point3& e2, const Point3& p1, const Point3& p2) {
    if (tolerantEqual(e1, p1) || tolerantEqual(e1, p2) || tolerantEqual(e2, p1) ||
        tolerantEqual(e2, p2))
        return false;
    return segmentsCrossInterior(e1, e2, p1, p2);
}

bool triangleCut(const Triangle& t, const Point3& p1, const Point3& p2) {
    const auto& c = t.corners;
    return edgeCut(c[0], c[1], p1, p2) || edgeCut(c[1], c[2], p1, p2) ||
           edgeCut(c[2], c[0], p1, p2);
}

bool hasEdge(const Triangle& t, const Point3& p1, const Point3& p2) {
    for (int k = 0; k < 3; ++k) {
        const Point3& a = t.corners[k];
        const Point3& b = t.corners[(k + 1) % 3];
        if ((tolerantEqual(a, p1) && tolerantEqual(b, p2)) ||
            (tolerantEqual(a, p2) && tolerantEqual(b, p1)))
            return true;
    }
    return false;
}

using PointKey = std::tuple<double, double, double>;

PointKey keyOf(const Point3& p) {
    return {p.x, p.y, p.z};
}

// Twice the signed plan area, positive for counter-clockwise corners.
double doubleArea(const Triangle& t) {
    const auto& c = t.corners;
    return (c[1].x - c[0].x) * (c[2].y - c[0].y) - (c[1].y - c[0].y) * (c[2].x - c[0].x);
}

// True when the added triangles tile exactly the plan area of the removed
// ones with exactly their vertices. All added triangles turn clockwise, and
// their directed edges add up to the same outline as those of the removed
// ones (edges used in both directions cancel); triangles of one turning
// whose outlines agree cover each point of the hole exactly once.
bool tilesHole(const std::vector<Triangle>& removed, const std::vector<Triangle>& added) {
    // Vertex sets and edge flows as sorted lists: keys that compare equal
    // are one vertex or one edge.
    std::vector<PointKey> removedVertices;
    std::vector<PointKey> addedVertices;
    using EdgeFlow = std::pair<std::pair<PointKey, PointKey>, int>;
    std::vector<EdgeFlow> flow;
    flow.reserve(3 * (removed.size() + added.size()));
    auto addEdges = [&flow](const Triangle& t, int sign) {
        for (int k = 0; k < 3; ++k) {
            PointKey a = keyOf(t.corners[k]);
            PointKey b = keyOf(t.corners[(k + 1) % 3]);
            if (a < b)
                flow.push_back({{a, b}, sign});
            else
                flow.push_back({{b, a}, -sign});
        }
    };
    double removedArea = 0;
    double addedArea = 0;
    for (const Triangle& t : removed) {
        for (const Point3& c : t.corners)
            removedVertices.push_back(keyOf(c));
        addEdges(t, 1);
        removedArea += std::fabs(doubleArea(t));
    }
    for (const Triangle& t : added) {
        if (planOrientation(t.corners[0], t.corners[1], t.corners[2]) != -1) return false;
        for (const Point3& c : t.corners)
            addedVertices.push_back(keyOf(c));
        addEdges(t, -1);
        addedArea += std::fabs(doubleArea(t));
    }
    auto asSet = [](std::vector<PointKey>& keys) {
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    };
    asSet(removedVertices);
    asSet(addedVertices);
    if (removedVertices != addedVertices) return false;
    std::sort(flow.begin(), flow.end(),
              [](const EdgeFlow& e, const EdgeFlow& f) { return e.first < f.first; });
    for (std::size_t i = 0; i < flow.size();) {
        int sum = 0;
        std::size_t j = i;
        for (; j < flow.size() && !(flow[i].first < flow[j].first); ++j)
            sum += flow[j].second;
        if (sum != 0) return false;
        i = j;
    }
    return std::fabs(removedArea - addedArea) <= 1e-9 * removedArea;
}

enum class Outcome { Placed, NotApplied, GaveUp, Unfollowable, Cancelled };

// The corners of the cut triangles on each side of the fault, in the order
// the fault passes them from p1 to p2 (a corner may come back where the hole
// touches itself).
struct HoleSides {
    std::vector<Point3> left;
    std::vector<Point3> right;
};

void appendCorner(std::vector<Point3>& side, const Point3& corner) {
    if (side.empty() || !(side.back() == corner)) side.push_back(corner);
}

// Follows the fault through the cut triangles from the one at p1 to the one
// at p2, across the edges it crosses, and collects the two sides' corners.
// Every cut triangle must be passed exactly once.
Outcome followHole(const std::vector<Triangle>& removed, const Point3& p1, const Point3& p2,
                   HoleSides& sides, Cancellation& cancellation) {
    using EdgeKey = std::pair<PointKey, PointKey>;
    auto edgeKey = [](const Point3& a, const Point3& b) {
        PointKey ka = keyOf(a);
        PointKey kb = keyOf(b);
        return ka < kb ? EdgeKey{ka, kb} : EdgeKey{kb, ka};
    };
    // The cut triangles by their undirected edges, each edge's in order.
    using EdgeOwner = std::pair<EdgeKey, std::size_t>;
    std::vector<EdgeOwner> byEdge;
    byEdge.reserve(3 * removed.size());
    for (std::size_t i = 0; i < removed.size(); ++i)
        for (int k = 0; k < 3; ++k)
            byEdge.push_back({edgeKey(removed[i].corners[k], removed[i].corners[(k + 1) % 3]), i});
    std::stable_sort(byEdge.begin(), byEdge.end(),
                     [](const EdgeOwner& e, const EdgeOwner& f) { return e.first < f.first; });

    auto atP1 = std::find_if(removed.begin(), removed.end(), [&](const Triangle& t) {
        return std::any_of(t.corners.begin(), t.corners.end(),
                           [&](const Point3& c) { return planEqual(c, p1); });
    });
    if (atP1 == removed.end()) return Outcome::GaveUp;
    std::size_t current = static_cast<std::size_t>(atP1 - removed.begin());
    std::vector<Point3> across; // the crossed edge: the two corners other than p1
    for (const Point3& c : atP1->corners)
        if (!planEqual(c, p1)) across.push_back(c);
    if (across.size() != 2) return Outcome::GaveUp;
    Point3 a = across[0];
    Point3 b = across[1];

    std::vector<bool> passed(removed.size(), false);
    passed[current] = true;
    std::size_t passedCount = 1;
    for (;;) {
        if (cancellation.requested()) return Outcome::Cancelled;
        const int sideA = planOrientation(p1, p2, a);
        const int sideB = planOrientation(p1, p2, b);
        if (sideA * sideB >= 0) return Outcome::GaveUp;
        const Point3 up = sideA > 0 ? a : b;
        const Point3 down = sideA > 0 ? b : a;
        appendCorner(sides.left, up);
        appendCorner(sides.right, down);

        const EdgeKey crossed = edgeKey(a, b);
        auto owners = std::equal_range(
            byEdge.begin(), byEdge.end(), EdgeOwner{crossed, 0},
            [](const EdgeOwner& e, const EdgeOwner& f) { return e.first < f.first; });
        auto next = std::find_if(owners.first, owners.second,
                                 [&](const EdgeOwner& e) { return e.second != current; });
        if (next == owners.second || passed[next->second]) return Outcome::Unfollowable;
        current = next->second;
        passed[current] = true;
        ++passedCount;
        const Triangle& t = removed[current];
        auto far = std::find_if(t.corners.begin(), t.corners.end(),
                                [&](const Point3& c) { return !(c == a) && !(c == b); });
        if (far == t.corners.end()) return Outcome::GaveUp;
        if (planEqual(*far, p2)) break;
        const int sideFar = planOrientation(p1, p2, *far);
        if (sideFar == 0) return Outcome::GaveUp;
        // The fault leaves this triangle through the edge whose ends lie on
        // opposite sides of it.
        const Point3 farCorner = *far;
        if (sideFar > 0) {
            a = farCorner;
            b = down;
        } else {
            a = up;
            b = farCorner;
        }
    }
    return passedCount == removed.size() ? Outcome::Placed : Outcome::GaveUp;
}

// Places the fault p1-p2, whose ends are surface vertices and whose interior
// passes through none.
Outcome placeFault(FaultSurface& surface, const Point3& p1, const Point3& p2,
                   Cancellation& cancellation) {
    // The cut triangles, in surface order; the others keep theirs.
    const PlanBox box(p1, p2);
    std::vector<FaultSurface::Id> candidates;
    surface.along(p1, p2, candidates);
    std::vector<FaultSurface::Id> cut;
    std::vector<Triangle> removed;
    for (FaultSurface::Id id : candidates) {
        const Triangle& t = surface.triangle(id);
        if (!box.misses(t) && triangleCut(t, p1, p2)) {
            cut.push_back(id);
            removed.push_back(t);
        }
    }
    if (removed.empty()) return Outcome::NotApplied;

    // The outline of the hole: edges shared by two cut triangles cancel.
    SegmentOutline hole;
    for (const Triangle& t : removed) {
        hole.toggle(t.corners[0], t.corners[1]);
        hole.toggle(t.corners[1], t.corners[2]);
        hole.toggle(t.corners[2], t.corners[0]);
    }
    const std::vector<Segment> outline = hole.segments();
    // The cut triangles leave their places; they go to the end, or the new
    // triangles do.
    auto replace = [&](const std::vector<Triangle>& by) {
        for (FaultSurface::Id id : cut)
            surface.remove(id);
        for (const Triangle& t : by)
            surface.append(t);
    };
    auto putBack = [&](Outcome outcome) {
        replace(removed);
        return outcome;
    };
    if (outline.size() < 4) return putBack(Outcome::NotApplied);

    HoleSides sides;
    const Outcome followed = followHole(removed, p1, p2, sides, cancellation);
    if (followed == Outcome::Cancelled) return Outcome::Cancelled;
    if (followed != Outcome::Placed) return putBack(followed);

    // The side of the outline edge at p2 that comes first in the outline is
    // triangulated first.
    auto atP2 = std::find_if(outline.begin(), outline.end(), [&](const Segment& s) {
        return tolerantEqual(s.a, p2) || tolerantEqual(s.b, p2);
    });
    if (atP2 == outline.end()) return putBack(Outcome::GaveUp);
    const Point3& other = tolerantEqual(atP2->a, p2) ? atP2->b : atP2->a;
    const bool leftFirst = planOrientation(p1, p2, other) > 0;

    std::vector<Triangle> accepted;
    for (const std::vector<Point3>* side :
         {leftFirst ? &sides.left : &sides.right, leftFirst ? &sides.right : &sides.left}) {
        // From p2 back round the side to p1; the fault closes the polygon.
        std::vector<Point3> polygon{p2};
        polygon.insert(polygon.end(), side->rbegin(), side->rend());
        polygon.push_back(p1);
        std::vector<Triangle> triangulated;
        if (!triangulatePolygonPoints(polygon, triangulated) || triangulated.empty())
            return putBack(Outcome::GaveUp);
        if (std::none_of(triangulated.begin(), triangulated.end(),
                         [&](const Triangle& t) { return hasEdge(t, p1, p2); }))
            return putBack(Outcome::GaveUp);
        accepted.insert(accepted.end(), triangulated.begin(), triangulated.end());
    }

    // Never commit anything but an exact re-tiling of the hole.
    if (!tilesHole(removed, accepted)) return putBack(Outcome::GaveUp);
    replace(accepted);
    return Outcome::Placed;
}

// The surface vertices in the interior of the fault, ordered from p1 to p2.
// Found in surface order, so that vertices at one place sort as they would
// in a scan of all triangles.
std::vector<Point3> verticesOnFault(FaultSurface& surface, const Point3& p1, const Point3& p2) {
    const PlanBox box(p1, p2);
    std::vector<FaultSurface::Id> candidates;
    surface.along(p1, p2, candidates);
    std::vector<Point3> found;
    for (FaultSurface::Id id : candidates) {
        for (const Point3& c : surface.triangle(id).corners) {
            if (box.contains(c) && !tolerantEqual(c, p1) && !tolerantEqual(c, p2) &&
                pointInsideSegment(c, p1, p2))
                found.push_back(c);
        }
    }
    const bool alongX = p1.x != p2.x;
    const bool ascending = alongX ? p1.x < p2.x : p1.y < p2.y;
    std::sort(found.begin(), found.end(), [&](const Point3& a, const Point3& b) {
        const double ka = alongX ? a.x : a.y;
        const double kb = alongX ? b.x : b.y;
        return ascending ? ka < kb : ka > kb;
    });
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

bool isSurfaceEdge(FaultSurface& surface, const Point3& a, const Point3& b) {
    std::vector<FaultSurface::Id> candidates;
    surface.near(a, kPlanTolerance, candidates);
    return std::any_of(candidates.begin(), candidates.end(),
                       [&](FaultSurface::Id id) { return hasEdge(surface.triangle(id), a, b); });
}

void reportMissing(const Segment& fault, Messages& messages) {
    // Room for six numbers of the largest size "%lf" writes (309 digits, a
    // sign and six decimals each) and the words.
    wchar_t text[2560];
    const int length = std::swprintf(
        text, std::size(text),
        L"Fault line (%lf,%lf,%lf)-(%lf,%lf,%lf) missing for triangulation.\nApplying "
        L"Fault Lines...",
        fault.a.x, fault.a.y, fault.a.z, fault.b.x, fault.b.y, fault.b.z);
    if (length > 0) messages.print(std::wstring(text, static_cast<std::size_t>(length)));
}

} // namespace

void snapToNearestVertex(FaultSurface& surface, Point3& point) {
    // Only a vertex within the snap distance moves the point, so the
    // triangles near it decide; taken in surface order, of equally near
    // vertices the first wins.
    std::vector<FaultSurface::Id> candidates;
    surface.near(point, kSnapDistance, candidates);
    const Point3* nearest = nullptr;
    double best = 0;
    for (FaultSurface::Id id : candidates) {
        for (const Point3& c : surface.triangle(id).corners) {
            const double d =
                std::sqrt((c.x - point.x) * (c.x - point.x) + (c.y - point.y) * (c.y - point.y));
            if (!nearest || d < best) {
                nearest = &c;
                best = d;
            }
        }
    }
    if (nearest && best <= kSnapDistance) point = *nearest;
}

void snapToNearestVertex(const std::vector<Triangle>& triangles, Point3& point) {
    FaultSurface surface(triangles);
    snapToNearestVertex(surface, point);
}

FaultResult applyFaultSegment(FaultSurface& surface, Segment& fault, const Seam& seam) {
    snapToNearestVertex(surface, fault.a);
    snapToNearestVertex(surface, fault.b);
    if (surface.size() == 0) return FaultResult::notApplied;

    // Both ends must be surface vertices; they take the vertices' elevations.
    // The second end found at two corners lets a fault go on whose first end
    // is no vertex: it is then reported as missing below.
    int matches = 0;
    std::vector<FaultSurface::Id> candidates;
    surface.near(fault.a, 0, candidates);
    for (FaultSurface::Id id : candidates) {
        const Triangle& t = surface.triangle(id);
        auto corner = std::find_if(t.corners.begin(), t.corners.end(),
                                   [&](const Point3& c) { return planEqual(c, fault.a); });
        if (corner != t.corners.end()) {
            fault.a.z = corner->z;
            matches = 1;
            break;
        }
    }
    surface.near(fault.b, 0, candidates);
    for (FaultSurface::Id id : candidates) {
        for (const Point3& c : surface.triangle(id).corners) {
            if (matches < 2 && planEqual(c, fault.b)) {
                fault.b.z = c.z;
                ++matches;
            }
        }
        if (matches >= 2) break;
    }
    if (matches < 2) return FaultResult::notApplied;

    std::vector<Point3> stops{fault.a};
    for (const Point3& v : verticesOnFault(surface, fault.a, fault.b))
        stops.push_back(v);
    stops.push_back(fault.b);

    if (stops.size() == 2) {
        switch (placeFault(surface, fault.a, fault.b, seam.cancellation)) {
        case Outcome::Placed:
            return FaultResult::processed;
        case Outcome::NotApplied:
            return FaultResult::notApplied;
        case Outcome::GaveUp:
            reportMissing(fault, seam.messages);
            return FaultResult::processed;
        case Outcome::Unfollowable:
            return FaultResult::unfollowable;
        case Outcome::Cancelled:
            return FaultResult::cancelled;
        }
    }

    // A fault through further vertices: the faults between them in turn, all
    // or none.
    surface.beginUndo();
    bool changed = false;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        Outcome outcome = placeFault(surface, stops[i], stops[i + 1], seam.cancellation);
        if (outcome == Outcome::NotApplied && !isSurfaceEdge(surface, stops[i], stops[i + 1]))
            outcome = Outcome::GaveUp;
        switch (outcome) {
        case Outcome::Placed:
            changed = true;
            break;
        case Outcome::NotApplied:
            break;
        case Outcome::GaveUp:
            surface.undo();
            reportMissing(fault, seam.messages);
            return FaultResult::processed;
        case Outcome::Unfollowable:
            surface.undo();
            return FaultResult::unfollowable;
        case Outcome::Cancelled:
            surface.undo();
            return FaultResult::cancelled;
        }
    }
    surface.endUndo();
    return changed ? FaultResult::processed : FaultResult::notApplied;
}

FaultResult applyFaultSegment(std::vector<Triangle>& triangles, Segment& fault, const Seam& seam) {
    FaultSurface surface(std::move(triangles));
    const FaultResult result = applyFaultSegment(surface, fault, seam);
    triangles = surface.triangles();
    return result;
}

} // namespace vog::surface
