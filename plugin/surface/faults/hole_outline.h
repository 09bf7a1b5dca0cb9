// The outline of the triangles a fault cuts, gathered by the segment toggle's
// rule: an edge met a second time, in either direction, cancels the first;
// the others keep the order and direction in which they were first met.
// Small holes are searched in order; large ones through a hash of the
// undirected edge, so a long fault does not rescan the outline for every edge.
#pragma once

#include "geometry/geometry.h"

#include <cstddef>
#include <unordered_map>
#include <vector>

namespace vog::surface {

class HoleOutline {
  public:
    void toggle(const Point3& a, const Point3& b);
    // The edges left, in order.
    std::vector<Segment> segments() const;

  private:
    struct EdgeHash {
        std::size_t operator()(const Segment& s) const;
    };
    struct SameEdge {
        bool operator()(const Segment& s, const Segment& t) const {
            return (s.a == t.a && s.b == t.b) || (s.a == t.b && s.b == t.a);
        }
    };

    std::vector<Segment> entries_;
    std::vector<bool> live_;
    std::unordered_map<Segment, std::size_t, EdgeHash, SameEdge> index_; // live entries
    bool hashed_ = false;
};

} // namespace vog::surface
