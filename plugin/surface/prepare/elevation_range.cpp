#include "surface/prepare/elevation_range.h"

#include "surface/files/point_file.h"

#include <algorithm>
#include <cwchar>

namespace vog::surface {

namespace {

constexpr std::size_t kBoundCapacity = 15;

std::wstring boundText(const NumberText& numberText, double value) {
    return numberText(value).substr(0, kBoundCapacity);
}

} // namespace

ElevationLimits elevationLimits(const ElevationRange& texts) {
    return {std::wcstod(texts.mine.c_str(), nullptr), std::wcstod(texts.maxe.c_str(), nullptr)};
}

Status readElevationRange(const std::wstring& pointFile, ElevationRange& range,
                          const NumberText& numberText, Messages& messages) {
    range = {};
    PointFileReader points(pointFile, FileMaker::User);
    if (!points.isOpen()) return Status::ok;

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
            range.mine = boundText(numberText, lowest);
            range.maxe = boundText(numberText, highest);
            return Status::ok;
        }
    }
    if (result == PointFileReader::Result::Malformed) {
        messages.alert(points.malformedMessage());
        return Status::failed;
    }
    // A file whose read fails is one that cannot be opened: no range, and
    // point preparation says why.
    return Status::ok;
}

} // namespace vog::surface
