// The segment toggle: collects the outline of a set of triangles, since an
// edge shared by two of them is added twice and so cancels out.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <vector>

namespace vog::surface {

// Removes the first entry equal to (a, b) or (b, a), all coordinates compared
// exactly; appends (a, b) when there is none.
void toggleSegment(const Point3& a, const Point3& b, std::vector<Segment>& segments);

// The same toggle over corners given by number, for the triangulation. Two
// corners are the same when their keys are equal (the triangulation gives
// corners with equal coordinates equal keys). The outline keeps the order in
// which toggleSegment's list would hold its entries: removed entries leave
// the others in place, new ones go to the end. Small outlines are searched
// in order, large ones through a hash of the undirected edge.
class EdgeOutline {
  public:
    struct Edge {
        std::uint32_t a; // corner numbers, in the direction first added
        std::uint32_t b;
    };

    void clear();
    void toggle(std::uint32_t a, std::uint32_t keyA, std::uint32_t b, std::uint32_t keyB);

    // The outline edges in order.
    template <class Visit> void forEach(Visit visit) const {
        for (const Entry& e : entries_)
            if (e.live) visit(Edge{e.a, e.b});
    }

  private:
    struct Entry {
        std::uint32_t a;
        std::uint32_t b;
        std::uint64_t key; // the undirected edge
        bool live;
    };
    static std::uint64_t edgeKey(std::uint32_t keyA, std::uint32_t keyB) {
        return keyA < keyB ? (std::uint64_t{keyA} << 32 | keyB)
                           : (std::uint64_t{keyB} << 32 | keyA);
    }

    // An open-addressed table over the undirected edges of the live entries,
    // emptied by moving on to the next generation. Removed entries leave a
    // mark in their place so that later probes go on past it.
    struct Cell {
        std::uint64_t key;
        std::uint32_t entry; // kGone once the entry is removed
        std::uint32_t generation;
    };
    static constexpr std::uint32_t kGone = ~std::uint32_t{0};

    void rebuildIndex(std::size_t cells);

    std::vector<Entry> entries_;
    std::vector<Cell> index_;
    std::uint32_t generation_ = 0;
    std::size_t used_ = 0; // cells of this generation, marks included
    bool hashed_ = false;
};

} // namespace vog::surface
