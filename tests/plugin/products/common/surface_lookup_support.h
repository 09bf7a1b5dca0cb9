// Small surfaces for the tests of the mesh and the volumes: triangle files of
// regular grids whose heights follow a given function.
#pragma once

#include <functional>
#include <string>

namespace vogtest {

using HeightFunction = std::function<double(double x, double y)>;

// One triangle record, "%lf" nine times, as the system writes them.
std::string triangleRecord(double x1, double y1, double z1, double x2, double y2, double z2,
                           double x3, double y3, double z3);

// A grid of cols x rows squares of the given size from (x0, y0), each split
// into two triangles along its rising diagonal, heights by the function.
std::string gridSurface(double x0, double y0, int cols, int rows, double size,
                        const HeightFunction& height);

} // namespace vogtest
