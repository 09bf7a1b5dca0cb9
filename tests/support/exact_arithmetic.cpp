#include "support/exact_arithmetic.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace vogtest {

namespace {

using Limbs = std::vector<std::uint32_t>;

void trim(Limbs& limbs) {
    while (!limbs.empty() && limbs.back() == 0)
        limbs.pop_back();
}

int compareMagnitude(const Limbs& a, const Limbs& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = a.size(); i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

Limbs addMagnitude(const Limbs& a, const Limbs& b) {
    Limbs sum(std::max(a.size(), b.size()) + 1, 0);
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < sum.size(); ++i) {
        carry += (i < a.size() ? a[i] : 0u);
        carry += (i < b.size() ? b[i] : 0u);
        sum[i] = static_cast<std::uint32_t>(carry);
        carry >>= 32;
    }
    trim(sum);
    return sum;
}

// a - b for |a| >= |b|.
Limbs subtractMagnitude(const Limbs& a, const Limbs& b) {
    Limbs difference(a.size(), 0);
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::int64_t d = static_cast<std::int64_t>(a[i]) - (i < b.size() ? b[i] : 0u) - borrow;
        borrow = d < 0 ? 1 : 0;
        if (d < 0) d += std::int64_t{1} << 32;
        difference[i] = static_cast<std::uint32_t>(d);
    }
    trim(difference);
    return difference;
}

} // namespace

BigInt::BigInt(std::int64_t value) {
    if (value == 0) return;
    sign_ = value < 0 ? -1 : 1;
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    while (magnitude) {
        limbs_.push_back(static_cast<std::uint32_t>(magnitude));
        magnitude >>= 32;
    }
}

BigInt BigInt::shifted(std::int64_t value, int shift) {
    BigInt r(value);
    if (r.sign_ == 0 || shift == 0) return r;
    const std::size_t whole = static_cast<std::size_t>(shift / 32);
    const int bits = shift % 32;
    Limbs limbs(whole, 0);
    std::uint32_t carry = 0;
    for (std::uint32_t limb : r.limbs_) {
        limbs.push_back(bits ? (limb << bits) | carry : limb);
        carry = bits ? limb >> (32 - bits) : 0;
    }
    limbs.push_back(carry);
    trim(limbs);
    r.limbs_ = std::move(limbs);
    return r;
}

BigInt operator+(const BigInt& a, const BigInt& b) {
    if (a.sign_ == 0) return b;
    if (b.sign_ == 0) return a;
    BigInt r;
    if (a.sign_ == b.sign_) {
        r.sign_ = a.sign_;
        r.limbs_ = addMagnitude(a.limbs_, b.limbs_);
        return r;
    }
    const int order = compareMagnitude(a.limbs_, b.limbs_);
    if (order == 0) return r;
    r.sign_ = order > 0 ? a.sign_ : b.sign_;
    r.limbs_ =
        order > 0 ? subtractMagnitude(a.limbs_, b.limbs_) : subtractMagnitude(b.limbs_, a.limbs_);
    return r;
}

BigInt operator-(const BigInt& a, const BigInt& b) {
    BigInt negated = b;
    negated.sign_ = -negated.sign_;
    return a + negated;
}

BigInt operator*(const BigInt& a, const BigInt& b) {
    BigInt r;
    if (a.sign_ == 0 || b.sign_ == 0) return r;
    Limbs product(a.limbs_.size() + b.limbs_.size(), 0);
    for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
        std::uint64_t carry = 0;
        for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
            const std::uint64_t t =
                static_cast<std::uint64_t>(a.limbs_[i]) * b.limbs_[j] + product[i + j] + carry;
            product[i + j] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        product[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
    }
    trim(product);
    r.sign_ = a.sign_ * b.sign_;
    r.limbs_ = std::move(product);
    return r;
}

