// Which contours are index contours: those whose level is a multiple of the
// effective index interval, derived from the index interval the user gives
// and the contour interval.
#pragma once

namespace vog::products {

struct IndexInterval {
    double value = 0;     // the effective index interval
    bool doubled = false; // it came out equal to the interval and was doubled
};

// k = trunc(index / interval), one more when the ratio lies within 0.9999 of
// the next whole number; the effective interval is k x interval, or twice the
// interval when that equals the interval. An index interval smaller than the
// interval gives 0: no index contours.
IndexInterval effectiveIndexInterval(double indexInterval, double interval);

// True when z is a multiple of the effective index interval within 0.0001 of
// the ratio. An effective interval of 0 (or not a finite number) makes every
// contour a regular one.
bool isIndexContour(double z, double effectiveInterval);

} // namespace vog::products
