#include "products/contours/contour_tracer.h"

#include "base/progress_steps.h"
#include "products/contours/contour_chains.h"
#include "products/contours/level_segments.h"

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

Status traceLevelInto(double level, const ChainWriter& write, TraceBuffers& buffers) {
    sweepLevelPool(buffers.sweep, level, buffers.pool);
    for (ContourSegment& segment : buffers.pool)
        segment.state = kSegmentFree;
    startChainSearch(buffers.search, buffers.pool);
    while (nextChain(buffers.search, buffers.chain)) {
        if (!chainQualifies(buffers.chain, buffers.search, buffers.rim)) continue;
        if (write(buffers.chain) == Status::failed) return Status::failed;
    }
    return Status::ok;
}

} // namespace

Status traceContours(const std::vector<Triangle>& triangles, const std::vector<Segment>& rim,
                     const ContourLevels& levels, const ChainWriter& write, const Seam& seam) {
    double level = levels.first;
    if (!(level <= levels.top)) return Status::ok;
    TraceBuffers buffers;
    startTrace(buffers, triangles, rim);
    buffers.pool.reserve(triangles.size() + 2);
    const double count = levelCount(levels);
    StepMeter progress(seam.progress, L"Tracing contours",
                       std::isfinite(count) ? static_cast<std::uint64_t>(std::min(count, 1e15))
                                            : 1);
    std::uint64_t done = 0;
    do {
        if (seam.cancellation.requested()) return Status::cancelled;
        progress.advance(done++);
        if (traceLevelInto(level, write, buffers) == Status::failed) return Status::failed;
    } while (nextLevel(levels, level));
    return Status::ok;
}

} // namespace vog::products
