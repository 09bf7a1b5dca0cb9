#include "reference/products/contour_reference.h"

#include "geometry/edge_toggle.h"
#include "geometry/point_order.h"
#include "host_api.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vogref::products {

using vog::products::kSegmentFree;
using vog::products::kSegmentInChain;
using vog::products::kSegmentInEarlierChain;
using vog::surface::comparePointsXYTolerant;
using vog::surface::comparePointsXYZ;

namespace {

bool identical(const Point3& a, const Point3& b) {
    return comparePointsXYZ(a, b) == 0;
}
bool matches(const Point3& a, const Point3& b) {
    return comparePointsXYTolerant(a, b) == 0;
}

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

bool closed(const std::vector<Segment>& chain) {
    return comparePointsXYZ(chain.front().a, chain.back().b) == 0;
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
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (std::size_t i = 1; i < pool.size(); ++i) {
            if (segmentBefore(pool[i], pool[i - 1])) {
                std::swap(pool[i], pool[i - 1]);
                swapped = true;
            }
        }
    }
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
    vogref::products::collectLevelSegments(triangles, level, pool);
    vogref::products::normaliseSegments(pool);
    if (pool.size() == 1 && vogref::products::isGrazedEdge(pool[0], triangles)) pool.clear();
}

bool segmentInChain(std::span<const Segment> chain, const Segment& segment) {
    for (const Segment& entry : chain) {
        if (matches(entry.a, segment.a) && matches(entry.b, segment.b)) return true;
        if (matches(entry.a, segment.b) && matches(entry.b, segment.a)) return true;
    }
    return false;
}

namespace {

ContourSegment* freeSegmentAt(std::vector<ContourSegment>& pool, const Point3& point, bool atEnd,
                              Segment& oriented) {
    for (ContourSegment& segment : pool) {
        if (segment.state != kSegmentFree) continue;
        if (matches(segment.start, point)) {
            oriented =
                atEnd ? Segment{segment.start, segment.end} : Segment{segment.end, segment.start};
            return &segment;
        }
        if (matches(segment.end, point)) {
            oriented =
                atEnd ? Segment{segment.end, segment.start} : Segment{segment.start, segment.end};
            return &segment;
        }
    }
    return nullptr;
}

void extend(std::vector<ContourSegment>& pool, std::vector<Segment>& chain, bool atEnd) {
    while (!closed(chain)) {
        Segment oriented;
        const Point3& point = atEnd ? chain.back().b : chain.front().a;
        ContourSegment* taken = freeSegmentAt(pool, point, atEnd, oriented);
        if (!taken) return;
        if (!segmentInChain(chain, oriented)) {
            if (atEnd)
                chain.push_back(oriented);
            else
                chain.insert(chain.begin(), oriented);
        }
        taken->state = kSegmentInChain;
    }
}

bool meetsOtherWork(const Point3& point, const std::vector<ContourSegment>& pool) {
    for (const ContourSegment& segment : pool) {
        if (segment.state == kSegmentInChain) continue;
        if (matches(point, segment.start) || matches(point, segment.end)) return true;
    }
    return false;
}

} // namespace

bool buildChain(std::vector<ContourSegment>& pool, std::vector<Segment>& chain) {
    for (ContourSegment& segment : pool)
        if (segment.state == kSegmentInChain) segment.state = kSegmentInEarlierChain;
    auto first = std::find_if(pool.begin(), pool.end(), [](const ContourSegment& segment) {
        return segment.state == kSegmentFree;
    });
    if (first == pool.end()) return false;
    chain.clear();
    chain.push_back({first->start, first->end});
    first->state = kSegmentInChain;
    extend(pool, chain, true);
    if (!closed(chain)) extend(pool, chain, false);
    return true;
}

bool onRim(const Point3& point, const std::vector<Segment>& rim) {
    for (const Segment& edge : rim) {
        const Point3& a = edge.a;
        const Point3& b = edge.b;
        if (a.x != b.x) {
            double m = (a.y - b.y) / (a.x - b.x);
            double c = a.y - a.x * m;
            if (std::fabs(point.x * m + c - point.y) < 0.001) return true;
        } else if (point.x == a.x && point.y >= std::min(a.y, b.y) &&
                   point.y <= std::max(a.y, b.y)) {
            return true;
        }
    }
    return false;
}

bool chainQualifies(std::span<const Segment> chain, const std::vector<ContourSegment>& pool,
                    const std::vector<Segment>& rim) {
    if (chain.empty()) return false;
    const Point3& first = chain.front().a;
    const Point3& last = chain.back().b;
    if (matches(first, last)) return true;
    if (onRim(first, rim) && onRim(last, rim)) return true;
    for (const Segment& entry : chain)
        if (meetsOtherWork(entry.a, pool) || meetsOtherWork(entry.b, pool)) return true;
    return false;
}

int traceLevel(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
               double level, const ChainWriter& write) {
    std::vector<ContourSegment> pool;
    std::vector<Segment> chain;
    vogref::products::buildLevelPool(triangles, level, pool);
    for (ContourSegment& segment : pool)
        segment.state = kSegmentFree;
    while (vogref::products::buildChain(pool, chain)) {
        if (!vogref::products::chainQualifies(chain, pool, rim)) continue;
        if (write(chain) == RTERROR) return RTERROR;
    }
    return RTNORM;
}

int traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                  const ContourLevels& levels, const ChainWriter& write) {
    double level = levels.first;
    if (!(level <= levels.top)) return RTNORM;
    do {
        if (acedUsrBrk() == 1) return RTCAN;
        if (vogref::products::traceLevel(triangles, rim, level, write) == RTERROR) return RTERROR;
    } while (vog::products::nextLevel(levels, level));
    return RTNORM;
}

std::vector<Segment> surfaceRim(const std::vector<Triangle>& triangles) {
    std::vector<Segment> rim;
    for (const Triangle& t : triangles) {
        vog::surface::toggleSegment(t.corners[0], t.corners[1], rim);
        vog::surface::toggleSegment(t.corners[1], t.corners[2], rim);
        vog::surface::toggleSegment(t.corners[2], t.corners[0], rim);
    }
    return rim;
}

} // namespace vogref::products
