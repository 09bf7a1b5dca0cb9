// A triangle of a surface ready for point lookups: its three corners as read
// from the triangle file, with the plane through them, its bounding box and
// the plan lines of its edges precomputed, so that the mesh and the volume
// computation can sample a surface at any plan point by scanning its
// triangles in file order.
#pragma once

#include "base/seam.h"
#include "geometry/geometry.h"

#include <string>
#include <vector>

namespace vog::products {

// Marks the slope and intercept of an edge that is vertical in plan.
constexpr double kVerticalEdge = 3.8e38;

// 25 doubles, in this order.
struct SurfaceTriangle {
    // Corners x1 y1 z1 x2 y2 z2 x3 y3 z3, exactly as read.
    double x1, y1, z1, x2, y2, z2, x3, y3, z3;
    // The plane a·x + b·y + c·z + d = 0 through the corners; c is twice the
    // signed plan area.
    double a, b, c, d;
    // Bounding box.
    double minX, maxX, minY, maxY, minZ, maxZ;
    // Plan slopes of the edges 1→2, 2→3 and 3→1 (kVerticalEdge when
    // vertical).
    double slope12, slope23, slope31;
    // Plan intercepts y − x·slope of the same edges (kVerticalEdge when
    // vertical).
    double intercept12, intercept23, intercept31;
};

SurfaceTriangle makeSurfaceTriangle(const surface::Triangle& triangle);
SurfaceTriangle makeSurfaceTriangle(double x1, double y1, double z1, double x2, double y2,
                                    double z2, double x3, double y3, double z3);

// Even-odd crossing test without tolerance: 1 when the plan point is inside,
// 0 when not.
int pointInTriangle(const SurfaceTriangle& t, double x, double y);

// Exact test of the plan point against the three edges: 1 when it lies on one.
// Along a sloped edge only the edge's line is tested, not its span: the
// caller's bounding-box filter is the limit.
int pointOnTriangleEdge(const SurfaceTriangle& t, double x, double y);

// The height of the triangle's plane at the plan point; the smallest corner
// height for a level triangle or one without plan area.
double triangleElevation(const SurfaceTriangle& t, double x, double y);

// The lookup rule: the point is on the triangle when it lies in the bounding
// box (inclusive) and then inside it or on one of its edges.
bool pointOnTriangle(const SurfaceTriangle& t, double x, double y);

// ---------------------------------------------------------------- extent
// The bounding box of every corner of some surfaces, with the lowest and
// highest corner height.
struct SurfaceExtent {
    double minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    bool empty = true;

    void include(const SurfaceTriangle& t);
    void include(const std::vector<SurfaceTriangle>& triangles);
};

// True when a grid that starts at the extent's lowest x and y and adds step
// again and again moves forward everywhere inside the extent: step is a
// finite number greater than 0 and not so small against the coordinates that
// adding it leaves them unchanged.
bool gridStepAdvances(const SurfaceExtent& extent, double step);

// ---------------------------------------------------------------- loading
// A triangle file read into surface triangles, in file order.
struct SurfaceLoad {
    enum class Status { Loaded, CannotOpen, Malformed } status = Status::Loaded;
    std::vector<SurfaceTriangle> triangles;
    std::wstring message; // Malformed: names the file, the line and its text
};

// Reads every triangle of the file; a last record without a line end is not
// used. Stops at the first record that is not a triangle. A path that names a
// folder, a device or a FIFO does not open.
SurfaceLoad loadSurface(const std::wstring& path);

// loadSurface for a command: false after the alert when the surface cannot be
// used (cannotOpen when the file does not open, noMemory when it does not fit,
// the file and line of a record that is not a triangle).
bool loadSurfaceOrAlert(const std::wstring& path, const std::wstring& cannotOpen,
                        const std::wstring& noMemory, Messages& messages,
                        std::vector<SurfaceTriangle>& triangles);

} // namespace vog::products
