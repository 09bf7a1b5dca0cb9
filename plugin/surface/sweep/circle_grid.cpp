#include "surface/sweep/circle_grid.h"

#include "surface/sweep/circle_span.h"

#include <algorithm>
#include <limits>

namespace vog::surface {

namespace {

// A circle whose box reaches over more cells than this in x or in y goes to
// the large list.
constexpr std::size_t kMostCellsAcross = 10;

// About two points per cell.
constexpr double kPointsPerCell = 2.0;

// Cells along one side of a box of size extent, for cells of size side.
std::size_t cellsAlong(double extent, double side, std::size_t most) {
    if (!(extent > 0) || !(side > 0)) return 1;
    const double n = std::ceil(extent / side);
    if (!(n >= 1)) return 1;
    if (n >= static_cast<double>(most)) return most;
    return static_cast<std::size_t>(n);
}

} // namespace

CircleGrid::CircleGrid(double minX, double minY, double maxX, double maxY, std::size_t pointCount)
    : minX_(minX), minY_(minY), maxX_(maxX), maxY_(maxY) {
    const double width = maxX - minX;
    const double height = maxY - minY;
    const std::size_t target = std::max<std::size_t>(
        1, static_cast<std::size_t>(static_cast<double>(pointCount) / kPointsPerCell));
    double side;
    if (width > 0 && height > 0)
        side = std::sqrt(width * height / static_cast<double>(target));
    else
        side = std::max(width, height) / static_cast<double>(target);
    columns_ = cellsAlong(width, side, target);
    rows_ = cellsAlong(height, side, target);
    if (columns_ * rows_ > 4 * target) {
        // A very long thin box: keep the cell count near the target.
        if (columns_ > rows_)
            columns_ = std::max<std::size_t>(1, 4 * target / rows_);
        else
            rows_ = std::max<std::size_t>(1, 4 * target / columns_);
    }
    columnAxis_ = {minX, width > 0 ? static_cast<double>(columns_) / width : 0, columns_};
    rowAxis_ = {minY, height > 0 ? static_cast<double>(rows_) / height : 0, rows_};
    const double scale = std::max(
        {std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY), width, height});
    slack_ = filterSlack(scale);
    cells_.resize(columns_ * rows_);
    coarseRows_ = ((rows_ - 1) >> kCoarseShift) + 1;
    coarse_.resize((((columns_ - 1) >> kCoarseShift) + 1) * coarseRows_);
}

std::size_t CircleGrid::column(double x) const {
    return geometry::cellOf(columnAxis_, x);
}

std::size_t CircleGrid::row(double y) const {
    return geometry::cellOf(rowAxis_, y);
}

void CircleGrid::add(const Circle& circle, std::uint32_t slot, std::uint32_t tag) {
    const double xc = circle.xc, yc = circle.yc, r = circle.radius;
    // With such values the distance computed is infinite or not a number,
    // and never below the radius.
    if (!std::isfinite(xc) || !std::isfinite(yc) || std::isnan(r)) return;
    const Entry entry{xc, yc, r, slot, tag};
    // The computed distance is within a few units in the last place of the
    // true one, so the test holds only for points within this widened
    // radius of the centre.
    const double reach = r * (1 + kRelativeWidening);
    if (!std::isfinite(reach)) {
        addLarge(entry);
        return;
    }
    // Only the part of the circle over the box of the points can ever hold
    // a point.
    const Span xs = spanOver(xc, yc, reach, minX_, maxX_, minY_, maxY_);
    const Span ys = spanOver(yc, xc, reach, minY_, maxY_, minX_, maxX_);
    if (xs.empty || ys.empty) return;
    const std::size_t firstColumn = column(xs.low - slack_);
    const std::size_t lastColumn = column(xs.high + slack_);
    const std::size_t firstRow = row(ys.low - slack_);
    const std::size_t lastRow = row(ys.high + slack_);
    if (lastColumn + 1 - std::min(firstColumn, lastColumn + 1) > kMostCellsAcross ||
        lastRow - firstRow >= kMostCellsAcross) {
        const std::size_t first = firstColumn >> kCoarseShift, last = lastColumn >> kCoarseShift;
        const std::size_t low = firstRow >> kCoarseShift, high = lastRow >> kCoarseShift;
        if (last + 1 - std::min(first, last + 1) > kMostCellsAcross ||
            high - low >= kMostCellsAcross) {
            addLarge(entry);
            return;
        }
        for (std::size_t col = first; col <= last; ++col)
            for (std::size_t rw = low; rw <= high; ++rw)
                coarse_[col * coarseRows_ + rw].push_back(entry);
        return;
    }
    for (std::size_t col = firstColumn; col <= lastColumn; ++col)
        for (std::size_t rw = firstRow; rw <= lastRow; ++rw)
            cells_[col * rows_ + rw].push_back(entry);
}

void CircleGrid::addLarge(const Entry& entry) {
    if (largeAt_.size() <= entry.slot) largeAt_.resize(entry.slot + std::size_t{1}, kNotLarge);
    largeAt_[entry.slot] = static_cast<std::uint32_t>(large_.size());
    large_.push_back(entry);
}

void CircleGrid::remove(std::uint32_t slot) {
    if (slot >= largeAt_.size() || largeAt_[slot] == kNotLarge) return;
    const std::uint32_t at = largeAt_[slot];
    largeAt_[slot] = kNotLarge;
    if (at + std::size_t{1} != large_.size()) {
        large_[at] = large_.back();
        largeAt_[large_[at].slot] = at;
    }
    large_.pop_back();
}

} // namespace vog::surface
