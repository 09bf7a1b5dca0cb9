// Point files: the user's point file, the sort work file and the sorted point
// file. One point per record, x y z, written "%lf %lf %lf\n" (six decimals).
// Every point is rounded to six decimals as it is read, the value its first
// write gives, so that sorting, duplicate removal and triangulation all see
// the numbers the files hold.
#pragma once

#include "geometry/geometry.h"
#include "surface/files/record_reader.h"

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

namespace vog::surface {

// The largest coordinates a point may have, far beyond any survey. In plan,
// the triangulation's enclosing triangle and circumcircles stay exact enough
// to keep every point up to here (from about 1e12 apart on they drop
// points); heights only need to stay clear of overflow in the products.
constexpr double kLargestPlanCoordinate = 1e11;
constexpr double kLargestElevation = 1e15;

class PointFileReader {
  public:
    enum class Result { Point, End, Malformed, Unreadable };

    // Opens the file; isOpen() tells whether that worked (a path that names
    // a folder, a device or a FIFO is not opened). The user's point file is
    // made by the user; the sort work files by the system.
    explicit PointFileReader(const std::wstring& path, FileMaker maker = FileMaker::System);
    bool isOpen() const { return in_.is_open(); }

    // The next point. A line that is not three numbers within the largest
    // coordinates is Malformed; the alert text is then malformedMessage().
    // Unreadable: a read of the file failed, which counts as a file that
    // cannot be opened.
    Result read(Point3& point);
    void rewind() { records_.rewind(); }

    // The bytes of the file taken so far.
    std::uint64_t bytesRead() const { return records_.bytesRead(); }

    // "Line N of <file> is not a point: <line text> (3 numbers expected, M
    // found)" (naming the largest coordinates for a number beyond them)
    std::wstring malformedMessage() const;

  private:
    bool beyondRange_ = false;
    std::wstring path_;
    std::ifstream in_;
    RecordReader records_;
};

// "x y z\n" with six decimals each.
void appendPointRecord(std::string& out, const Point3& point);
void writePointRecord(std::ostream& out, const Point3& point);

// "Line N of <file> is not a <what>: <line text> <detail>", the text widened
// from the file's bytes; of a line longer than 200 bytes only the start and
// "..."; control characters shown as "?". The detail (RecordReader's
// malformedDetail) says how many numbers were expected and found.
std::wstring malformedRecordMessage(const std::wstring& path, std::size_t line,
                                    const std::string& text, const wchar_t* what,
                                    const std::string& detail = {});

} // namespace vog::surface
