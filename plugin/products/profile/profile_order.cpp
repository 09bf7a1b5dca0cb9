#include "products/profile/profile_order.h"

#include <algorithm>

namespace vog::products {

std::vector<std::size_t> profileWriteOrder(const std::vector<ProfilePoint>& points) {
    std::vector<std::size_t> order;
    const std::size_t n = points.size();
    if (n == 0) return order;
    // By station, and among equal stations in finding order: the first of
    // each run is the point a pick takes.
    std::vector<std::size_t> byStation(n);
    for (std::size_t i = 0; i < n; ++i)
        byStation[i] = i;
    std::stable_sort(byStation.begin(), byStation.end(), [&](std::size_t a, std::size_t b) {
        return points[a].station < points[b].station;
    });
    const std::size_t smallest = byStation.front();
    // The first point of the largest station's run.
    std::size_t run = n - 1;
    while (run > 0 && !(points[byStation[run - 1]].station < points[byStation[n - 1]].station))
        --run;
    const std::size_t largest = byStation[run];
    const double top = points[largest].station;
    order.push_back(smallest);

    // Each pick is the smallest station above the previous one and below the
    // largest; once none is left the last pick (the first point found when
    // there was none) fills the remaining lines.
    double previous = points[smallest].station;
    std::size_t lastPick = 0;
    std::size_t next = 0;
    for (std::size_t line = 2; line < n; ++line) {
        while (next < n && !(points[byStation[next]].station > previous))
            ++next;
        if (next < n && points[byStation[next]].station < top) {
            lastPick = byStation[next];
            previous = points[lastPick].station;
        } else {
            previous = top;
        }
        order.push_back(lastPick);
    }
    order.push_back(largest);
    return order;
}

} // namespace vog::products
