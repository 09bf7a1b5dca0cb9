// Plan geometry of the host: angles, polar points, distances, intersections.
#include "host/host_api.h"

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

// Intersection in plan of the line through from1-to1 with the line through
// from2-to2; with teston 1 the point must lie on both segments. The height
// is taken along the first line.
int acdbInters(const ads_point from1, const ads_point to1, const ads_point from2,
               const ads_point to2, int teston, ads_point result) {
    double d1x = to1[0] - from1[0], d1y = to1[1] - from1[1];
    double d2x = to2[0] - from2[0], d2y = to2[1] - from2[1];
    double denom = d1x * d2y - d1y * d2x;
    if (denom == 0) return RTERROR; // parallel, or a line of no length
    double ex = from2[0] - from1[0], ey = from2[1] - from1[1];
    double t = (ex * d2y - ey * d2x) / denom;
    double u = (ex * d1y - ey * d1x) / denom;
    if (teston) {
        const double eps = 1e-10;
        if (t < -eps || t > 1 + eps || u < -eps || u > 1 + eps) return RTERROR;
    }
    result[0] = from1[0] + t * d1x;
    result[1] = from1[1] + t * d1y;
    result[2] = from1[2] + t * (to1[2] - from1[2]);
    return RTNORM;
}
