// Exact signs of plan determinants, for the tests and the plain forms that
// must not share the floating-point predicates they check: every double is
// an integer times a power of two, so determinants over doubles are sums of
// products of integers, evaluated here with a small big integer. Slow and
// plain on purpose.
#pragma once

#include "geometry/geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vogtest {

// A signed integer of any size: magnitude in 32-bit limbs, least first.
class BigInt {
  public:
    BigInt() = default;
    explicit BigInt(std::int64_t value);

    // value * 2^shift, shift >= 0.
    static BigInt shifted(std::int64_t value, int shift);

    int sign() const { return sign_; }
    std::string decimal() const;

    friend BigInt operator+(const BigInt& a, const BigInt& b);
    friend BigInt operator-(const BigInt& a, const BigInt& b);
    friend BigInt operator*(const BigInt& a, const BigInt& b);
    friend bool operator==(const BigInt& a, const BigInt& b) {
        return a.sign_ == b.sign_ && a.limbs_ == b.limbs_;
    }

  private:
    int sign_ = 0; // -1, 0, +1
    std::vector<std::uint32_t> limbs_;
};

// Sign of (a - c) x (b - c) for the doubles as they are: +1 when a, b, c turn
// counter-clockwise in plan, -1 clockwise, 0 on one line.
int rationalOrientation(const vog::surface::Point3& a, const vog::surface::Point3& b,
                        const vog::surface::Point3& c);

// Sign of the in-circle determinant for the doubles as they are: for a, b, c
// counter-clockwise, +1 when d lies strictly inside their circle.
int rationalInCircle(const vog::surface::Point3& a, const vog::surface::Point3& b,
                     const vog::surface::Point3& c, const vog::surface::Point3& d);

// True when no three of the points span a triangle (fewer than three, or all
// on one line, exactly).
bool allOnOneLine(const std::vector<vog::surface::Point3>& points);

// The value as the six decimals of a record hold it, in millionths: the
// digits "%.6f" writes.
std::int64_t millionths(double value);

} // namespace vogtest
