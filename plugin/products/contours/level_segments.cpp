#include "products/contours/level_segments.h"

#include "geometry/point_order.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vog::products {

namespace {

using surface::comparePointsXYZ;

bool identical(const Point3& a, const Point3& b) {
    return comparePointsXYZ(a, b) == 0;
}

// The crossing of the edge (a, b) with the level, when the level lies within
// the edge's heights. The corners are tried as crossing points in the order
// given (first, second); otherwise the point is interpolated from a, a
// coordinate in which the edge does not move keeping a's value.
bool edgeCrossing(const Point3& a, const Point3& b, const Point3& first, const Point3& second,
                  double level, Point3& point) {
    if (level < std::min(a.z, b.z) || level > std::max(a.z, b.z)) return false;
    if (first.z == level) {
        point = first;
        return true;
    }
    if (second.z == level) {
        point = second;
        return true;
    }
    if (a.x == b.x) {
        point.x = a.x;
    } else {
        double s = (b.z - a.z) / (b.x - a.x);
        point.x = (level - (a.z - a.x * s)) / s;
    }
    if (a.y == b.y) {
        point.y = a.y;
    } else {
        double t = (b.z - a.z) / (b.y - a.y);
        point.y = (level - (a.z - a.y * t)) / t;
    }
    point.z = level;
    return true;
}

bool segmentBefore(const ContourSegment& a, const ContourSegment& b) {
    int byStart = comparePointsXYZ(a.start, b.start);
    if (byStart != 0) return byStart < 0;
    return comparePointsXYZ(a.end, b.end) < 0;
}

bool sameSegment(const ContourSegment& a, const ContourSegment& b) {
    return identical(a.start, b.start) && identical(a.end, b.end);
}

// The segment where the level crosses the triangle, appended to the pool;
// nothing for a flat triangle, one the level misses, or one it only touches
// at a corner.
void appendLevelCrossing(const Triangle& triangle, double level,
                         std::vector<ContourSegment>& pool) {
    const Point3& c1 = triangle.corners[0];
    const Point3& c2 = triangle.corners[1];
    const Point3& c3 = triangle.corners[2];
    double zmin = std::min({c1.z, c2.z, c3.z});
    double zmax = std::max({c1.z, c2.z, c3.z});
    if (zmin == zmax || level < zmin || level > zmax) return;

    Point3 points[3];
    int count = 0;
    if (edgeCrossing(c1, c2, c1, c2, level, points[count])) ++count;
    if (edgeCrossing(c2, c3, c2, c3, level, points[count])) ++count;
    if (edgeCrossing(c3, c1, c1, c3, level, points[count])) ++count;
    if (count == 3 && identical(points[0], points[1])) points[1] = points[2];
    if (count < 2 || identical(points[0], points[1])) return;
    pool.push_back({points[0], points[1], kSegmentFree});
}

bool finitePoint(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// The edge test of isGrazedEdge over some of the triangles, in the order
// given.
template <class Indexes>
bool grazedAmong(const ContourSegment& segment, const std::vector<Triangle>& triangles,
                 const Indexes& indexes) {
    int sharing = 0;
    double thirds[2] = {0, 0};
    for (std::size_t index : indexes) {
        const Triangle& triangle = triangles[index];
        for (int k = 0; k < 3; ++k) {
            const Point3& a = triangle.corners[k];
            const Point3& b = triangle.corners[(k + 1) % 3];
            if ((identical(a, segment.start) && identical(b, segment.end)) ||
                (identical(a, segment.end) && identical(b, segment.start))) {
                if (sharing < 2) thirds[sharing] = triangle.corners[(k + 2) % 3].z;
                ++sharing;
            }
        }
    }
    if (sharing != 2) return false;
    double level = segment.start.z;
    bool stepsThrough =
        (thirds[0] > level && thirds[1] < level) || (thirds[0] < level && thirds[1] > level);
    return !stepsThrough;
}

// Every index from 0 to n - 1, without storing them.
struct AllIndexes {
    std::size_t n;
    struct Iterator {
        std::size_t i;
        std::size_t operator*() const { return i; }
        Iterator& operator++() {
            ++i;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return i != other.i; }
    };
    Iterator begin() const { return {0}; }
    Iterator end() const { return {n}; }
};

} // namespace

void collectLevelSegments(const std::vector<Triangle>& triangles, double level,
                          std::vector<ContourSegment>& pool) {
    pool.clear();
    for (const Triangle& triangle : triangles)
        appendLevelCrossing(triangle, level, pool);
}

void normaliseSegments(std::vector<ContourSegment>& pool) {
    bool finite = true;
    for (ContourSegment& segment : pool) {
        if (comparePointsXYZ(segment.start, segment.end) > 0) std::swap(segment.start, segment.end);
        finite = finite && finitePoint(segment.start) && finitePoint(segment.end);
    }

    if (finite) {
        // Neighbour swaps that stop when a pass swaps nothing leave equal
        // segments in their order: a stable sort gives the same pool.
        std::stable_sort(pool.begin(), pool.end(), segmentBefore);
    } else {
        // Points that are not numbers do not order consistently; the pool then
        // gets exactly the neighbour swaps.
        for (bool swapped = true; swapped;) {
            swapped = false;
            for (std::size_t i = 1; i < pool.size(); ++i) {
                if (segmentBefore(pool[i], pool[i - 1])) {
                    std::swap(pool[i], pool[i - 1]);
                    swapped = true;
                }
            }
        }
    }

    // A segment identical to the one before it goes. After a removal the
    // entry that moved up is compared with the one after it, not again with
    // the one before: of three identical neighbours two stay. So a segment is
    // removed when it equals its neighbour before it in the sorted pool and
    // that neighbour was not removed itself.
    std::size_t kept = pool.empty() ? 0 : 1;
    bool previousRemoved = false;
    for (std::size_t i = 1; i < pool.size(); ++i) {
        bool removed = !previousRemoved && sameSegment(pool[i], pool[i - 1]);
        if (!removed) {
            if (kept != i) pool[kept] = pool[i];
            ++kept;
        }
        previousRemoved = removed;
    }
    pool.resize(kept);
}

bool isGrazedEdge(const ContourSegment& segment, const std::vector<Triangle>& triangles) {
    return grazedAmong(segment, triangles, AllIndexes{triangles.size()});
}

void buildLevelPool(const std::vector<Triangle>& triangles, double level,
                    std::vector<ContourSegment>& pool) {
    collectLevelSegments(triangles, level, pool);
    normaliseSegments(pool);
    if (pool.size() == 1 && isGrazedEdge(pool[0], triangles)) pool.clear();
}

void startLevelSweep(LevelSweep& sweep, const std::vector<Triangle>& triangles) {
    sweep = LevelSweep{};
    sweep.triangles = &triangles;
    const std::size_t n = triangles.size();
    sweep.lowest.resize(n);
    sweep.highest.resize(n);
    sweep.byLowest.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& c = triangles[i].corners;
        sweep.lowest[i] = std::min({c[0].z, c[1].z, c[2].z});
        sweep.highest[i] = std::max({c[0].z, c[1].z, c[2].z});
        sweep.byLowest[i] = static_cast<std::uint32_t>(i);
    }
    std::sort(sweep.byLowest.begin(), sweep.byLowest.end(),
              [&](std::uint32_t a, std::uint32_t b) { return sweep.lowest[a] < sweep.lowest[b]; });
}

