#include "reference/surface/fault_reference.h"

#include "host_api.h"
#include "base/wide_text.h"
#include "project/project_state.h"
#include "reference/surface/record_reference.h"
#include "reference/surface/triangulation_reference.h"
#include "geometry/plan_orientation.h"
#include "geometry/point_order.h"
#include "surface/files/segment_file.h"
#include "base/step_progress.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <fstream>
#include <map>
#include <set>
#include <tuple>
#include <utility>

namespace vogref::surface {

using vog::surface::comparePointsXYTolerant;
using vog::surface::planOrientation;
using vog::surface::pointInsideSegment;
using vog::surface::SegmentFileContents;
using vog::surface::SegmentLayout;
using vog::surface::segmentsCrossInterior;
using vog::surface::StepProgress;
namespace project = vog::project;

namespace {

constexpr double kSnapDistance = 0.1;
constexpr int kFaultNotApplied = 5000;

} // namespace

namespace {

// d strictly inside the circle through a, b, c (counter-clockwise). Only the
// shape of the triangles depends on this test, never their validity.
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

// The same with a, b, c in any turning.
bool inCircleAnyTurn(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    return planOrientation(a, b, c) > 0 ? inCircle(a, b, c, d) : inCircle(a, c, b, d);
}

} // namespace

int triangulatePolygonPoints(const std::vector<Point3>& polygon, std::vector<Triangle>& triangles) {
    const std::size_t n = polygon.size();
    if (n < 3) return -1;
    std::vector<Triangle> result;
    // Each piece is the corners first..last with its base edge last-first.
    // The corner between them whose circle through the base edge holds no
    // other corner of the piece makes a triangle of the constrained Delaunay
    // triangulation with the base edge; it splits the rest in two pieces.
    std::vector<std::pair<std::size_t, std::size_t>> pieces{{0, n - 1}};
    while (!pieces.empty()) {
        const auto [first, last] = pieces.back();
        pieces.pop_back();
        if (last - first < 2) continue;
        const Point3& a = polygon[last];
        const Point3& b = polygon[first];
        // Corners on the base edge's line can make no triangle with it.
        std::size_t apex = last;
        for (std::size_t k = first + 1; k < last; ++k) {
            if (planOrientation(a, b, polygon[k]) == 0) continue;
            if (apex == last || inCircleAnyTurn(a, b, polygon[apex], polygon[k])) apex = k;
        }
        if (apex == last) return -1;
        const Point3& c = polygon[apex];
        const int turn = planOrientation(a, b, c);
        result.push_back(turn < 0 ? Triangle{{a, b, c}} : Triangle{{a, c, b}});
        pieces.push_back({first, apex});
        pieces.push_back({apex, last});
    }
    triangles.insert(triangles.end(), result.begin(), result.end());
    return 0;
}

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
    std::set<PointKey> removedVertices;
    std::set<PointKey> addedVertices;
    std::map<std::pair<PointKey, PointKey>, int> flow;
    auto addEdges = [&flow](const Triangle& t, int sign) {
        for (int k = 0; k < 3; ++k) {
            PointKey a = keyOf(t.corners[k]);
            PointKey b = keyOf(t.corners[(k + 1) % 3]);
            if (a < b)
                flow[{a, b}] += sign;
            else
                flow[{b, a}] -= sign;
        }
    };
    double removedArea = 0;
    double addedArea = 0;
    for (const Triangle& t : removed) {
        for (const Point3& c : t.corners)
            removedVertices.insert(keyOf(c));
        addEdges(t, 1);
        removedArea += std::fabs(doubleArea(t));
    }
    for (const Triangle& t : added) {
        if (planOrientation(t.corners[0], t.corners[1], t.corners[2]) != -1) return false;
        for (const Point3& c : t.corners)
            addedVertices.insert(keyOf(c));
        addEdges(t, -1);
        addedArea += std::fabs(doubleArea(t));
    }
    if (removedVertices != addedVertices) return false;
    for (const auto& entry : flow)
        if (entry.second != 0) return false;
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
                   HoleSides& sides) {
    using EdgeKey = std::pair<PointKey, PointKey>;
    auto edgeKey = [](const Point3& a, const Point3& b) {
        PointKey ka = keyOf(a);
        PointKey kb = keyOf(b);
        return ka < kb ? EdgeKey{ka, kb} : EdgeKey{kb, ka};
    };
    std::map<EdgeKey, std::vector<std::size_t>> byEdge;
    for (std::size_t i = 0; i < removed.size(); ++i)
        for (int k = 0; k < 3; ++k)
            byEdge[edgeKey(removed[i].corners[k], removed[i].corners[(k + 1) % 3])].push_back(i);

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
        if (acedUsrBrk() == 1) return Outcome::Cancelled;
        const int sideA = planOrientation(p1, p2, a);
        const int sideB = planOrientation(p1, p2, b);
        if (sideA * sideB >= 0) return Outcome::GaveUp;
        const Point3 up = sideA > 0 ? a : b;
        const Point3 down = sideA > 0 ? b : a;
        appendCorner(sides.left, up);
        appendCorner(sides.right, down);

        const auto& owners = byEdge[edgeKey(a, b)];
        auto next =
            std::find_if(owners.begin(), owners.end(), [&](std::size_t i) { return i != current; });
        if (next == owners.end() || passed[*next]) return Outcome::Unfollowable;
        current = *next;
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
Outcome placeFault(std::vector<Triangle>& triangles, const Point3& p1, const Point3& p2) {
    // The cut triangles, in array order; the others keep theirs.
    const PlanBox box(p1, p2);
    std::vector<Triangle> kept;
    std::vector<Triangle> removed;
    kept.reserve(triangles.size());
    for (const Triangle& t : triangles) {
        if (!box.misses(t) && triangleCut(t, p1, p2))
            removed.push_back(t);
        else
            kept.push_back(t);
    }
    if (removed.empty()) return Outcome::NotApplied;

    // The outline of the hole: edges shared by two cut triangles cancel.
    std::vector<Segment> outline;
    for (const Triangle& t : removed) {
        toggleSegment(t.corners[0], t.corners[1], outline);
        toggleSegment(t.corners[1], t.corners[2], outline);
        toggleSegment(t.corners[2], t.corners[0], outline);
    }
    auto putBack = [&](Outcome outcome) {
        kept.insert(kept.end(), removed.begin(), removed.end());
        triangles.swap(kept);
        return outcome;
    };
    if (outline.size() < 4) return putBack(Outcome::NotApplied);

    HoleSides sides;
    const Outcome followed = followHole(removed, p1, p2, sides);
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
        if (triangulatePolygonPoints(polygon, triangulated) != 0 || triangulated.empty())
            return putBack(Outcome::GaveUp);
        if (std::none_of(triangulated.begin(), triangulated.end(),
                         [&](const Triangle& t) { return hasEdge(t, p1, p2); }))
            return putBack(Outcome::GaveUp);
        accepted.insert(accepted.end(), triangulated.begin(), triangulated.end());
    }

    // Never commit anything but an exact re-tiling of the hole.
    if (!tilesHole(removed, accepted)) return putBack(Outcome::GaveUp);
    kept.insert(kept.end(), accepted.begin(), accepted.end());
    triangles.swap(kept);
    return Outcome::Placed;
}

