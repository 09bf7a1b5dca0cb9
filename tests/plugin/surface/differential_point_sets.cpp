#include "plugin/surface/differential_point_sets.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace vog::surface::testing {

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

} // namespace vog::surface::testing
