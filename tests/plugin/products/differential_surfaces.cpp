#include "plugin/products/differential_surfaces.h"

#include <cmath>

namespace vogtest {

using vog::surface::Point3;

namespace {

double snapped(std::mt19937& rng, double step, int range) {
    std::uniform_int_distribution<int> pick(0, range);
    return pick(rng) * step;
}

// The corner positions of a (cols + 1) x (rows + 1) lattice.
std::vector<Point3> lattice(const SurfaceSpec& spec, std::mt19937& rng) {
    std::vector<Point3> points;
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    std::uniform_real_distribution<double> height(0, 10);
    for (int j = 0; j <= spec.rows; ++j) {
        for (int i = 0; i <= spec.cols; ++i) {
            Point3 p{static_cast<double>(i), static_cast<double>(j), snapped(rng, 1, 6)};
            switch (spec.kind) {
            case SurfaceKind::Jittered:
                if (i > 0 && i < spec.cols) p.x += jitter(rng);
                if (j > 0 && j < spec.rows) p.y += jitter(rng);
                p.z = height(rng);
                break;
            case SurfaceKind::Clustered:
                p.x = std::pow(static_cast<double>(i) / spec.cols, 3) * spec.cols * 4;
                p.y = std::pow(static_cast<double>(j) / spec.rows, 2) * spec.rows * 2;
                p.z = snapped(rng, 0.5, 12);
                break;
            default:
                break;
            }
            points.push_back(p);
        }
    }
    return points;
}

} // namespace

std::vector<Triangle> makeSurface(const SurfaceSpec& spec) {
    std::mt19937 rng(spec.seed);
    std::vector<Point3> points = lattice(spec, rng);
    auto at = [&](int i, int j) {
        return points[static_cast<std::size_t>(j * (spec.cols + 1) + i)];
    };
    std::bernoulli_distribution coin(0.5);
    std::vector<Triangle> triangles;
    for (int j = 0; j < spec.rows; ++j) {
        for (int i = 0; i < spec.cols; ++i) {
            Point3 a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            // Clockwise in plan: up the left side first.
            if (coin(rng)) {
                triangles.push_back({{a, d, c}});
                triangles.push_back({{a, c, b}});
            } else {
                triangles.push_back({{a, d, b}});
                triangles.push_back({{d, c, b}});
            }
        }
    }
    if (spec.kind == SurfaceKind::Holes) {
        // Two round holes: triangles with their centre inside are dropped.
        const double cx1 = spec.cols * 0.3, cy1 = spec.rows * 0.4, r1 = spec.rows * 0.2 + 0.5;
        const double cx2 = spec.cols * 0.7, cy2 = spec.rows * 0.6, r2 = spec.rows * 0.15 + 0.5;
        std::erase_if(triangles, [&](const Triangle& t) {
            double x = (t.corners[0].x + t.corners[1].x + t.corners[2].x) / 3;
            double y = (t.corners[0].y + t.corners[1].y + t.corners[2].y) / 3;
            return std::hypot(x - cx1, y - cy1) < r1 || std::hypot(x - cx2, y - cy2) < r2;
        });
    }
    if (spec.kind == SurfaceKind::Duplicates) {
        std::vector<Triangle> repeated;
        std::uniform_int_distribution<int> copies(0, 2);
        for (const Triangle& t : triangles) {
            repeated.push_back(t);
            int n = copies(rng);
            for (int k = 0; k < n; ++k) {
                Triangle copy = t;
                if (k == 1) std::swap(copy.corners[1], copy.corners[2]);
                // A copy with other heights makes first and last differ.
                if (coin(rng)) copy.corners[0].z += 1;
                repeated.push_back(copy);
            }
        }
        triangles = std::move(repeated);
    }
    return triangles;
}

std::vector<Triangle> makeSoup(int count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coordinate(0, 16);
    std::uniform_int_distribution<int> height(0, 8);
    std::uniform_int_distribution<int> kind(0, 9);
    std::vector<Triangle> triangles;
    auto point = [&] {
        return Point3{coordinate(rng) * 0.5, coordinate(rng) * 0.5, height(rng) * 0.5};
    };
    for (int n = 0; n < count; ++n) {
        Triangle t{{point(), point(), point()}};
        int k = kind(rng);
        if (k == 0 && !triangles.empty()) {
            // Shares an edge with an earlier triangle.
            std::uniform_int_distribution<std::size_t> earlier(0, triangles.size() - 1);
            const Triangle& e = triangles[earlier(rng)];
            t.corners[0] = e.corners[1];
            t.corners[1] = e.corners[0];
        } else if (k == 1) {
            // Collinear corners.
            t.corners[2] = {2 * t.corners[1].x - t.corners[0].x,
                            2 * t.corners[1].y - t.corners[0].y, t.corners[2].z};
        }
        triangles.push_back(t);
    }
    return triangles;
}

std::vector<SurfaceKind> allSurfaceKinds() {
    return {SurfaceKind::Gridded, SurfaceKind::Jittered, SurfaceKind::Clustered, SurfaceKind::Holes,
            SurfaceKind::Duplicates};
}

std::string kindName(SurfaceKind kind) {
    switch (kind) {
    case SurfaceKind::Gridded:
        return "gridded";
    case SurfaceKind::Jittered:
        return "jittered";
    case SurfaceKind::Clustered:
        return "clustered";
    case SurfaceKind::Holes:
        return "holes";
    case SurfaceKind::Duplicates:
        return "duplicates";
    }
    return "?";
}

} // namespace vogtest
