#include "surface/sweep/segment_toggle.h"

#include <algorithm>

namespace vog::surface {

namespace {

// Entries up to which a plain scan is faster than the hash.
constexpr std::size_t kScanLimit = 8;

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
    hashed_ = false;
}

namespace {

std::size_t cellOf(std::uint64_t key, std::size_t mask) {
    key ^= key >> 29;
    key *= 0xBF58476D1CE4E5B9ull;
    key ^= key >> 32;
    return static_cast<std::size_t>(key) & mask;
}

} // namespace

void EdgeOutline::rebuildIndex(std::size_t cells) {
    if (index_.size() < cells) index_.assign(cells, Cell{0, 0, 0});
    if (++generation_ == 0) {
        // The generations came round: forget every cell for good.
        std::fill(index_.begin(), index_.end(), Cell{0, 0, 0});
        generation_ = 1;
    }
    used_ = 0;
    const std::size_t mask = index_.size() - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!entries_[i].live) continue;
        std::size_t at = cellOf(entries_[i].key, mask);
        while (index_[at].generation == generation_)
            at = (at + 1) & mask;
        index_[at] = {entries_[i].key, static_cast<std::uint32_t>(i), generation_};
        ++used_;
    }
    hashed_ = true;
}

void EdgeOutline::toggle(std::uint32_t a, std::uint32_t keyA, std::uint32_t b, std::uint32_t keyB) {
    const std::uint64_t key = edgeKey(keyA, keyB);
    // At most one live entry holds an edge: a second one cancels it.
    if (hashed_) {
        const std::size_t mask = index_.size() - 1;
        std::size_t at = cellOf(key, mask);
        for (; index_[at].generation == generation_; at = (at + 1) & mask) {
            Cell& cell = index_[at];
            if (cell.key == key && cell.entry != kGone) {
                entries_[cell.entry].live = false;
                cell.entry = kGone;
                return;
            }
        }
        index_[at] = {key, static_cast<std::uint32_t>(entries_.size()), generation_};
        entries_.push_back({a, b, key, true});
        // Keep the table at most half full, marks included.
        if (2 * ++used_ > index_.size()) rebuildIndex(2 * index_.size());
        return;
    }
    for (Entry& e : entries_) {
        if (e.live && e.key == key) {
            e.live = false;
            return;
        }
    }
    entries_.push_back({a, b, key, true});
    if (entries_.size() > kScanLimit) rebuildIndex(std::max<std::size_t>(index_.size(), 256));
}

} // namespace vog::surface
