#include "products/profile/profile_cut.h"

#include "geometry/line_meeting.h"
#include "geometry/plan_angles.h"

#include <cmath>

namespace vog::products {

namespace {

using geometry::MeetingOn;
using geometry::meetingPoint;
using geometry::planAngle;
using geometry::polarPoint;
using geometry::spaceDistance;
using surface::Point3;

// The crossings of the plan chord a-b with the edges, in table order, each
// with the edge's elevation at the crossing. Only the edges near the chord
// are tried; the others cannot cross it. The station is left to the caller.
template <class Station>
void cutChord(const Point3& a, const Point3& b, ProfileEdges& edges, std::vector<ProfilePoint>& out,
              Station station) {
    const Point3 a0 = {a.x, a.y, 0}, b0 = {b.x, b.y, 0};
    edgesNearChord(edges.grid, a.x, a.y, b.x, b.y, edges.near, edges.seen, edges.stamp);
    for (std::uint32_t index : edges.near) {
        const SurfaceEdge& e = edges.grid.edges[index];
        const Point3 e1 = {e.v[0], e.v[1], 0}, e2 = {e.v[3], e.v[4], 0};
        const std::optional<Point3> x = meetingPoint(a0, b0, e1, e2, MeetingOn::segments);
        if (!x) continue;
        // The edge's height above the crossing: the edge in space against the
        // vertical through the crossing.
        const Point3 top = {e.v[0], e.v[1], e.v[2]}, bottom = {e.v[3], e.v[4], e.v[5]};
        const Point3 x0 = {x->x, x->y, 0}, x1 = {x->x, x->y, 1};
        const std::optional<Point3> onEdge = meetingPoint(top, bottom, x0, x1, MeetingOn::lines);
        if (!onEdge) continue;
        // Coordinates too large to compute with give no usable crossing.
        double at = station(x0);
        if (std::isfinite(at) && std::isfinite(onEdge->z))
            out.push_back(ProfilePoint{at, onEdge->z});
    }
}

} // namespace

double cutStraightSegment(const Point3& p, const Point3& q, double s, ProfileEdges& edges,
                          std::vector<ProfilePoint>& out) {
    cutChord(p, q, edges, out, [&](const Point3& x) { return s + spaceDistance(p, x); });
    return spaceDistance(p, q);
}

double cutArcSegment(const Point3& p, const Point3& q, double bulge, double s, ProfileEdges& edges,
                     std::vector<ProfilePoint>& out) {
    double theta = 4 * std::atan(std::fabs(bulge));
    double c = spaceDistance(p, q);
    double r = (c / 2) / std::sin(theta / 2);
    double length = r * theta;

    double chordAngle = planAngle(p, q);
    const Point3 middle = polarPoint(p, chordAngle, c / 2);
    double offset = std::sqrt(r * r - (c / 2) * (c / 2));
    const Point3 centre =
        polarPoint(middle, bulge > 0 ? chordAngle + M_PI / 2 : chordAngle - M_PI / 2, offset);
    double a0 = planAngle(centre, p);
    double direction = bulge > 0 ? 1.0 : -1.0;

    auto station = [&](const Point3& x) {
        double a = planAngle(centre, x);
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

    Point3 previous = p;
    if (length > 1) {
        // A 64-bit count: an arc of nearly a whole turn through two close points
        // has a huge radius and more chords than an int holds.
        for (long long n = 1; n < length; ++n) {
            const Point3 next = polarPoint(centre, a0 + direction * n / r, r);
            cutChord(previous, next, edges, out, station);
            previous = next;
        }
    }
    cutChord(previous, q, edges, out, station);
    return length;
}

double cutStraightSegment(const Point3& p, const Point3& q, double s,
                          const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out) {
    ProfileEdges indexed(edges);
    return cutStraightSegment(p, q, s, indexed, out);
}

double cutArcSegment(const Point3& p, const Point3& q, double bulge, double s,
                     const std::vector<SurfaceEdge>& edges, std::vector<ProfilePoint>& out) {
    ProfileEdges indexed(edges);
    return cutArcSegment(p, q, bulge, s, indexed, out);
}

} // namespace vog::products
