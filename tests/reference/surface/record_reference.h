// The data-file readers and the number writer in their plainest form, kept as
// the oracle of the fast versions: a line at a time through getline, every
// token parsed on its own, every number written through to_chars.
#pragma once

#include "geometry/geometry.h"

#include <cstddef>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

namespace vogref::surface {

using vog::surface::Point3;
using vog::surface::Triangle;

void appendFixed6(std::string& out, double value);
double roundToSixDecimals(double value);
bool parseNumber(std::string_view token, double& value);

class RecordReader {
  public:
    enum class Result { Record, End, Malformed };

    // lastLineUsed: a complete last line without a line end is a record (the
    // files the user prepares); otherwise it is not used.
    explicit RecordReader(std::istream& in, bool lastLineUsed = false)
        : in_(in), lastLineUsed_(lastLineUsed) {}
    Result read(std::span<double> values);
    void reject() { malformed(lineNumber_, line_); }
    void rewind();
    std::size_t malformedLine() const { return malformedLine_; }
    const std::string& malformedText() const { return malformedText_; }
    // "(K numbers expected, M found)", with the first token that is not a
    // finite number named.
    std::string malformedDetail() const;

  private:
    bool nextLine();
    bool nextToken(std::string_view& token);
    Result malformed(std::size_t line, const std::string& text);

    std::istream& in_;
    bool lastLineUsed_ = false;
    std::size_t expected_ = 0;
    std::string line_;
    std::size_t lineNumber_ = 0;
    std::size_t position_ = 0;
    bool lineEnded_ = true;
    bool failed_ = false;
    std::size_t malformedLine_ = 0;
    std::string malformedText_;
};

class PointFileReader {
  public:
    enum class Result { Point, End, Malformed };

    // userFile: the user's point file, whose complete last line counts
    // without a line end.
    explicit PointFileReader(const std::wstring& path, bool userFile = false);
    bool isOpen() const { return in_.is_open(); }
    Result read(Point3& point);
    void rewind() { records_.rewind(); }
    std::wstring malformedMessage() const;

  private:
    std::wstring path_;
    std::ifstream in_;
    RecordReader records_;
};

class TriangleFileReader {
  public:
    enum class Result { Triangle, End, Malformed };

    explicit TriangleFileReader(const std::wstring& path);
    bool isOpen() const { return in_.is_open(); }
    Result read(Triangle& triangle);
    void rewind() { records_.rewind(); }
    std::wstring malformedMessage() const;

  private:
    std::wstring path_;
    std::ifstream in_;
    RecordReader records_;
};

void writePointRecord(std::ostream& out, const Point3& point);
void appendTriangleRecord(std::string& out, const Triangle& triangle);
void writeTriangleRecord(std::ostream& out, const Triangle& triangle);

} // namespace vogref::surface
