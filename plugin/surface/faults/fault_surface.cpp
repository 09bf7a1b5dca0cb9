#include "surface/faults/fault_surface.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace vog::surface {

namespace {

// Removed triangles below this many are never worth a renumbering.
constexpr std::size_t kCompactMinimum = 1024;

// Triangles whose box spans at most this many cells are entered in all of
// them.
constexpr std::size_t kBoxCells = 16;

double planMagnitude(const Point3& p) {
    return std::max(std::fabs(p.x), std::fabs(p.y));
}

} // namespace

FaultSurface::FaultSurface(std::vector<Triangle> triangles)
    : slots_(std::move(triangles)), alive_(slots_.size(), 1), live_(slots_.size()) {
    buildGrid();
}

// The cells of a point between two others lie between theirs (plan_grid.h):
// a triangle entered in the cells of its edges is met by every search whose
// region holds a point of an edge.
std::size_t FaultSurface::cellX(double x) const {
    return geometry::cellOf(columns_, x);
}

std::size_t FaultSurface::cellY(double y) const {
    return geometry::cellOf(rows_, y);
}

FaultSurface::CellRange FaultSurface::cellsOfBox(double minX, double minY, double maxX,
                                                 double maxY) const {
    return {cellX(minX), cellY(minY), cellX(maxX), cellY(maxY)};
}

bool FaultSurface::cellsAlong(const Point3& a, const Point3& b, double margin,
                              std::vector<CellRange>& ranges) const {
    // Pieces of at most one cell along the segment's longer extent; each
    // piece's box, widened by the margin, gives a block of cells.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double pieces = std::max(std::fabs(dx), std::fabs(dy)) * columns_.perUnit;
    const double limit = 4.0 * static_cast<double>(columns_.count + rows_.count) + 16;
    if (!(pieces <= limit)) return false;
    const std::size_t count = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(pieces)));
    double px = a.x;
    double py = a.y;
    for (std::size_t k = 1; k <= count; ++k) {
        double cx = b.x;
        double cy = b.y;
        if (k < count) {
            const double t = static_cast<double>(k) / static_cast<double>(count);
            cx = a.x + dx * t;
            cy = a.y + dy * t;
        }
        ranges.push_back(cellsOfBox(std::min(px, cx) - margin, std::min(py, cy) - margin,
                                    std::max(px, cx) + margin, std::max(py, cy) + margin));
        px = cx;
        py = cy;
    }
    return true;
}

void FaultSurface::cellsOfTriangle(const Triangle& t, std::vector<std::size_t>& cells) {
    cells.clear();
    // A small triangle goes into every cell of its box, a large one only
    // into those its edges pass through.
    const auto& c = t.corners;
    const CellRange box =
        cellsOfBox(std::min({c[0].x, c[1].x, c[2].x}), std::min({c[0].y, c[1].y, c[2].y}),
                   std::max({c[0].x, c[1].x, c[2].x}), std::max({c[0].y, c[1].y, c[2].y}));
    if ((box.x1 - box.x0 + 1) * (box.y1 - box.y0 + 1) <= kBoxCells) {
        for (std::size_t y = box.y0; y <= box.y1; ++y)
            for (std::size_t x = box.x0; x <= box.x1; ++x)
                cells.push_back(y * columns_.count + x);
        return;
    }
    std::vector<CellRange>& ranges = triangleRanges_;
    ranges.clear();
    for (int k = 0; k < 3; ++k) {
        const Point3& a = t.corners[k];
        const Point3& b = t.corners[(k + 1) % 3];
        if (!cellsAlong(a, b, 0, ranges))
            ranges.push_back(cellsOfBox(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                                        std::max(a.y, b.y)));
    }
    for (const CellRange& r : ranges)
        for (std::size_t y = r.y0; y <= r.y1; ++y)
            for (std::size_t x = r.x0; x <= r.x1; ++x)
                cells.push_back(y * columns_.count + x);
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
}

