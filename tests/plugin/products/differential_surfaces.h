// Surfaces for comparing the fast surface products with the plain reference
// versions: regular, warped (clustered) and jittered grids with a random
// diagonal per square, heights snapped to a few values so that levels and
// grid samples meet corners, edges and flat triangles exactly; holes cut out;
// duplicated triangles; and loose soups of overlapping triangles.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vogtest {

using vog::surface::Triangle;

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

} // namespace vogtest
