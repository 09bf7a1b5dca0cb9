#include "geometry/edge_toggle.h"

#include <bit>

namespace vog::surface {

template class OrderedEdgeToggle<CornerEdge, SameCornerEdge, 8>;
template class OrderedEdgeToggle<Segment, SameSegment, 32>;

namespace {

// Equal coordinates hash equally: 0 and -0 compare equal.
std::uint64_t coordinateBits(double v) {
    return std::bit_cast<std::uint64_t>(v == 0 ? 0.0 : v);
}

std::uint64_t pointHash(const Point3& p) {
    std::uint64_t h = coordinateBits(p.x) * 0x9E3779B97F4A7C15ull;
    h ^= coordinateBits(p.y) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
    h ^= coordinateBits(p.z) + 0x94D049BB133111EBull + (h << 6) + (h >> 2);
    return h;
}

// The same for both directions.
std::uint64_t edgeHash(const Point3& a, const Point3& b) {
    const std::uint64_t ha = pointHash(a);
    const std::uint64_t hb = pointHash(b);
    return (ha ^ hb) + (ha & hb) * 0x2545F4914F6CDD1Dull;
}

} // namespace

void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments) {
    for (auto it = segments.begin(); it != segments.end(); ++it) {
        if (SameSegment{}(*it, {a, b})) {
            segments.erase(it);
            return;
        }
    }
    segments.push_back({a, b});
}

void SegmentOutline::toggle(const Point3& a, const Point3& b) {
    toggle_.toggle(Segment{a, b}, edgeHash(a, b));
}

std::vector<Segment> SegmentOutline::segments() const {
    std::vector<Segment> out;
    toggle_.forEach([&](const Segment& s) { out.push_back(s); });
    return out;
}

} // namespace vog::surface
