// Reads the data files record by record: a record is the next fixed number of
// numbers, separated by any white space, so the line structure is not
// enforced; lines end with a line feed, a CR LF pair or a lone CR. Two rules
// on top of that:
//  - a record whose last number runs into the end of the file (no line end or
//    other white space after it) is not used: it ends the reading like the end
//    of the file does, which is why every record written ends with a line end;
//  - a record with a token that is not a number, or that the file ends in the
//    middle of, is malformed; the reader names its line.
// The stream is taken in large blocks; only the line of a malformed record
// and the first line of a record that goes on to further lines are copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vog::surface {

class RecordReader {
  public:
    enum class Result { Record, End, Malformed };

    explicit RecordReader(std::istream& in) : in_(in) {}

    // Reads the next record into values (all of its size). After Malformed the
    // reader stays at the bad record.
    Result read(std::span<double> values);

    // The text of the record just read, from the start of its first number to
    // the end of its last, when it is exactly what the writer gives for its
    // numbers: on one line, one blank apart, each in the six-decimal form of
    // isFixed6Text. Empty otherwise. Valid until the next read or rewind.
    std::string_view writtenRecordText() const {
        return std::string_view(buffer_.data() + recordBegin_, recordEnd_ - recordBegin_);
    }

    // The record just read is in the writer's form (writtenRecordText) and is
    // the whole of its line, which ends with a line feed: the writer would
    // give the same bytes for the line.
    bool recordIsWrittenLine() const {
        return recordEnd_ > recordBegin_ && recordBegin_ == lineBegin_ && recordEnd_ == lineEnd_ &&
               lineEnded_ && next_ == lineEnd_ + 1 && buffer_[lineEnd_] == '\n';
    }

    // Marks the record just read as malformed (numbers the caller cannot
    // use), naming the line where it ends.
    void reject() { malformed(lineNumber_, currentLine()); }

    // Back to the start of the stream.
    void rewind();

    // The bytes of the stream taken up to the end of the current line.
    std::uint64_t bytesRead() const { return discarded_ + next_; }

    // The line (counted from 1) and its text, line end removed, of the last
    // malformed record.
    std::size_t malformedLine() const { return malformedLine_; }
    const std::string& malformedText() const { return malformedText_; }

  private:
    bool nextLine();
    // Moves the bytes from keep on to the front of the buffer and appends
    // the next block of the stream; positions are moved along.
    void refill(std::size_t keep, std::size_t& start, std::size_t& scan);
    // Moves to the start of the next token; false at the end of the stream.
    // midRecord: a record has begun, so the line it began on is kept
    // before the next line is read.
    bool skipToToken(bool midRecord);
    std::string currentLine() const {
        return std::string(buffer_.data() + lineBegin_, lineEnd_ - lineBegin_);
    }
    Result malformed(std::size_t line, const std::string& text);

    std::istream& in_;
    std::vector<char> buffer_;
    std::size_t end_ = 0;         // bytes of buffer_ holding stream data
    std::uint64_t discarded_ = 0; // stream bytes dropped before buffer_[0]
    bool streamEnded_ = false;    // the stream has no more bytes
    std::size_t lineBegin_ = 0;   // the current line, line end excluded
    std::size_t lineEnd_ = 0;
    std::size_t next_ = 0;     // where the line after it begins
    std::size_t position_ = 0; // the reading position in the line
    std::size_t lineNumber_ = 0;
    bool lineEnded_ = true; // the current line has a line end
    bool failed_ = false;
    bool recordLineKept_ = false; // the record's first line is in recordLine_
    std::string recordLine_;
    std::size_t recordBegin_ = 0; // the written text of the last record
    std::size_t recordEnd_ = 0;
    std::size_t malformedLine_ = 0;
    std::string malformedText_;
};

} // namespace vog::surface
