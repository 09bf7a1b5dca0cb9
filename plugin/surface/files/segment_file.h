// Segment files: the boundary/void file (x1 y1 z1 x2 y2 z2 per record) and
// the fault-line file (the same, or x1 y1 x2 y2 for faults given in plan),
// read under the record rules of the data files.
#pragma once

#include "geometry/geometry.h"

#include <string>
#include <vector>

namespace vog::surface {

enum class SegmentLayout {
    Plan,   // four numbers: x1 y1 x2 y2, both elevations 0
    Spatial // six numbers: x1 y1 z1 x2 y2 z2
};

struct SegmentFileContents {
    enum class Status { Read, NotOpened, Malformed } status = Status::Read;
    std::vector<Segment> segments; // in file order
    // For Malformed: "Line N of <file> is not a <what>: <line text> (N
    // numbers expected, M found)"
    std::wstring message;
};

// Reads every segment of the file, one a line (blank lines skipped; a last
// line without a line end counts). A line that is not the layout's count of
// finite numbers stops the reading as Malformed, with the segments before it
// kept; what names the record kind in the message ("boundary segment",
// "fault line"). A path that is not a file (a folder, a device, a FIFO), or a
// file whose read fails, is NotOpened.
SegmentFileContents readSegmentFile(const std::wstring& path, SegmentLayout layout,
                                    const wchar_t* what);

} // namespace vog::surface
