#include "geometry/exact_predicates.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace vog::surface {

namespace {

constexpr double kEpsilon = 0x1p-53; // half a unit in the last place of 1

// a + b = sum + error, both doubles, without rounding.
void twoSum(double a, double b, double& sum, double& error) {
    sum = a + b;
    const double bPart = sum - a;
    const double aPart = sum - bPart;
    error = (a - aPart) + (b - bPart);
}

// a * b = product + error, without rounding (the fused multiply-add rounds
// only once, and the error of a product is a double).
void twoProduct(double a, double b, double& product, double& error) {
    product = a * b;
    error = std::fma(a, b, -product);
}

// A number held as a sum of doubles that do not overlap, the smallest in
// magnitude first and no zero among them. Its sign is that of the largest.
class Expansion {
  public:
    Expansion() = default;
    explicit Expansion(double value) { add(value); }
    // a - b, exactly.
    static Expansion difference(double a, double b) {
        double sum;
        double error;
        twoSum(a, -b, sum, error);
        Expansion e;
        if (error != 0) e.parts_.push_back(error);
        if (sum != 0) e.parts_.push_back(sum);
        return e;
    }

    // Adds b: each part in turn takes in what is carried up, and the
    // rounding error of each step stays behind as a part of its own.
    void add(double b) {
        double carry = b;
        std::size_t kept = 0;
        for (double part : parts_) {
            double sum;
            double error;
            twoSum(carry, part, sum, error);
            carry = sum;
            if (error != 0) parts_[kept++] = error;
        }
        parts_.resize(kept);
        if (carry != 0) parts_.push_back(carry);
    }

    void add(const Expansion& other) {
        for (double part : other.parts_)
            add(part);
    }

    void subtract(const Expansion& other) {
        for (double part : other.parts_)
            add(-part);
    }

    Expansion times(const Expansion& other) const {
        Expansion product;
        for (double a : parts_)
            for (double b : other.parts_) {
                double p;
                double error;
                twoProduct(a, b, p, error);
                product.add(error);
                product.add(p);
            }
        return product;
    }

    int sign() const {
        if (parts_.empty()) return 0;
        return parts_.back() > 0 ? 1 : -1;
    }

  private:
    std::vector<double> parts_;
};

int signOf(double value) {
    return value > 0 ? 1 : value < 0 ? -1 : 0;
}

int exactInCircleSlow(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const Expansion adx = Expansion::difference(a.x, d.x);
    const Expansion ady = Expansion::difference(a.y, d.y);
    const Expansion bdx = Expansion::difference(b.x, d.x);
    const Expansion bdy = Expansion::difference(b.y, d.y);
    const Expansion cdx = Expansion::difference(c.x, d.x);
    const Expansion cdy = Expansion::difference(c.y, d.y);
    auto lift = [](const Expansion& x, const Expansion& y) {
        Expansion sum = x.times(x);
        sum.add(y.times(y));
        return sum;
    };
    auto cross = [](const Expansion& x1, const Expansion& y1, const Expansion& x2,
                    const Expansion& y2) {
        Expansion det = x1.times(y2);
        det.subtract(y1.times(x2));
        return det;
    };
    Expansion det = lift(adx, ady).times(cross(bdx, bdy, cdx, cdy));
    det.add(lift(bdx, bdy).times(cross(cdx, cdy, adx, ady)));
    det.add(lift(cdx, cdy).times(cross(adx, ady, bdx, bdy)));
    return det.sign();
}

// Below this size the error bounds of the estimates no longer hold (the
// products may lose bits to underflow).
constexpr double kSmallest = 1e-280;

} // namespace

int exactOrientationSlow(const Point3& a, const Point3& b, const Point3& c) {
    const Expansion acx = Expansion::difference(a.x, c.x);
    const Expansion acy = Expansion::difference(a.y, c.y);
    const Expansion bcx = Expansion::difference(b.x, c.x);
    const Expansion bcy = Expansion::difference(b.y, c.y);
    Expansion det = acx.times(bcy);
    det.subtract(acy.times(bcx));
    return det.sign();
}

int exactInCircle(const Point3& a, const Point3& b, const Point3& c, const Point3& d) {
    const double adx = a.x - d.x, ady = a.y - d.y;
    const double bdx = b.x - d.x, bdy = b.y - d.y;
    const double cdx = c.x - d.x, cdy = c.y - d.y;
    const double bc1 = bdx * cdy, bc2 = cdx * bdy;
    const double ca1 = cdx * ady, ca2 = adx * cdy;
    const double ab1 = adx * bdy, ab2 = bdx * ady;
    const double liftA = adx * adx + ady * ady;
    const double liftB = bdx * bdx + bdy * bdy;
    const double liftC = cdx * cdx + cdy * cdy;
    const double det = liftA * (bc1 - bc2) + liftB * (ca1 - ca2) + liftC * (ab1 - ab2);
    // Every term's rounding is below a small multiple of the unit roundoff
    // times the same term taken in absolute values; the sum of those is the
    // permanent, and the estimate's total error stays below this bound.
    const double permanent = liftA * (std::fabs(bc1) + std::fabs(bc2)) +
                             liftB * (std::fabs(ca1) + std::fabs(ca2)) +
                             liftC * (std::fabs(ab1) + std::fabs(ab2));
    const double bound = 16.0 * kEpsilon * permanent;
    if (std::isfinite(permanent) && permanent > kSmallest && std::fabs(det) > bound)
        return signOf(det);
    return exactInCircleSlow(a, b, c, d);
}

} // namespace vog::surface