void FaultSurface::buildGrid() {
    double minX = std::numeric_limits<double>::infinity();
    double minY = minX;
    double maxX = -minX;
    double maxY = -minX;
    for (const Triangle& t : slots_) {
        for (const Point3& c : t.corners) {
            minX = std::min(minX, c.x);
            minY = std::min(minY, c.y);
            maxX = std::max(maxX, c.x);
            maxY = std::max(maxY, c.y);
        }
    }
    columns_ = rows_ = geometry::PlanAxis{};
    magnitude_ = 0;
    if (!slots_.empty()) {
        columns_.origin = minX;
        rows_.origin = minY;
        magnitude_ = std::max({std::fabs(minX), std::fabs(minY), std::fabs(maxX), std::fabs(maxY)});
        // About one cell per triangle, square cells.
        const double width = maxX - minX;
        const double height = maxY - minY;
        const double target = static_cast<double>(slots_.size());
        double size = width > 0 && height > 0 ? std::sqrt(width) * std::sqrt(height / target)
                                              : std::max(width, height) / target;
        if (size > 0 && std::isfinite(size) && std::isfinite(width) && std::isfinite(height)) {
            for (;;) {
                const double columns = std::floor(width / size) + 1;
                const double rows = std::floor(height / size) + 1;
                if (columns * rows <= 2 * target + 16 && columns <= 1 << 24 && rows <= 1 << 24) {
                    columns_.count = static_cast<std::size_t>(columns);
                    rows_.count = static_cast<std::size_t>(rows);
                    break;
                }
                size *= 1.25;
            }
            columns_.perUnit = rows_.perUnit = 1 / size;
        }
    }

    // Each triangle in the cells its edges pass through, in id order.
    const std::size_t cellCount = columns_.count * rows_.count;
    cells_.assign(cellCount, {});
    std::vector<std::uint32_t> counts(cellCount, 0);
    std::vector<std::pair<std::uint32_t, Id>> entries;
    entries.reserve(slots_.size() * 6);
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!alive_[i]) continue;
        cellsOfTriangle(slots_[i], cellScratch_);
        for (std::size_t cell : cellScratch_) {
            entries.push_back({static_cast<std::uint32_t>(cell), static_cast<Id>(i)});
            ++counts[cell];
        }
    }
    for (std::size_t cell = 0; cell < cellCount; ++cell)
        cells_[cell].reserve(counts[cell]);
    for (const auto& [cell, id] : entries)
        cells_[cell].push_back(id);

    seen_.assign(slots_.size(), 0);
    search_ = 0;
}

double FaultSurface::guard(double magnitude) const {
    // Several millionths: the plan tests round coordinates to millionths;
    // and far more than the rounding of the pieces' ends.
    return 1e-5 + 1e-12 * (magnitude_ + magnitude);
}

void FaultSurface::collect(const std::vector<CellRange>& ranges, std::vector<Id>& ids) {
    ids.clear();
    if (++search_ == 0) {
        std::fill(seen_.begin(), seen_.end(), 0);
        search_ = 1;
    }
    for (const CellRange& r : ranges) {
        for (std::size_t y = r.y0; y <= r.y1; ++y) {
            for (std::size_t x = r.x0; x <= r.x1; ++x) {
                for (Id id : cells_[y * columns_.count + x]) {
                    if (alive_[id] && seen_[id] != search_) {
                        seen_[id] = search_;
                        ids.push_back(id);
                    }
                }
            }
        }
    }
    std::sort(ids.begin(), ids.end());
}

void FaultSurface::near(const Point3& p, double reach, std::vector<Id>& ids) {
    const double m = reach * (1 + 1e-9) + guard(planMagnitude(p));
    ranges_.clear();
    ranges_.push_back(cellsOfBox(p.x - m, p.y - m, p.x + m, p.y + m));
    collect(ranges_, ids);
}

void FaultSurface::along(const Point3& a, const Point3& b, std::vector<Id>& ids) {
    const double m = guard(std::max(planMagnitude(a), planMagnitude(b)));
    ranges_.clear();
    if (!cellsAlong(a, b, m, ranges_)) {
        ranges_.clear();
        ranges_.push_back(cellsOfBox(std::min(a.x, b.x) - m, std::min(a.y, b.y) - m,
                                     std::max(a.x, b.x) + m, std::max(a.y, b.y) + m));
    }
    collect(ranges_, ids);
}

void FaultSurface::remove(Id id) {
    if (!alive_[id]) return;
    alive_[id] = 0;
    --live_;
    if (undoing_) undoRemoved_.push_back(id);
}

void FaultSurface::enter(Id id) {
    cellsOfTriangle(slots_[id], cellScratch_);
    for (std::size_t cell : cellScratch_)
        cells_[cell].push_back(id);
}

void FaultSurface::append(const Triangle& triangle) {
    slots_.push_back(triangle);
    alive_.push_back(1);
    seen_.push_back(0);
    ++live_;
    enter(static_cast<Id>(slots_.size() - 1));
}

void FaultSurface::beginUndo() {
    undoing_ = true;
    undoBase_ = slots_.size();
    undoRemoved_.clear();
}

void FaultSurface::undo() {
    for (Id id : undoRemoved_) {
        alive_[id] = 1;
        ++live_;
    }
    // What was appended stays in its slots, removed.
    for (std::size_t i = undoBase_; i < slots_.size(); ++i) {
        if (alive_[i]) {
            alive_[i] = 0;
            --live_;
        }
    }
    endUndo();
}

void FaultSurface::endUndo() {
    undoing_ = false;
    undoRemoved_.clear();
}

void FaultSurface::compactIfSparse() {
    const std::size_t removed = slots_.size() - live_;
    if (undoing_ || removed <= live_ || removed < kCompactMinimum) return;
    std::vector<Triangle> kept;
    kept.reserve(live_);
    forEach([&](const Triangle& t) { kept.push_back(t); });
    slots_ = std::move(kept);
    alive_.assign(slots_.size(), 1);
    live_ = slots_.size();
    buildGrid();
}

std::vector<Triangle> FaultSurface::triangles() const {
    std::vector<Triangle> out;
    out.reserve(live_);
    forEach([&](const Triangle& t) { out.push_back(t); });
    return out;
}

} // namespace vog::surface
