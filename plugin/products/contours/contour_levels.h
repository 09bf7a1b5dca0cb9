// The contour levels of one contours command: from the level at or below the
// start value (cut toward zero to a multiple of the interval) up to one
// interval above the end value cut the same way.
#pragma once

#include <string>

namespace vog::products {

struct ContourLevels {
    double first = 0;    // trunc(start / interval) x interval
    double top = 0;      // (trunc(end / interval) + 1) x interval, still traced
    double interval = 0; // > 0; each level is the previous one plus this
};

ContourLevels contourLevels(double start, double end, double interval);

// Most levels one contours command traces. Each level costs a pass over the
// triangles and its polylines stay in the drawing: a million levels is more
// than any drawing of contours shows, and a run of more would not end.
inline constexpr double kMostContourLevels = 1000000;

// How many levels the walk from first to top visits: floor((top - first) /
// interval) + 1; 0 when first lies above top, infinity when the interval is
// lost in the span.
double levelCount(const ContourLevels& levels);

// The alert for more than kMostContourLevels levels, with their count.
std::wstring tooManyLevelsMessage(double count);

// The level after this one: the level plus the interval, so that rounding
// accumulates as the levels are walked. False when there is none, that is
// beyond the top level or where adding the interval no longer moves the
// level (an interval that is not positive, or one lost in the size of the
// level), so that walking the levels always ends.
bool nextLevel(const ContourLevels& levels, double& level);

} // namespace vog::products
