// The generators of the tests' point sets and surfaces, in one place: point
// sets that stress the surface code (scattered, clustered, gridded with many
// points on one circle, repeated in plan, on a few lines), triangulated grids
// of several kinds and soups of overlapping triangles for the products, and
// regular grids with heights from a function. Every generator is
// deterministic in its seed, so the differential tests see the same cases in
// every run.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace vogtest {

using vog::surface::Point3;
using vog::surface::Triangle;

// ---- Point sets -------------------------------------------------------------

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

// ---- Triangulated grids and soups -------------------------------------------

enum class SurfaceKind {
    Gridded,   // integer grid, heights on whole numbers
    Jittered,  // corners moved at random, heights at random
    Clustered, // grid spacing squeezed toward one corner
    Holes,     // a grid with round holes cut out
    Duplicates // a grid where many triangles are repeated, some reversed
};

struct SurfaceSpec {
    SurfaceKind kind = SurfaceKind::Gridded;
    int cols = 8;
    int rows = 6;
    std::uint32_t seed = 1;
};

// A triangulated grid; corners clockwise in plan where the grid allows it.
std::vector<Triangle> makeSurface(const SurfaceSpec& spec);

// Random triangles that overlap each other, some sharing corners with
// earlier ones, some with collinear corners.
std::vector<Triangle> makeSoup(int count, std::uint32_t seed);

// All the kinds, for looping tests.
std::vector<SurfaceKind> allSurfaceKinds();
std::string kindName(SurfaceKind kind);

// ---- Regular grids with heights from a function -----------------------------

using HeightFunction = std::function<double(double x, double y)>;

// A grid of nx x ny cells of the given step from (x0, y0), heights from the
// function, each cell split into two clockwise triangles along the diagonal
// from its south-west corner (or, with otherDiagonal, from its south-east
// corner). The corners are x0 + i * step, y0 + j * step.
std::vector<Triangle> gridSurface(int nx, int ny, double x0, double y0, double step,
                                  const HeightFunction& height, bool otherDiagonal = false);

// The same grid as a triangle file's text ("%lf" nine times a line), cols x
// rows squares of the given size from (x0, y0) split along the rising
// diagonal; the far corners are the near ones plus size.
std::string gridSurfaceText(double x0, double y0, int cols, int rows, double size,
                            const HeightFunction& height);

// One triangle record, "%lf" nine times, as the system writes them.
std::string triangleRecord(double x1, double y1, double z1, double x2, double y2, double z2,
                           double x3, double y3, double z3);

} // namespace vogtest
