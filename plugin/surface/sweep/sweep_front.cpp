#include "surface/sweep/sweep_front.h"

#include "geometry/exact_predicates.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>

namespace vog::surface {

namespace {

struct Box {
    double minX, minY, maxX, maxY;
};

Box pointBox(const std::vector<Point3>& vertices, std::size_t count) {
    Box box{vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
    for (std::size_t i = 1; i < count; ++i) {
        box.minX = std::min(box.minX, vertices[i].x);
        box.minY = std::min(box.minY, vertices[i].y);
        box.maxX = std::max(box.maxX, vertices[i].x);
        box.maxY = std::max(box.maxY, vertices[i].y);
    }
    return box;
}

// Points in ascending x: about this many points per bucket of x in which
// the triangles wait for their retirement, and at most kMostBuckets
// buckets, so that the first triangles of their lists stay in the cache.
constexpr std::size_t kPointsPerBucket = 32;
constexpr std::size_t kMostBuckets = 32768;
// The finer cells of x that find a triangle's retirement point: about this
// many points per cell, however many the points. A triangle's key mostly
// lies a little ahead of the sweep, so the cells and points read stay few
// and near it.
constexpr std::size_t kPointsPerCell = 4;

// The heap holds the smallest key on top.
struct LaterKey {
    bool operator()(const auto& a, const auto& b) const { return a.key > b.key; }
};

double largestX(const std::vector<Point3>& vertices, std::size_t count) {
    double largest = vertices[0].x;
    for (std::size_t i = 1; i < count; ++i)
        largest = std::max(largest, vertices[i].x);
    return largest;
}

} // namespace

SweepFront::SweepFront(const std::vector<Point3>& vertices, const std::vector<std::uint32_t>& keys,
                       std::size_t pointCount, bool ascendingX, std::size_t limit)
    : vertices_(vertices), keys_(keys), ascending_(ascendingX), limit_(limit),
      lastX_(largestX(vertices, pointCount)), pointCount_(pointCount),
      lattice_(fitsLattice(vertices, pointCount)) {
    const Box box = pointBox(vertices, pointCount);
    ownKeys_ = true;
    for (std::uint32_t i = 0; i < pointCount && ownKeys_; ++i)
        ownKeys_ = keys[i] == i;
    if (ascending_) {
        rows_.emplace(box.minX, box.minY, box.maxX, box.maxY, pointCount);
        xBuckets_ = geometry::planAxisOver(box.minX, box.maxX,
                                           static_cast<std::uint32_t>(std::clamp<std::size_t>(
                                               pointCount / kPointsPerBucket, 1, kMostBuckets)));
        waiting_.assign(xBuckets_.count + pointCount, kNone);
        pointCells_ = geometry::planAxisOver(
            box.minX, box.maxX,
            static_cast<std::uint32_t>(std::max<std::size_t>(pointCount / kPointsPerCell, 1)));
        cellStart_.assign(pointCells_.count + std::size_t{1},
                          static_cast<std::uint32_t>(pointCount));
        std::uint32_t filled = 0;
        for (std::uint32_t i = 0; i < pointCount; ++i)
            for (const std::uint32_t c = geometry::cellOf(pointCells_, vertices[i].x); filled <= c;)
                cellStart_[filled++] = i;
    } else {
        grid_.emplace(box.minX, box.minY, box.maxX, box.maxY, pointCount);
    }
    const auto n = static_cast<std::uint32_t>(pointCount);
    add({n, n + 1, n + 2}, vertices[0].x);
}

bool SweepFront::add(const CornerNumbers& corners, double sweepX) {
    if (working_ >= limit_) return false;
    std::uint32_t slot;
    if (!freeSlots_.empty()) {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        slot = static_cast<std::uint32_t>(slots_.size());
        slots_.push_back({});
        if (!ascending_) {
            stamps_.push_back(0);
            circles_.push_back({});
        }
    }
    Slot& s = slots_[slot];
    s.corners = corners;
    const Circle circle =
        circumcircleOf(vertices_[corners[0]], vertices_[corners[1]], vertices_[corners[2]]);
    s.key = circle.xc + circle.radius;
    s.made = made_++;
    s.waitList = kNone;
    ++working_;
    // A triangle whose circle reaches past the last point, or whose key is
    // not a number, never retires.
    if (s.key < lastX_) scheduleRetirement(s.key, s.made, slot);
    if (ascending_) {
        rows_->add(circle, slot, sweepX);
    } else {
        circles_[slot] = circle;
        grid_->add(circle, slot, static_cast<std::uint32_t>(s.made));
    }
    return true;
}

// Points in ascending x: the first point to come whose x passes the key.
std::uint32_t SweepFront::retirementPoint(double key) const {
    // Every point before the start of the key's cell lies left of the key,
    // and every point from the start of the next cell on lies right of it.
    const std::uint32_t cell = geometry::cellOf(pointCells_, key);
    std::size_t low = std::max<std::size_t>(next_, cellStart_[cell]);
    const std::size_t high = cellStart_[cell + 1];
    if (high > low + 16) {
        // A dense cell.
        const auto first = vertices_.begin() + static_cast<std::ptrdiff_t>(low);
        const auto last = vertices_.begin() + static_cast<std::ptrdiff_t>(high);
        return static_cast<std::uint32_t>(
            std::upper_bound(first, last, key, [](double k, const Point3& v) { return k < v.x; }) -
            vertices_.begin());
    }
    while (low < high && !(vertices_[low].x > key))
        ++low;
    return static_cast<std::uint32_t>(low);
}

void SweepFront::wait(std::uint32_t slot, std::uint32_t list) {
    Slot& s = slots_[slot];
    s.waitList = list;
    s.prevWaiting = kNone;
    s.nextWaiting = waiting_[list];
    if (s.nextWaiting != kNone) slots_[s.nextWaiting].prevWaiting = slot;
    waiting_[list] = slot;
}

void SweepFront::stopWaiting(std::uint32_t slot) {
    Slot& s = slots_[slot];
    if (s.waitList == kNone) return;
    if (s.prevWaiting != kNone)
        slots_[s.prevWaiting].nextWaiting = s.nextWaiting;
    else
        waiting_[s.waitList] = s.nextWaiting;
    if (s.nextWaiting != kNone) slots_[s.nextWaiting].prevWaiting = s.prevWaiting;
    s.waitList = kNone;
}

void SweepFront::scheduleRetirement(double key, std::uint64_t made, std::uint32_t slot) {
    if (!ascending_) {
        heap_.push_back({key, made, slot});
        std::push_heap(heap_.begin(), heap_.end(), LaterKey{});
        return;
    }
    const std::uint32_t bucket = geometry::cellOf(xBuckets_, key);
    if (bucket >= opened_) {
        wait(slot, static_cast<std::uint32_t>(pointCount_) + bucket);
        return;
    }
    const std::uint32_t at = retirementPoint(key);
    if (at < pointCount_) wait(slot, at); // always, for a key left of the last point
}

// Points in ascending x: the triangles waiting in the bucket move to the
// lists of the points at which they retire.
void SweepFront::openBucket(std::uint32_t bucket) {
    const std::uint32_t list = static_cast<std::uint32_t>(pointCount_) + bucket;
    for (std::uint32_t slot = waiting_[list]; slot != kNone;) {
        const std::uint32_t next = slots_[slot].nextWaiting;
        const std::uint32_t at = retirementPoint(slots_[slot].key);
        if (at < pointCount_)
            wait(slot, at);
        else
            slots_[slot].waitList = kNone;
        slot = next;
    }
    waiting_[list] = kNone;
}

// The live triangles that retire at point p, into found_.
void SweepFront::collectRetiring(std::uint32_t p) {
    if (!ascending_) {
        const double x = vertices_[p].x;
        while (!heap_.empty() && x > heap_.front().key) {
            std::pop_heap(heap_.begin(), heap_.end(), LaterKey{});
            const Pending top = heap_.back();
            heap_.pop_back();
            if (slots_[top.slot].made == top.made) found_.push_back({top.made, top.slot});
        }
        return;
    }
    // The list holds only working triangles: they leave it when they go.
    for (std::uint32_t slot = waiting_[p]; slot != kNone; slot = slots_[slot].nextWaiting) {
        slots_[slot].waitList = kNone;
        found_.push_back({slots_[slot].made, slot});
    }
    waiting_[p] = kNone;
}

void SweepFront::release(std::uint32_t slot) {
    Slot& s = slots_[slot];
    if (ascending_) {
        rows_->remove(slot);
        stopWaiting(slot);
    } else {
        grid_->remove(slot);
    }
    s.made = kFree;
    freeSlots_.push_back(slot);
    --working_;
}

bool SweepFront::insert(std::uint32_t p) {
    const Point3& point = vertices_[p];

    // Retire every triangle whose circle ends left of the point, in the
    // order they were made.
    found_.clear();
    if (ascending_) {
        const std::uint32_t reached = geometry::cellOf(xBuckets_, point.x);
        while (opened_ <= reached)
            openBucket(opened_++);
    }
    collectRetiring(p);
    next_ = p + 1;
    if (!found_.empty()) {
        std::sort(found_.begin(), found_.end(),
                  [](const Found& a, const Found& b) { return a.made < b.made; });
        for (const Found& f : found_) {
            completed_.push_back(slots_[f.slot].corners);
            release(f.slot);
        }
    }

    // The cavity: every working triangle whose circle holds the point
    // strictly, in the order they were made.
    found_.clear();
    if (ascending_) {
        rows_->search(point.x, point.y, [&](std::uint32_t slot) {
            found_.push_back({slots_[slot].made, slot});
        });
    } else {
        auto live = [&](const CircleGrid::Entry& e) {
            const Slot& s = slots_[e.slot];
            return s.made != kFree && static_cast<std::uint32_t>(s.made) == e.tag;
        };
        const std::uint32_t search = ++search_;
        grid_->search(point.x, point.y, live, [&](const CircleGrid::Entry& e) {
            if (stamps_[e.slot] == search) return;
            stamps_[e.slot] = search;
            const Circle& circle = circles_[e.slot];
            if (distanceToCentre(circle, point) < circle.radius)
                found_.push_back({slots_[e.slot].made, e.slot});
        });
    }
    std::sort(found_.begin(), found_.end(),
              [](const Found& a, const Found& b) { return a.made < b.made; });
    outlineOfFound();

    // The literal decision stands when its fan is a triangulation of the
    // cavity; otherwise the cavity is found again with exact decisions.
    // Only in ascending x: otherwise the retirements themselves are unsound
    // (a retired triangle may hold a later point) and the literal sweep is
    // kept as it is.
    if (ascending_ && !literalStepIsValid(p)) {
        if (exactCavity(p))
            outlineOfFound();
        else
            ++unresolved_;
    }

    for (const Found& f : found_)
        release(f.slot);

    bool full = false;
    outline_.forEach([&](const EdgeOutline::Edge& edge) {
        if (!full && !add({edge.a, edge.b, p}, point.x)) full = true;
    });
    return !full;
}

namespace {

// Coordinates of millionths below this size are whole numbers held exactly,
// and rounding to them is two additions.
constexpr double kLatticeLimit = 0x1p50;

double onLattice(double value) {
    constexpr double kShift = 0x1.8p52;
    const double shifted = value * 1e6 + kShift;
    return shifted - kShift;
}

} // namespace

bool SweepFront::fitsLattice(const std::vector<Point3>& vertices, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const Point3& v = vertices[i];
        if (!(std::fabs(v.x * 1e6) < kLatticeLimit && std::fabs(v.y * 1e6) < kLatticeLimit))
            return false;
    }
    return true;
}

bool allOnOneLine(const std::vector<Point3>& vertices, std::size_t count) {
    const bool lattice = SweepFront::fitsLattice(vertices, count);
    auto exact = [&](std::size_t i) {
        const Point3& p = vertices[i];
        return lattice ? Point3{onLattice(p.x), onLattice(p.y), 0} : p;
    };
    std::size_t second = 1;
    while (second < count && exact(second).x == exact(0).x && exact(second).y == exact(0).y)
        ++second;
    if (second >= count) return true;
    const Point3 a = exact(0), b = exact(second);
    for (std::size_t i = second + 1; i < count; ++i)
        if (exactOrientation(a, b, exact(i)) != 0) return false;
    return true;
}

Point3 SweepFront::exactPoint(std::uint32_t v) const {
    const Point3& p = vertices_[v];
    if (!lattice_) return p;
    // The enclosing corners are never written: any fixed place in the same
    // units will do, however far out.
    if (v >= pointCount_) return {p.x * 1e6, p.y * 1e6, 0};
    return {onLattice(p.x), onLattice(p.y), 0};
}

int SweepFront::turn(std::uint32_t a, std::uint32_t b, std::uint32_t c) const {
    return exactOrientation(exactPoint(a), exactPoint(b), exactPoint(c));
}

int SweepFront::inCircle(const CornerNumbers& corners, std::uint32_t p) const {
    return exactInCircle(exactPoint(corners[0]), exactPoint(corners[1]), exactPoint(corners[2]),
                         exactPoint(p));
}

// The outline of the triangles found, each edge in the direction it has in
// its triangle, in the order the segment toggle would keep them.
void SweepFront::outlineOfFound() {
    outline_.clear();
    for (const Found& f : found_) {
        const CornerNumbers& c = slots_[f.slot].corners;
        const std::uint32_t k0 = keyOf(c[0]), k1 = keyOf(c[1]), k2 = keyOf(c[2]);
        outline_.toggle(c[0], k0, c[1], k1);
        outline_.toggle(c[1], k1, c[2], k2);
        outline_.toggle(c[2], k2, c[0], k0);
    }
}

// Whether the fan from the point over the outline of the triangles found
// triangulates what they cover, the triangulation so far being valid: every
// new triangle turns clockwise with an area (exactly), and there are two
// triangles fewer than outline edges. The first says the outline winds once
// round the point, every edge seen from it in the same sense, so the cavity
// is a simple polygon holding the point that the fan covers once; the second
// that no corner lies inside it (it would be lost).
bool SweepFront::literalStepIsValid(std::uint32_t p) const {
    if (found_.empty()) return false;
    std::size_t edges = 0;
    bool clockwise = true;
    outline_.forEach([&](const EdgeOutline::Edge& edge) {
        ++edges;
        if (clockwise && turn(edge.a, edge.b, p) >= 0) clockwise = false;
    });
    return clockwise && edges == found_.size() + 2;
}

void SweepFront::takeCandidate(std::uint32_t slot) {
    if (candidateMark_[slot] == decision_) return;
    candidateMark_[slot] = decision_;
    candidates_.push_back(slot);
}

// The cavity of point p by exact decisions, into found_: the triangles the
// literal test found and those whose circles come near the point are the
// candidates; when the point's triangle is not among them, every working
// triangle is. False when none of them holds the point (it lies in a
// retired triangle, or on an edge of one).
bool SweepFront::exactCavity(std::uint32_t p) {
    const Point3& point = vertices_[p];
    ++exactDecisions_;
    if (candidateMark_.size() < slots_.size()) {
        candidateMark_.resize(slots_.size(), 0);
        cavityMark_.resize(slots_.size(), 0);
    }
    ++decision_;
    candidates_.clear();
    for (const Found& f : found_)
        takeCandidate(f.slot);
    rows_->searchNear(point.x, point.y, [&](std::uint32_t slot) { takeCandidate(slot); });
    if (growExactCavity(p)) return true;
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
        if (slots_[slot].made != kFree) takeCandidate(slot);
    return growExactCavity(p);
}

// Grows the cavity from the candidate triangle that holds the point (the two
// when it lies on their common edge) across its outline edges: a neighbour
// joins when its circle holds the point strictly and the two edges it adds
// to the outline are seen clockwise from the point. The cavity stays a
// polygon whose every edge the point sees, with all its corners on the
// outline, so the fan over it is a triangulation of it.
bool SweepFront::growExactCavity(std::uint32_t p) {
    std::unordered_map<std::uint64_t, std::uint32_t> byEdge;
    byEdge.reserve(candidates_.size() * 3);
    auto directed = [&](std::uint32_t a, std::uint32_t b) {
        return std::uint64_t{keyOf(a)} << 32 | keyOf(b);
    };
    std::uint32_t inside = kNone, onEdge = kNone;
    int onEdgeAt = 0;
    for (const std::uint32_t slot : candidates_) {
        const CornerNumbers& c = slots_[slot].corners;
        int zeros = 0, at = 0;
        bool holds = true;
        for (int e = 0; e < 3; ++e) {
            byEdge.emplace(directed(c[e], c[(e + 1) % 3]), slot);
            if (!holds) continue;
            const int side = turn(c[e], c[(e + 1) % 3], p);
            if (side > 0) holds = false;
            if (side == 0) ++zeros, at = e;
        }
        if (!holds || zeros > 1) continue;
        if (zeros == 0 && inside == kNone) inside = slot;
        if (zeros == 1 && onEdge == kNone) onEdge = slot, onEdgeAt = at;
    }

    ++decision_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> open; // outline edges to look across
    std::vector<std::uint32_t> cavity;
    auto join = [&](std::uint32_t slot, int skip) {
        cavityMark_[slot] = decision_;
        cavity.push_back(slot);
        const CornerNumbers& c = slots_[slot].corners;
        for (int e = 0; e < 3; ++e)
            if (e != skip) open.push_back({c[e], c[(e + 1) % 3]});
    };
    if (inside != kNone) {
        join(inside, -1);
    } else if (onEdge != kNone) {
        const CornerNumbers& c = slots_[onEdge].corners;
        const std::uint32_t a = c[onEdgeAt], b = c[(onEdgeAt + 1) % 3];
        const auto other = byEdge.find(directed(b, a));
        if (other == byEdge.end()) return false;
        join(onEdge, onEdgeAt);
        const CornerNumbers& d = slots_[other->second].corners;
        int shared = 0;
        while (keyOf(d[shared]) != keyOf(b))
            ++shared;
        join(other->second, shared);
    } else {
        return false;
    }

    while (!open.empty()) {
        const auto [a, b] = open.back();
        open.pop_back();
        const auto across = byEdge.find(directed(b, a));
        if (across == byEdge.end() || cavityMark_[across->second] == decision_) continue;
        const std::uint32_t slot = across->second;
        const CornerNumbers& c = slots_[slot].corners;
        int entry = 0;
        while (keyOf(c[entry]) != keyOf(b))
            ++entry;
        const std::uint32_t far = c[(entry + 2) % 3];
        // The triangle turns clockwise: a negative sign puts the point inside.
        if (inCircle(c, p) >= 0) continue;
        if (turn(a, far, p) >= 0 || turn(far, b, p) >= 0) continue;
        join(slot, entry);
    }

    found_.clear();
    for (const std::uint32_t slot : cavity)
        found_.push_back({slots_[slot].made, slot});
    std::sort(found_.begin(), found_.end(),
              [](const Found& a, const Found& b) { return a.made < b.made; });
    return true;
}

std::vector<CornerNumbers> SweepFront::finish() {
    found_.clear();
    for (std::uint32_t slot = 0; slot < slots_.size(); ++slot)
        if (slots_[slot].made != kFree) found_.push_back({slots_[slot].made, slot});
    std::sort(found_.begin(), found_.end(),
              [](const Found& a, const Found& b) { return a.made < b.made; });
    std::vector<CornerNumbers> all = std::move(completed_);
    all.reserve(all.size() + found_.size());
    for (const Found& f : found_)
        all.push_back(slots_[f.slot].corners);
    return all;
}

} // namespace vog::surface
