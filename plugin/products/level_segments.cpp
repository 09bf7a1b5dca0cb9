#include "products/level_segments.h"

#include "surface/point_order.h"

#include <algorithm>
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

} // namespace

void collectLevelSegments(const std::vector<Triangle>& triangles, double level,
                          std::vector<ContourSegment>& pool) {
    pool.clear();
    for (const Triangle& triangle : triangles) {
        const Point3& c1 = triangle.corners[0];
        const Point3& c2 = triangle.corners[1];
        const Point3& c3 = triangle.corners[2];
        double zmin = std::min({c1.z, c2.z, c3.z});
        double zmax = std::max({c1.z, c2.z, c3.z});
        if (zmin == zmax || level < zmin || level > zmax) continue;

        Point3 points[3];
        int count = 0;
        if (edgeCrossing(c1, c2, c1, c2, level, points[count])) ++count;
        if (edgeCrossing(c2, c3, c2, c3, level, points[count])) ++count;
        if (edgeCrossing(c3, c1, c1, c3, level, points[count])) ++count;
        if (count == 3 && identical(points[0], points[1])) points[1] = points[2];
        if (count < 2 || identical(points[0], points[1])) continue;
        pool.push_back({points[0], points[1], kSegmentFree});
    }
}

void normaliseSegments(std::vector<ContourSegment>& pool) {
    for (ContourSegment& segment : pool)
        if (comparePointsXYZ(segment.start, segment.end) > 0) std::swap(segment.start, segment.end);

    // Neighbour swaps until a pass swaps nothing.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = 1; i < pool.size(); ++i) {
            if (segmentBefore(pool[i], pool[i - 1])) {
                std::swap(pool[i], pool[i - 1]);
                swapped = true;
            }
        }
    }

    // After a removal the entry that moved up is compared with the one after
    // it, not again with the one before: of three identical neighbours two
    // stay.
    for (std::size_t i = 1; i < pool.size(); ++i)
        if (sameSegment(pool[i], pool[i - 1])) pool.erase(pool.begin() + static_cast<long>(i));
}

bool isGrazedEdge(const ContourSegment& segment, const std::vector<Triangle>& triangles) {
    int sharing = 0;
    double thirds[2] = {0, 0};
    for (const Triangle& triangle : triangles) {
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

void buildLevelPool(const std::vector<Triangle>& triangles, double level,
                    std::vector<ContourSegment>& pool) {
    collectLevelSegments(triangles, level, pool);
    normaliseSegments(pool);
    if (pool.size() == 1 && isGrazedEdge(pool[0], triangles)) pool.clear();
}

} // namespace vog::products
