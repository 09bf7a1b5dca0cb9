// Triangle files (".ttin", ".ftin", ".tin"): one triangle per record, the nine
// corner coordinates x1 y1 z1 x2 y2 z2 x3 y3 z3, written
// "%lf %lf %lf %lf %lf %lf %lf %lf %lf\n". No header and no count: an empty
// file is an empty surface.
#pragma once

#include "geometry/geometry.h"
#include "surface/files/record_reader.h"

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vog::surface {

// The extensions of the triangle files beside the point file.
constexpr const wchar_t* kRawTriangleExtension = L".ttin";
constexpr const wchar_t* kFaultedTriangleExtension = L".ftin";
constexpr const wchar_t* kSurfaceExtension = L".tin";

class TriangleFileReader {
  public:
    enum class Result { Triangle, End, Malformed, Unreadable };

    // A path that names a folder, a device or a FIFO is not opened.
    explicit TriangleFileReader(const std::wstring& path);
    bool isOpen() const { return in_.is_open(); }

    // The next triangle. A line that is not nine finite numbers is
    // Malformed; the alert text is then malformedMessage(). Unreadable: a
    // read of the file failed, which counts as a file that cannot be opened.
    Result read(Triangle& triangle);
    void rewind() { records_.rewind(); }

    // The text of the triangle just read when it is exactly the writer's
    // text for it, else empty (RecordReader::writtenRecordText).
    std::string_view writtenRecordText() const { return records_.writtenRecordText(); }
    // The triangle's line is exactly the writer's line for it
    // (RecordReader::recordIsWrittenLine).
    bool recordIsWrittenLine() const { return records_.recordIsWrittenLine(); }

    // "Line N of <file> is not a triangle: <line text> (9 numbers expected,
    // M found)"
    std::wstring malformedMessage() const;

  private:
    std::wstring path_;
    std::ifstream in_;
    RecordReader records_;
};

// How a walk through a triangle file ended.
enum class [[nodiscard]] TriangleWalk{
    complete,   // every triangle to the end of the file was visited
    stopped,    // the visitor asked to stop
    malformed,  // a record is not a triangle: reader.malformedMessage() names it
    unreadable, // a read of the file failed
};

// Reads the open file from where it stands to its end, handing each triangle
// in file order to visit(const Triangle&), which answers true to go on.
template <class Visit> TriangleWalk forEachTriangle(TriangleFileReader& reader, Visit&& visit) {
    Triangle triangle;
    for (;;) {
        switch (reader.read(triangle)) {
        case TriangleFileReader::Result::Triangle:
            if (!visit(static_cast<const Triangle&>(triangle))) return TriangleWalk::stopped;
            continue;
        case TriangleFileReader::Result::End:
            return TriangleWalk::complete;
        case TriangleFileReader::Result::Malformed:
            return TriangleWalk::malformed;
        case TriangleFileReader::Result::Unreadable:
            return TriangleWalk::unreadable;
        }
    }
}

void appendTriangleRecord(std::string& out, const Triangle& triangle);
void writeTriangleRecord(std::ostream& out, const Triangle& triangle);

} // namespace vog::surface
