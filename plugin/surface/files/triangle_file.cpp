#include "surface/files/triangle_file.h"

#include "base/wide_text.h"
#include "surface/files/number_text.h"
#include "surface/files/point_file.h"

#include <cmath>

namespace vog::surface {

TriangleFileReader::TriangleFileReader(const std::wstring& path)
    : path_(path), records_(in_, FileMaker::System) {
    openDataFile(in_, filePath(path));
}

TriangleFileReader::Result TriangleFileReader::read(Triangle& triangle) {
    double values[9];
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
    for (double value : values) {
        if (!std::isfinite(value)) {
            records_.reject();
            return Result::Malformed;
        }
    }
    for (int i = 0; i < 3; ++i)
        triangle.corners[i] = {values[3 * i], values[3 * i + 1], values[3 * i + 2]};
    return Result::Triangle;
}

std::wstring TriangleFileReader::malformedMessage() const {
    return malformedRecordMessage(path_, records_.malformedLine(), records_.malformedText(),
                                  L"triangle", records_.malformedDetail());
}

void appendTriangleRecord(std::string& out, const Triangle& triangle) {
    for (int i = 0; i < 3; ++i) {
        const Point3& corner = triangle.corners[i];
        for (double value : {corner.x, corner.y, corner.z}) {
            appendFixed6(out, value);
            out += ' ';
        }
    }
    out.back() = '\n';
}

void writeTriangleRecord(std::ostream& out, const Triangle& triangle) {
    std::string line;
    appendTriangleRecord(line, triangle);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

} // namespace vog::surface
