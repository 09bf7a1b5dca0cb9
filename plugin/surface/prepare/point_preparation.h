// Point preparation: turns the user's point file into the sorted point file
// that the triangulation reads. The points are read once into memory, sorted,
// optionally limited to an elevation range, and cleared of points that repeat
// an x and y already present; the file starts with the bounding box of the
// whole point file as a two-line header. Work file #1 is left holding the
// sorted, filtered points, as after a merge sort through the two work files.
#pragma once

#include "geometry/geometry.h"
#include "surface/files/sort_work_files.h"

#include <string>

namespace vog::surface {

// Smallest and largest x, y and z over all points of a point file, each
// coordinate on its own.
struct PointExtremes {
    Point3 min;
    Point3 max;
};

// Writes files.sortedPointFile from pointFile. With useElevationLimits only
// points with minText <= z <= maxText are kept (the bounds converted with
// wcstod: text that does not start with a number counts as 0). Within a group
// of points with equal x and y the first point of the file survives if it
// belongs to the group, otherwise the one with the smallest z. Returns RTNORM,
// or RTERROR after an alert: a file cannot be opened, a record of the point
// file is not a point (then nothing is written), or duplicate removal fails.
// Prints "Optimizing\n".
int preparePoints(const std::wstring& pointFile, bool useElevationLimits,
                  const std::wstring& minText, const std::wstring& maxText,
                  const SortWorkFiles& files);

// Copies the sorted points of files.workFile to files.sortedPointFile behind
// the header made of the extremes, dropping every point whose x and y equal
// those of the point before it. Returns 0, or RTERROR after an alert.
int removeDuplicatePoints(const PointExtremes& extremes, const SortWorkFiles& files);

} // namespace vog::surface
