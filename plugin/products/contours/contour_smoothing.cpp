#include "products/contours/contour_smoothing.h"

#include "geometry/plan_angles.h"

#include <cmath>

namespace vog::products {

namespace {

// More steps than this per piece only come from lengths no survey has (1e8
// drawing units and beyond); the cap keeps such a piece from exhausting
// memory.
constexpr double kMaxPieceSteps = 1e6;

double planDistance(const Point3& a, const Point3& b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

// The guide-point distances of a piece of plan length g: past a chain's end,
// toward the next vertex and toward the previous one.
double endExtension(double g) {
    return g > 5 ? 1.0 : g > 2.5 ? 0.5 : 0.1;
}
double towardNext(double g) {
    return g > 5 ? 0.6 * g : g > 2.5 ? 2.5 : 0.5;
}
double towardPrevious(double g) {
    return g > 5 ? 0.6 * g : g > 2.5 ? 0.5 : 0.1;
}

using geometry::planAngle;
using geometry::polarPoint;

// The point at the distance from vertex, in the direction of other.
Point3 toward(const Point3& vertex, const Point3& other, double distance) {
    return polarPoint(vertex, planAngle(vertex, other), distance);
}

// The point at the distance from vertex, in the direction away from other.
Point3 awayFrom(const Point3& vertex, const Point3& other, double distance) {
    return polarPoint(vertex, planAngle(other, vertex), distance);
}

} // namespace

int pieceStepCount(double d) {
    double n;
    if (d >= 1000)
        n = std::trunc(d / 100);
    else if (d >= 500)
        n = std::trunc(d / 80);
    else if (d >= 50)
        n = std::trunc(d * 0.25);
    else if (d >= 25)
        n = std::trunc(d * 0.5);
    else
        n = std::trunc(d);
    if (!(n >= 1)) n = 1;
    if (n > kMaxPieceSteps) n = kMaxPieceSteps;
    return static_cast<int>(n);
}

void splinePiece(const Point3& p0, const Point3& p1, const Point3& p2, const Point3& p3,
                 std::vector<Point3>& points) {
    int n = pieceStepCount(planDistance(p1, p2));
    double h = 1.0 / n;
    if (h == 1) {
        h = 0.2;
        n = 5;
    }
    points.push_back(p1);
    double m1x = 0.25 * (p2.x - p0.x);
    double m1y = 0.25 * (p2.y - p0.y);
    double m2x = 0.25 * (p3.x - p1.x);
    double m2y = 0.25 * (p3.y - p1.y);
    double t = 0;
    for (int i = 1; i <= n; ++i) {
        t += h;
        double t2 = t * t;
        double t3 = t2 * t;
        double h00 = 2 * t3 - 3 * t2 + 1;
        double h10 = t3 - 2 * t2 + t;
        double h01 = 3 * t2 - 2 * t3;
        double h11 = t3 - t2;
        points.push_back({h00 * p1.x + h10 * m1x + h01 * p2.x + h11 * m2x,
                          h00 * p1.y + h10 * m1y + h01 * p2.y + h11 * m2y, p1.z});
    }
}

void smoothChain(std::span<const Segment> chain, std::vector<Segment>& rounded) {
    rounded.clear();
    std::size_t u = chain.size();
    if (u == 0) return;
    std::vector<Point3> vertices;
    vertices.reserve(u + 1);
    vertices.push_back(chain[0].a);
    for (const Segment& entry : chain)
        vertices.push_back(entry.b);

    std::vector<Point3> points;
    for (std::size_t k = 0; k < u; ++k) {
        const Point3& v = vertices[k];
        const Point3& next = vertices[k + 1];
        double g = planDistance(v, next);
        Point3 p0;
        Point3 p3;
        if (k == 0) {
            p0 = awayFrom(v, next, endExtension(g));
            p3 = u == 1 ? awayFrom(next, v, endExtension(g))
                        : toward(next, vertices[k + 2], towardNext(g));
        } else if (u == 2) {
            p0 = awayFrom(v, next, endExtension(g));
            p3 = awayFrom(next, v, endExtension(g));
        } else if (k + 1 < u) {
            p0 = toward(v, vertices[k - 1], towardPrevious(g));
            p3 = toward(next, vertices[k + 2], towardNext(g));
        } else {
            p0 = toward(v, vertices[k - 1], towardPrevious(g));
            p3 = awayFrom(next, v, endExtension(g));
        }
        splinePiece(p0, v, next, p3, points);
    }

    rounded.reserve(points.size() - 1);
    for (std::size_t j = 0; j + 1 < points.size(); ++j)
        rounded.push_back({points[j], points[j + 1]});
}

} // namespace vog::products
