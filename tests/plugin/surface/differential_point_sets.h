// Point sets that stress the surface code in different ways, for the tests
// that run the fast and the plain versions side by side: scattered,
// clustered, on a grid (many points on one circle), with many repeated
// points, and on a few lines.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vog::surface::testing {

struct PointSet {
    std::string name;
    std::vector<Point3> points;
};

std::vector<Point3> scatteredPoints(std::size_t count, std::uint32_t seed);
std::vector<Point3> clusteredPoints(std::size_t count, std::uint32_t seed);
// columns x rows points spaced 1 apart, optionally shuffled in file order.
std::vector<Point3> gridPoints(std::size_t columns, std::size_t rows, std::uint32_t seed);
// Many points repeated in plan with different elevations, some exactly.
std::vector<Point3> repeatedPoints(std::size_t count, std::uint32_t seed);
// Points on a few straight lines (vertical, horizontal, slanted).
std::vector<Point3> linePoints(std::size_t count, std::uint32_t seed);

// All of the above at a few sizes up to about two thousand points.
std::vector<PointSet> differentialPointSets();

} // namespace vog::surface::testing
