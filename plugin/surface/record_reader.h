// Reads the data files record by record: a record is the next fixed number of
// numbers, separated by any white space, so the line structure is not
// enforced; lines end with a line feed, a CR LF pair or a lone CR. Two rules
// on top of that:
//  - a record whose last number runs into the end of the file (no line end or
//    other white space after it) is not used: it ends the reading like the end
//    of the file does, which is why every record written ends with a line end;
//  - a record with a token that is not a number, or that the file ends in the
//    middle of, is malformed; the reader names its line.
#pragma once

#include <cstddef>
#include <istream>
#include <span>
#include <string>

namespace vog::surface {

class RecordReader {
  public:
    enum class Result { Record, End, Malformed };

    explicit RecordReader(std::istream& in) : in_(in) {}

    // Reads the next record into values (all of its size). After Malformed the
    // reader stays at the bad record.
    Result read(std::span<double> values);

    // Marks the record just read as malformed (numbers the caller cannot
    // use), naming the line where it ends.
    void reject() { malformed(lineNumber_, line_); }

    // Back to the start of the stream.
    void rewind();

    // The line (counted from 1) and its text, line end removed, of the last
    // malformed record.
    std::size_t malformedLine() const { return malformedLine_; }
    const std::string& malformedText() const { return malformedText_; }

  private:
    bool nextLine();
    // Finds the next token; false at the end of the stream.
    // midRecord: a record has begun, so the line it began on is kept
    // before the next line is read.
    bool nextToken(std::string_view& token, bool midRecord);
    Result malformed(std::size_t line, const std::string& text);

    std::istream& in_;
    std::string line_;
    std::string pending_;      // what followed a lone carriage return
    bool pendingEnded_ = true; // lineEnded_ of the line it was cut from
    std::size_t lineNumber_ = 0;
    std::size_t position_ = 0;
    bool lineEnded_ = true; // the current line was ended by a line feed
    bool failed_ = false;
    bool recordLineKept_ = false; // the record's first line is in recordLine_
    std::string recordLine_;
    std::size_t malformedLine_ = 0;
    std::string malformedText_;
};

} // namespace vog::surface
