// Timing of the surface products on large surfaces: contours, the mesh's
// point lookups and lines, and volumes between two surfaces. Not a test:
// bench/run-products.sh runs it step by step under /usr/bin/time.
//
//   vog_products_bench surface FILE COLS ROWS SEED   grid surface of 2 x COLS x ROWS triangles
//   vog_products_bench contours FILE LEVELS [draw]   trace LEVELS levels over the height range
//   vog_products_bench mesh FILE LINES               the mesh at LINES x LINES grid lines
//   vog_products_bench volumes FILE1 FILE2 CELLS     volumes at CELLS x CELLS cells
//   vog_products_bench lookups                       lookups per second against surface size
#include "app/host_drawing.h"
#include "app/host_seam.h"
#include "products/common/surface_grid.h"
#include "products/common/surface_triangle.h"
#include "products/contours/contour_levels.h"
#include "products/contours/contour_surface.h"
#include "products/contours/contour_tracer.h"
#include "products/contours/contour_writer.h"
#include "products/mesh/mesh_grid.h"
#include "products/mesh/mesh_lines.h"
#include "products/volumes/volumes_grid.h"
#include "surface/files/triangle_file.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace vog;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring wide(const char* text) {
    std::string s(text);
    return std::wstring(s.begin(), s.end());
}

// Rolling ground: a few long waves and hills, with a little roughness.
double groundHeight(double x, double y, double scale, std::mt19937& rng) {
    std::uniform_real_distribution<double> rough(-0.05, 0.05);
    double u = x / scale, v = y / scale;
    return 100 + 20 * std::sin(3.1 * u) * std::cos(2.3 * v) + 8 * std::sin(11.7 * u + 4.1 * v) +
           15 * std::exp(-((u - 0.4) * (u - 0.4) + (v - 0.6) * (v - 0.6)) * 30) + rough(rng);
}

// A grid of squares with jittered inner corners, each square split along a
// random diagonal; corners clockwise in plan, written with "%lf".
int writeSurface(const char* path, int cols, int rows, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3);
    std::bernoulli_distribution coin(0.5);
    const double x0 = 500000, y0 = 4000000, spacing = 1.0;
    std::vector<surface::Point3> points;
    points.reserve(static_cast<std::size_t>(cols + 1) * (rows + 1));
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= cols; ++i) {
            double x = i * spacing + (i > 0 && i < cols ? jitter(rng) : 0);
            double y = j * spacing + (j > 0 && j < rows ? jitter(rng) : 0);
            points.push_back({x0 + x, y0 + y, groundHeight(x, y, cols * spacing, rng)});
        }
    }
    std::FILE* out = std::fopen(path, "w");
    if (!out) return 1;
    auto at = [&](int i, int j) { return points[static_cast<std::size_t>(j) * (cols + 1) + i]; };
    auto put = [&](const surface::Point3& a, const surface::Point3& b, const surface::Point3& c) {
        std::fprintf(out, "%lf %lf %lf %lf %lf %lf %lf %lf %lf\n", a.x, a.y, a.z, b.x, b.y, b.z,
                     c.x, c.y, c.z);
    };
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            auto a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if (coin(rng)) {
                put(a, d, c);
                put(a, c, b);
            } else {
                put(a, d, b);
                put(d, c, b);
            }
        }
    }
    std::fclose(out);
    std::printf("surface %s: %d triangles\n", path, 2 * cols * rows);
    return 0;
}

int contours(const char* path, int levelCount, bool draw) {
    auto start = std::chrono::steady_clock::now();
    surface::TriangleFileReader reader(wide(path));
    products::ContourSurface surface;
    if (!reader.isOpen() ||
        products::readContourSurface(reader, app::hostSeam(), surface) != Status::ok) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return 1;
    }
    double readTime = secondsSince(start);
    double interval = (surface.highest - surface.lowest) / levelCount;
    // levelCount levels strictly inside the height range.
    products::ContourLevels levels;
    levels.interval = interval;
    levels.first = surface.lowest + interval / 2;
    levels.top = surface.lowest + interval * (levelCount - 0.25);

    products::WriterParameters writer;
    writer.contourLayer = L"CONT";
    writer.indexLayer = L"INDEX";
    writer.indexInterval = 5 * interval;
    std::vector<surface::Segment> rounded;
    long long chains = 0, vertices = 0;
    int levelsTraced = 0;
    for (double level = levels.first;; ++levelsTraced)
        if (!products::nextLevel(levels, level)) break;
    start = std::chrono::steady_clock::now();
    const Status status = products::traceContours(
        surface.triangles, surface.rim, levels,
        [&](std::span<const surface::Segment> chain) {
            ++chains;
            vertices += static_cast<long long>(chain.size()) + 1;
            return draw ? products::drawContour(chain, writer, rounded, app::hostDrawing())
                        : Status::ok;
        },
        app::hostSeam());
    double traceTime = secondsSince(start);
    std::printf("contours %s: %zu triangles, rim %zu edges, read %.3f s; %d levels (first %.6f, "
                "interval %.6f): %lld polylines, %lld vertices, %s %.3f s\n",
                path, surface.triangles.size(), surface.rim.size(), readTime, levelsTraced + 1,
                levels.first, interval, chains, vertices, draw ? "traced and drawn" : "traced",
                traceTime);
    return status == Status::ok ? 0 : 1;
}

