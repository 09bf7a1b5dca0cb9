#include "surface/prepare/elevation_range.h"

#include "host_api.h"
#include "surface/files/point_file.h"

#include <algorithm>

namespace vog::surface {

namespace {

constexpr std::size_t kBoundCapacity = 15;

// The value in decimal units at the drawing's precision; empty when the host
// cannot convert it.
std::wstring boundText(double value) {
    ACHAR text[64];
    if (acdbRToS(value, 2, -1, text) != RTNORM) return {};
    return std::wstring(text).substr(0, kBoundCapacity);
}

} // namespace

int readElevationRange(const std::wstring& pointFile, ElevationRange& range) {
    range = {};
    PointFileReader points(pointFile, FileMaker::User);
    if (!points.isOpen()) return 0;

    Point3 point;
    PointFileReader::Result result = points.read(point);
    if (result == PointFileReader::Result::Point) {
        double lowest = point.z;
        double highest = point.z;
        while ((result = points.read(point)) == PointFileReader::Result::Point) {
            lowest = std::min(lowest, point.z);
            highest = std::max(highest, point.z);
        }
        if (result == PointFileReader::Result::End) {
            range.mine = boundText(lowest);
            range.maxe = boundText(highest);
            return 0;
        }
    }
    if (result == PointFileReader::Result::Malformed) {
        acedAlert(points.malformedMessage().c_str());
        return RTERROR;
    }
    // A file whose read fails is one that cannot be opened: no range, and
    // point preparation says why.
    return 0;
}

} // namespace vog::surface
