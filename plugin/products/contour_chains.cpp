#include "products/contour_chains.h"

#include "surface/point_order.h"

#include <algorithm>
#include <cmath>

namespace vog::products {

namespace {

using surface::comparePointsXYTolerant;
using surface::comparePointsXYZ;

constexpr double kRimTolerance = 0.001;

bool matches(const Point3& a, const Point3& b) {
    return comparePointsXYTolerant(a, b) == 0;
}

// The chain has come back to its first point exactly.
bool closed(const std::vector<Segment>& chain) {
    return comparePointsXYZ(chain.front().a, chain.back().b) == 0;
}

// The first free segment that meets the point, oriented to leave it (at the
// chain's end) or to arrive at it (at the chain's start); nullptr when none.
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

// Grows the chain at one end until no free segment meets it or it closes.
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

bool segmentInChain(std::span<const Segment> chain, const Segment& segment) {
    for (const Segment& entry : chain) {
        if (matches(entry.a, segment.a) && matches(entry.b, segment.b)) return true;
        if (matches(entry.a, segment.b) && matches(entry.b, segment.a)) return true;
    }
    return false;
}

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
            if (std::fabs(point.x * m + c - point.y) < kRimTolerance) return true;
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

} // namespace vog::products