bool load(const char* path, std::vector<products::SurfaceTriangle>& triangles) {
    products::SurfaceLoad load = products::loadSurface(wide(path));
    if (load.status != products::SurfaceLoad::Status::Loaded) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return false;
    }
    triangles = std::move(load.triangles);
    return true;
}

int mesh(const char* path, int lineCount) {
    auto start = std::chrono::steady_clock::now();
    std::vector<products::SurfaceTriangle> surface;
    if (!load(path, surface)) return 1;
    double readTime = secondsSince(start);
    products::SurfaceExtent extent;
    extent.include(surface);
    const double d =
        std::max(extent.maxX - extent.minX, extent.maxY - extent.minY) / (lineCount - 1);

    start = std::chrono::steady_clock::now();
    products::SurfaceGrid grid = products::buildSurfaceGrid(surface);
    double gridTime = secondsSince(start);

    // Point lookups alone, at every grid point.
    start = std::chrono::steady_clock::now();
    long long lookups = 0, found = 0;
    double sum = 0;
    for (double x = extent.minX; x <= extent.maxX; x += d) {
        for (double y = extent.minY; y <= extent.maxY; y += d) {
            double z;
            ++lookups;
            if (products::firstTriangleElevation(grid, x, y, z)) {
                ++found;
                sum += z;
            }
        }
    }
    double lookupTime = secondsSince(start);

    // The mesh as the command draws it: both directions, written into the
    // drawing.
    start = std::chrono::steady_clock::now();
    std::vector<surface::Segment> line;
    long long lines = 0, segments = 0;
    for (int direction = 0; direction < 2; ++direction) {
        bool alongY = direction == 0;
        double first = alongY ? extent.minX : extent.minY;
        double last = alongY ? extent.maxX : extent.maxY;
        double from = alongY ? extent.minY : extent.minX;
        double to = alongY ? extent.maxY : extent.maxX;
        for (double across = first; across <= last; across += d) {
            (void)products::sampleGridLine(
                grid, alongY ? products::GridDirection::AlongY : products::GridDirection::AlongX,
                across, from, to, d, 1, app::hostSeam().cancellation, line);
            if (line.empty()) continue;
            ++lines;
            segments += static_cast<long long>(line.size());
            if (products::writeMeshLine(line, L"MESH", std::nullopt, app::hostDrawing()) !=
                Status::ok)
                return 1;
        }
    }
    double meshTime = secondsSince(start);
    std::printf("mesh %s: %zu triangles, read %.3f s, grid %.3f s; %lld lookups (%lld on the "
                "surface, mean %.3f) in %.3f s = %.2f M lookups/s; %lld lines, %lld segments "
                "sampled and drawn in %.3f s\n",
                path, surface.size(), readTime, gridTime, lookups, found,
                sum / std::max(1LL, found), lookupTime, lookups / lookupTime / 1e6, lines, segments,
                meshTime);
    return 0;
}

int volumes(const char* existingPath, const char* proposedPath, int cellCount) {
    auto start = std::chrono::steady_clock::now();
    std::vector<products::SurfaceTriangle> existing, proposed;
    if (!load(existingPath, existing) || !load(proposedPath, proposed)) return 1;
    double readTime = secondsSince(start);
    products::SurfaceExtent extent;
    extent.include(existing);
    extent.include(proposed);
    const double t = std::max(extent.maxX - extent.minX, extent.maxY - extent.minY) / cellCount;
    long long columns = 0, rows = 0;
    for (double x = extent.minX; x < extent.maxX; x += t)
        ++columns;
    for (double y = extent.minY; y < extent.maxY; y += t)
        ++rows;
    start = std::chrono::steady_clock::now();
    products::VolumeTotals totals;
    (void)products::integrateVolumes(existing, proposed, t, 1, app::hostSeam(), totals);
    double time = secondsSince(start);
    // Each surface: four corner lookups at a column's first cell, two at
    // every other (the lower corners come from the cell below).
    long long lookups = 2 * columns * (2 * rows + 2);
    std::printf("volumes %s %s: %zu + %zu triangles, read %.3f s; %lld x %lld cells, interval "
                "%.6f: Cut=%lf Fill=%lf Net=%lf in %.3f s (grids included) = %.2f M cells/s, "
                "%.2f M lookups/s\n",
                existingPath, proposedPath, existing.size(), proposed.size(), readTime, columns,
                rows, t, std::fabs(totals.cut), std::fabs(totals.fill), std::fabs(totals.net), time,
                columns * rows / time / 1e6, lookups / time / 1e6);
    return 0;
}

