// Boundary and void clipping of a triangle file against a generated
// boundary of a given number of segments: an outer polygon around the
// surface (nine tenths of the segments) and ten voids inside it. Times the
// indexed clipping on the whole file, and the plain every-segment version on
// the first triangles only (all of them when few), whose time it scales to
// the whole file; both clip that sample and must write the same bytes.
//
//   vog_clip_bench surface.tin SEGMENTS [PLAIN_TRIANGLES]
//
// The boundary, the sample and the clipped files go to the folder in TEMP.
#include "app/host_seam.h"
#include "base/wide_text.h"
#include "host_api.h"
#include "reference/surface/boundary_clip_reference.h"
#include "surface/clip/boundary_clip.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

using namespace vog::surface;

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring wide(const std::filesystem::path& path) {
    return vog::fromUtf8(path.string());
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A closed polygon of n segments around (cx, cy): a wavy outline as a
// surveyed boundary has, each vertex off it by up to a quarter of a segment's
// length, to three decimals, written "x1 y1 z x2 y2 z" per line.
void writePolygon(std::FILE* out, double cx, double cy, double radius, long n,
                  std::mt19937& random) {
    const double step = 2 * std::numbers::pi * radius / static_cast<double>(n);
    std::uniform_real_distribution<double> jitter(-step / 4, step / 4);
    std::vector<std::pair<double, double>> vertices;
    for (long i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * static_cast<double>(i) / n;
        const double r =
            radius * (1 + 0.08 * std::sin(3 * angle) + 0.04 * std::sin(7 * angle + 1)) +
            jitter(random);
        vertices.emplace_back(std::round((cx + r * std::cos(angle)) * 1000) / 1000,
                              std::round((cy + r * std::sin(angle)) * 1000) / 1000);
    }
    for (long i = 0; i < n; ++i) {
        const auto& a = vertices[i];
        const auto& b = vertices[(i + 1) % n];
        std::fprintf(out, "%.3f %.3f 0 %.3f %.3f 0\n", a.first, a.second, b.first, b.second);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s surface.tin SEGMENTS [PLAIN_TRIANGLES]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path source = argv[1];
    const long segments = std::atol(argv[2]);
    const long plainLimit = argc == 4 ? std::atol(argv[3]) : 2000;
    const char* temp = std::getenv("TEMP");
    const std::filesystem::path work = temp ? temp : "/tmp";
    if (segments < 40 || plainLimit < 1) {
        std::fprintf(stderr, "at least 40 segments and 1 plain triangle\n");
        return 2;
    }

    // The surface's extent and the sample for the plain version.
    TriangleFileReader in(wide(source));
    if (!in.isOpen()) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    long triangles = 0;
    std::string sample;
    Triangle t;
    while (in.read(t) == TriangleFileReader::Result::Triangle) {
        for (const Point3& c : t.corners) {
            minX = std::min(minX, c.x), maxX = std::max(maxX, c.x);
            minY = std::min(minY, c.y), maxY = std::max(maxY, c.y);
        }
        if (triangles++ < plainLimit) appendTriangleRecord(sample, t);
    }
    const long sampled = std::min(triangles, plainLimit);
    const std::filesystem::path samplePath = work / "clip_sample.ftin";
    std::ofstream(samplePath, std::ios::binary) << sample;

    const std::filesystem::path boundary = work / "clip_bench.bnd";
    std::FILE* out = std::fopen(boundary.string().c_str(), "w");
    if (!out) return 1;
    std::mt19937 random(5);
    const double cx = (minX + maxX) / 2, cy = (minY + maxY) / 2;
    const double size = std::min(maxX - minX, maxY - minY);
    const long voidSegments = segments / 10 / 10;
    writePolygon(out, cx, cy, size * 0.45, segments - 10 * voidSegments, random);
    for (int v = 0; v < 10; ++v) {
        const double angle = 2 * std::numbers::pi * v / 10;
        writePolygon(out, cx + size * 0.25 * std::cos(angle), cy + size * 0.25 * std::sin(angle),
                     size * 0.06, voidSegments, random);
    }
    std::fclose(out);

    const std::wstring bnd = wide(boundary);
    auto start = std::chrono::steady_clock::now();
    const vog::Seam& seam = vog::app::hostSeam();
    if (clipTrianglesToBoundary(bnd, wide(source), wide(work / "fast.tin"), seam) !=
        vog::Status::ok)
        return 1;
    const double fast = secondsSince(start);

    start = std::chrono::steady_clock::now();
    vogref::surface::clipTrianglesToBoundary(bnd, wide(samplePath),
                                             wide(work / "plain_sample.tin"));
    const double plain = secondsSince(start);
    if (clipTrianglesToBoundary(bnd, wide(samplePath), wide(work / "fast_sample.tin"), seam) !=
        vog::Status::ok)
        return 1;
    const bool same = readAll(work / "plain_sample.tin") == readAll(work / "fast_sample.tin");
    const double plainWhole = plain * static_cast<double>(triangles) / static_cast<double>(sampled);

    std::printf("%ld triangles, %ld segments: indexed %.2f s (%.0f triangles/s); plain %.2f s on "
                "%ld triangles, %s%.1f s for all; samples %s\n",
                triangles, segments, fast, triangles / std::max(fast, 1e-9), plain, sampled,
                sampled < triangles ? "scaled " : "", plainWhole, same ? "identical" : "DIFFER");
    return same ? 0 : 1;
}