// The surface vertices in the interior of the fault, ordered from p1 to p2.
std::vector<Point3> verticesOnFault(const std::vector<Triangle>& triangles, const Point3& p1,
                                    const Point3& p2) {
    const PlanBox box(p1, p2);
    std::vector<Point3> found;
    for (const Triangle& t : triangles) {
        for (const Point3& c : t.corners) {
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

bool isSurfaceEdge(const std::vector<Triangle>& triangles, const Point3& a, const Point3& b) {
    return std::any_of(triangles.begin(), triangles.end(),
                       [&](const Triangle& t) { return hasEdge(t, a, b); });
}

void reportMissing(const Segment& fault) {
    acutPrintf(L"Fault line (%lf,%lf,%lf)-(%lf,%lf,%lf) missing for triangulation.\nApplying "
               L"Fault Lines...",
               fault.a.x, fault.a.y, fault.a.z, fault.b.x, fault.b.y, fault.b.z);
}

} // namespace

void snapToNearestVertex(const std::vector<Triangle>& triangles, Point3& point) {
    const Point3* nearest = nullptr;
    double best = 0;
    for (const Triangle& t : triangles) {
        for (const Point3& c : t.corners) {
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

int applyFaultSegment(std::vector<Triangle>& triangles, Segment& fault, int faultNumber) {
    snapToNearestVertex(triangles, fault.a);
    snapToNearestVertex(triangles, fault.b);
    if (triangles.empty()) return kFaultNotApplied;

    // Both ends must be surface vertices; they take the vertices' elevations.
    // The second end found at two corners lets a fault go on whose first end
    // is no vertex: it is then reported as missing below.
    int matches = 0;
    for (const Triangle& t : triangles) {
        auto corner = std::find_if(t.corners.begin(), t.corners.end(),
                                   [&](const Point3& c) { return planEqual(c, fault.a); });
        if (corner != t.corners.end()) {
            fault.a.z = corner->z;
            matches = 1;
            break;
        }
    }
    for (const Triangle& t : triangles) {
        for (const Point3& c : t.corners) {
            if (matches < 2 && planEqual(c, fault.b)) {
                fault.b.z = c.z;
                ++matches;
            }
        }
        if (matches >= 2) break;
    }
    if (matches < 2) return kFaultNotApplied;

    std::vector<Point3> stops{fault.a};
    for (const Point3& v : verticesOnFault(triangles, fault.a, fault.b))
        stops.push_back(v);
    stops.push_back(fault.b);

    if (stops.size() == 2) {
        switch (placeFault(triangles, fault.a, fault.b)) {
        case Outcome::Placed:
            return 0;
        case Outcome::NotApplied:
            return kFaultNotApplied;
        case Outcome::GaveUp:
            reportMissing(fault);
            return 0;
        case Outcome::Unfollowable:
            return faultNumber;
        case Outcome::Cancelled:
            return RTCAN;
        }
    }

    // A fault through further vertices: the faults between them in turn, all
    // or none.
    const std::vector<Triangle> before = triangles;
    bool changed = false;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        Outcome outcome = placeFault(triangles, stops[i], stops[i + 1]);
        if (outcome == Outcome::NotApplied && !isSurfaceEdge(triangles, stops[i], stops[i + 1]))
            outcome = Outcome::GaveUp;
        switch (outcome) {
        case Outcome::Placed:
            changed = true;
            break;
        case Outcome::NotApplied:
            break;
        case Outcome::GaveUp:
            triangles = before;
            reportMissing(fault);
            return 0;
        case Outcome::Unfollowable:
            triangles = before;
            return faultNumber;
        case Outcome::Cancelled:
            triangles = before;
            return RTCAN;
        }
    }
    return changed ? 0 : kFaultNotApplied;
}

namespace {

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

bool liesOnBoundary(const Segment& fault, const std::vector<Segment>& boundary) {
    return std::any_of(boundary.begin(), boundary.end(), [&](const Segment& s) {
        return (tolerantEqual(fault.a, s.a) && tolerantEqual(fault.b, s.b)) ||
               (tolerantEqual(fault.a, s.b) && tolerantEqual(fault.b, s.a));
    });
}

} // namespace

int applyFaultLines(const std::wstring& triangleFile, const std::wstring& faultFile,
                    int dimension) {
    std::vector<Triangle> triangles;
    {
        TriangleFileReader in(triangleFile);
        if (!in.isOpen()) {
            alert(L"Error opening triangle file.\n");
            return RTERROR;
        }
        Triangle triangle;
        TriangleFileReader::Result result;
        while ((result = in.read(triangle)) == TriangleFileReader::Result::Triangle)
            triangles.push_back(triangle);
        if (result == TriangleFileReader::Result::Malformed) {
            alert(in.malformedMessage());
            return RTERROR;
        }
    }

    std::vector<Segment> boundary;
    if (project::setting(L"ubound") == L"1") {
        SegmentFileContents contents = vog::surface::readSegmentFile(
            project::setting(L"dbndry"), SegmentLayout::Spatial, L"boundary segment");
        if (contents.status == SegmentFileContents::Status::NotOpened) {
            alert(L"Error opening boundary file.\n");
            return RTERROR;
        }
        if (contents.status == SegmentFileContents::Status::Malformed) {
            alert(contents.message);
            return RTERROR;
        }
        boundary = std::move(contents.segments);
    }

    SegmentFileContents faults = vog::surface::readSegmentFile(
        faultFile, dimension == 2 ? SegmentLayout::Plan : SegmentLayout::Spatial, L"fault line");
    if (faults.status == SegmentFileContents::Status::NotOpened) {
        alert(L"Error opening fault line file.\n");
        return RTERROR;
    }
    if (faults.status == SegmentFileContents::Status::Malformed) {
        alert(faults.message);
        return RTERROR;
    }

    const auto outputPath =
        project::siblingPath(triangleFile, vog::surface::kFaultedTriangleExtension);
    std::ofstream out;
    if (outputPath) out.open(vog::filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        alert(L"Error opening output file.\n");
        return RTERROR;
    }

    int faultNumber = 0;
    StepProgress progress(L"Applying Fault Lines", faults.segments.size(), 1);
    for (const Segment& recorded : faults.segments) {
        progress.advance(static_cast<std::size_t>(faultNumber));
        ++faultNumber;
        if (acedUsrBrk() == 1) return RTCAN;
        if (liesOnBoundary(recorded, boundary)) continue;
        Segment fault = recorded;
        if (applyFaultSegment(triangles, fault, faultNumber) == RTCAN) return RTCAN;
    }

    acutPrintf(L"Done\n");
    std::string lines;
    for (const Triangle& t : triangles) {
        vogref::surface::appendTriangleRecord(lines, t);
        if (lines.size() > (1 << 16)) {
            out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
            lines.clear();
        }
    }
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    out.close();
    if (out.fail()) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    return 0;
}

} // namespace vogref::surface
