#include "reference/surface/fault_reference.h"

#include "app/host_seam.h"
#include "base/progress_steps.h"
#include "base/wide_text.h"
#include "host_api.h"
#include "project/project_state.h"
#include "reference/surface/record_reference.h"
#include "reference/surface/triangulation_reference.h"
#include "support/exact_arithmetic.h"
#include "surface/files/segment_file.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <tuple>
#include <utility>

namespace vogref::surface {

using vog::surface::SegmentFileContents;
using vog::surface::SegmentLayout;
namespace project = vog::project;

namespace {

constexpr double kSnapDistance = 0.1;
constexpr double kTolerance = 1e-5;
constexpr double kLatticeLimit = 1e9;
constexpr int kFaultNotApplied = 5000;

using Wide = __int128;

// ---- The geometric decisions ------------------------------------------------

// The same place in plan, exactly.
bool samePlace(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y;
}

// The same place within the plan tolerance: x and y each differ by at most
// 1e-5.
bool nearPlace(const Point3& a, const Point3& b) {
    return std::fabs(a.x - b.x) <= kTolerance && std::fabs(a.y - b.y) <= kTolerance;
}

bool onLattice(const Point3& p) {
    return std::fabs(p.x) < kLatticeLimit && std::fabs(p.y) < kLatticeLimit;
}

struct LatticePoint {
    Wide x;
    Wide y;
};

LatticePoint lattice(const Point3& p) {
    return {latticeCoordinate(p.x), latticeCoordinate(p.y)};
}

int signOf(Wide v) {
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

int side(const Point3& a, const Point3& b, const Point3& c) {
    return latticeSide(a, b, c);
}

// Each segment has its two ends strictly on opposite sides of the other's
// line.
bool crossInInteriors(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

// p on the line of a-b and strictly between its ends: (p - a).(b - p) > 0.
bool onOpenSegment(const Point3& p, const Point3& a, const Point3& b) {
    if (side(a, b, p) != 0) return false;
    if (onLattice(a) && onLattice(b) && onLattice(p)) {
        const LatticePoint lp = lattice(p), la = lattice(a), lb = lattice(b);
        return (lp.x - la.x) * (lb.x - lp.x) + (lp.y - la.y) * (lb.y - lp.y) > 0;
    }
    // Beyond the lattice the doubles are used as they are; on one line,
    // between the ends is between them in x, or in y when x does not change.
    if (a.x != b.x) return std::min(a.x, b.x) < p.x && p.x < std::max(a.x, b.x);
    return std::min(a.y, b.y) < p.y && p.y < std::max(a.y, b.y);
}

// d strictly inside the circle through a, b, c (in either turning), for the
// doubles as they are.
bool insideCircle(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    return vogtest::rationalInCircle(a, b, c, d) * vogtest::rationalOrientation(a, b, c) > 0;
}

// Twice the plan area of a triangle, exactly, as a sign and a size in
// lattice units (or 0 beyond the lattice, where only the turning is used).
Wide twiceArea(const Triangle& t) {
    const auto& c = t.corners;
    if (!onLattice(c[0]) || !onLattice(c[1]) || !onLattice(c[2])) return 0;
    const LatticePoint p = lattice(c[0]), q = lattice(c[1]), r = lattice(c[2]);
    return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
}

// ---- One fault --------------------------------------------------------------

bool hasEdgeBetween(const Triangle& t, const Point3& p, const Point3& q) {
    for (int k = 0; k < 3; ++k) {
        const Point3& a = t.corners[k];
        const Point3& b = t.corners[(k + 1) % 3];
        if ((nearPlace(a, p) && nearPlace(b, q)) || (nearPlace(a, q) && nearPlace(b, p)))
            return true;
    }
    return false;
}

// A triangle is cut when one of its edges crosses the fault in a point
// interior to both; an edge that reaches a fault end only touches it.
bool isCut(const Triangle& t, const Point3& p1, const Point3& p2) {
    const double lowX = std::min(p1.x, p2.x), highX = std::max(p1.x, p2.x);
    const double lowY = std::min(p1.y, p2.y), highY = std::max(p1.y, p2.y);
    const auto& c = t.corners;
    if (std::max({c[0].x, c[1].x, c[2].x}) < lowX || std::min({c[0].x, c[1].x, c[2].x}) > highX ||
        std::max({c[0].y, c[1].y, c[2].y}) < lowY || std::min({c[0].y, c[1].y, c[2].y}) > highY)
        return false;
    for (int k = 0; k < 3; ++k) {
        const Point3& e1 = c[k];
        const Point3& e2 = c[(k + 1) % 3];
        if (nearPlace(e1, p1) || nearPlace(e1, p2) || nearPlace(e2, p1) || nearPlace(e2, p2))
            continue;
        if (crossInInteriors(e1, e2, p1, p2)) return true;
    }
    return false;
}

using Key = std::tuple<double, double, double>;

Key keyOf(const Point3& p) {
    return {p.x, p.y, p.z};
}

// The new triangles must cover the hole exactly: each turns clockwise, both
// sets have the same vertices, every directed edge is used as often by the
// removed triangles as by the new ones (edges inside either set cancel), and
// the areas agree.
bool coversHoleExactly(const std::vector<Triangle>& removed, const std::vector<Triangle>& added) {
    std::vector<Key> removedCorners, addedCorners;
    std::vector<std::pair<std::pair<Key, Key>, int>> uses;
    auto count = [&uses](const Triangle& t, int weight) {
        for (int k = 0; k < 3; ++k) {
            const Key from = keyOf(t.corners[k]), to = keyOf(t.corners[(k + 1) % 3]);
            uses.push_back(from < to ? std::make_pair(std::make_pair(from, to), weight)
                                     : std::make_pair(std::make_pair(to, from), -weight));
        }
    };
    Wide removedArea = 0, addedArea = 0;
    for (const Triangle& t : removed) {
        for (const Point3& c : t.corners)
            removedCorners.push_back(keyOf(c));
        count(t, 1);
        const Wide area = twiceArea(t);
        removedArea += area < 0 ? -area : area;
    }
    for (const Triangle& t : added) {
        if (side(t.corners[0], t.corners[1], t.corners[2]) != -1) return false;
        for (const Point3& c : t.corners)
            addedCorners.push_back(keyOf(c));
        count(t, -1);
        const Wide area = twiceArea(t);
        addedArea += area < 0 ? -area : area;
    }
    for (auto* corners : {&removedCorners, &addedCorners}) {
        std::sort(corners->begin(), corners->end());
        corners->erase(std::unique(corners->begin(), corners->end()), corners->end());
    }
    if (removedCorners != addedCorners) return false;
    std::sort(uses.begin(), uses.end());
    for (std::size_t i = 0; i < uses.size();) {
        int total = 0;
        std::size_t j = i;
        for (; j < uses.size() && uses[j].first == uses[i].first; ++j)
            total += uses[j].second;
        if (total != 0) return false;
        i = j;
    }
    return removedArea == addedArea;
}

// The corners a polygon between p1 and p2 is triangulated from, in order
// p2, corners, p1; its last edge is the fault. A piece first..last is
// closed by the edge last-first; its apex is the corner off that edge's line
// that no later corner lies strictly inside the circle of (scanning in
// order, a corner inside the circle so far takes the apex). The triangle
// last, first, apex is written clockwise from last; then the piece
// apex..last, then first..apex.
bool triangulatePiece(const std::vector<Point3>& polygon, std::size_t first, std::size_t last,
                      std::vector<Triangle>& out) {
    if (last - first < 2) return true;
    const Point3& a = polygon[last];
    const Point3& b = polygon[first];
    std::size_t apex = last;
    for (std::size_t k = first + 1; k < last; ++k) {
        if (side(a, b, polygon[k]) == 0) continue;
        if (apex == last || insideCircle(a, b, polygon[apex], polygon[k])) apex = k;
    }
    if (apex == last) return false;
    const Point3& c = polygon[apex];
    out.push_back(side(a, b, c) < 0 ? Triangle{{a, b, c}} : Triangle{{a, c, b}});
    return triangulatePiece(polygon, apex, last, out) &&
           triangulatePiece(polygon, first, apex, out);
}

enum class Outcome { Placed, NotApplied, GaveUp, Unfollowable, Cancelled };

// Walks through the cut triangles from the one at p1 (the first in order
// with a corner there) to the one at p2, always into the other triangle of
// the edge just crossed (the first in order), and collects the corners left
// and right of the fault as they are passed, each run of one corner once.
// Every cut triangle must be passed once.
Outcome walkHole(const std::vector<Triangle>& cut, const Point3& p1, const Point3& p2,
                 std::vector<Point3>& left, std::vector<Point3>& right) {
    auto hasCornerAt = [](const Triangle& t, const Point3& p) {
        return samePlace(t.corners[0], p) || samePlace(t.corners[1], p) ||
               samePlace(t.corners[2], p);
    };
    auto hasCorner = [](const Triangle& t, const Point3& p) {
        return t.corners[0] == p || t.corners[1] == p || t.corners[2] == p;
    };
    std::size_t current = 0;
    while (current < cut.size() && !hasCornerAt(cut[current], p1))
        ++current;
    if (current == cut.size()) return Outcome::GaveUp;
    std::vector<Point3> across;
    for (const Point3& c : cut[current].corners)
        if (!samePlace(c, p1)) across.push_back(c);
    if (across.size() != 2) return Outcome::GaveUp;
    Point3 a = across[0], b = across[1];

    std::vector<bool> passed(cut.size(), false);
    passed[current] = true;
    std::size_t passedCount = 1;
    auto note = [](std::vector<Point3>& corners, const Point3& c) {
        if (corners.empty() || !(corners.back() == c)) corners.push_back(c);
    };
    for (;;) {
        if (acedUsrBrk() == 1) return Outcome::Cancelled;
        const int sideA = side(p1, p2, a), sideB = side(p1, p2, b);
        if (sideA == 0 || sideB == 0 || sideA == sideB) return Outcome::GaveUp;
        const Point3 l = sideA > 0 ? a : b;
        const Point3 r = sideA > 0 ? b : a;
        note(left, l);
        note(right, r);

        std::size_t next = 0;
        while (next < cut.size() &&
               (next == current || !hasCorner(cut[next], a) || !hasCorner(cut[next], b)))
            ++next;
        if (next == cut.size() || passed[next]) return Outcome::Unfollowable;
        current = next;
        passed[current] = true;
        ++passedCount;
        const Point3* far = nullptr;
        for (const Point3& c : cut[current].corners)
            if (!far && !(c == a) && !(c == b)) far = &c;
        if (!far) return Outcome::GaveUp;
        if (samePlace(*far, p2)) break;
        const int sideFar = side(p1, p2, *far);
        if (sideFar == 0) return Outcome::GaveUp;
        // Out through the edge whose ends lie on opposite sides.
        a = sideFar > 0 ? *far : l;
        b = sideFar > 0 ? r : *far;
    }
    return passedCount == cut.size() ? Outcome::Placed : Outcome::GaveUp;
}

// Makes p1-p2 an edge, when both are vertices and no vertex lies between.
Outcome placeFault(std::vector<Triangle>& triangles, const Point3& p1, const Point3& p2) {
    std::vector<Triangle> kept, cut;
    for (const Triangle& t : triangles)
        (isCut(t, p1, p2) ? cut : kept).push_back(t);
    if (cut.empty()) return Outcome::NotApplied;

    std::vector<Segment> outline;
    for (const Triangle& t : cut)
        for (int k = 0; k < 3; ++k)
            toggleSegment(t.corners[k], t.corners[(k + 1) % 3], outline);
    // Whatever happens next, the cut triangles or their replacement go to
    // the end of the list.
    auto finish = [&](const std::vector<Triangle>& tail, Outcome outcome) {
        kept.insert(kept.end(), tail.begin(), tail.end());
        triangles.swap(kept);
        return outcome;
    };
    if (outline.size() < 4) return finish(cut, Outcome::NotApplied);

    std::vector<Point3> left, right;
    const Outcome walked = walkHole(cut, p1, p2, left, right);
    if (walked == Outcome::Cancelled) return walked;
    if (walked != Outcome::Placed) return finish(cut, walked);

    // The side of the first outline edge that reaches p2 goes first.
    const Segment* atP2 = nullptr;
    for (const Segment& s : outline)
        if (!atP2 && (nearPlace(s.a, p2) || nearPlace(s.b, p2))) atP2 = &s;
    if (!atP2) return finish(cut, Outcome::GaveUp);
    const Point3& other = nearPlace(atP2->a, p2) ? atP2->b : atP2->a;
    const bool leftFirst = side(p1, p2, other) > 0;

    std::vector<Triangle> added;
    for (const std::vector<Point3>* corners :
         {leftFirst ? &left : &right, leftFirst ? &right : &left}) {
        std::vector<Point3> polygon{p2};
        polygon.insert(polygon.end(), corners->rbegin(), corners->rend());
        polygon.push_back(p1);
        std::vector<Triangle> pieces;
        if (!triangulatePiece(polygon, 0, polygon.size() - 1, pieces) || pieces.empty())
            return finish(cut, Outcome::GaveUp);
        if (std::none_of(pieces.begin(), pieces.end(),
                         [&](const Triangle& t) { return hasEdgeBetween(t, p1, p2); }))
            return finish(cut, Outcome::GaveUp);
        added.insert(added.end(), pieces.begin(), pieces.end());
    }
    if (!coversHoleExactly(cut, added)) return finish(cut, Outcome::GaveUp);
    return finish(added, Outcome::Placed);
}

// The vertices strictly inside the fault, from p1 to p2, each once.
std::vector<Point3> verticesOnFault(const std::vector<Triangle>& triangles, const Point3& p1,
                                    const Point3& p2) {
    std::vector<std::pair<Wide, Point3>> found;
    const bool exact = onLattice(p1) && onLattice(p2);
    const LatticePoint l1 = lattice(p1);
    for (const Triangle& t : triangles) {
        for (const Point3& c : t.corners) {
            if (nearPlace(c, p1) || nearPlace(c, p2) || !onOpenSegment(c, p1, p2)) continue;
            if (std::any_of(found.begin(), found.end(),
                            [&](const auto& f) { return f.second == c; }))
                continue;
            // Ordered by the distance from p1 along the fault.
            Wide distance = 0;
            if (exact && onLattice(c)) {
                const LatticePoint lc = lattice(c);
                distance = (lc.x - l1.x) * (lc.x - l1.x) + (lc.y - l1.y) * (lc.y - l1.y);
            } else {
                distance = static_cast<Wide>(std::hypot(c.x - p1.x, c.y - p1.y) * 1e6);
            }
            found.push_back({distance, c});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& f, const auto& g) { return f.first < g.first; });
    std::vector<Point3> ordered;
    for (const auto& f : found)
        ordered.push_back(f.second);
    return ordered;
}

void reportMissing(const Segment& fault) {
    acutPrintf(L"Fault line (%lf,%lf,%lf)-(%lf,%lf,%lf) missing for triangulation.\nApplying "
               L"Fault Lines...",
               fault.a.x, fault.a.y, fault.a.z, fault.b.x, fault.b.y, fault.b.z);
}

// The nearest vertex in plan within the snap distance, the first of equally
// near ones in surface order, takes the point's place and elevation.
void snap(const std::vector<Triangle>& triangles, Point3& point) {
    const Point3* nearest = nullptr;
    double best = 0;
    for (const Triangle& t : triangles)
        for (const Point3& c : t.corners) {
            const double dx = c.x - point.x, dy = c.y - point.y;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (!nearest || d < best) {
                nearest = &c;
                best = d;
            }
        }
    if (nearest && best <= kSnapDistance) point = *nearest;
}

// 0 placed or reported missing, 5000 not applied, faultNumber when the hole
// cannot be followed, RTCAN on the break key.
int applyFault(std::vector<Triangle>& triangles, Segment& fault, int faultNumber) {
    snap(triangles, fault.a);
    snap(triangles, fault.b);
    if (triangles.empty()) return kFaultNotApplied;

    // The first corner at the first end gives it its elevation and one
    // match; every corner at the second end gives it its elevation and a
    // match, until there are two.
    int matches = 0;
    for (const Triangle& t : triangles) {
        if (matches) break;
        for (const Point3& c : t.corners)
            if (!matches && samePlace(c, fault.a)) {
                fault.a.z = c.z;
                matches = 1;
            }
    }
    for (const Triangle& t : triangles) {
        for (const Point3& c : t.corners)
            if (matches < 2 && samePlace(c, fault.b)) {
                fault.b.z = c.z;
                ++matches;
            }
        if (matches >= 2) break;
    }
    if (matches < 2) return kFaultNotApplied;

    std::vector<Point3> stops{fault.a};
    for (const Point3& v : verticesOnFault(triangles, fault.a, fault.b))
        stops.push_back(v);
    stops.push_back(fault.b);

    // A fault through further vertices is placed piece by piece, all or
    // none; a piece that is already an edge needs nothing.
    const std::vector<Triangle> before = triangles;
    const bool single = stops.size() == 2;
    bool changed = false;
    for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
        Outcome outcome = placeFault(triangles, stops[i], stops[i + 1]);
        if (!single && outcome == Outcome::NotApplied &&
            std::none_of(triangles.begin(), triangles.end(), [&](const Triangle& t) {
                return hasEdgeBetween(t, stops[i], stops[i + 1]);
            }))
            outcome = Outcome::GaveUp;
        if (outcome != Outcome::Placed && outcome != Outcome::NotApplied && !single)
            triangles = before;
        switch (outcome) {
        case Outcome::Placed:
            changed = true;
            break;
        case Outcome::NotApplied:
            if (single) return kFaultNotApplied;
            break;
        case Outcome::GaveUp:
            reportMissing(fault);
            return 0;
        case Outcome::Unfollowable:
            return faultNumber;
        case Outcome::Cancelled:
            return RTCAN;
        }
    }
    return changed ? 0 : kFaultNotApplied;
}

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

bool liesOnBoundary(const Segment& fault, const std::vector<Segment>& boundary) {
    return std::any_of(boundary.begin(), boundary.end(), [&](const Segment& s) {
        return (nearPlace(fault.a, s.a) && nearPlace(fault.b, s.b)) ||
               (nearPlace(fault.a, s.b) && nearPlace(fault.b, s.a));
    });
}

} // namespace

long long latticeCoordinate(double value) {
    // The double nearest to value * 1e6, then moved to the integer nearest
    // to the exact product (a tie to the even one, as "%.6f" writes it).
    if (std::fabs(value) < 0x1p-20) return vogtest::millionths(value);
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    const int shift = 53 - exponent; // value = mantissa / 2^shift
    if (shift <= 0) return static_cast<long long>(value) * 1000000;
    // 2 * value * 1e6 * 2^shift, and the halves k +- 1/2 at the same scale.
    const Wide twice = static_cast<Wide>(mantissa) * 2000000;
    const Wide unit = static_cast<Wide>(1) << shift;
    long long k = std::llround(value * 1e6);
    while (twice > static_cast<Wide>(2 * k + 1) * unit)
        ++k;
    while (twice < static_cast<Wide>(2 * k - 1) * unit)
        --k;
    if (twice == static_cast<Wide>(2 * k + 1) * unit && k % 2 != 0) ++k;
    if (twice == static_cast<Wide>(2 * k - 1) * unit && k % 2 != 0) --k;
    return k;
}

int latticeSide(const Point3& a, const Point3& b, const Point3& c) {
    if (!onLattice(a) || !onLattice(b) || !onLattice(c))
        return vogtest::rationalOrientation(a, b, c);
    const LatticePoint la = lattice(a), lb = lattice(b), lc = lattice(c);
    return signOf((la.x - lc.x) * (lb.y - lc.y) - (la.y - lc.y) * (lb.x - lc.x));
}

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
    vog::StepMeter progress(vog::app::hostSeam().progress, L"Applying Fault Lines",
                            faults.segments.size(), 1);
    for (const Segment& recorded : faults.segments) {
        progress.advance(static_cast<std::size_t>(faultNumber));
        ++faultNumber;
        if (acedUsrBrk() == 1) return RTCAN;
        if (liesOnBoundary(recorded, boundary)) continue;
        Segment fault = recorded;
        if (applyFault(triangles, fault, faultNumber) == RTCAN) return RTCAN;
    }

    acutPrintf(L"Done\n");
    std::string lines;
    for (const Triangle& t : triangles)
        vogref::surface::appendTriangleRecord(lines, t);
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    out.close();
    if (out.fail()) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    return 0;
}

} // namespace vogref::surface
