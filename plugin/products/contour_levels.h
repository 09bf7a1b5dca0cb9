// The contour levels of one contours command: from the level at or below the
// start value (cut toward zero to a multiple of the interval) up to one
// interval above the end value cut the same way.
#pragma once

namespace vog::products {

struct ContourLevels {
    double first = 0;    // trunc(start / interval) x interval
    double top = 0;      // (trunc(end / interval) + 1) x interval, still traced
    double interval = 0; // > 0; each level is the previous one plus this
};

ContourLevels contourLevels(double start, double end, double interval);

// The level after this one: the level plus the interval, so that rounding
// accumulates as the levels are walked. False when there is none, that is
// beyond the top level or where adding the interval no longer moves the
// level (an interval that is not positive, or one lost in the size of the
// level), so that walking the levels always ends.
bool nextLevel(const ContourLevels& levels, double& level);

} // namespace vog::products
