#include "plugin/surface/surface_validity.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <tuple>

namespace vog::surface::testing {

namespace {

using Wide = __int128;

struct Lattice {
    std::int64_t x;
    std::int64_t y;
    friend auto operator<=>(const Lattice&, const Lattice&) = default;
};

Lattice onLattice(const Point3& p) {
    return {std::llround(p.x * 1e6), std::llround(p.y * 1e6)};
}

// Twice the signed area of a, b, c: positive counter-clockwise.
Wide turn(const Lattice& a, const Lattice& b, const Lattice& c) {
    return Wide(b.x - a.x) * (c.y - a.y) - Wide(b.y - a.y) * (c.x - a.x);
}

Wide hullTwiceArea(std::vector<Lattice> points) {
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3) return 0;
    std::vector<Lattice> hull(2 * points.size());
    std::size_t k = 0;
    for (const Lattice& p : points) {
        while (k >= 2 && turn(hull[k - 2], hull[k - 1], p) <= 0)
            --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && turn(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    Wide area = 0;
    for (std::size_t i = 0; i + 1 < k; ++i)
        area += Wide(hull[i].x) * hull[i + 1].y - Wide(hull[i + 1].x) * hull[i].y;
    return area;
}

struct Corners {
    Lattice c[3];
};

// Interiors of two clockwise triangles meet unless the line of an edge of
// one has the other wholly on its outer side (touching allowed).
bool overlap(const Corners& a, const Corners& b) {
    auto separates = [](const Corners& s, const Corners& t) {
        for (int e = 0; e < 3; ++e) {
            bool outside = true;
            for (const Lattice& q : t.c)
                outside = outside && turn(s.c[e], s.c[(e + 1) % 3], q) >= 0;
            if (outside) return true;
        }
        return false;
    };
    return !separates(a, b) && !separates(b, a);
}

// A grid of cells over the points, each holding the triangles whose boxes
// reach into it.
class CellGrid {
  public:
    CellGrid(const std::vector<Lattice>& points, std::size_t triangles) {
        if (points.empty()) return;
        minX_ = maxX_ = points[0].x;
        minY_ = maxY_ = points[0].y;
        for (const Lattice& p : points) {
            minX_ = std::min(minX_, p.x), maxX_ = std::max(maxX_, p.x);
            minY_ = std::min(minY_, p.y), maxY_ = std::max(maxY_, p.y);
        }
        side_ = std::max<std::int64_t>(1, std::llround(std::sqrt(double(triangles) / 2)));
        cells_.resize(std::size_t(side_ * side_));
    }
    std::int64_t cellX(std::int64_t x) const { return cell(x, minX_, maxX_); }
    std::int64_t cellY(std::int64_t y) const { return cell(y, minY_, maxY_); }
    std::vector<std::size_t>& at(std::int64_t cx, std::int64_t cy) {
        return cells_[std::size_t(cy * side_ + cx)];
    }
    std::int64_t side() const { return side_; }

  private:
    std::int64_t cell(std::int64_t v, std::int64_t low, std::int64_t high) const {
        if (high <= low) return 0;
        const auto c = std::int64_t(double(v - low) / double(high - low) * double(side_));
        return std::clamp<std::int64_t>(c, 0, side_ - 1);
    }
    std::int64_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0, side_ = 1;
    std::vector<std::vector<std::size_t>> cells_;
};

struct Box {
    std::int64_t x0, y0, x1, y1; // cells
};

} // namespace

SurfaceCheck checkSurface(const std::vector<Triangle>& triangles,
                          const std::vector<Point3>& points) {
    SurfaceCheck check;
    std::set<std::tuple<double, double, double>> corners;
    std::vector<Lattice> lattice;
    for (const Point3& p : points) {
        corners.insert({p.x, p.y, p.z});
        lattice.push_back(onLattice(p));
    }
    check.hullArea = static_cast<long double>(hullTwiceArea(lattice)) / 2e12L;

    std::vector<Corners> shapes;
    std::map<std::pair<Lattice, Lattice>, int> edgeUses; // directed edge -> uses
    Wide twiceArea = 0;
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const std::string which = "triangle " + std::to_string(i) + ": ";
        Corners shape;
        for (int k = 0; k < 3; ++k) {
            const Point3& p = triangles[i].corners[k];
            if (!corners.count({p.x, p.y, p.z})) {
                check.fault = which + "a corner is not one of the points";
                return check;
            }
            shape.c[k] = onLattice(p);
        }
        const Wide t = turn(shape.c[0], shape.c[1], shape.c[2]);
        if (t == 0) check.fault = which + "zero area";
        if (t > 0) check.fault = which + "inverted (counter-clockwise)";
        if (!check.fault.empty()) return check;
        twiceArea -= t;
        for (int e = 0; e < 3; ++e) {
            if (++edgeUses[{shape.c[e], shape.c[(e + 1) % 3]}] > 1) {
                check.fault = which + "an edge used twice in the same direction";
                return check;
            }
        }
        shapes.push_back(shape);
    }
    check.area = static_cast<long double>(twiceArea) / 2e12L;
    // An edge used once lies on the outline of the region; at every vertex as
    // many outline edges start as end.
    std::map<Lattice, int> balance;
    for (const auto& [edge, uses] : edgeUses) {
        if (edgeUses.count({edge.second, edge.first})) continue;
        ++balance[edge.first];
        --balance[edge.second];
    }
    for (const auto& [vertex, b] : balance)
        if (b != 0) {
            check.fault = "the outline does not close at a vertex";
            return check;
        }

