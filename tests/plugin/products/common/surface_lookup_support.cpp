#include "plugin/products/common/surface_lookup_support.h"

#include <cstdio>

namespace vogtest {

std::string triangleRecord(double x1, double y1, double z1, double x2, double y2, double z2,
                           double x3, double y3, double z3) {
    char line[512];
    std::snprintf(line, sizeof line, "%lf %lf %lf %lf %lf %lf %lf %lf %lf\n", x1, y1, z1, x2, y2,
                  z2, x3, y3, z3);
    return line;
}

std::string gridSurface(double x0, double y0, int cols, int rows, double size,
                        const HeightFunction& height) {
    std::string text;
    for (int i = 0; i < cols; ++i) {
        for (int j = 0; j < rows; ++j) {
            double xa = x0 + i * size, xb = xa + size;
            double ya = y0 + j * size, yb = ya + size;
            // Clockwise in plan, as the triangulation writes them.
            text += triangleRecord(xa, ya, height(xa, ya), xa, yb, height(xa, yb), xb, yb,
                                   height(xb, yb));
            text += triangleRecord(xa, ya, height(xa, ya), xb, yb, height(xb, yb), xb, ya,
                                   height(xb, ya));
        }
    }
    return text;
}

} // namespace vogtest
