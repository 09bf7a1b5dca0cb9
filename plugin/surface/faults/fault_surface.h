// The surface that fault lines work on: the triangles in surface order, with a
// grid of cells over their edges, so that a fault looks only at the triangles
// near its ends and along its course instead of scanning them all.
//
// Triangles taken out are only marked, and triangles put in go to the end, so
// the order of the surface is that of a list from which removals close up and
// to which additions append. The grid only ever narrows a search: every
// triangle with a corner or an edge point within the searched region is among
// those found, and the caller decides on each with its own exact test.
#pragma once

#include "geometry/geometry.h"
#include "geometry/plan_grid.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vog::surface {

class FaultSurface {
  public:
    using Id = std::uint32_t;

    explicit FaultSurface(std::vector<Triangle> triangles);

    // The number of triangles on the surface.
    std::size_t size() const { return live_; }
    const Triangle& triangle(Id id) const { return slots_[id]; }

    // The triangles, in surface order, that may have a corner or an edge
    // point within reach of p in x and in y; ids is replaced.
    void near(const Point3& p, double reach, std::vector<Id>& ids);
    // The triangles, in surface order, that may have a corner or an edge
    // point within a few millionths of the segment a-b; ids is replaced.
    void along(const Point3& a, const Point3& b, std::vector<Id>& ids);

    void remove(Id id);
    void append(const Triangle& triangle);

    // Everything removed and appended after beginUndo is put back as it was
    // by undo; endUndo keeps it.
    void beginUndo();
    void undo();
    void endUndo();

    // Renumbers the triangles without the removed ones when they are the
    // majority (ids change). Not while an undo is open.
    void compactIfSparse();

    // The triangles in surface order.
    template <class Visit> void forEach(Visit visit) const {
        for (std::size_t i = 0; i < slots_.size(); ++i)
            if (alive_[i]) visit(slots_[i]);
    }
    std::vector<Triangle> triangles() const;

  private:
    struct CellRange {
        std::size_t x0, y0, x1, y1;
    };

    void buildGrid();
    std::size_t cellX(double x) const;
    std::size_t cellY(double y) const;
    CellRange cellsOfBox(double minX, double minY, double maxX, double maxY) const;
    // The cells met by the segment a-b widened by margin, as ranges; false
    // when the segment is too long to follow cell by cell.
    bool cellsAlong(const Point3& a, const Point3& b, double margin,
                    std::vector<CellRange>& ranges) const;
    void cellsOfTriangle(const Triangle& t, std::vector<std::size_t>& cells);
    void enter(Id id);
    void collect(const std::vector<CellRange>& ranges, std::vector<Id>& ids);
    double guard(double magnitude) const;

    std::vector<Triangle> slots_;
    std::vector<std::uint8_t> alive_;
    std::size_t live_ = 0;

    // The grid: square cells from the lowest corner, each listing the
    // triangles whose edges pass through it, in id order.
    double magnitude_ = 0; // the largest coordinate in plan, for rounding guards
    geometry::PlanAxis columns_;
    geometry::PlanAxis rows_;
    std::vector<std::vector<Id>> cells_;

    // Scratch of the searches: the search each triangle was last found in.
    std::vector<std::uint32_t> seen_;
    std::uint32_t search_ = 0;
    std::vector<CellRange> ranges_;
    std::vector<CellRange> triangleRanges_;
    std::vector<std::size_t> cellScratch_;

    bool undoing_ = false;
    std::size_t undoBase_ = 0;
    std::vector<Id> undoRemoved_;
};

} // namespace vog::surface
