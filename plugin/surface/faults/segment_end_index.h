// Segments found by their ends within the plan tolerance of the point
// orderings (1e-5 in x and in y), for the fault step's test whether a fault
// lies on a boundary segment: the ends are hashed by cells ten times the
// tolerance, so a test looks at the few segments that end near the fault
// instead of at all of them.
#pragma once

#include "geometry/geometry.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vog::surface {

class SegmentEndIndex {
  public:
    explicit SegmentEndIndex(std::vector<Segment> segments);

    // True when a segment runs end for end along the given one, in either
    // direction: its first end tolerant-equal to one end and its second to
    // the other.
    bool holds(const Segment& segment) const;

  private:
    struct Cell {
        std::int64_t x;
        std::int64_t y;
        friend bool operator==(const Cell&, const Cell&) = default;
    };
    struct CellHash {
        std::size_t operator()(const Cell& c) const;
    };
    static Cell cellOf(const Point3& p);

    std::vector<Segment> segments_;
    std::unordered_map<Cell, std::vector<std::size_t>, CellHash> byFirstEnd_;
    std::unordered_map<Cell, std::vector<std::size_t>, CellHash> bySecondEnd_;
};

} // namespace vog::surface
