// Geometry of the host: plan angles, polar points, distances, and the
// intersection of two lines in space.
#include "host_api.h"

#include <algorithm>
#include <cmath>

ads_real acutAngle(const ads_point pt1, const ads_point pt2) {
    double a = std::atan2(pt2[1] - pt1[1], pt2[0] - pt1[0]);
    if (a < 0) a += 2 * M_PI;
    return a;
}

ads_real acutDistance(const ads_point pt1, const ads_point pt2) {
    double dx = pt2[0] - pt1[0], dy = pt2[1] - pt1[1], dz = pt2[2] - pt1[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void acutPolar(const ads_point pt, ads_real angle, ads_real dist, ads_point result) {
    double x = pt[0] + dist * std::cos(angle);
    double y = pt[1] + dist * std::sin(angle);
    result[0] = x;
    result[1] = y;
    result[2] = pt[2];
}

// The lines through from1-to1 and from2-to2 meet when they lie in one plane
// and are not parallel; with teston 1 the point must also lie on both
// segments. Lines that pass each other at a distance do not meet.
int acdbInters(const ads_point from1, const ads_point to1, const ads_point from2,
               const ads_point to2, int teston, ads_point result) {
    double u[3], v[3], w[3];
    for (int i = 0; i < 3; ++i) {
        u[i] = to1[i] - from1[i];
        v[i] = to2[i] - from2[i];
        w[i] = from1[i] - from2[i];
    }
    auto dot = [](const double* a, const double* b) {
        return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    };
    double a = dot(u, u), b = dot(u, v), c = dot(v, v), d = dot(u, w), e = dot(v, w);
    double denom = a * c - b * b;
    if (a == 0 || c == 0 || denom <= 1e-14 * a * c) return RTERROR; // parallel or no length
    double t = (b * e - c * d) / denom;
    double s = (a * e - b * d) / denom;
    double p[3], q[3];
    double scale = 1;
    for (int i = 0; i < 3; ++i) {
        p[i] = from1[i] + t * u[i];
        q[i] = from2[i] + s * v[i];
        scale = std::max({scale, std::fabs(from1[i]), std::fabs(to1[i]), std::fabs(from2[i]),
                          std::fabs(to2[i])});
    }
    double gap = std::sqrt((p[0] - q[0]) * (p[0] - q[0]) + (p[1] - q[1]) * (p[1] - q[1]) +
                           (p[2] - q[2]) * (p[2] - q[2]));
    if (gap > 1e-9 * scale) return RTERROR; // skew lines
    if (teston) {
        const double eps = 1e-12;
        if (t < -eps || t > 1 + eps || s < -eps || s > 1 + eps) return RTERROR;
    }
    for (int i = 0; i < 3; ++i)
        result[i] = p[i];
    return RTNORM;
}
