// How far a circle of the in-circle search reaches over a band, for the
// spatial filters that find the circles holding a point.
#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace vog::surface {

// Relative widening of a radius, far above the rounding of the in-circle
// test's distance (a few units in the last place) and of the spans below.
constexpr double kRelativeWidening = 1e-12;

// The span along one axis of the part of the disc (centre c along the axis,
// other along the other axis, radius reach) that lies over the band
// [low, high] of this axis and [otherLow, otherHigh] of the other. Widened
// for its own rounding; empty when the disc misses the band.
struct Span {
    double low, high;
    bool empty;
};

inline Span spanOver(double c, double other, double reach, double low, double high, double otherLow,
                     double otherHigh) {
    // The nearest the band of the other axis comes to the centre.
    const double gap = other < otherLow    ? otherLow - other
                       : other > otherHigh ? other - otherHigh
                                           : 0;
    if (gap > reach || low > high) return {0, 0, true};
    // Half the chord at that offset, as (reach - gap)(reach + gap) keeps its
    // precision where the chord is short.
    // The second term covers the rounding of c - half where the centre lies
    // far out.
    const double half = std::sqrt((reach - gap) * (reach + gap)) * (1 + kRelativeWidening) +
                        std::fabs(c) * kRelativeWidening;
    const double from = std::max(low, c - half), to = std::min(high, c + half);
    if (from > to) return {0, 0, true};
    return {from, to, false};
}

// The absolute widening of the filters for coordinates up to scale.
inline double filterSlack(double scale) {
    return scale * 1e-9 + std::numeric_limits<double>::min();
}

} // namespace vog::surface
