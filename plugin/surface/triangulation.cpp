#include "surface/triangulation.h"

#include "host_api.h"
#include "base/wide_text.h"
#include "project/project_state.h"
#include "surface/files/point_file.h"
#include "surface/sweep/point_insertion.h"
#include "geometry/point_order.h"
#include "base/step_progress.h"
#include "surface/sweep/sweep_front.h"
#include "surface/sweep/sweep_output.h"
#include "surface/files/triangle_file.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>
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

// Room for the points of the sorted point file and the three corners, from
// its size: its shortest line, "0.000000 0.000000 0.000000\n", has 27 bytes.
// Held before reading, the list is never copied as it grows, and the pages
// of room that the points do not fill are never touched.
std::size_t roomForPoints(const std::wstring& sortedPointFile) {
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(filePath(sortedPointFile), error);
    if (error) return 3;
    // Keys are 32-bit: no more points than that are ever kept.
    return static_cast<std::size_t>(std::min<std::uintmax_t>(bytes / 27, 0xffffffffu)) + 3;
}

// Retired triangles go to the writer in batches of about this many. Small
// batches, reused once written, stay in the cache: large ones pass through
// it and push out the working triangles along the front, which the sweep
// comes back to once a column of points (at 10 M points, batches of 65536
// made the sweep 8% slower; batches of 1024 cost more in handing on).
constexpr std::size_t kBatch = 1 << 12;

// The sweep over the points, its triangles handed on to the output as they
// retire. Returns 0, RTCAN on a break or RTERROR after the limit alert.
int sweep(const std::vector<Point3>& vertices, const std::vector<std::uint32_t>& keys,
          std::size_t count, bool ascendingX, SweepOutput& output) {
    StepProgress progress(L"Creating Triangulation", count);
    // Points on one line leave no triangle: the sweep would only make
    // triangles through the enclosing corners (and its literal decisions go
    // wrong along a line).
    if (ascendingX && allOnOneLine(vertices, count)) return acedUsrBrk() == 1 ? RTCAN : 0;
    SweepFront front(vertices, keys, count, ascendingX, triangleLimit());
    std::vector<CornerNumbers> batch;
    for (std::size_t i = 0; i < count; ++i) {
        if (acedUsrBrk() == 1) return RTCAN;
        if (front.insert(static_cast<std::uint32_t>(i)) != 0) return RTERROR;
        if (front.completedCount() >= kBatch) {
            front.takeCompleted(batch);
            output.write(batch);
        }
        progress.advance(i);
    }
    batch = front.finish();
    output.write(batch);
    return 0;
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

int triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile,
                            bool* writtenForm) {
    if (writtenForm) *writtenForm = false;
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
    vertices.reserve(roomForPoints(sortedPointFile));
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
    if (result == PointFileReader::Result::Unreadable) {
        alert(L"Error opening sorted point file.");
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

    // Every triangle with a corner equal to a corner of the enclosing
    // triangle goes.
    SweepOutput output(out, vertices, keys, {keys[count], keys[count + 1], keys[count + 2]});
    if (const int swept = sweep(vertices, keys, count, ascendingX, output); swept != 0) {
        // Nothing of a triangulation that did not end is left in the file.
        output.abandon();
        out.close();
        out.open(filePath(*outputPath), std::ios::binary | std::ios::trunc);
        return swept;
    }

    acutPrintf(L"Done\n");
    if (!output.finish()) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    out.close();
    if (out.fail()) {
        alert(L"Error writing " + *outputPath + L".");
        return RTERROR;
    }
    if (writtenForm) *writtenForm = output.writtenForm();
    return 0;
}

} // namespace vog::surface
