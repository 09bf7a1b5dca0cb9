#include "surface/triangulation.h"

#include "base/progress_steps.h"
#include "base/wide_text.h"
#include "geometry/point_order.h"
#include "project/project_state.h"
#include "surface/files/point_file.h"
#include "surface/files/triangle_file.h"
#include "surface/sweep/sweep_front.h"
#include "surface/sweep/sweep_output.h"

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
// retire, until the points are done, the working list would pass the limit
// or the user breaks off.
enum class SweepStop { done, limitReached, cancelled };

SweepStop sweep(const std::vector<Point3>& vertices, const std::vector<std::uint32_t>& keys,
                std::size_t count, bool ascendingX, std::size_t limit, SweepOutput& output,
                const Seam& seam) {
    StepMeter progress(seam.progress, L"Creating Triangulation", count, 4096);
    // Points on one line leave no triangle: the sweep would only make
    // triangles through the enclosing corners (and its literal decisions go
    // wrong along a line).
    if (ascendingX && allOnOneLine(vertices, count))
        return seam.cancellation.requested() ? SweepStop::cancelled : SweepStop::done;
    SweepFront front(vertices, keys, count, ascendingX, limit);
    std::vector<CornerNumbers> batch;
    for (std::size_t i = 0; i < count; ++i) {
        if (seam.cancellation.requested()) return SweepStop::cancelled;
        if (!front.insert(static_cast<std::uint32_t>(i))) return SweepStop::limitReached;
        if (front.completedCount() >= kBatch) {
            front.takeCompleted(batch);
            output.write(batch);
        }
        progress.advance(i);
    }
    batch = front.finish();
    output.write(batch);
    return SweepStop::done;
}

// Reads the sorted point file into sorted; the alert already given when
// false.
bool readSortedPoints(PointFileReader& file, SortedPoints& sorted, Messages& messages) {
    PointFileReader::Result result = file.read(sorted.min);
    if (result == PointFileReader::Result::Point) result = file.read(sorted.max);
    if (result == PointFileReader::Result::Point) {
        std::vector<Point3>& vertices = sorted.points;
        Point3 point;
        while ((result = file.read(point)) == PointFileReader::Result::Point) {
            if (!vertices.empty()) {
                const Point3& last = vertices.back();
                if (point.x < last.x) sorted.ascendingX = false;
                if (comparePointsXYZ(last, point) >= 0) sorted.strictlyAscending = false;
            }
            vertices.push_back(point);
        }
    }
    if (result == PointFileReader::Result::Malformed) {
        messages.alert(file.malformedMessage());
        return false;
    }
    if (result == PointFileReader::Result::Unreadable) {
        messages.alert(L"Error opening sorted point file.");
        return false;
    }
    return true;
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

std::size_t triangleLimit(std::size_t pointCount) {
    return 3 * (pointCount + 2);
}

SweepEnd triangulatePoints(SortedPoints& sorted, std::ostream& out, std::size_t limit,
                           const Seam& seam, bool* writtenForm) {
    if (writtenForm) *writtenForm = false;
    std::vector<Point3>& vertices = sorted.points;
    const std::size_t count = vertices.size();
    if (count == 0) {
        seam.messages.print(L"\nNo points to triangulate.");
        return out ? SweepEnd::written : SweepEnd::writeFailed;
    }

    const std::array<Point3, 3> corners = enclosingCorners(sorted.min, sorted.max);
    vertices.insert(vertices.end(), corners.begin(), corners.end());
    const std::vector<std::uint32_t> keys = vertexKeys(vertices, count, sorted.strictlyAscending);

    // Every triangle with a corner equal to a corner of the enclosing
    // triangle goes.
    SweepOutput output(out, vertices, keys, {keys[count], keys[count + 1], keys[count + 2]});
    switch (sweep(vertices, keys, count, sorted.ascendingX, limit, output, seam)) {
    case SweepStop::done:
        break;
    case SweepStop::limitReached:
        output.abandon();
        seam.messages.alert(L"# of triangles exceeds maximum allowed of " + std::to_wstring(limit) +
                            L".  Contact the developer.");
        return SweepEnd::failed;
    case SweepStop::cancelled:
        output.abandon();
        return SweepEnd::cancelled;
    }

    seam.messages.print(L"Done\n");
    if (!output.finish()) return SweepEnd::writeFailed;
    if (writtenForm) *writtenForm = output.writtenForm();
    return SweepEnd::written;
}

Status triangulateSortedPoints(const std::wstring& pointFile, const std::wstring& sortedPointFile,
                               const Seam& seam, bool* writtenForm) {
    if (writtenForm) *writtenForm = false;
    Messages& messages = seam.messages;
    auto outputPath = project::siblingPath(pointFile, kRawTriangleExtension);
    if (!outputPath) {
        messages.alert(L"Point file name has no extension: " + pointFile);
        return Status::failed;
    }
    PointFileReader file(sortedPointFile);
    if (!file.isOpen()) {
        messages.alert(L"Error opening sorted point file.");
        return Status::failed;
    }
    std::ofstream out(filePath(*outputPath), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        messages.alert(L"Error opening triangle file.");
        return Status::failed;
    }

    SortedPoints sorted;
    sorted.points.reserve(roomForPoints(sortedPointFile));
    if (!readSortedPoints(file, sorted, messages)) return Status::failed;

    const std::size_t count = sorted.points.size();
    const SweepEnd end = triangulatePoints(sorted, out, triangleLimit(count), seam, writtenForm);
    switch (end) {
    case SweepEnd::written:
    case SweepEnd::writeFailed:
        break;
    case SweepEnd::failed:
    case SweepEnd::cancelled:
        // Nothing of a triangulation that did not end is left in the file.
        out.close();
        out.open(filePath(*outputPath), std::ios::binary | std::ios::trunc);
        return end == SweepEnd::cancelled ? Status::cancelled : Status::failed;
    }
    if (end == SweepEnd::written) out.close();
    if (end == SweepEnd::writeFailed || out.fail()) {
        if (writtenForm) *writtenForm = false;
        messages.alert(L"Error writing " + *outputPath + L".");
        return Status::failed;
    }
    return Status::ok;
}

} // namespace vog::surface
