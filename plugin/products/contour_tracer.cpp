#include "products/contour_tracer.h"

#include "host/host_api.h"
#include "products/contour_chains.h"
#include "products/level_segments.h"

namespace vog::products {

namespace {

// The pool and chain buffers live for one run and serve every level.
struct TraceBuffers {
    std::vector<ContourSegment> pool;
    std::vector<Segment> chain;
};

int traceLevelInto(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                   double level, const ChainWriter& write, TraceBuffers& buffers) {
    buildLevelPool(triangles, level, buffers.pool);
    for (ContourSegment& segment : buffers.pool)
        segment.state = kSegmentFree;
    while (buildChain(buffers.pool, buffers.chain)) {
        if (!chainQualifies(buffers.chain, buffers.pool, rim)) continue;
        if (write(buffers.chain) == RTERROR) return RTERROR;
    }
    return RTNORM;
}

} // namespace

int traceLevel(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
               double level, const ChainWriter& write) {
    TraceBuffers buffers;
    return traceLevelInto(triangles, rim, level, write, buffers);
}

int traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                  const ContourLevels& levels, const ChainWriter& write) {
    TraceBuffers buffers;
    buffers.pool.reserve(triangles.size() + 2);
    buffers.chain.reserve(triangles.size() + 2);
    double level = levels.first;
    if (!(level <= levels.top)) return RTNORM;
    do {
        if (acedUsrBrk() == 1) return RTCAN;
        if (traceLevelInto(triangles, rim, level, write, buffers) == RTERROR) return RTERROR;
    } while (nextLevel(levels, level));
    return RTNORM;
}

} // namespace vog::products
