#include "products/common/surface_triangle.h"

#include "surface/files/triangle_file.h"

#include <algorithm>
#include <cmath>

namespace vog::products {

namespace {

struct EdgeLine {
    double slope;
    double intercept;
};

EdgeLine edgeLine(double xa, double ya, double xb, double yb) {
    if (xa == xb) return {kVerticalEdge, kVerticalEdge};
    double slope = (ya - yb) / (xa - xb);
    return {slope, ya - xa * slope};
}

// One edge of the crossing test: the edge spans the point's height (half
// open, so a ray through a shared corner counts once), is not horizontal,
// and the point lies left of it or on it.
bool crossesRay(double xa, double ya, double xb, double yb, double x, double y) {
    if (!(y > std::min(ya, yb) && y <= std::max(ya, yb))) return false;
    if (!(x <= std::max(xa, xb))) return false;
    if (ya == yb) return false;
    return xa == xb || x <= (y - ya) * (xb - xa) / (yb - ya) + xa;
}

bool onEdge(double xa, double ya, double xb, double yb, double slope, double intercept, double x,
            double y) {
    if (xa == xb) return x == xa && std::min(ya, yb) <= y && y <= std::max(ya, yb);
    if (ya == yb) return y == ya && std::min(xa, xb) <= x && x <= std::max(xa, xb);
    return y == slope * x + intercept;
}

} // namespace

SurfaceTriangle makeSurfaceTriangle(double x1, double y1, double z1, double x2, double y2,
                                    double z2, double x3, double y3, double z3) {
    SurfaceTriangle t{};
    t.x1 = x1;
    t.y1 = y1;
    t.z1 = z1;
    t.x2 = x2;
    t.y2 = y2;
    t.z2 = z2;
    t.x3 = x3;
    t.y3 = y3;
    t.z3 = z3;
    t.a = y1 * (z2 - z3) + y2 * (z3 - z1) + y3 * (z1 - z2);
    t.b = z1 * (x2 - x3) + z2 * (x3 - x1) + z3 * (x1 - x2);
    t.c = x1 * (y2 - y3) + x2 * (y3 - y1) + x3 * (y1 - y2);
    t.d = -(x1 * (y2 * z3 - y3 * z2) + x2 * (y3 * z1 - y1 * z3) + x3 * (y1 * z2 - y2 * z1));
    t.minX = std::min({x1, x2, x3});
    t.maxX = std::max({x1, x2, x3});
    t.minY = std::min({y1, y2, y3});
    t.maxY = std::max({y1, y2, y3});
    t.minZ = std::min({z1, z2, z3});
    t.maxZ = std::max({z1, z2, z3});
    EdgeLine e12 = edgeLine(x1, y1, x2, y2);
    EdgeLine e23 = edgeLine(x2, y2, x3, y3);
    EdgeLine e31 = edgeLine(x3, y3, x1, y1);
    t.slope12 = e12.slope;
    t.slope23 = e23.slope;
    t.slope31 = e31.slope;
    t.intercept12 = e12.intercept;
    t.intercept23 = e23.intercept;
    // The intercept of a vertical edge 3→1 is never used; it carries the
    // marker like the other two rather than an arbitrary value.
    t.intercept31 = e31.intercept;
    return t;
}

SurfaceTriangle makeSurfaceTriangle(const surface::Triangle& triangle) {
    const auto& p = triangle.corners;
    return makeSurfaceTriangle(p[0].x, p[0].y, p[0].z, p[1].x, p[1].y, p[1].z, p[2].x, p[2].y,
                               p[2].z);
}

int pointInTriangle(const SurfaceTriangle& t, double x, double y) {
    int crossings = 0;
    if (crossesRay(t.x1, t.y1, t.x2, t.y2, x, y)) ++crossings;
    if (crossesRay(t.x2, t.y2, t.x3, t.y3, x, y)) ++crossings;
    if (crossesRay(t.x3, t.y3, t.x1, t.y1, x, y)) ++crossings;
    return crossings % 2;
}

int pointOnTriangleEdge(const SurfaceTriangle& t, double x, double y) {
    if (onEdge(t.x1, t.y1, t.x2, t.y2, t.slope12, t.intercept12, x, y)) return 1;
    if (onEdge(t.x2, t.y2, t.x3, t.y3, t.slope23, t.intercept23, x, y)) return 1;
    return onEdge(t.x3, t.y3, t.x1, t.y1, t.slope31, t.intercept31, x, y) ? 1 : 0;
}

double triangleElevation(const SurfaceTriangle& t, double x, double y) {
    if ((t.maxZ - t.minZ) * t.c == 0) return t.minZ;
    return -(t.a * x + t.b * y + t.d) / t.c;
}

bool pointOnTriangle(const SurfaceTriangle& t, double x, double y) {
    if (!(t.minX <= x && x <= t.maxX && t.minY <= y && y <= t.maxY)) return false;
    return pointInTriangle(t, x, y) == 1 || pointOnTriangleEdge(t, x, y) == 1;
}

void SurfaceExtent::include(const SurfaceTriangle& t) {
    if (empty) {
        minX = maxX = t.x1;
        minY = maxY = t.y1;
        minZ = maxZ = t.z1;
        empty = false;
    }
    minX = std::min({minX, t.minX});
    maxX = std::max({maxX, t.maxX});
    minY = std::min({minY, t.minY});
    maxY = std::max({maxY, t.maxY});
    minZ = std::min({minZ, t.minZ});
    maxZ = std::max({maxZ, t.maxZ});
}

void SurfaceExtent::include(const std::vector<SurfaceTriangle>& triangles) {
    for (const SurfaceTriangle& t : triangles)
        include(t);
}

bool gridStepAdvances(const SurfaceExtent& extent, double step) {
    if (!(std::isfinite(step) && step > 0)) return false;
    // The gap between neighbouring doubles grows with their magnitude, so
    // the coordinates of largest magnitude are the ones to test.
    for (double v : {extent.minX, extent.maxX, extent.minY, extent.maxY})
        if (!(v + step > v)) return false;
    return true;
}

SurfaceLoad loadSurface(const std::wstring& path) {
    SurfaceLoad load;
    surface::TriangleFileReader reader(path);
    if (!reader.isOpen()) {
        load.status = SurfaceLoad::Status::CannotOpen;
        return load;
    }
    switch (surface::forEachTriangle(reader, [&](const surface::Triangle& triangle) {
        load.triangles.push_back(makeSurfaceTriangle(triangle));
        return true;
    })) {
    case surface::TriangleWalk::complete:
    case surface::TriangleWalk::stopped:
        break;
    case surface::TriangleWalk::unreadable:
        load.status = SurfaceLoad::Status::CannotOpen;
        load.triangles.clear();
        break;
    case surface::TriangleWalk::malformed:
        load.status = SurfaceLoad::Status::Malformed;
        load.message = reader.malformedMessage();
        load.triangles.clear();
        break;
    }
    return load;
}

bool loadSurfaceOrAlert(const std::wstring& path, const std::wstring& cannotOpen,
                        const std::wstring& noMemory, Messages& messages,
                        std::vector<SurfaceTriangle>& triangles) {
    SurfaceLoad load;
    try {
        load = loadSurface(path);
    } catch (const std::bad_alloc&) {
        messages.alert(noMemory);
        return false;
    }
    switch (load.status) {
    case SurfaceLoad::Status::CannotOpen:
        messages.alert(cannotOpen);
        return false;
    case SurfaceLoad::Status::Malformed:
        messages.alert(load.message);
        return false;
    case SurfaceLoad::Status::Loaded:
        break;
    }
    triangles = std::move(load.triangles);
    return true;
}

} // namespace vog::products
