#include "surface/triangulation.h"

#include "host/host_api.h"
#include "host/wide_text.h"
#include "project/project_state.h"
#include "surface/number_text.h"
#include "surface/point_file.h"
#include "surface/point_insertion.h"
#include "surface/point_order.h"
#include "surface/step_progress.h"
#include "surface/sweep_front.h"
#include "surface/triangle_file.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <fstream>
#include <unordered_map>
#include <vector>

namespace vog::surface {

namespace {

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

// Exact coordinates as a hash key; -0 and +0 are the same number.
struct CoordinateKey {
    double x, y, z;
    friend bool operator==(const CoordinateKey&, const CoordinateKey&) = default;
};

struct CoordinateHash {
    std::size_t operator()(const CoordinateKey& k) const {
        std::uint64_t h = std::bit_cast<std::uint64_t>(k.x + 0.0);
        h = h * 0x9E3779B97F4A7C15ull ^ std::bit_cast<std::uint64_t>(k.y + 0.0);
        h = h * 0x9E3779B97F4A7C15ull ^ std::bit_cast<std::uint64_t>(k.z + 0.0);
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// Numbers that are equal exactly for vertices with equal coordinates, so
// that edges compare as the segment toggle compares them. The points of a
// sorted point file are all different; only the enclosing corners need a
// look then.
std::vector<std::uint32_t> vertexKeys(const std::vector<Point3>& vertices, std::size_t count,
                                      bool strictlyAscending) {
    std::vector<std::uint32_t> keys(vertices.size());
    if (strictlyAscending) {
        for (std::size_t i = 0; i < count; ++i)
            keys[i] = static_cast<std::uint32_t>(i);
        const auto begin = vertices.begin();
        const auto end = vertices.begin() + static_cast<std::ptrdiff_t>(count);
        for (std::size_t k = count; k < vertices.size(); ++k) {
            keys[k] = static_cast<std::uint32_t>(k);
            auto at =
                std::lower_bound(begin, end, vertices[k], [](const Point3& a, const Point3& b) {
                    return comparePointsXYZ(a, b) < 0;
                });
            if (at != end && comparePointsXYZ(*at, vertices[k]) == 0) {
                keys[k] = static_cast<std::uint32_t>(at - begin);
                continue;
            }
            for (std::size_t j = count; j < k; ++j)
                if (vertices[j] == vertices[k]) keys[k] = keys[j];
        }
        return keys;
    }
    std::unordered_map<CoordinateKey, std::uint32_t, CoordinateHash> seen;
    seen.reserve(vertices.size());
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Point3& v = vertices[i];
        keys[i] = seen.try_emplace({v.x, v.y, v.z}, static_cast<std::uint32_t>(i)).first->second;
    }
    return keys;
}

// Writes the triangles, each point's text made once.
bool writeTriangles(std::ofstream& out, const std::vector<Point3>& vertices,
                    const std::vector<CornerNumbers>& triangles) {
    std::string texts;
    std::vector<std::uint64_t> starts;
    starts.reserve(vertices.size() + 1);
    for (const Point3& v : vertices) {
        starts.push_back(texts.size());
        appendFixed6(texts, v.x);
        texts += ' ';
        appendFixed6(texts, v.y);
        texts += ' ';
        appendFixed6(texts, v.z);
    }
    starts.push_back(texts.size());

    constexpr std::size_t kBlock = 1 << 20;
    std::string block;
    block.reserve(kBlock + 512);
    for (const CornerNumbers& t : triangles) {
        for (int k = 0; k < 3; ++k) {
            block.append(texts, starts[t[k]], starts[t[k] + 1] - starts[t[k]]);
            block += k < 2 ? ' ' : '\n';
        }
        if (block.size() >= kBlock) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    return static_cast<bool>(out);
}

} // namespace

std::array<Point3, 3> enclosingCorners(const Point3& min, const Point3& max) {
    const double d = std::max(max.x - min.x, max.y - min.y);
    const double xm = (min.x + max.x) * 0.5;
    const double ym = (min.y + max.y) * 0.5;
    return {{{xm - 16000 * d, ym - 8000 * d, 0},
             {xm, ym + 8000 * d, 0},
             {xm + 16000 * d, ym - 8000 * d, 0}}};
}

int triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile) {
    auto outputPath = project::siblingPath(pointFile, kRawTriangleExtension);
    if (!outputPath) {
        alert(L"Point file name has no extension: " + pointFile);
        return RTERROR;
    }
    PointFileReader sorted(sortedPointFile);
    if (!sorted.isOpen()) {
        alert(L"Error opening sorted point file.");
        return RTERROR;
    }
    std::ofstream out(filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        alert(L"Error opening triangle file.");
        return RTERROR;
    }

    // Header (the extremes), then the points.
    Point3 min;
    Point3 max;
    std::vector<Point3> vertices;
    bool ascendingX = true;
    bool strictlyAscending = true;
    PointFileReader::Result result = sorted.read(min);
    if (result == PointFileReader::Result::Point) result = sorted.read(max);
    if (result == PointFileReader::Result::Point) {
        Point3 point;
        while ((result = sorted.read(point)) == PointFileReader::Result::Point) {
            if (!vertices.empty()) {
                const Point3& last = vertices.back();
                if (point.x < last.x) ascendingX = false;
                if (comparePointsXYZ(last, point) >= 0) strictlyAscending = false;
            }
            vertices.push_back(point);
        }
    }
    if (result == PointFileReader::Result::Malformed) {
        alert(sorted.malformedMessage());
        return RTERROR;
    }
    const std::size_t count = vertices.size();
    setTriangulationPointCount(count + 2);

    if (count == 0) {
        acutPrintf(L"\nNo points to triangulate.");
        out.close();
        if (out.fail()) {
            alert(L"Error writing " + *outputPath + L".");
            return RTERROR;
        }
        return 0;
    }

    const std::array<Point3, 3> corners = enclosingCorners(min, max);
    vertices.insert(vertices.end(), corners.begin(), corners.end());
    const std::vector<std::uint32_t> keys = vertexKeys(vertices, count, strictlyAscending);

    std::vector<CornerNumbers> all;
    {
        StepProgress progress(L"Creating Triangulation", count);
        SweepFront front(vertices, keys, count, ascendingX, triangleLimit());
        for (std::size_t i = 0; i < count; ++i) {
            if (acedUsrBrk() == 1) return RTCAN;
            if (front.insert(static_cast<std::uint32_t>(i)) != 0) return RTERROR;
            progress.advance(i);
        }
        all = front.finish();
    }

    // Every triangle with a corner equal to a corner of the enclosing
    // triangle goes.
    const std::uint32_t k1 = keys[count], k2 = keys[count + 1], k3 = keys[count + 2];
    std::erase_if(all, [&](const CornerNumbers& t) {
        for (std::uint32_t c : t)
            if (keys[c] == k1 || keys[c] == k2 || keys[c] == k3) return true;
        return false;
    });

    acutPrintf(L"Done\n");
    if (!writeTriangles(out, vertices, all)) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    out.close();
    if (out.fail()) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    return 0;
}

} // namespace vog::surface
