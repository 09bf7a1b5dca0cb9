#include "surface/clip/ray_strips.h"

#include <algorithm>
#include <cmath>

namespace vog::surface {

namespace {

struct HeightRange {
    double low;
    double high;
};

std::size_t entryCount(const geometry::PlanAxis& strips, const std::vector<HeightRange>& ranges) {
    std::size_t total = 0;
    for (const HeightRange& r : ranges)
        total += geometry::cellOf(strips, r.high) - geometry::cellOf(strips, r.low) + 1;
    return total;
}

} // namespace

RayStrips makeRayStrips(const std::vector<Segment>& segments) {
    RayStrips index;
    std::vector<std::uint32_t> filed;
    std::vector<HeightRange> ranges;
    for (std::uint32_t i = 0; i < segments.size(); ++i) {
        const Segment& s = segments[i];
        // A segment with a height that is not a number never meets the ray
        // either.
        if (s.a.y == s.b.y || std::isnan(s.a.y) || std::isnan(s.b.y)) continue;
        const HeightRange r{std::min(s.a.y, s.b.y), std::max(s.a.y, s.b.y)};
        if (filed.empty()) {
            index.lowest = r.low;
            index.highest = r.high;
        }
        index.lowest = std::min(index.lowest, r.low);
        index.highest = std::max(index.highest, r.high);
        filed.push_back(i);
        ranges.push_back(r);
    }
    index.filedAny = !filed.empty();
    if (!index.filedAny) return index;

    const std::size_t budget = 8 * filed.size() + (1u << 16);
    std::uint32_t count = static_cast<std::uint32_t>(filed.size());
    for (;;) {
        index.strips = geometry::planAxisOver(index.lowest, index.highest, count);
        if (count == 1 || entryCount(index.strips, ranges) <= budget) break;
        count /= 2;
    }

    index.stripStart.assign(static_cast<std::size_t>(count) + 1, 0);
    for (const HeightRange& r : ranges)
        for (std::uint32_t s = geometry::cellOf(index.strips, r.low);
             s <= geometry::cellOf(index.strips, r.high); ++s)
            ++index.stripStart[s + 1];
    for (std::uint32_t s = 0; s < count; ++s)
        index.stripStart[s + 1] += index.stripStart[s];
    index.entries.resize(index.stripStart[count]);
    std::vector<std::uint32_t> next(index.stripStart.begin(), index.stripStart.end() - 1);
    for (std::size_t k = 0; k < filed.size(); ++k) {
        const Segment& seg = segments[filed[k]];
        const RayStrips::Entry entry{std::max(seg.a.x, seg.b.x), filed[k]};
        const HeightRange& r = ranges[k];
        for (std::uint32_t s = geometry::cellOf(index.strips, r.low);
             s <= geometry::cellOf(index.strips, r.high); ++s)
            index.entries[next[s]++] = entry;
    }
    for (std::uint32_t s = 0; s < count; ++s)
        std::sort(index.entries.begin() + index.stripStart[s],
                  index.entries.begin() + index.stripStart[s + 1],
                  [](const RayStrips::Entry& p, const RayStrips::Entry& q) {
                      return p.maxX > q.maxX || (p.maxX == q.maxX && p.segment < q.segment);
                  });
    return index;
}

} // namespace vog::surface