// Lookups per second at random plan points of surfaces of growing size: with
// the grid the rate should not fall as the surface grows.
int lookupScaling() {
    for (int side : {70, 224, 707}) {
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> jitter(-0.3, 0.3);
        std::vector<products::SurfaceTriangle> surface;
        auto corner = [&](int i, int j) {
            return surface::Point3{static_cast<double>(i), static_cast<double>(j),
                                   std::sin(i * 0.1) + std::cos(j * 0.07)};
        };
        for (int j = 0; j < side; ++j) {
            for (int i = 0; i < side; ++i) {
                auto a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1),
                     d = corner(i, j + 1);
                surface.push_back(products::makeSurfaceTriangle(surface::Triangle{{a, d, c}}));
                surface.push_back(products::makeSurfaceTriangle(surface::Triangle{{a, c, b}}));
            }
        }
        products::SurfaceGrid grid = products::buildSurfaceGrid(surface);
        // A 1000 x 1000 lattice over the surface in the mesh's order (x
        // outer, y inner), then the same number of random points.
        std::vector<std::pair<double, double>> lattice;
        const double d = side / 999.0;
        for (int i = 0; i < 1000; ++i)
            for (int j = 0; j < 1000; ++j)
                lattice.push_back({std::min(i * d, double(side)), std::min(j * d, double(side))});
        std::uniform_real_distribution<double> at(0, side);
        std::vector<std::pair<double, double>> scattered(lattice.size());
        for (auto& p : scattered)
            p = {at(rng), at(rng)};
        auto rate = [&](const std::vector<std::pair<double, double>>& points, bool last) {
            auto start = std::chrono::steady_clock::now();
            double sum = 0;
            for (auto [x, y] : points) {
                double z;
                bool found = last ? products::lastTriangleElevation(grid, x, y, z)
                                  : products::firstTriangleElevation(grid, x, y, z);
                if (found) sum += z;
            }
            double time = secondsSince(start);
            if (sum == 12345.678) std::printf(" ");
            return points.size() / time / 1e6;
        };
        double firstRate = rate(lattice, false), lastRate = rate(lattice, true);
        double scatteredRate = rate(scattered, true);
        // The plain scan, on a sample small enough to finish.
        std::size_t plainCount = std::max<std::size_t>(20, 2000000000 / surface.size() / 100);
        plainCount = std::min(plainCount, scattered.size());
        auto start = std::chrono::steady_clock::now();
        double plainSum = 0;
        for (std::size_t k = 0; k < plainCount; ++k) {
            double z;
            if (products::firstTriangleElevation(surface, scattered[k].first, scattered[k].second,
                                                 z))
                plainSum += z;
        }
        double plainTime = secondsSince(start);
        std::printf("lookups on %zu triangles: grid, 1000 x 1000 lattice in mesh order: first "
                    "%.2f M/s, last %.2f M/s; scattered points %.2f M/s; scan of every triangle "
                    "%.5f M/s%s\n",
                    surface.size(), firstRate, lastRate, scatteredRate,
                    plainCount / plainTime / 1e6, plainSum == 12345.678 ? " " : "");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string what = argc > 1 ? argv[1] : "";
    if (what == "surface" && argc == 6)
        return writeSurface(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                            static_cast<unsigned>(std::atoi(argv[5])));
    if (what == "contours" && (argc == 4 || argc == 5))
        return contours(argv[2], std::atoi(argv[3]), argc == 5);
    if (what == "mesh" && argc == 4) return mesh(argv[2], std::atoi(argv[3]));
    if (what == "volumes" && argc == 5) return volumes(argv[2], argv[3], std::atoi(argv[4]));
    if (what == "lookups") return lookupScaling();
    std::fprintf(stderr, "usage: see the top of bench/products_bench.cpp\n");
    return 2;
}
