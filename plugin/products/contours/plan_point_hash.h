// Points hashed by small plan cells, for finding the points that may match a
// given point within the plan tolerance of the surface code (1e-5 in x and
// in y) without comparing it with every point. A lookup visits every item in
// the 3 x 3 cells around the point: a superset of the matches, which the
// caller then tests with the exact comparison it would have used anyway.
// Items whose point cannot be placed in a cell (not finite, or too large for
// the cells) are visited by every lookup, and a lookup at such a point visits
// every item, so no match is ever missed.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <vector>

namespace vog::products {

struct PlanPointHash {
    std::vector<std::int32_t> heads;    // first item of each bucket, -1 when empty
    std::vector<std::int32_t> next;     // next item in the same bucket, by item
    std::vector<std::int32_t> loose;    // items visited by every lookup
    std::vector<std::int32_t> all;      // every item, for lookups that cannot be placed
    std::vector<std::uint64_t> touched; // buckets that hold items
    std::uint64_t mask = 0;
};

// Empties the hash and sizes it for about expected items numbered from 0.
void resetPlanPointHash(PlanPointHash& hash, std::size_t expected);

// Empties the hash, keeping its size: costs the number of items it held.
void clearPlanPointHash(PlanPointHash& hash);

// Adds the item (a number from 0) at the point.
void insertPlanPoint(PlanPointHash& hash, std::int32_t item, const surface::Point3& point);

namespace detail {
bool planCell(const surface::Point3& point, std::int64_t& cx, std::int64_t& cy);
std::uint64_t planBucket(std::int64_t cx, std::int64_t cy);
} // namespace detail

// Calls visit(item) for every item that may lie within the plan tolerance of
// the point, possibly more than once for an item, until visit answers true.
// True when some visit answered true.
template <class Visit>
bool visitNearPlanPoint(const PlanPointHash& hash, const surface::Point3& point, Visit visit) {
    std::int64_t cx, cy;
    if (!detail::planCell(point, cx, cy)) {
        for (std::int32_t item : hash.all)
            if (visit(item)) return true;
        return false;
    }
    for (std::int32_t item : hash.loose)
        if (visit(item)) return true;
    for (std::int64_t dy = -1; dy <= 1; ++dy) {
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            std::uint64_t bucket = detail::planBucket(cx + dx, cy + dy) & hash.mask;
            for (std::int32_t item = hash.heads[bucket]; item >= 0;
                 item = hash.next[static_cast<std::size_t>(item)])
                if (visit(item)) return true;
        }
    }
    return false;
}

} // namespace vog::products
