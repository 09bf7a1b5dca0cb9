#include "surface/sweep/front_rows.h"

#include "surface/sweep/circle_span.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vog::surface {

namespace {

// Rows of level 0 per point spacing. One row per spacing still puts the small
// circles of dense parts in a few rows; finer rows cost more than they save,
// as the rows a search and an entry touch then come less often from the
// cache (at 10 M points they no longer fit).
constexpr double kRowsPerSpacing = 1.0;

// Rows of level 0: about kRowsPerSpacing for each point across the box in y,
// were the points spread evenly.
std::uint32_t rowCount(double width, double height, std::size_t pointCount) {
    const double n = static_cast<double>(std::max<std::size_t>(pointCount, 1));
    double rows = 1;
    if (height > 0 && width > 0)
        rows = std::sqrt(n * height / width) * kRowsPerSpacing;
    else if (height > 0)
        rows = n; // every point on one vertical line
    if (!(rows >= 1)) return 1;
    return static_cast<std::uint32_t>(std::min(rows, n * kRowsPerSpacing));
}

} // namespace

FrontRows::FrontRows(double minX, double minY, double maxX, double maxY, std::size_t pointCount)
    : minY_(minY), maxX_(maxX), maxY_(maxY) {
    const double width = maxX - minX, height = maxY - minY;
    rows_ = geometry::planAxisOver(minY, maxY, rowCount(width, height, pointCount));
    slack_ = filterSlack(std::max(
        {std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY), width, height}));
    for (unsigned shift = 0;; shift += 2) {
        const std::uint32_t last = (rows_.count - 1) >> shift;
        levels_.push_back({shift, std::vector<std::vector<Entry>>(last + std::size_t{1})});
        if (last == 0) break;
    }
}

// The lowest level at which rows first to last of level 0 fall in fewer than
// kMostRows rows, without a loop over the levels. Rows first to last reach
// over at least (last - first) >> shift rows at a level and at most one more,
// so the level is the lowest one at which last - first < kMostRows << shift,
// or the one above it.
std::uint32_t FrontRows::levelFor(std::uint32_t first, std::uint32_t last) const {
    static_assert(kMostRows >= 2 && kMostRows <= 4, "a level is four times the one below");
    const auto top = static_cast<std::uint32_t>(levels_.size() - 1);
    const auto low = static_cast<std::uint32_t>(std::bit_width((last - first) / kMostRows) + 1) / 2;
    std::uint32_t level = std::min(low, top);
    const unsigned shift = levels_[level].shift;
    level += level < top && (last >> shift) - (first >> shift) >= kMostRows;
    return level;
}

void FrontRows::add(const Circle& circle, std::uint32_t slot, double fromX) {
    const double xc = circle.xc, yc = circle.yc, r = circle.radius;
    // With such values the distance computed is infinite or not a number,
    // and never below the radius.
    if (!std::isfinite(xc) || !std::isfinite(yc) || std::isnan(r)) return;
    if (places_.size() <= slot) places_.resize(slot + std::size_t{1});
    Place& place = places_[slot];
    // The computed distance is within a few units in the last place of the
    // true one, so the test holds only for points within this widened
    // radius of the centre.
    const double reach = r * (1 + kRelativeWidening);
    std::uint32_t first = 0, last = rows_.count - 1;
    if (std::isfinite(reach)) {
        // Only the part over the box right of fromX can hold a point to come.
        const Span ys = spanOver(yc, xc, reach, minY_, maxY_, fromX, maxX_);
        if (ys.empty) return;
        first = geometry::cellOf(rows_, ys.low - slack_);
        last = geometry::cellOf(rows_, ys.high + slack_);
    }
    const std::uint32_t level = levelFor(first, last);
    Level& at = levels_[level];
    place.level = level;
    place.firstRow = first >> at.shift;
    place.rowCount = (last >> at.shift) - place.firstRow + 1;
    const Entry entry{xc, yc, largestSquareWithin(r), slot};
    for (std::uint32_t k = 0; k < place.rowCount; ++k) {
        std::vector<Entry>& row = at.rows[place.firstRow + k];
        place.at[k] = static_cast<std::uint32_t>(row.size());
        row.push_back(entry);
    }
}

void FrontRows::remove(std::uint32_t slot) {
    if (slot >= places_.size() || places_[slot].level == kNotIn) return;
    Place& place = places_[slot];
    Level& level = levels_[place.level];
    for (std::uint32_t k = 0; k < place.rowCount; ++k) {
        const std::uint32_t rw = place.firstRow + k;
        std::vector<Entry>& row = level.rows[rw];
        const std::uint32_t i = place.at[k];
        if (i + std::size_t{1} != row.size()) {
            row[i] = row.back();
            Place& moved = places_[row[i].slot];
            moved.at[rw - moved.firstRow] = i;
        }
        row.pop_back();
    }
    place.level = kNotIn;
}

} // namespace vog::surface
