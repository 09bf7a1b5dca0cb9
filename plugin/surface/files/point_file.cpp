#include "surface/files/point_file.h"

#include "base/wide_text.h"
#include "surface/files/number_text.h"

#include <cmath>

namespace vog::surface {

PointFileReader::PointFileReader(const std::wstring& path, FileMaker maker)
    : path_(path), records_(in_, maker) {
    openDataFile(in_, filePath(path));
}

PointFileReader::Result PointFileReader::read(Point3& point) {
    double values[3];
    switch (records_.read(values)) {
    case RecordReader::Result::End:
        return Result::End;
    case RecordReader::Result::Malformed:
        return Result::Malformed;
    case RecordReader::Result::Unreadable:
        return Result::Unreadable;
    case RecordReader::Result::Record:
        break;
    }
    const double largest[3] = {kLargestPlanCoordinate, kLargestPlanCoordinate, kLargestElevation};
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(values[i]) <= largest[i])) {
            beyondRange_ = std::isfinite(values[i]);
            records_.reject();
            return Result::Malformed;
        }
    }
    point = {roundToSixDecimals(values[0]), roundToSixDecimals(values[1]),
             roundToSixDecimals(values[2])};
    return Result::Point;
}

std::wstring PointFileReader::malformedMessage() const {
    return malformedRecordMessage(path_, records_.malformedLine(), records_.malformedText(),
                                  beyondRange_
                                      ? L"point within the largest coordinates (100000000000 "
                                        L"in plan, 1000000000000000 in height)"
                                      : L"point",
                                  beyondRange_ ? std::string() : records_.malformedDetail());
}

void appendPointRecord(std::string& out, const Point3& point) {
    appendFixed6(out, point.x);
    out += ' ';
    appendFixed6(out, point.y);
    out += ' ';
    appendFixed6(out, point.z);
    out += '\n';
}

void writePointRecord(std::ostream& out, const Point3& point) {
    std::string line;
    appendPointRecord(line, point);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

std::wstring malformedRecordMessage(const std::wstring& path, std::size_t line,
                                    const std::string& text, const wchar_t* what,
                                    const std::string& detail) {
    // A file that is not text at all can hold one huge line: show its start.
    constexpr std::size_t kShownBytes = 200;
    std::wstring shown =
        text.size() > kShownBytes ? fromUtf8(text.substr(0, kShownBytes)) + L"..." : fromUtf8(text);
    if (!detail.empty()) shown += L" " + fromUtf8(detail);
    // Control characters of a binary file are not echoed to the command line.
    for (wchar_t& c : shown)
        if ((c < 0x20 && c != L'\t') || c == 0x7F) c = L'?';
    return L"Line " + std::to_wstring(line) + L" of " + path + L" is not a " + what + L": " + shown;
}

} // namespace vog::surface
