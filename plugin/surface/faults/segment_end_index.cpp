#include "surface/faults/segment_end_index.h"

#include "geometry/point_order.h"

#include <cmath>

namespace vog::surface {

namespace {

bool tolerantEqual(const Point3& a, const Point3& b) {
    return comparePointsXYTolerant(a, b) == 0;
}

// Cells of 1e-4: points within the tolerance of each other lie at most one
// cell apart (two are searched, to spare the rounding any doubt). The numbering never decreases
// with the coordinate, and coordinates beyond its range share the outermost cell.
std::int64_t cellNumber(double v) {
    constexpr double kLimit = 0x1p60;
    const double f = std::floor(v * 1e4);
    if (!(f > -kLimit)) return static_cast<std::int64_t>(-kLimit);
    if (f > kLimit) return static_cast<std::int64_t>(kLimit);
    return static_cast<std::int64_t>(f);
}

} // namespace

std::size_t SegmentEndIndex::CellHash::operator()(const Cell& c) const {
    const auto x = static_cast<std::uint64_t>(c.x);
    const auto y = static_cast<std::uint64_t>(c.y);
    return static_cast<std::size_t>(x * 0x9E3779B97F4A7C15ull ^ (y + 0x632BE59BD9B4E019ull));
}

SegmentEndIndex::Cell SegmentEndIndex::cellOf(const Point3& p) {
    return {cellNumber(p.x), cellNumber(p.y)};
}

SegmentEndIndex::SegmentEndIndex(std::vector<Segment> segments) : segments_(std::move(segments)) {
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        byFirstEnd_[cellOf(segments_[i].a)].push_back(i);
        bySecondEnd_[cellOf(segments_[i].b)].push_back(i);
    }
}

bool SegmentEndIndex::holds(const Segment& segment) const {
    if (segments_.empty()) return false;
    const Cell at = cellOf(segment.a);
    for (std::int64_t dy = -2; dy <= 2; ++dy) {
        for (std::int64_t dx = -2; dx <= 2; ++dx) {
            const Cell cell{at.x + dx, at.y + dy};
            // segment.a on a first end: the same direction.
            if (auto found = byFirstEnd_.find(cell); found != byFirstEnd_.end()) {
                for (std::size_t i : found->second) {
                    const Segment& s = segments_[i];
                    if (tolerantEqual(segment.a, s.a) && tolerantEqual(segment.b, s.b)) return true;
                }
            }
            // segment.a on a second end: crosswise.
            if (auto found = bySecondEnd_.find(cell); found != bySecondEnd_.end()) {
                for (std::size_t i : found->second) {
                    const Segment& s = segments_[i];
                    if (tolerantEqual(segment.a, s.b) && tolerantEqual(segment.b, s.a)) return true;
                }
            }
        }
    }
    return false;
}

} // namespace vog::surface
