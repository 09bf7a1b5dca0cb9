#include "geometry/plan_orientation.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace vog::surface {

namespace {

// a + b = sum + error exactly (error-free transformation).
void twoSum(double a, double b, double& sum, double& error) {
    sum = a + b;
    double bVirtual = sum - a;
    double aVirtual = sum - bVirtual;
    error = (a - aVirtual) + (b - bVirtual);
}

// a * b = product + error exactly.
void twoProduct(double a, double b, double& product, double& error) {
    product = a * b;
    error = std::fma(a, b, -product);
}

// A sum of doubles held without rounding, as a list of components that do not
// overlap, smallest first; its sign is the sign of the largest component.
struct Expansion {
    std::array<double, 40> parts{};
    std::size_t size = 0;

    void add(double b) {
        double q = b;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < size; ++i) {
            double sum;
            double error;
            twoSum(q, parts[i], sum, error);
            q = sum;
            if (error != 0) parts[kept++] = error;
        }
        parts[kept++] = q;
        size = kept;
    }

    int sign() const {
        for (std::size_t i = size; i-- > 0;)
            if (parts[i] != 0) return parts[i] > 0 ? 1 : -1;
        return 0;
    }
};

// Adds the exact product of (a + ae) and (b + be) with the given sign.
void addProduct(Expansion& sum, double a, double ae, double b, double be, double sign) {
    const double factors[2][2] = {{a, ae}, {b, be}};
    for (double x : factors[0]) {
        for (double y : factors[1]) {
            double product;
            double error;
            twoProduct(x, y, product, error);
            sum.add(sign * product);
            sum.add(sign * error);
        }
    }
}

// Plan coordinates on the grid of millionths, in millionths: whole numbers,
// exact as doubles.
struct GridPoint {
    double x;
    double y;
};

constexpr double kGridLimit = 1e9;

bool onGrid(const Point3& p) {
    return std::fabs(p.x) < kGridLimit && std::fabs(p.y) < kGridLimit;
}

GridPoint toGrid(const Point3& p, bool grid) {
    if (!grid) return {p.x, p.y};
    return {std::nearbyint(p.x * 1e6), std::nearbyint(p.y * 1e6)};
}

int orientation(const GridPoint& a, const GridPoint& b, const GridPoint& c) {
    const double acx = a.x - c.x;
    const double bcx = b.x - c.x;
    const double acy = a.y - c.y;
    const double bcy = b.y - c.y;
    const double left = acx * bcy;
    const double right = acy * bcx;
    const double det = left - right;
    // Rounding in the four differences and two products cannot change the
    // sign while the determinant is above this bound.
    const double epsilon = 0x1p-53;
    const double bound = (3.0 + 16.0 * epsilon) * epsilon * (std::fabs(left) + std::fabs(right));
    if (det > bound) return 1;
    if (-det > bound) return -1;

    // Close to zero: evaluate exactly.
    double acxError;
    double bcxError;
    double acyError;
    double bcyError;
    double unused;
    twoSum(a.x, -c.x, unused, acxError);
    twoSum(b.x, -c.x, unused, bcxError);
    twoSum(a.y, -c.y, unused, acyError);
    twoSum(b.y, -c.y, unused, bcyError);
    Expansion exact;
    addProduct(exact, acx, acxError, bcy, bcyError, 1.0);
    addProduct(exact, acy, acyError, bcx, bcxError, -1.0);
    return exact.sign();
}

} // namespace

int planOrientation(const Point3& a, const Point3& b, const Point3& c) {
    const bool grid = onGrid(a) && onGrid(b) && onGrid(c);
    return orientation(toGrid(a, grid), toGrid(b, grid), toGrid(c, grid));
}

bool segmentsCrossInterior(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const int c1 = planOrientation(a, b, c);
    const int c2 = planOrientation(a, b, d);
    if (c1 == 0 || c2 == 0 || c1 == c2) return false;
    const int a1 = planOrientation(c, d, a);
    const int a2 = planOrientation(c, d, b);
    return a1 != 0 && a2 != 0 && a1 != a2;
}

bool pointInsideSegment(const Point3& p, const Point3& a, const Point3& b) {
    const bool grid = onGrid(a) && onGrid(b) && onGrid(p);
    const GridPoint gp = toGrid(p, grid);
    const GridPoint ga = toGrid(a, grid);
    const GridPoint gb = toGrid(b, grid);
    if (orientation(ga, gb, gp) != 0) return false;
    // On the line: strictly between the ends in x, or in y when the segment
    // is vertical.
    if (ga.x != gb.x) return (ga.x < gp.x && gp.x < gb.x) || (gb.x < gp.x && gp.x < ga.x);
    return (ga.y < gp.y && gp.y < gb.y) || (gb.y < gp.y && gp.y < ga.y);
}

} // namespace vog::surface
