// The working state of the sweep triangulation: the triangles that later
// points may still break, with their circles. Corners are numbers into the
// vertex table (the points, then the three corners of the enclosing
// triangle). The triangles are kept in the order they were made, which is the
// order of the working list of the plain sweep. When the points come in
// ascending x, a triangle waits for its retirement in a list at the first
// point whose x passes xc + radius, and the triangles whose circles hold the
// point are found through the front rows; otherwise a heap keyed by
// xc + radius gives the retirements and the circle grid the cavity. Either
// way the triangles found are taken in the order they were made, and the
// results are those of walking the whole working list for every point.
#pragma once

#include "geometry/circumcircle.h"
#include "geometry/edge_toggle.h"
#include "geometry/geometry.h"
#include "surface/sweep/circle_grid.h"
#include "surface/sweep/front_rows.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace vog::surface {

using CornerNumbers = std::array<std::uint32_t, 3>;

// Whether the first count vertices all lie on one straight line, in the
// geometry of the exact decisions. Their triangulation inside the enclosing
// triangle then has a corner of it in every triangle: nothing is left.
bool allOnOneLine(const std::vector<Point3>& vertices, std::size_t count);

class SweepFront {
  public:
    // vertices: the points then the three corners of the enclosing triangle;
    // keys: equal numbers exactly for vertices with equal coordinates.
    // ascendingX: the points come in ascending x, so the grid may forget
    // what lies left of them. limit: the most triangles the working list
    // may hold.
    SweepFront(const std::vector<Point3>& vertices, const std::vector<std::uint32_t>& keys,
               std::size_t pointCount, bool ascendingX, std::size_t limit);

    // Inserts point number p: retires the triangles left of it to the
    // completed list, replaces those whose circle holds it strictly by the
    // fan from p over the cavity outline. False when the fan would pass the
    // limit (the triangulation cannot go on then).
    [[nodiscard]] bool insert(std::uint32_t p);

    // The number of completed triangles not yet taken.
    std::size_t completedCount() const { return completed_.size(); }

    // Takes the completed triangles, in retirement order, into the empty
    // vector given; they are no longer kept.
    void takeCompleted(std::vector<CornerNumbers>& into) { std::swap(completed_, into); }

    // The completed triangles not yet taken, in retirement order, then the
    // working ones in the order they were made. Ends the triangulation.
    std::vector<CornerNumbers> finish();

    // The insertions whose literal decision would have broken the
    // triangulation and were decided exactly instead, and those of them for
    // which no exact cavity could be found among the working triangles (the
    // literal decision then stands).
    std::size_t exactDecisions() const { return exactDecisions_; }
    std::size_t unresolvedDecisions() const { return unresolved_; }

    // The exact decisions are made for the numbers the triangle file holds,
    // the points on the lattice of millionths (the six decimals of every
    // record), when every point fits it; else for the doubles as they are.
    static bool fitsLattice(const std::vector<Point3>& vertices, std::size_t count);

  private:
    // A working triangle, kept small: the sweep comes back to the slots
    // along the front once a column of points, and they should still be in
    // the cache then.
    struct Slot {
        double key;         // xc + radius of its circle
        std::uint64_t made; // order of making; kFree when the slot is free
        CornerNumbers corners;
        // Points in ascending x: the list the triangle waits in (kNone when
        // it is in none) and its neighbours there.
        std::uint32_t waitList;
        std::uint32_t prevWaiting;
        std::uint32_t nextWaiting;
    };
    struct Pending {
        double key; // xc + radius
        std::uint64_t made;
        std::uint32_t slot;
    };
    struct Found {
        std::uint64_t made;
        std::uint32_t slot;
    };
    static constexpr std::uint64_t kFree = ~std::uint64_t{0};
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};

    bool add(const CornerNumbers& corners, double sweepX);
    void scheduleRetirement(double key, std::uint64_t made, std::uint32_t slot);
    std::uint32_t retirementPoint(double key) const;
    void openBucket(std::uint32_t bucket);
    void wait(std::uint32_t slot, std::uint32_t list);
    void stopWaiting(std::uint32_t slot);
    void collectRetiring(std::uint32_t p);
    void release(std::uint32_t slot);
    void outlineOfFound();
    bool literalStepIsValid(std::uint32_t p) const;
    bool exactCavity(std::uint32_t p);
    bool growExactCavity(std::uint32_t p);
    Point3 exactPoint(std::uint32_t vertex) const;
    int turn(std::uint32_t a, std::uint32_t b, std::uint32_t c) const;
    int inCircle(const CornerNumbers& corners, std::uint32_t p) const;
    void takeCandidate(std::uint32_t slot);

    const std::vector<Point3>& vertices_;
    const std::vector<std::uint32_t>& keys_;
    // Whether every point is its own key (as when the points are all
    // different): then only the corners' keys are read from the table.
    bool ownKeys_;
    std::uint32_t keyOf(std::uint32_t vertex) const {
        return ownKeys_ && vertex < pointCount_ ? vertex : keys_[vertex];
    }
    bool ascending_;
    std::size_t limit_;
    std::optional<CircleGrid> grid_; // points in any order
    std::optional<FrontRows> rows_;  // points in ascending x
    double lastX_;                   // the largest x of the points
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> stamps_; // the search that last met the slot
    std::vector<Circle> circles_;       // points in any order: by slot
    std::vector<std::uint32_t> freeSlots_;
    std::vector<Pending> heap_; // points in any order: the retirements to come
    // Points in ascending x: the triangles wait for their retirement in
    // lists, one per point (at the first point to come whose x passes the
    // key) and after those one per bucket of x. A triangle whose key lies in
    // a bucket that no point has reached waits in the bucket's list; when
    // the sweep reaches the bucket, its triangles move to their points'
    // lists. Most triangles break before that. Each entry is the first
    // triangle of its list.
    std::vector<std::uint32_t> waiting_;
    geometry::PlanAxis xBuckets_;
    geometry::PlanAxis pointCells_;        // finer, for the retirement points
    std::vector<std::uint32_t> cellStart_; // the first point in each cell or after it
    std::uint32_t opened_ = 0;             // buckets whose triangles have moved on
    std::size_t pointCount_;
    std::uint32_t next_ = 0; // the point inserted next
    std::vector<Found> found_;
    std::vector<CornerNumbers> completed_;
    EdgeOutline outline_;
    std::uint64_t made_ = 0;
    std::uint32_t search_ = 0;
    std::size_t working_ = 0;
    // The exact decisions: the working triangles looked at, marked by the
    // decision that last took them, and those of the cavity.
    bool lattice_;
    std::vector<std::uint32_t> candidates_;
    std::vector<std::uint32_t> candidateMark_;
    std::vector<std::uint32_t> cavityMark_;
    std::uint32_t decision_ = 0;
    std::size_t exactDecisions_ = 0;
    std::size_t unresolved_ = 0;
};

} // namespace vog::surface
