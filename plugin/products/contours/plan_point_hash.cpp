#include "products/contours/plan_point_hash.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vog::products {

namespace {

// Twice the plan tolerance and a little more, so that two points within the
// tolerance always lie in the same or in neighbouring cells.
constexpr double kCellSize = 4e-5;
// Cell numbers stay well inside the range where dividing by the cell size is
// accurate to a fraction of a cell.
constexpr double kLargestCell = 281474976710656.0; // 2^48

} // namespace

namespace detail {

bool planCell(const surface::Point3& point, std::int64_t& cx, std::int64_t& cy) {
    double fx = std::floor(point.x / kCellSize);
    double fy = std::floor(point.y / kCellSize);
    if (!(std::fabs(fx) < kLargestCell && std::fabs(fy) < kLargestCell)) return false;
    cx = static_cast<std::int64_t>(fx);
    cy = static_cast<std::int64_t>(fy);
    return true;
}

std::uint64_t planBucket(std::int64_t cx, std::int64_t cy) {
    std::uint64_t h = static_cast<std::uint64_t>(cx) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(cy) + 0x7F4A7C159E3779B9ull + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ull;
    return h ^ (h >> 29);
}

} // namespace detail

void resetPlanPointHash(PlanPointHash& hash, std::size_t expected) {
    std::size_t buckets = std::bit_ceil(std::max<std::size_t>(16, 2 * expected));
    hash.heads.assign(buckets, -1);
    hash.mask = buckets - 1;
    hash.next.clear();
    hash.loose.clear();
    hash.all.clear();
    hash.touched.clear();
}

void clearPlanPointHash(PlanPointHash& hash) {
    for (std::uint64_t bucket : hash.touched)
        hash.heads[bucket] = -1;
    hash.touched.clear();
    hash.loose.clear();
    hash.all.clear();
}

void insertPlanPoint(PlanPointHash& hash, std::int32_t item, const surface::Point3& point) {
    std::size_t index = static_cast<std::size_t>(item);
    if (hash.next.size() <= index) hash.next.resize(index + 1, -1);
    hash.all.push_back(item);
    std::int64_t cx, cy;
    if (!detail::planCell(point, cx, cy)) {
        hash.loose.push_back(item);
        return;
    }
    std::uint64_t bucket = detail::planBucket(cx, cy) & hash.mask;
    if (hash.heads[bucket] < 0) hash.touched.push_back(bucket);
    hash.next[index] = hash.heads[bucket];
    hash.heads[bucket] = item;
}

} // namespace vog::products
