#include "reference/products/profile_reference.h"

#include <cmath>

namespace vogref::products {

namespace {

template <class Station>
void cutChord(const ads_point a, const ads_point b, const std::vector<SurfaceEdge>& edges,
              std::vector<ProfilePoint>& out, Station station) {
    ads_point a0 = {a[0], a[1], 0}, b0 = {b[0], b[1], 0};
    for (const SurfaceEdge& e : edges) {
        ads_point e1 = {e.v[0], e.v[1], 0}, e2 = {e.v[3], e.v[4], 0};
        ads_point x;
        if (acdbInters(a0, b0, e1, e2, 1, x) != RTNORM) continue;
        ads_point top = {e.v[0], e.v[1], e.v[2]}, bottom = {e.v[3], e.v[4], e.v[5]};
        ads_point x0 = {x[0], x[1], 0}, x1 = {x[0], x[1], 1};
        ads_point onEdge;
        if (acdbInters(top, bottom, x0, x1, 0, onEdge) != RTNORM) continue;
        double at = station(x0);
        if (std::isfinite(at) && std::isfinite(onEdge[2]))
            out.push_back(ProfilePoint{at, onEdge[2]});
    }
}

} // namespace

double cutStraightSegment(const ads_point p, const ads_point q, double s,
                          const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out) {
    cutChord(p, q, edges, out, [&](const ads_point x) { return s + acutDistance(p, x); });
    return acutDistance(p, q);
}

double cutArcSegment(const ads_point p, const ads_point q, double bulge, double s,
                     const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out) {
    double theta = 4 * std::atan(std::fabs(bulge));
    double c = acutDistance(p, q);
    double r = (c / 2) / std::sin(theta / 2);
    double length = r * theta;
    double chordAngle = acutAngle(p, q);
    ads_point middle, centre;
    acutPolar(p, chordAngle, c / 2, middle);
    double offset = std::sqrt(r * r - (c / 2) * (c / 2));
    acutPolar(middle, bulge > 0 ? chordAngle + M_PI / 2 : chordAngle - M_PI / 2, offset, centre);
    double a0 = acutAngle(centre, p);
    double direction = bulge > 0 ? 1.0 : -1.0;
    auto station = [&](const ads_point x) {
        double a = acutAngle(centre, x);
        double swept = 0;
        if (bulge > 0) {
            if (a > a0)
                swept = (a - a0) * 180 / M_PI;
            else if (a < a0)
                swept = 360 - (a0 - a) * 180 / M_PI;
        } else {
            if (a > a0)
                swept = 360 - (a - a0) * 180 / M_PI;
            else if (a < a0)
                swept = (a0 - a) * 180 / M_PI;
        }
        return s + 2 * M_PI * r * swept / 360;
    };
    ads_point previous = {p[0], p[1], p[2]};
    if (length > 1) {
        for (int n = 1; n < length; ++n) {
            ads_point next;
            acutPolar(centre, a0 + direction * n / r, r, next);
            cutChord(previous, next, edges, out, station);
            for (int i = 0; i < 3; ++i)
                previous[i] = next[i];
        }
    }
    cutChord(previous, q, edges, out, station);
    return length;
}

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

} // namespace vogref::products
