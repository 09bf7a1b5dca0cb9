// Timing of the fault step on a triangle file: writes COUNT faults between
// surface vertices (from a few triangles long to about forty vertex
// spacings, every third across the one before) beside the surface, applies
// them, and prints the time. With --plain the test oracle's scan of every
// triangle per fault runs as well, and both ".ftin" files are compared.
//
//   vog_fault_bench [--plain] SURFACE.tin COUNT SEED
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "host/standin.h"
#include "host_api.h"
#include "project/project_state.h"
#include "reference/surface/fault_reference.h"
#include "surface/faults/fault_lines.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace vog::surface;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<Point3> surfaceVertices(const std::wstring& path, std::size_t& triangles) {
    TriangleFileReader in(path);
    std::set<std::tuple<double, double, double>> seen;
    std::vector<Point3> vertices;
    Triangle t;
    triangles = 0;
    while (in.read(t) == TriangleFileReader::Result::Triangle) {
        ++triangles;
        for (const Point3& c : t.corners)
            if (seen.insert({c.x, c.y, c.z}).second) vertices.push_back(c);
    }
    return vertices;
}

// The vertex nearest to (x, y) among a sample: exact nearness does not
// matter for timing, only that the ends are vertices.
struct VertexGrid {
    explicit VertexGrid(const std::vector<Point3>& vertices) : vertices_(vertices) {
        for (const Point3& v : vertices) {
            minX = std::min(minX, v.x);
            minY = std::min(minY, v.y);
            maxX = std::max(maxX, v.x);
            maxY = std::max(maxY, v.y);
        }
        side = static_cast<std::size_t>(std::sqrt(static_cast<double>(vertices.size()))) + 1;
        cells.resize(side * side);
        for (std::size_t i = 0; i < vertices.size(); ++i)
            cells[cellOf(vertices[i].x, vertices[i].y)].push_back(i);
        spacing = std::sqrt((maxX - minX) * (maxY - minY) / static_cast<double>(vertices.size()));
    }
    std::size_t cellOf(double x, double y) const {
        auto clampTo = [&](double f) {
            return static_cast<std::size_t>(std::clamp(f, 0.0, static_cast<double>(side - 1)));
        };
        return clampTo((y - minY) / (maxY - minY) * static_cast<double>(side)) * side +
               clampTo((x - minX) / (maxX - minX) * static_cast<double>(side));
    }
    Point3 nearest(double x, double y) const {
        const std::vector<std::size_t>* found = &cells[cellOf(x, y)];
        for (std::size_t ring = 0; found->empty() && ring < side; ++ring)
            found = &cells[(cellOf(x, y) + ring) % cells.size()];
        Point3 best = vertices_[found->front()];
        for (std::size_t i : *found)
            if (std::hypot(vertices_[i].x - x, vertices_[i].y - y) <
                std::hypot(best.x - x, best.y - y))
                best = vertices_[i];
        return best;
    }

    const std::vector<Point3>& vertices_;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    double spacing = 1;
    std::size_t side = 1;
    std::vector<std::vector<std::size_t>> cells;
};

std::string faultFile(const std::vector<Point3>& vertices, int count, unsigned seed) {
    const VertexGrid grid(vertices);
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, vertices.size() - 1);
    std::uniform_real_distribution<double> unit(0, 1);
    std::string text;
    Point3 lastA, lastB;
    char line[256];
    for (int k = 0; k < count; ++k) {
        Point3 a, b;
        if (k % 3 == 2) {
            const double mx = (lastA.x + lastB.x) / 2, my = (lastA.y + lastB.y) / 2;
            const double dx = lastB.x - lastA.x, dy = lastB.y - lastA.y;
            const double half = (0.3 + unit(random)) * grid.spacing * 4 /
                                std::max(std::hypot(dx, dy), grid.spacing);
            a = grid.nearest(mx - dy * half, my + dx * half);
            b = grid.nearest(mx + dy * half, my - dx * half);
        } else {
            a = vertices[pick(random)];
            const double length = grid.spacing * (2 + 38 * std::pow(unit(random), 2));
            const double angle = 2 * M_PI * unit(random);
            b = grid.nearest(a.x + length * std::cos(angle), a.y + length * std::sin(angle));
        }
        lastA = a;
        lastB = b;
        std::snprintf(line, sizeof line, "%.6f %.6f %.6f %.6f %.6f %.6f\n", a.x, a.y, a.z, b.x, b.y,
                      b.z);
        text += line;
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    bool plain = false;
    int arg = 1;
    if (arg < argc && std::strcmp(argv[arg], "--plain") == 0) {
        plain = true;
        ++arg;
    }
    if (argc - arg != 3) {
        std::fprintf(stderr, "usage: %s [--plain] SURFACE.tin COUNT SEED\n", argv[0]);
        return 2;
    }
    const std::filesystem::path surfacePath = argv[arg];
    const int count = std::atoi(argv[arg + 1]);
    const unsigned seed = static_cast<unsigned>(std::atoi(argv[arg + 2]));
    const std::wstring surface = vog::fromUtf8(surfacePath.string());

    std::size_t triangles = 0;
    const std::vector<Point3> vertices = surfaceVertices(surface, triangles);
    if (vertices.size() < 3) {
        std::fprintf(stderr, "%s: no surface\n", argv[arg]);
        return 1;
    }
    std::filesystem::path faults = surfacePath;
    faults.replace_extension(".flt");
    std::ofstream(faults, std::ios::binary) << faultFile(vertices, count, seed);
    std::filesystem::path output = surfacePath;
    output.replace_extension(".ftin");
    const std::wstring faultPath = vog::fromUtf8(faults.string());
    vog::project::setSetting(L"ubound", L"0");

    // The console text of each run, to count and compare the messages.
    auto missing = [](const std::string& text) {
        std::size_t n = 0;
        for (std::size_t at = 0; (at = text.find("missing for", at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    std::printf("%zu triangles, %d faults\n", triangles, count);
    std::string fastConsole;
    auto start = std::chrono::steady_clock::now();
    {
        standin::OutputCapture capture;
        if (applyFaultLines(surface, faultPath, 3, vog::app::hostSeam()) != vog::Status::ok)
            return 1;
        fastConsole = capture.text();
    }
    std::printf("indexed: %.2f s, %zu reported missing\n", secondsSince(start),
                missing(fastConsole));
    if (!plain) return 0;

    const std::string fast = readAll(output);
    std::string plainConsole;
    start = std::chrono::steady_clock::now();
    {
        standin::OutputCapture capture;
        if (vogref::surface::applyFaultLines(surface, faultPath, 3) != 0) return 1;
        plainConsole = capture.text();
    }
    std::printf("plain: %.2f s, %zu reported missing\n", secondsSince(start),
                missing(plainConsole));
    const bool same = readAll(output) == fast && plainConsole == fastConsole;
    std::printf("fault files and messages %s\n", same ? "identical" : "DIFFER");
    return same ? 0 : 1;
}
