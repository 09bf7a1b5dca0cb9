#include "products/contours/contour_tracer.h"

#include "host_api.h"
#include "products/contours/contour_chains.h"
#include "products/contours/level_segments.h"
#include "products/common/work_progress.h"

#include <algorithm>
#include <cmath>

namespace vog::products {

namespace {

// What one run keeps for every level: the triangles ordered for the upward
// walk, the rim with its grid, and the pool, chain and search buffers.
struct TraceBuffers {
    LevelSweep sweep;
    RimIndex rim;
    ChainSearch search;
    std::vector<ContourSegment> pool;
    std::vector<Segment> chain;
};

void startTrace(TraceBuffers& buffers, const std::vector<Triangle>& triangles,
                const std::vector<Segment>& rim) {
    startLevelSweep(buffers.sweep, triangles);
    buildRimIndex(buffers.rim, rim);
}

int traceLevelInto(double level, const ChainWriter& write, TraceBuffers& buffers) {
    sweepLevelPool(buffers.sweep, level, buffers.pool);
    for (ContourSegment& segment : buffers.pool)
        segment.state = kSegmentFree;
    startChainSearch(buffers.search, buffers.pool);
    while (nextChain(buffers.search, buffers.chain)) {
        if (!chainQualifies(buffers.chain, buffers.search, buffers.rim)) continue;
        if (write(buffers.chain) == RTERROR) return RTERROR;
    }
    return RTNORM;
}

} // namespace

int traceLevel(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
               double level, const ChainWriter& write) {
    TraceBuffers buffers;
    startTrace(buffers, triangles, rim);
    return traceLevelInto(level, write, buffers);
}

int traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                  const ContourLevels& levels, const ChainWriter& write) {
    double level = levels.first;
    if (!(level <= levels.top)) return RTNORM;
    TraceBuffers buffers;
    startTrace(buffers, triangles, rim);
    buffers.pool.reserve(triangles.size() + 2);
    const double count = levelCount(levels);
    WorkProgress progress(L"Tracing contours",
                          std::isfinite(count) ? static_cast<long long>(std::min(count, 1e15)) : 1);
    long long done = 0;
    do {
        if (acedUsrBrk() == 1) return RTCAN;
        progress.advance(done++);
        if (traceLevelInto(level, write, buffers) == RTERROR) return RTERROR;
    } while (nextLevel(levels, level));
    return RTNORM;
}

} // namespace vog::products
