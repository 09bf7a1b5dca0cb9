// The spatial filter of the triangulation's in-circle search for points that
// come in any order. Small circles are entered in the cells of a grid over
// the box of the points (about two points per cell) that their bounding box,
// widened a little, touches; large ones go to a list that every search reads.
// Each entry carries a copy of the circle, so that most entries are passed
// over without looking at the triangle: a point whose distance from the
// centre in x or in y, as the in-circle test computes it, is not below the
// radius fails that test. Lists may hold triangles that have gone since; the
// caller checks each entry it is given.
#pragma once

#include "geometry/circumcircle.h"
#include "geometry/plan_grid.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vog::surface {

class CircleGrid {
  public:
    struct Entry {
        double xc;
        double yc;
        double radius;
        std::uint32_t slot; // the triangle's slot
        std::uint32_t tag;  // of the triangle that held the slot when entered
    };

    // A grid for about pointCount points in the box (minX, minY)-(maxX, maxY).
    CircleGrid(double minX, double minY, double maxX, double maxY, std::size_t pointCount);

    // Enters a circle. A circle whose in-circle test can never hold (a
    // centre that is not finite, a radius that is not a number) is not
    // entered at all.
    void add(const Circle& circle, std::uint32_t slot, std::uint32_t tag);

    // Calls visit(entry) for every entry of the point's cell and of the large
    // list that may pass the in-circle test of (x, y). Entries that keep()
    // rejects are dropped for good when met; the large list
    // is kept free of them by remove().
    template <class Keep, class Visit> void search(double x, double y, Keep keep, Visit visit) {
        const std::size_t col = column(x), rw = row(y);
        scan(cells_[col * rows_ + rw], x, y, keep, visit);
        scan(coarse_[(col >> kCoarseShift) * coarseRows_ + (rw >> kCoarseShift)], x, y, keep,
             visit);
        // The large list holds only live triangles; most of its circles
        // reach over the point's box, so the test itself is the filter.
        for (const Entry& e : large_)
            if (distanceToCentre({e.xc, e.yc, e.radius}, {x, y, 0}) < e.radius) visit(e);
    }

    // Takes the slot's triangle out of the large list, when it is there: it
    // has gone. Entries in the cells are dropped when met.
    void remove(std::uint32_t slot);

  private:
    // Cells of the coarse grid are 2^kCoarseShift cells wide and high.
    static constexpr unsigned kCoarseShift = 3;

    template <class Keep, class Visit>
    static void scan(std::vector<Entry>& list, double x, double y, Keep keep, Visit visit) {
        for (std::size_t i = 0; i < list.size();) {
            const Entry& e = list[i];
            if (!(std::fabs(y - e.yc) < e.radius && std::fabs(x - e.xc) < e.radius)) {
                ++i;
                continue;
            }
            if (!keep(e)) {
                list[i] = list.back();
                list.pop_back();
                continue;
            }
            visit(e);
            ++i;
        }
    }

    std::size_t column(double x) const;
    std::size_t row(double y) const;

    double minX_;
    double minY_;
    double maxX_;
    double maxY_;
    geometry::PlanAxis columnAxis_; // the cells of a point's x and y (columns_, rows_)
    geometry::PlanAxis rowAxis_;
    double slack_; // absolute widening, from the size of the coordinates
    std::size_t columns_;
    std::size_t rows_;
    std::vector<std::vector<Entry>> cells_; // column by column
    std::size_t coarseRows_;
    std::vector<std::vector<Entry>> coarse_; // for circles too large for the cells
    std::vector<Entry> large_;
    std::vector<std::uint32_t> largeAt_; // by slot: the place in large_, or kNotLarge
    static constexpr std::uint32_t kNotLarge = ~std::uint32_t{0};

    void addLarge(const Entry& entry);
};

} // namespace vog::surface
