#include "surface/segment_toggle.h"

namespace vog::surface {

namespace {

// Entries up to which a plain scan is faster than the hash.
constexpr std::size_t kScanLimit = 24;

} // namespace

void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments) {
    for (auto it = segments.begin(); it != segments.end(); ++it) {
        if ((it->a == a && it->b == b) || (it->a == b && it->b == a)) {
            segments.erase(it);
            return;
        }
    }
    segments.push_back({a, b});
}

void EdgeOutline::clear() {
    entries_.clear();
    if (hashed_) {
        index_.clear();
        hashed_ = false;
    }
}

void EdgeOutline::toggle(std::uint32_t a, std::uint32_t keyA, std::uint32_t b, std::uint32_t keyB) {
    const std::uint64_t key = edgeKey(keyA, keyB);
    // At most one live entry holds an edge: a second one cancels it.
    if (hashed_) {
        auto found = index_.find(key);
        if (found != index_.end()) {
            entries_[found->second].live = false;
            index_.erase(found);
            return;
        }
        index_.emplace(key, static_cast<std::uint32_t>(entries_.size()));
        entries_.push_back({a, b, key, true});
        return;
    }
    for (Entry& e : entries_) {
        if (e.live && e.key == key) {
            e.live = false;
            return;
        }
    }
    entries_.push_back({a, b, key, true});
    if (entries_.size() > kScanLimit) {
        hashed_ = true;
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].live) index_.emplace(entries_[i].key, static_cast<std::uint32_t>(i));
    }
}

} // namespace vog::surface
