#include "products/profile/profile_cut.h"

#include <cmath>

namespace vog::products {

namespace {

// The crossings of the plan chord a-b with the edges, in table order, each
// with the edge's elevation at the crossing. Only the edges near the chord
// are tried; the others cannot cross it. The station is left to the caller.
template <class Station>
void cutChord(const ads_point a, const ads_point b, ProfileEdges& edges,
              std::vector<ProfilePoint>& out, Station station) {
    ads_point a0 = {a[0], a[1], 0}, b0 = {b[0], b[1], 0};
    edgesNearChord(edges.grid, a[0], a[1], b[0], b[1], edges.near, edges.seen, edges.stamp);
    for (std::uint32_t index : edges.near) {
        const SurfaceEdge& e = edges.grid.edges[index];
        ads_point e1 = {e.v[0], e.v[1], 0}, e2 = {e.v[3], e.v[4], 0};
        ads_point x;
        if (acdbInters(a0, b0, e1, e2, 1, x) != RTNORM) continue;
        // The edge's height above the crossing: the edge in space against the
        // vertical through the crossing.
        ads_point top = {e.v[0], e.v[1], e.v[2]}, bottom = {e.v[3], e.v[4], e.v[5]};
        ads_point x0 = {x[0], x[1], 0}, x1 = {x[0], x[1], 1};
        ads_point onEdge;
        if (acdbInters(top, bottom, x0, x1, 0, onEdge) != RTNORM) continue;
        // Coordinates too large to compute with give no usable crossing.
        double at = station(x0);
        if (std::isfinite(at) && std::isfinite(onEdge[2]))
            out.push_back(ProfilePoint{at, onEdge[2]});
    }
}

} // namespace

double cutStraightSegment(const ads_point p, const ads_point q, double s, ProfileEdges& edges,
                          std::vector<ProfilePoint>& out) {
    cutChord(p, q, edges, out, [&](const ads_point x) { return s + acutDistance(p, x); });
    return acutDistance(p, q);
}

double cutArcSegment(const ads_point p, const ads_point q, double bulge, double s,
                     ProfileEdges& edges, std::vector<ProfilePoint>& out) {
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
        // A 64-bit count: an arc of nearly a whole turn through two close points
        // has a huge radius and more chords than an int holds.
        for (long long n = 1; n < length; ++n) {
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

double cutStraightSegment(const ads_point p, const ads_point q, double s,
                          const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out) {
    ProfileEdges indexed(edges);
    return cutStraightSegment(p, q, s, indexed, out);
}

double cutArcSegment(const ads_point p, const ads_point q, double bulge, double s,
                     const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out) {
    ProfileEdges indexed(edges);
    return cutArcSegment(p, q, bulge, s, indexed, out);
}

} // namespace vog::products
