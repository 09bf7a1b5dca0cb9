// The fault step's indexed surface: its searches find every triangle that
// the fault step's exact tests could pick (a corner near a point, a corner
// on a segment, an edge crossing it), in surface order; and removing,
// appending, undoing and renumbering keep the order of a plain list.
#include "geometry/plan_orientation.h"
#include "plugin/surface/surface_test_support.h"
#include "support/generators.h"
#include "surface/faults/fault_surface.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace vog::surface {
namespace {

using Ids = std::vector<FaultSurface::Id>;

class FaultSurfaceTest : public testing::SurfaceFixture {
  protected:
    std::vector<Triangle> surfaceOf(const std::vector<Point3>& points) {
        const auto file = writePointFile(testing::pointLines(points));
        EXPECT_EQ(runPipeline(file), Status::ok);
        return rawTriangles(file);
    }
};

// The triangles on the surface, in order.
std::vector<Triangle> listed(const FaultSurface& surface) {
    return surface.triangles();
}

bool cornerNear(const Triangle& t, const Point3& p, double reach) {
    return std::any_of(t.corners.begin(), t.corners.end(), [&](const Point3& c) {
        return std::fabs(c.x - p.x) <= reach && std::fabs(c.y - p.y) <= reach;
    });
}

bool meetsSegment(const Triangle& t, const Point3& a, const Point3& b) {
    for (int k = 0; k < 3; ++k) {
        const Point3& c = t.corners[k];
        if (pointInsideSegment(c, a, b)) return true;
        if (segmentsCrossInterior(c, t.corners[(k + 1) % 3], a, b)) return true;
    }
    return false;
}

// Every live triangle the exact test picks is found; what is found is
// sorted, once each, live.
void expectCovers(const Ids& found, const std::vector<bool>& picked, const std::string& what) {
    EXPECT_TRUE(std::is_sorted(found.begin(), found.end())) << what;
    EXPECT_TRUE(std::adjacent_find(found.begin(), found.end()) == found.end()) << what;
    for (std::size_t id = 0; id < picked.size(); ++id) {
        if (!picked[id]) continue;
        EXPECT_TRUE(std::binary_search(found.begin(), found.end(), id))
            << what << ": triangle " << id << " not found";
    }
}

TEST_F(FaultSurfaceTest, SearchesFindEveryTriangleTheExactTestsPick) {
    for (const auto& points : {vogtest::scatteredPoints(800, 61), vogtest::clusteredPoints(800, 62),
                               vogtest::gridPoints(30, 25, 63), vogtest::linePoints(400, 64)}) {
        const std::vector<Triangle> tin = surfaceOf(points);
        ASSERT_FALSE(tin.empty());
        FaultSurface surface(tin);
        // Some triangles removed and appended again, so that ids and order
        // differ and removed ones sit in the cells.
        std::vector<bool> live(tin.size(), true);
        for (std::size_t id = 0; id < tin.size(); id += 7) {
            surface.remove(static_cast<FaultSurface::Id>(id));
            live[id] = false;
            if (id % 2 == 0) {
                surface.append(tin[id]);
                live.push_back(true);
            }
        }
        std::vector<Triangle> slots = tin;
        for (std::size_t id = 0; id < tin.size(); id += 14)
            slots.push_back(tin[id]);

        std::mt19937 random(65);
        std::uniform_int_distribution<std::size_t> pick(0, tin.size() - 1);
        std::uniform_real_distribution<double> offset(-0.12, 0.12);
        std::vector<Point3> vertices;
        for (const Triangle& t : tin)
            vertices.push_back(t.corners[pick(random) % 3]);
        Ids found;
        for (int q = 0; q < 300; ++q) {
            // Near a vertex, a little off it, and exactly at it.
            Point3 p = vertices[pick(random) % vertices.size()];
            if (q % 3) {
                p.x += offset(random);
                p.y += offset(random);
            }
            for (double reach : {0.0, 1e-5, 0.1}) {
                surface.near(p, reach, found);
                std::vector<bool> picked(slots.size());
                for (std::size_t id = 0; id < slots.size(); ++id)
                    picked[id] = live[id] && cornerNear(slots[id], p, reach);
                expectCovers(found, picked, "near");
            }
            // Along segments between vertices, from a vertex out of the
            // surface, and of zero length.
            const Point3 a = vertices[pick(random) % vertices.size()];
            Point3 b = vertices[pick(random) % vertices.size()];
            if (q % 5 == 0) b = {a.x + 1e5, a.y - 3e4, 0};
            if (q % 7 == 0) b = a;
            surface.along(a, b, found);
            std::vector<bool> picked(slots.size());
            for (std::size_t id = 0; id < slots.size(); ++id)
                picked[id] = live[id] && meetsSegment(slots[id], a, b);
            expectCovers(found, picked, "along");
            ASSERT_FALSE(HasFailure());
        }
    }
}

TEST_F(FaultSurfaceTest, RemovalsAndAdditionsKeepTheOrderOfAList) {
    const std::vector<Triangle> tin = surfaceOf(vogtest::scatteredPoints(600, 66));
    FaultSurface surface(tin);
    // The model: the triangles by id, and the live ids in order.
    std::vector<Triangle> slots = tin;
    std::vector<std::size_t> order(tin.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    auto expected = [&] {
        std::vector<Triangle> out;
        for (std::size_t id : order)
            out.push_back(slots[id]);
        return out;
    };
    std::mt19937 random(67);
    int renumbered = 0;
    for (int round = 0; round < 80; ++round) {
        // A fault's worth: some triangles out, as many in at the end; every
        // fourth round is undone.
        const bool undone = round % 4 == 3;
        const std::vector<std::size_t> before = order;
        if (undone) surface.beginUndo();
        for (int k = 0; k < 30; ++k) {
            const std::size_t at = random() % order.size();
            surface.remove(static_cast<FaultSurface::Id>(order[at]));
            order.erase(order.begin() + static_cast<std::ptrdiff_t>(at));
            const Triangle t = tin[random() % tin.size()];
            surface.append(t);
            slots.push_back(t);
            order.push_back(slots.size() - 1);
        }
        if (undone) {
            // The undone additions keep their ids, removed.
            surface.undo();
            order = before;
        }
        ASSERT_EQ(surface.size(), order.size()) << round;
        ASSERT_EQ(listed(surface), expected()) << round;

        // Renumbered once the removed ones are the majority and many: ids
        // then run from 0 in order.
        surface.compactIfSparse();
        const std::size_t removed = slots.size() - order.size();
        if (removed > order.size() && removed >= 1024) {
            slots = expected();
            for (std::size_t i = 0; i < order.size(); ++i)
                order[i] = i;
            ++renumbered;
        }
        for (std::size_t i = 0; i < order.size(); i += 97)
            ASSERT_EQ(surface.triangle(static_cast<FaultSurface::Id>(order[i])), slots[order[i]]);
        ASSERT_EQ(listed(surface), expected()) << round;
    }
    EXPECT_GT(renumbered, 0);
    // Removing every triangle leaves an empty surface that searches find
    // nothing in.
    for (std::size_t id : order)
        surface.remove(static_cast<FaultSurface::Id>(id));
    EXPECT_EQ(surface.size(), 0u);
    Ids found;
    surface.near(tin[0].corners[0], 1, found);
    EXPECT_TRUE(found.empty());
}

TEST_F(FaultSurfaceTest, DegenerateSurfacesAreSearchedLikeAList) {
    // No triangles; one triangle; triangles far out and of no width.
    Ids found;
    FaultSurface none({});
    none.near({0, 0, 0}, 1, found);
    EXPECT_TRUE(found.empty());
    none.along({0, 0, 0}, {1, 1, 0}, found);
    EXPECT_TRUE(found.empty());

    const Triangle far{
        {Point3{1e12, 1e12, 0}, Point3{1e12, 1e12 + 1, 0}, Point3{1e12 + 1, 1e12, 0}}};
    const Triangle flat{{Point3{0, 0, 0}, Point3{5, 0, 0}, Point3{10, 0, 0}}};
    const Triangle huge{{Point3{-1e300, 0, 0}, Point3{0, 1e300, 0}, Point3{1e300, 0, 0}}};
    FaultSurface odd({far, flat, huge});
    odd.near({1e12, 1e12, 0}, 0, found);
    EXPECT_NE(std::find(found.begin(), found.end(), 0u), found.end());
    odd.along({5, -1, 0}, {5, 1, 0}, found);
    EXPECT_NE(std::find(found.begin(), found.end(), 1u), found.end());
    odd.along({-1e300, 1, 0}, {1e300, 1, 0}, found);
    EXPECT_NE(std::find(found.begin(), found.end(), 2u), found.end());
    odd.near({0, 1e300, 0}, 0.1, found);
    EXPECT_NE(std::find(found.begin(), found.end(), 2u), found.end());
}

} // namespace
} // namespace vog::surface