    CellGrid grid(lattice, triangles.size());
    std::vector<Box> boxes;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const Corners& s = shapes[i];
        Box box{grid.cellX(s.c[0].x), grid.cellY(s.c[0].y), grid.cellX(s.c[0].x),
                grid.cellY(s.c[0].y)};
        for (const Lattice& q : s.c) {
            box.x0 = std::min(box.x0, grid.cellX(q.x)), box.x1 = std::max(box.x1, grid.cellX(q.x));
            box.y0 = std::min(box.y0, grid.cellY(q.y)), box.y1 = std::max(box.y1, grid.cellY(q.y));
        }
        boxes.push_back(box);
        for (std::int64_t cy = box.y0; cy <= box.y1; ++cy)
            for (std::int64_t cx = box.x0; cx <= box.x1; ++cx)
                grid.at(cx, cy).push_back(i);
    }
    for (std::int64_t cy = 0; cy < grid.side(); ++cy)
        for (std::int64_t cx = 0; cx < grid.side(); ++cx) {
            const std::vector<std::size_t>& here = grid.at(cx, cy);
            for (std::size_t m = 0; m < here.size(); ++m)
                for (std::size_t n = m + 1; n < here.size(); ++n) {
                    const Box& a = boxes[here[m]];
                    const Box& b = boxes[here[n]];
                    // Each pair once: in the first cell both reach.
                    if (std::max(a.x0, b.x0) != cx || std::max(a.y0, b.y0) != cy) continue;
                    if (overlap(shapes[here[m]], shapes[here[n]])) {
                        check.fault = "triangles " + std::to_string(here[m]) + " and " +
                                      std::to_string(here[n]) + " overlap";
                        return check;
                    }
                }
        }
    for (std::size_t i = 0; i < lattice.size(); ++i) {
        const Lattice& q = lattice[i];
        for (const std::size_t t : grid.at(grid.cellX(q.x), grid.cellY(q.y))) {
            const Corners& s = shapes[t];
            int zeros = 0;
            bool inside = true;
            for (int e = 0; e < 3; ++e) {
                const Wide side = turn(s.c[e], s.c[(e + 1) % 3], q);
                inside = inside && side <= 0;
                zeros += side == 0;
            }
            if (inside && zeros < 2) {
                check.fault =
                    "point " + std::to_string(i) +
                    (zeros == 0 ? " lies inside triangle " : " lies on an edge of triangle ") +
                    std::to_string(t);
                return check;
            }
        }
    }
    return check;
}

} // namespace vog::surface::testing