std::string BigInt::decimal() const {
    if (sign_ == 0) return "0";
    Limbs magnitude = limbs_;
    std::string digits;
    while (!magnitude.empty()) {
        std::uint64_t remainder = 0;
        for (std::size_t i = magnitude.size(); i-- > 0;) {
            const std::uint64_t t = (remainder << 32) | magnitude[i];
            magnitude[i] = static_cast<std::uint32_t>(t / 10);
            remainder = t % 10;
        }
        trim(magnitude);
        digits.push_back(static_cast<char>('0' + remainder));
    }
    if (sign_ < 0) digits.push_back('-');
    return {digits.rbegin(), digits.rend()};
}

namespace {

// A finite double as mantissa * 2^exponent with an odd mantissa (or zero).
struct Dyadic {
    std::int64_t mantissa = 0;
    int exponent = 0;
};

Dyadic dyadic(double v) {
    if (!std::isfinite(v)) throw std::invalid_argument("not a finite number");
    Dyadic d;
    if (v == 0) return d;
    int e = 0;
    const double fraction = std::frexp(v, &e); // v = fraction * 2^e, 0.5 <= |fraction| < 1
    d.mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 64 - 11));
    d.exponent = e - (64 - 11);
    while ((d.mantissa & 1) == 0) {
        d.mantissa /= 2;
        ++d.exponent;
    }
    return d;
}

// The values as integers over one common power of two (which scales every
// determinant by a positive factor and so keeps its sign).
template <std::size_t N> std::array<BigInt, N> commonScale(const std::array<double, N>& values) {
    std::array<Dyadic, N> parts;
    int lowest = INT_MAX;
    for (std::size_t i = 0; i < N; ++i) {
        parts[i] = dyadic(values[i]);
        if (parts[i].mantissa != 0) lowest = std::min(lowest, parts[i].exponent);
    }
    std::array<BigInt, N> scaled;
    for (std::size_t i = 0; i < N; ++i)
        if (parts[i].mantissa != 0)
            scaled[i] = BigInt::shifted(parts[i].mantissa, parts[i].exponent - lowest);
    return scaled;
}

} // namespace

int rationalOrientation(const vog::surface::Point3& a, const vog::surface::Point3& b,
                        const vog::surface::Point3& c) {
    const auto v = commonScale<6>({a.x, a.y, b.x, b.y, c.x, c.y});
    const BigInt acx = v[0] - v[4], acy = v[1] - v[5];
    const BigInt bcx = v[2] - v[4], bcy = v[3] - v[5];
    return (acx * bcy - acy * bcx).sign();
}

int rationalInCircle(const vog::surface::Point3& a, const vog::surface::Point3& b,
                     const vog::surface::Point3& c, const vog::surface::Point3& d) {
    const auto v = commonScale<8>({a.x, a.y, b.x, b.y, c.x, c.y, d.x, d.y});
    const BigInt adx = v[0] - v[6], ady = v[1] - v[7];
    const BigInt bdx = v[2] - v[6], bdy = v[3] - v[7];
    const BigInt cdx = v[4] - v[6], cdy = v[5] - v[7];
    const BigInt det = (adx * adx + ady * ady) * (bdx * cdy - cdx * bdy) +
                       (bdx * bdx + bdy * bdy) * (cdx * ady - adx * cdy) +
                       (cdx * cdx + cdy * cdy) * (adx * bdy - bdx * ady);
    return det.sign();
}

bool allOnOneLine(const std::vector<vog::surface::Point3>& points) {
    // A second point apart from the first, then any point off their line.
    std::size_t other = 1;
    while (other < points.size() && points[other].x == points[0].x &&
           points[other].y == points[0].y)
        ++other;
    for (std::size_t k = other + 1; k < points.size(); ++k)
        if (rationalOrientation(points[0], points[other], points[k]) != 0) return false;
    return true;
}

std::int64_t millionths(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string digits;
    for (const char* p = text; *p; ++p)
        if (*p != '.') digits.push_back(*p);
    return std::strtoll(digits.c_str(), nullptr, 10);
}

} // namespace vogtest
