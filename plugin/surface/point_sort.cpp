#include "surface/point_sort.h"

#include "surface/point_order.h"

namespace vog::surface {

namespace {

// Merges the sorted runs lo..mid and mid+1..hi. The right run's point goes
// first only when it orders strictly before the left one.
void mergeRuns(std::vector<Point3>& points, std::size_t lo, std::size_t mid, std::size_t hi,
               std::vector<Point3>& scratch) {
    std::size_t left = lo;
    std::size_t right = mid + 1;
    std::size_t out = 0;
    while (left <= mid && right <= hi) {
        if (comparePointsXYZ(points[left], points[right]) == 1)
            scratch[out++] = points[right++];
        else
            scratch[out++] = points[left++];
    }
    while (left <= mid)
        scratch[out++] = points[left++];
    while (right <= hi)
        scratch[out++] = points[right++];
    for (std::size_t i = 0; i < out; ++i)
        points[lo + i] = scratch[i];
}

void sortRun(std::vector<Point3>& points, std::size_t lo, std::size_t hi,
             std::vector<Point3>& scratch) {
    if (lo >= hi) return;
    std::size_t mid = lo + (hi - lo) / 2;
    sortRun(points, lo, mid, scratch);
    sortRun(points, mid + 1, hi, scratch);
    mergeRuns(points, lo, mid, hi, scratch);
}

} // namespace

void sortPoints(std::vector<Point3>& points, std::size_t first, std::size_t last) {
    if (first >= last) return;
    std::vector<Point3> scratch(last - first + 1);
    sortRun(points, first, last, scratch);
}

} // namespace vog::surface
