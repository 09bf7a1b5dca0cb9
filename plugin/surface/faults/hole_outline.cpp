#include "surface/faults/hole_outline.h"

#include <bit>
#include <cstdint>

namespace vog::surface {

namespace {

// Entries up to which a plain scan is faster than the hash.
constexpr std::size_t kScanLimit = 32;

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

} // namespace

std::size_t HoleOutline::EdgeHash::operator()(const Segment& s) const {
    // The same for both directions.
    const std::uint64_t a = pointHash(s.a);
    const std::uint64_t b = pointHash(s.b);
    return static_cast<std::size_t>((a ^ b) + (a & b) * 0x2545F4914F6CDD1Dull);
}

void HoleOutline::toggle(const Point3& a, const Point3& b) {
    const Segment edge{a, b};
    if (!hashed_) {
        // At most one live entry holds an edge: a second one cancels it.
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            if (live_[i] && SameEdge{}(entries_[i], edge)) {
                live_[i] = false;
                return;
            }
        }
        entries_.push_back(edge);
        live_.push_back(true);
        if (entries_.size() > kScanLimit) {
            for (std::size_t i = 0; i < entries_.size(); ++i)
                if (live_[i]) index_.emplace(entries_[i], i);
            hashed_ = true;
        }
        return;
    }
    auto found = index_.find(edge);
    if (found != index_.end()) {
        live_[found->second] = false;
        index_.erase(found);
        return;
    }
    index_.emplace(edge, entries_.size());
    entries_.push_back(edge);
    live_.push_back(true);
}

std::vector<Segment> HoleOutline::segments() const {
    std::vector<Segment> out;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (live_[i]) out.push_back(entries_[i]);
    return out;
}

} // namespace vog::surface
