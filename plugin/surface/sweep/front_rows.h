// The spatial filter of the in-circle search when the points come in
// ascending x. Every point then lies right of the ones before it, so a
// triangle's circle only matters right of the sweep, and the triangles that
// are still working lie along the sweep: their number stays near that of the
// points across it. They are indexed by y alone, in rows at a few levels:
// level 0 has rows about one point spacing high, each level above has rows
// four times as high, and the top level is one row. A circle goes to the
// lowest level at which the part of it right of the sweep reaches over at
// most kMostRows rows, and into each of those rows. A search reads the
// point's row at every level. Triangles leave when they go, so the rows hold
// only working ones and each of them at most once.
#pragma once

#include "geometry/circumcircle.h"
#include "geometry/plan_grid.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vog::surface {

class FrontRows {
  public:
    // Rows for about pointCount points in the box (minX, minY)-(maxX, maxY).
    FrontRows(double minX, double minY, double maxX, double maxY, std::size_t pointCount);

    // Enters the circle of the triangle in the slot. fromX: no point to come
    // lies left of it. A circle that cannot hold a point to come (none of it
    // lies over the box right of fromX, a centre that is not finite, a
    // radius that is not a number) is not entered.
    void add(const Circle& circle, std::uint32_t slot, double fromX);

    // Takes the slot's triangle out, when it is in.
    void remove(std::uint32_t slot);

    // Calls visit(slot) for every entered triangle whose circle holds (x, y)
    // by the in-circle test, each once.
    template <class Visit> void search(double x, double y, Visit visit) const {
        const std::uint32_t rw = geometry::cellOf(rows_, y);
        for (const Level& level : levels_) {
            const std::vector<Entry>& row = level.rows[rw >> level.shift];
            if (held_.size() < row.size()) held_.resize(row.size());
            // The slots of the circles that hold the point, gathered without
            // a branch on the test: few of a row's circles hold it, and
            // which ones cannot be foreseen.
            std::uint32_t* held = held_.data();
            std::size_t count = 0;
            for (const Entry& e : row) {
                held[count] = e.slot;
                count += squaredDistanceToCentre(e.xc, e.yc, x, y) <= e.within;
            }
            for (std::size_t i = 0; i < count; ++i)
                visit(held[i]);
        }
    }

    // Calls visit(slot) for every entered triangle whose circle, widened by
    // a millionth of its radius, holds (x, y); a slot may come more than
    // once. The candidates of an exact decision.
    template <class Visit> void searchNear(double x, double y, Visit visit) const {
        const std::uint32_t rw = geometry::cellOf(rows_, y);
        for (const Level& level : levels_)
            for (const Entry& e : level.rows[rw >> level.shift])
                if (squaredDistanceToCentre(e.xc, e.yc, x, y) <= e.within * (1 + 4e-6) + slack_)
                    visit(e.slot);
    }

    // The rows of level 0, for checks at their edges.
    const geometry::PlanAxis& levelZeroRows() const { return rows_; }

  private:
    static constexpr std::uint32_t kMostRows = 3;
    static constexpr std::uint32_t kNotIn = ~std::uint32_t{0};

    struct Entry {
        double xc;
        double yc;
        double within; // the in-circle test as a bound on the square
        std::uint32_t slot;
    };
    std::uint32_t levelFor(std::uint32_t first, std::uint32_t last) const;

    struct Level {
        unsigned shift; // a row of this level is 2^shift rows of level 0
        std::vector<std::vector<Entry>> rows;
    };
    // Where a slot's triangle sits: its level (kNotIn when it is not in),
    // its first row there and its place in each of its rows.
    struct Place {
        std::uint32_t level = kNotIn;
        std::uint32_t firstRow = 0;
        std::uint32_t rowCount = 0;
        std::uint32_t at[kMostRows] = {};
    };

    double minY_;
    double maxX_;
    double maxY_;
    double slack_;            // absolute widening, from the size of the coordinates
    geometry::PlanAxis rows_; // the rows of level 0
    std::vector<Level> levels_;
    std::vector<Place> places_;               // by slot
    mutable std::vector<std::uint32_t> held_; // a search's gathered slots
};

} // namespace vog::surface
