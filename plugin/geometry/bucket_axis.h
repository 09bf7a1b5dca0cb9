// An axis cut into equal buckets, the building block of the segment indexes
// of the clipping step. The bucket of a coordinate never decreases as the
// coordinate grows, so a value between two others always falls in a bucket
// between theirs: the indexes rely on this to stay conservative.
#pragma once

#include <cmath>
#include <cstdint>

namespace vog::surface {

struct BucketAxis {
    double origin = 0;
    double perUnit = 0; // buckets per drawing unit; 0 puts everything in bucket 0
    std::uint32_t count = 0;
};

// The axis from low to high in count buckets (count >= 1).
inline BucketAxis makeBucketAxis(double low, double high, std::uint32_t count) {
    BucketAxis axis{low, 0, count};
    const double span = high - low;
    if (span > 0 && std::isfinite(span)) axis.perUnit = count / span;
    return axis;
}

// The bucket of v, clamped to the axis: values below it (and NaN) fall in the
// first bucket, values above it in the last.
// The position is cut to an integer only once it is known to lie in
// [1, count - 1), where cutting is the same as rounding down.
inline std::uint32_t bucketOf(const BucketAxis& axis, double v) {
    const double position = (v - axis.origin) * axis.perUnit;
    if (!(position >= 1)) return 0;
    const double last = static_cast<double>(axis.count - 1);
    return position >= last ? axis.count - 1 : static_cast<std::uint32_t>(position);
}

} // namespace vog::surface
