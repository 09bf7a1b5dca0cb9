#include "plugin/products/contours/contour_test_surfaces.h"

#include "geometry/edge_toggle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vogtest {

std::vector<Segment> rimOf(const std::vector<Triangle>& triangles) {
    std::vector<Segment> rim;
    for (const Triangle& t : triangles)
        for (int k = 0; k < 3; ++k)
            vog::surface::toggleSegment(t.corners[k], t.corners[(k + 1) % 3], rim);
    return rim;
}

void writeTriangleFile(const std::string& path, const std::vector<Triangle>& triangles) {
    std::ofstream out(path, std::ios::binary);
    char line[512];
    for (const Triangle& t : triangles) {
        const auto& c = t.corners;
        std::snprintf(line, sizeof line, "%lf %lf %lf %lf %lf %lf %lf %lf %lf\n", c[0].x, c[0].y,
                      c[0].z, c[1].x, c[1].y, c[1].z, c[2].x, c[2].y, c[2].z);
        out << line;
    }
}

double crossingLength(const std::vector<Triangle>& triangles, double level) {
    double total = 0;
    for (const Triangle& t : triangles) {
        Point3 c[3] = {t.corners[0], t.corners[1], t.corners[2]};
        std::sort(c, c + 3, [](const Point3& a, const Point3& b) { return a.z < b.z; });
        for (const Point3& p : c)
            if (p.z == level) throw std::invalid_argument("level at a corner");
        if (level < c[0].z || level > c[2].z) continue;
        auto cut = [&](const Point3& a, const Point3& b) {
            double f = (level - a.z) / (b.z - a.z);
            return Point3{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), level};
        };
        Point3 p = cut(c[0], c[2]);
        Point3 q = level < c[1].z ? cut(c[0], c[1]) : cut(c[1], c[2]);
        total += std::hypot(p.x - q.x, p.y - q.y);
    }
    return total;
}

std::vector<DrawnPolyline> drawnPolylines(const standin::DrawingDatabase& db) {
    std::vector<DrawnPolyline> out;
    bool open = false;
    for (const standin::Entity& e : db.entities) {
        if (e.erased) continue;
        if (e.type == L"POLYLINE") {
            DrawnPolyline p;
            p.layer = e.layer;
            p.width = e.real(40);
            p.elevation = e.group(10) ? e.group(10)->values[2] : 0;
            p.hasFlags = e.group(70) != nullptr;
            out.push_back(p);
            open = true;
        } else if (e.type == L"VERTEX" && open) {
            const standin::Group* g = e.group(10);
            out.back().vertices.push_back({g->values[0], g->values[1], g->values[2]});
        } else if (e.type == L"SEQEND" && open) {
            out.back().ended = true;
            open = false;
        } else {
            open = false;
        }
    }
    return out;
}

double planLength(const DrawnPolyline& polyline) {
    double total = 0;
    for (std::size_t i = 1; i < polyline.vertices.size(); ++i)
        total += std::hypot(polyline.vertices[i].x - polyline.vertices[i - 1].x,
                            polyline.vertices[i].y - polyline.vertices[i - 1].y);
    return total;
}

} // namespace vogtest
