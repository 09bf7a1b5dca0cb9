#include "products/contours/contour_chains.h"

#include "geometry/point_order.h"

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

// The rim test for one edge.
bool onRimEdge(const Point3& point, const Segment& edge) {
    const Point3& a = edge.a;
    const Point3& b = edge.b;
    if (a.x != b.x) {
        double m = (a.y - b.y) / (a.x - b.x);
        double c = a.y - a.x * m;
        return std::fabs(point.x * m + c - point.y) < kRimTolerance;
    }
    return point.x == a.x && point.y >= std::min(a.y, b.y) && point.y <= std::max(a.y, b.y);
}

// The first point of the chain being built: the start of the entry put in
// front last, or of the first entry.
const Point3& chainStart(const ChainSearch& search, const std::vector<Segment>& chain) {
    return search.prepended.empty() ? chain.front().a : search.prepended.back().a;
}

bool closedSearch(const ChainSearch& search, const std::vector<Segment>& chain) {
    return comparePointsXYZ(chainStart(search, chain), chain.back().b) == 0;
}

// The free segment at the lowest pool position that meets the point, with
// its start tested before its end; pool size when there is none.
std::size_t freeSegmentNear(const ChainSearch& search, const Point3& point, bool& byStart) {
    const std::vector<ContourSegment>& pool = *search.pool;
    std::size_t best = pool.size();
    visitNearPlanPoint(search.ends, point, [&](std::int32_t item) {
        std::size_t i = static_cast<std::size_t>(item) >> 1;
        if (i >= best || pool[i].state != kSegmentFree) return false;
        bool start = matches(pool[i].start, point);
        if (start || matches(pool[i].end, point)) {
            best = i;
            byStart = start;
        }
        return false;
    });
    return best;
}

// segmentInChain over the entries hashed so far.
bool inSearchChain(const ChainSearch& search, const Segment& segment) {
    auto same = [&](const Point3& first, const Point3& second) {
        return visitNearPlanPoint(search.entries, first, [&](std::int32_t item) {
            const Segment& entry = search.entryList[static_cast<std::size_t>(item)];
            return matches(entry.a, first) && matches(entry.b, second);
        });
    };
    return same(segment.a, segment.b) || same(segment.b, segment.a);
}

void addEntry(ChainSearch& search, const Segment& entry) {
    insertPlanPoint(search.entries, static_cast<std::int32_t>(search.entryList.size()), entry.a);
    search.entryList.push_back(entry);
}

void extendSearch(ChainSearch& search, std::vector<Segment>& chain, bool atEnd) {
    std::vector<ContourSegment>& pool = *search.pool;
    while (!closedSearch(search, chain)) {
        const Point3 point = atEnd ? chain.back().b : chainStart(search, chain);
        bool byStart = false;
        std::size_t i = freeSegmentNear(search, point, byStart);
        if (i == pool.size()) return;
        const ContourSegment& segment = pool[i];
        Segment oriented;
        if (atEnd)
            oriented =
                byStart ? Segment{segment.start, segment.end} : Segment{segment.end, segment.start};
        else
            oriented =
                byStart ? Segment{segment.end, segment.start} : Segment{segment.start, segment.end};
        if (!inSearchChain(search, oriented)) {
            if (atEnd)
                chain.push_back(oriented);
            else
                search.prepended.push_back(oriented);
            addEntry(search, oriented);
        }
        pool[i].state = kSegmentInChain;
        search.taken.push_back(i);
    }
}

bool meetsOtherWork(const Point3& point, const ChainSearch& search) {
    const std::vector<ContourSegment>& pool = *search.pool;
    return visitNearPlanPoint(search.ends, point, [&](std::int32_t item) {
        const ContourSegment& segment = pool[static_cast<std::size_t>(item) >> 1];
        if (segment.state == kSegmentInChain) return false;
        return matches(point, segment.start) || matches(point, segment.end);
    });
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
    ChainSearch search;
    startChainSearch(search, pool);
    return nextChain(search, chain);
}

