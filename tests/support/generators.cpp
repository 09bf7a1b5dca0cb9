#include "support/generators.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vogtest {

namespace {

// Rounded to a few decimals, as surveyed coordinates are.
double rounded(double value, double step) {
    return std::round(value / step) * step;
}

} // namespace

std::vector<Point3> scatteredPoints(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> x(1000, 1500), y(2000, 2300), z(90, 110);
    std::vector<Point3> points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back(
            {rounded(x(random), 0.001), rounded(y(random), 0.001), rounded(z(random), 0.001)});
    return points;
}

std::vector<Point3> clusteredPoints(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> centre(0, 10000);
    std::normal_distribution<double> spread(0, 15);
    std::vector<Point3> centres;
    for (int i = 0; i < 6; ++i)
        centres.push_back({centre(random), centre(random), 0});
    std::vector<Point3> points;
    for (std::size_t i = 0; i < count; ++i) {
        const Point3& c = centres[i % centres.size()];
        points.push_back({rounded(c.x + spread(random), 0.01), rounded(c.y + spread(random), 0.01),
                          rounded(50 + spread(random), 0.01)});
    }
    return points;
}

std::vector<Point3> gridPoints(std::size_t columns, std::size_t rows, std::uint32_t seed) {
    std::vector<Point3> points;
    for (std::size_t i = 0; i < columns; ++i)
        for (std::size_t j = 0; j < rows; ++j)
            points.push_back({500.0 + static_cast<double>(i), 700.0 + static_cast<double>(j),
                              static_cast<double>((i * 7 + j * 3) % 11)});
    std::mt19937 random(seed);
    std::shuffle(points.begin(), points.end(), random);
    return points;
}

std::vector<Point3> repeatedPoints(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> cell(0, static_cast<int>(std::sqrt(count)));
    std::uniform_int_distribution<int> z(0, 3);
    std::vector<Point3> points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back({cell(random) * 0.5, cell(random) * 0.25, static_cast<double>(z(random))});
    return points;
}

std::vector<Point3> linePoints(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(0, 400);
    std::uniform_int_distribution<int> line(0, 3);
    std::vector<Point3> points;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = step(random) * 0.125;
        switch (line(random)) {
        case 0:
            points.push_back({10, t, t});
            break;
        case 1:
            points.push_back({t, 20, 1});
            break;
        case 2:
            points.push_back({t, t * 0.5 + 3, 2});
            break;
        default:
            points.push_back({60 - t, t, 3});
            break;
        }
    }
    return points;
}

std::vector<PointSet> differentialPointSets() {
    std::vector<PointSet> sets;
    for (std::size_t n : {1, 2, 3, 4, 7, 40, 300})
        sets.push_back({"scattered " + std::to_string(n), scatteredPoints(n, 11 + n)});
    sets.push_back({"scattered 2000", scatteredPoints(2000, 3)});
    sets.push_back({"clustered 1500", clusteredPoints(1500, 4)});
    sets.push_back({"grid 3x3", gridPoints(3, 3, 5)});
    sets.push_back({"grid 40x35", gridPoints(40, 35, 6)});
    sets.push_back({"grid 1x50", gridPoints(1, 50, 7)});
    sets.push_back({"repeated 1200", repeatedPoints(1200, 8)});
    sets.push_back({"lines 600", linePoints(600, 9)});
    std::vector<Point3> mixed = scatteredPoints(500, 10);
    const std::vector<Point3> grid = gridPoints(12, 12, 10);
    mixed.insert(mixed.end(), grid.begin(), grid.end());
    sets.push_back({"scattered with a grid", mixed});
    // Survey coordinates far from the origin, a narrow strip and a tiny
    // extent: the in-circle filter's margins scale with all of them.
    auto moved = [](std::vector<Point3> points, double dx, double dy, double scale) {
        for (Point3& p : points) {
            p.x = rounded(p.x * scale + dx, 0.000001);
            p.y = rounded(p.y * scale + dy, 0.000001);
        }
        return points;
    };
    sets.push_back(
        {"scattered at survey coordinates", moved(scatteredPoints(1500, 12), 512000, 4100000, 1)});
    sets.push_back(
        {"grid at survey coordinates", moved(gridPoints(30, 30, 13), 700000, 5300000, 0.5)});
    sets.push_back({"tiny extent", moved(scatteredPoints(800, 14), 0, 0, 1e-5)});
    sets.push_back({"lines at survey coordinates", moved(linePoints(900, 15), 300000, 6000000, 1)});
    std::vector<Point3> strip = scatteredPoints(1200, 16);
    for (Point3& p : strip)
        p.y = 2000 + (p.y - 2000) * 0.002;
    sets.push_back({"flat strip", strip});
    return sets;
}

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

std::vector<Triangle> gridSurface(int nx, int ny, double x0, double y0, double step,
                                  const HeightFunction& height, bool otherDiagonal) {
    auto at = [&](int i, int j) {
        double x = x0 + i * step, y = y0 + j * step;
        return Point3{x, y, height(x, y)};
    };
    std::vector<Triangle> triangles;
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            Point3 sw = at(i, j), se = at(i + 1, j), ne = at(i + 1, j + 1), nw = at(i, j + 1);
            if (!otherDiagonal) {
                triangles.push_back({{sw, nw, ne}});
                triangles.push_back({{sw, ne, se}});
            } else {
                triangles.push_back({{se, sw, nw}});
                triangles.push_back({{se, nw, ne}});
            }
        }
    }
    return triangles;
}

std::string triangleRecord(double x1, double y1, double z1, double x2, double y2, double z2,
                           double x3, double y3, double z3) {
    char line[512];
    std::snprintf(line, sizeof line, "%lf %lf %lf %lf %lf %lf %lf %lf %lf\n", x1, y1, z1, x2, y2,
                  z2, x3, y3, z3);
    return line;
}

std::string gridSurfaceText(double x0, double y0, int cols, int rows, double size,
                            const HeightFunction& height) {
    std::string text;
    for (int i = 0; i < cols; ++i) {
        for (int j = 0; j < rows; ++j) {
            double xa = x0 + i * size, xb = xa + size;
            double ya = y0 + j * size, yb = ya + size;
            // Clockwise in plan, as the triangulation writes them.
            text += triangleRecord(xa, ya, height(xa, ya), xa, yb, height(xa, yb), xb, yb,
                                   height(xb, yb));
            text += triangleRecord(xa, ya, height(xa, ya), xb, yb, height(xb, yb), xb, ya,
                                   height(xb, ya));
        }
    }
    return text;
}

} // namespace vogtest