void sweepLevelPool(LevelSweep& sweep, double level, std::vector<ContourSegment>& pool) {
    const std::vector<Triangle>& triangles = *sweep.triangles;
    if (!(level == level) || (sweep.started && level < sweep.lastLevel)) {
        // Not a number, or a step down: the plain pass.
        buildLevelPool(triangles, level, pool);
        return;
    }
    sweep.started = true;
    sweep.lastLevel = level;

    // Triangles whose lowest corner the level has reached come in; those whose
    // highest corner lies below it go for good, as the levels only rise.
    sweep.entering.clear();
    while (sweep.entered < sweep.byLowest.size() &&
           sweep.lowest[sweep.byLowest[sweep.entered]] <= level)
        sweep.entering.push_back(sweep.byLowest[sweep.entered++]);
    std::erase_if(sweep.active, [&](std::uint32_t i) { return sweep.highest[i] < level; });
    std::erase_if(sweep.entering, [&](std::uint32_t i) { return sweep.highest[i] < level; });
    std::sort(sweep.entering.begin(), sweep.entering.end());
    std::size_t middle = sweep.active.size();
    sweep.active.insert(sweep.active.end(), sweep.entering.begin(), sweep.entering.end());
    std::inplace_merge(sweep.active.begin(), sweep.active.begin() + static_cast<long>(middle),
                       sweep.active.end());

    // Every triangle the level meets, in triangle order: the pool of the
    // plain pass.
    pool.clear();
    for (std::uint32_t i : sweep.active)
        appendLevelCrossing(triangles[i], level, pool);
    normaliseSegments(pool);
    // A triangle with the segment as an edge has corners at the level, so it
    // is among the active ones (flat ones included).
    if (pool.size() == 1 && grazedAmong(pool[0], triangles, sweep.active)) pool.clear();
}

} // namespace vog::products