bool onRim(const Point3& point, const std::vector<Segment>& rim) {
    for (const Segment& edge : rim)
        if (onRimEdge(point, edge)) return true;
    return false;
}

bool chainQualifies(std::span<const Segment> chain, const std::vector<ContourSegment>& pool,
                    const std::vector<Segment>& rim) {
    ChainSearch search;
    // The search only reads the pool here.
    startChainSearch(search, const_cast<std::vector<ContourSegment>&>(pool));
    RimIndex index;
    buildRimIndex(index, rim);
    return chainQualifies(chain, search, index);
}

void buildRimIndex(RimIndex& index, const std::vector<Segment>& rim) {
    index = RimIndex{};
    index.rim = &rim;
    index.edges.reserve(rim.size());
    for (const Segment& edge : rim)
        index.edges.push_back({{edge.a.x, edge.a.y, 0, edge.b.x, edge.b.y, 0}});
    index.grid = buildEdgeGrid(index.edges);
}

bool onRim(const Point3& point, RimIndex& rim) {
    // The edges near the point first: where a chain ends on the rim, one of
    // them holds it.
    constexpr double kReach = 2 * kRimTolerance;
    edgesNearChord(rim.grid, point.x - kReach, point.y - kReach, point.x + kReach, point.y + kReach,
                   rim.near, rim.seen, rim.stamp);
    for (std::uint32_t i : rim.near)
        if (onRimEdge(point, (*rim.rim)[i])) return true;
    return onRim(point, *rim.rim);
}

void startChainSearch(ChainSearch& search, std::vector<ContourSegment>& pool) {
    search.pool = &pool;
    resetPlanPointHash(search.ends, 2 * pool.size());
    search.taken.clear();
    search.firstFree = 0;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        insertPlanPoint(search.ends, static_cast<std::int32_t>(2 * i), pool[i].start);
        insertPlanPoint(search.ends, static_cast<std::int32_t>(2 * i + 1), pool[i].end);
        if (pool[i].state == kSegmentInChain) search.taken.push_back(i);
    }
    resetPlanPointHash(search.entries, std::min<std::size_t>(pool.size(), 1 << 16));
    search.entryList.clear();
    search.prepended.clear();
}

bool nextChain(ChainSearch& search, std::vector<Segment>& chain) {
    std::vector<ContourSegment>& pool = *search.pool;
    for (std::size_t i : search.taken)
        pool[i].state = kSegmentInEarlierChain;
    search.taken.clear();
    while (search.firstFree < pool.size() && pool[search.firstFree].state != kSegmentFree)
        ++search.firstFree;
    if (search.firstFree == pool.size()) return false;

    clearPlanPointHash(search.entries);
    search.entryList.clear();
    search.prepended.clear();
    chain.clear();
    ContourSegment& first = pool[search.firstFree];
    chain.push_back({first.start, first.end});
    addEntry(search, chain.back());
    first.state = kSegmentInChain;
    search.taken.push_back(search.firstFree);
    extendSearch(search, chain, true);
    if (!closedSearch(search, chain)) extendSearch(search, chain, false);
    if (!search.prepended.empty())
        chain.insert(chain.begin(), search.prepended.rbegin(), search.prepended.rend());
    search.prepended.clear();
    return true;
}

bool chainQualifies(std::span<const Segment> chain, const ChainSearch& search, RimIndex& rim) {
    if (chain.empty()) return false;
    const Point3& first = chain.front().a;
    const Point3& last = chain.back().b;
    if (matches(first, last)) return true;
    if (onRim(first, rim) && onRim(last, rim)) return true;
    for (const Segment& entry : chain)
        if (meetsOtherWork(entry.a, search) || meetsOtherWork(entry.b, search)) return true;
    return false;
}

} // namespace vog::products
