// The ordered edge toggle: the outline of a set of triangles is gathered by
// adding their edges one by one, since an edge shared by two of them is added
// twice and so cancels out. An edge met a second time, in either direction,
// removes the first; the others keep the order and direction in which they
// were first met. The sweep gathers the outline of each cavity this way, the
// fault step the outline of the hole a fault cuts.
#pragma once

#include "geometry/geometry.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vog::surface {

// The toggle in its plainest form, on a list: removes the first entry equal
// to (a, b) or (b, a), all coordinates compared exactly; appends (a, b) when
// there is none.
void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments);

// The same toggle for outlines of any size. Each edge comes with a key that
// is equal for equal edges in either direction; SameEdge tells whether two
// edges of equal keys are the same edge. The outline keeps the order in which
// toggleSegment's list would hold its entries: removed entries leave the
// others in place, new ones go to the end. Small outlines are searched in
// order, large ones through a table of the keys.
template <class Edge, class SameEdge, std::size_t kScanLimit> class OrderedEdgeToggle {
  public:
    void clear() {
        entries_.clear();
        hashed_ = false;
    }

    void toggle(const Edge& edge, std::uint64_t key);

    // The outline edges in order.
    template <class Visit> void forEach(Visit visit) const {
        for (const Entry& e : entries_)
            if (e.live) visit(e.edge);
    }

  private:
    struct Entry {
        Edge edge;
        std::uint64_t key;
        bool live;
    };
    // An open-addressed table over the keys of the live entries, emptied by
    // moving on to the next generation. Removed entries leave a mark in their
    // place so that later probes go on past it.
    struct Cell {
        std::uint64_t key;
        std::uint32_t entry; // kGone once the entry is removed
        std::uint32_t generation;
    };
    static constexpr std::uint32_t kGone = ~std::uint32_t{0};

    static std::size_t slotOf(std::uint64_t key, std::size_t mask) {
        key ^= key >> 29;
        key *= 0xBF58476D1CE4E5B9ull;
        key ^= key >> 32;
        return static_cast<std::size_t>(key) & mask;
    }
    void rebuildIndex(std::size_t cells);

    std::vector<Entry> entries_;
    std::vector<Cell> index_;
    std::uint32_t generation_ = 0;
    std::size_t used_ = 0; // cells of this generation, marks included
    bool hashed_ = false;
};

template <class Edge, class SameEdge, std::size_t kScanLimit>
void OrderedEdgeToggle<Edge, SameEdge, kScanLimit>::toggle(const Edge& edge, std::uint64_t key) {
    const SameEdge same;
    // At most one live entry holds an edge: a second one cancels it.
    if (hashed_) {
        const std::size_t mask = index_.size() - 1;
        std::size_t at = slotOf(key, mask);
        for (; index_[at].generation == generation_; at = (at + 1) & mask) {
            Cell& cell = index_[at];
            if (cell.key == key && cell.entry != kGone && same(entries_[cell.entry].edge, edge)) {
                entries_[cell.entry].live = false;
                cell.entry = kGone;
                return;
            }
        }
        index_[at] = {key, static_cast<std::uint32_t>(entries_.size()), generation_};
        entries_.push_back({edge, key, true});
        // Keep the table at most half full, marks included.
        if (2 * ++used_ > index_.size()) rebuildIndex(2 * index_.size());
        return;
    }
    for (Entry& e : entries_) {
        if (e.live && e.key == key && same(e.edge, edge)) {
            e.live = false;
            return;
        }
    }
    entries_.push_back({edge, key, true});
    if (entries_.size() > kScanLimit) rebuildIndex(std::max<std::size_t>(index_.size(), 256));
}

template <class Edge, class SameEdge, std::size_t kScanLimit>
void OrderedEdgeToggle<Edge, SameEdge, kScanLimit>::rebuildIndex(std::size_t cells) {
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
        std::size_t at = slotOf(entries_[i].key, mask);
        while (index_[at].generation == generation_)
            at = (at + 1) & mask;
        index_[at] = {entries_[i].key, static_cast<std::uint32_t>(i), generation_};
        ++used_;
    }
    hashed_ = true;
}

// An edge between two corners given by number, in the direction first added.
struct CornerEdge {
    std::uint32_t a;
    std::uint32_t b;
};

// Corner edges of equal keys are the same edge.
struct SameCornerEdge {
    bool operator()(const CornerEdge&, const CornerEdge&) const { return true; }
};

// Segments are the same edge when their ends are equal, in either direction.
struct SameSegment {
    bool operator()(const Segment& s, const Segment& t) const {
        return (s.a == t.a && s.b == t.b) || (s.a == t.b && s.b == t.a);
    }
};

// Made once, in edge_toggle.cpp, so that the sweep calls the toggle as a
// function of its own rather than growing round it.
extern template class OrderedEdgeToggle<CornerEdge, SameCornerEdge, 8>;
extern template class OrderedEdgeToggle<Segment, SameSegment, 32>;

// The toggle over corners given by number, for the triangulation. Two
// corners are the same when their keys are equal (the triangulation gives
// corners with equal coordinates equal keys), so the key of an edge is the
// edge itself.
class EdgeOutline {
  public:
    using Edge = CornerEdge;

    void clear() { toggle_.clear(); }
    void toggle(std::uint32_t a, std::uint32_t keyA, std::uint32_t b, std::uint32_t keyB) {
        toggle_.toggle(Edge{a, b}, keyA < keyB ? (std::uint64_t{keyA} << 32 | keyB)
                                               : (std::uint64_t{keyB} << 32 | keyA));
    }
    template <class Visit> void forEach(Visit visit) const { toggle_.forEach(visit); }

  private:
    OrderedEdgeToggle<CornerEdge, SameCornerEdge, 8> toggle_;
};

// The toggle over edges given by their end points, compared exactly as
// toggleSegment compares them.
class SegmentOutline {
  public:
    void toggle(const Point3& a, const Point3& b);
    // The edges left, in order.
    std::vector<Segment> segments() const;

  private:
    OrderedEdgeToggle<Segment, SameSegment, 32> toggle_;
};

} // namespace vog::surface
