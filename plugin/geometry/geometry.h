// The flat records of the surface code: points, triangles, directed segments
// and triangles that carry their circumcircle. Shared corners are recognised
// only by equal numbers; none of these records holds identifiers or links.
#pragma once

#include <array>

namespace vog::surface {

// A surveyed point: easting, northing and elevation, in drawing units.
struct Point3 {
    double x = 0;
    double y = 0;
    double z = 0;

    // Exact comparison of all three coordinates.
    friend bool operator==(const Point3&, const Point3&) = default;
};

// Three corners, clockwise seen from above (x east, y north), in the order
// x1 y1 z1 x2 y2 z2 x3 y3 z3 of the triangle files.
struct Triangle {
    std::array<Point3, 3> corners;

    friend bool operator==(const Triangle&, const Triangle&) = default;
};

// A directed edge from a to b. (a, b) and (b, a) are different entries but the
// same edge for toggleSegment.
struct Segment {
    Point3 a;
    Point3 b;
};

// A triangle of the working triangulation with its circumcircle: centre
// (xc, yc, zc) and radius, the true distance from the centre to the corners.
// zc is always 0 and not used.
struct CircumTriangle {
    Triangle triangle;
    double xc = 0;
    double yc = 0;
    double zc = 0;
    double radius = 0;
};

} // namespace vog::surface
