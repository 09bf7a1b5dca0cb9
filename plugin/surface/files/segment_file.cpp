#include "surface/files/segment_file.h"

#include "base/wide_text.h"
#include "surface/files/point_file.h"
#include "surface/files/record_reader.h"

#include <cmath>
#include <fstream>

namespace vog::surface {

SegmentFileContents readSegmentFile(const std::wstring& path, SegmentLayout layout,
                                    const wchar_t* what) {
    SegmentFileContents contents;
    std::ifstream in;
    openDataFile(in, filePath(path));
    if (!in.is_open()) {
        contents.status = SegmentFileContents::Status::NotOpened;
        return contents;
    }
    // Both files are the user's: a complete last line without a line end
    // is a segment like any other.
    RecordReader records(in, FileMaker::User);
    double values[6];
    const std::size_t count = layout == SegmentLayout::Plan ? 4 : 6;
    for (;;) {
        RecordReader::Result result = records.read(std::span<double>(values, count));
        if (result == RecordReader::Result::End) break;
        if (result == RecordReader::Result::Unreadable) {
            // A read that fails is a file that cannot be opened.
            contents.status = SegmentFileContents::Status::NotOpened;
            contents.segments.clear();
            return contents;
        }
        bool finite = result == RecordReader::Result::Record;
        for (std::size_t i = 0; finite && i < count; ++i)
            finite = std::isfinite(values[i]);
        if (!finite) {
            if (result == RecordReader::Result::Record) records.reject();
            contents.status = SegmentFileContents::Status::Malformed;
            contents.message =
                malformedRecordMessage(path, records.malformedLine(), records.malformedText(), what,
                                       records.malformedDetail());
            return contents;
        }
        Segment segment;
        if (layout == SegmentLayout::Plan)
            segment = {{values[0], values[1], 0}, {values[2], values[3], 0}};
        else
            segment = {{values[0], values[1], values[2]}, {values[3], values[4], values[5]}};
        contents.segments.push_back(segment);
    }
    return contents;
}

} // namespace vog::surface
