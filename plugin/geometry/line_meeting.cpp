#include "geometry/line_meeting.h"

#include <algorithm>
#include <cmath>

namespace vog::geometry {

std::optional<surface::Point3> meetingPoint(const surface::Point3& from1,
                                            const surface::Point3& to1,
                                            const surface::Point3& from2,
                                            const surface::Point3& to2, MeetingOn on) {
    const double f1[3] = {from1.x, from1.y, from1.z}, t1[3] = {to1.x, to1.y, to1.z};
    const double f2[3] = {from2.x, from2.y, from2.z}, t2[3] = {to2.x, to2.y, to2.z};
    double u[3], v[3], w[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = t1[i] - f1[i];
        v[i] = t2[i] - f2[i];
        w[i] = f1[i] - f2[i];
    }
    auto dot = [](const double* a, const double* b) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    };
    const double a = dot(u, u), b = dot(u, v), c = dot(v, v), d = dot(u, w), e = dot(v, w);
    const double denom = a * c - b * b;
    if (a == 0 || c == 0 || denom <= 1e-14 * a * c) return std::nullopt;
    const double t = (b * e - c * d) / denom;
    const double s = (a * e - b * d) / denom;
    double p[3], q[3];
    double scale = 1;
    for (int i = 0; i < 3; ++i) {
        p[i] = f1[i] + t * u[i];
        q[i] = f2[i] + s * v[i];
        scale = std::max(
            {scale, std::fabs(f1[i]), std::fabs(t1[i]), std::fabs(f2[i]), std::fabs(t2[i])});
    }
    const double gap = std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                                 (p[2] - q[2]) * (p[2] - q[2]));
    if (gap > 1e-9 * scale) return std::nullopt;
    if (on == MeetingOn::segments) {
        const double eps = 1e-12;
        if (t < -eps || t > 1 + eps || s < -eps || s > 1 + eps) return std::nullopt;
    }
    return surface::Point3{p[0], p[1], p[2]};
}

} // namespace vog::geometry
