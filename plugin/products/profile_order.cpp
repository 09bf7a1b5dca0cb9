#include "products/profile_order.h"

namespace vog::products {

std::vector<std::size_t> profileWriteOrder(const std::vector<ProfilePoint>& points) {
    std::vector<std::size_t> order;
    const std::size_t n = points.size();
    if (n == 0) return order;
    std::size_t smallest = 0, largest = 0;
    for (std::size_t i = 1; i < n; ++i) {
        if (points[i].station < points[smallest].station) smallest = i;
        if (points[i].station > points[largest].station) largest = i;
    }
    const double top = points[largest].station;
    order.push_back(smallest);

    // Each pick is the smallest station above the previous one and below the
    // largest: a scan per pick, as the stations are not sorted.
    double previous = points[smallest].station;
    std::size_t lastPick = 0;
    for (std::size_t line = 2; line < n; ++line) {
        std::size_t best = n;
        for (std::size_t i = 0; i < n; ++i) {
            double s = points[i].station;
            if (s > previous && s < top && (best == n || s < points[best].station)) best = i;
        }
        if (best == n) {
            order.push_back(lastPick);
            previous = top;
        } else {
            order.push_back(best);
            lastPick = best;
            previous = points[best].station;
        }
    }
    order.push_back(largest);
    return order;
}

} // namespace vog::products
