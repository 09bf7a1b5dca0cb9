// Point preparation: turns the user's point file into the sorted point file
// that the triangulation reads. The points are read once into memory, sorted,
// optionally limited to an elevation range, and cleared of points that repeat
// an x and y already present; the file starts with the bounding box of the
// whole point file as a two-line header. Work file #1 is left holding the
// sorted, filtered points, as after a merge sort through the two work files.
#pragma once

#include "base/seam.h"
#include "base/status.h"
#include "geometry/geometry.h"
#include "surface/files/sort_work_files.h"
#include "surface/prepare/elevation_range.h"

#include <optional>
#include <string>

namespace vog::surface {

// Smallest and largest x, y and z over all points of a point file, each
// coordinate on its own.
struct PointExtremes {
    Point3 min;
    Point3 max;
};

// Writes files.sortedPointFile from pointFile. With limits only the points
// within them are kept. Within a group of points with equal x and y the
// first point of the file survives if it belongs to the group, otherwise the
// one with the smallest z. Returns Status::ok, or failed after an alert: a
// file cannot be opened, a record of the point file is not a point (then
// nothing is written), or duplicate removal fails. Prints "Optimizing\n" and
// shows the meter "Optimizing".
Status preparePoints(const std::wstring& pointFile, std::optional<ElevationLimits> limits,
                     const SortWorkFiles& files, const Seam& seam);

// Copies the sorted points of files.workFile to files.sortedPointFile behind
// the header made of the extremes, dropping every point whose x and y equal
// those of the point before it. Returns Status::ok, or failed after an alert.
Status removeDuplicatePoints(const PointExtremes& extremes, const SortWorkFiles& files,
                             Messages& messages);

} // namespace vog::surface
