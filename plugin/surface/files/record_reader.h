// Reads the data files record by record, one record a line: a line holds
// exactly the record's numbers, separated by blanks or tabs; blank lines are
// skipped. Lines end with a line feed, a CR LF pair or a lone CR. A line
// with another count of numbers, or with a token that is not a number, is
// malformed; the reader names its line, and how many numbers it expected and
// found. The last line of a file may lack its line end; what that means
// depends on who made the file:
//  - in a file the system writes, a record whose last number runs into the
//    end of the file (no line end or other white space after it) is not used:
//    it ends the reading like the end of the file does, which is why every
//    record written ends with a line end;
//  - in a file the user prepares, such a last record is used like any other.
// A read that fails (not the end of the file) makes the file unreadable, as
// if it could not be opened; so does a path that names anything but a file
// (a folder, a device, a FIFO), which is never opened, so that nothing waits
// for a writer that never comes.
// The stream is taken in large blocks; only the line of a malformed record is
// copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vog::surface {

// Who made a data file, which decides its unterminated last record.
enum class FileMaker {
    System, // sorted points, triangle files: an unterminated last record is not used
    User    // point, fault-line, boundary/void and edge exchange files: it is used
};

// Opens a data file for reading when the path names a file (or a link to
// one); anything else leaves the stream closed without touching the path.
void openDataFile(std::ifstream& in, const std::filesystem::path& path);

class RecordReader {
  public:
    enum class Result { Record, End, Malformed, Unreadable };

    explicit RecordReader(std::istream& in, FileMaker maker = FileMaker::System)
        : in_(in), maker_(maker) {}

    // Reads the next record into values (all of its size). After Malformed or
    // Unreadable the reader stays where it is and answers the same again.
    Result read(std::span<double> values);

    // The text of the record just read, from the start of its first number to
    // the end of its last, when it is exactly what the writer gives for its
    // numbers: one blank apart, each in the six-decimal form of isFixed6Text.
    // Empty otherwise. Valid until the next read or rewind.
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
    // use: not finite, or beyond its range), naming its line.
    void reject();

    // Back to the start of the stream.
    void rewind();

    // The bytes of the stream taken up to the end of the current line.
    std::uint64_t bytesRead() const { return discarded_ + next_; }

    // The line (counted from 1) and its text, line end removed, of the last
    // malformed record, and what was wrong with it: "(3 numbers expected, 4
    // found)", or "(3 numbers expected, 2 found, and "x" is not a number)".
    std::size_t malformedLine() const { return malformedLine_; }
    const std::string& malformedText() const { return malformedText_; }
    const std::string& malformedDetail() const { return malformedDetail_; }

  private:
    bool nextLine();
    // Moves the bytes from keep on to the front of the buffer and appends
    // the next block of the stream; positions are moved along.
    void refill(std::size_t keep, std::size_t& start, std::size_t& scan);
    std::string currentLine() const {
        return std::string(buffer_.data() + lineBegin_, lineEnd_ - lineBegin_);
    }
    Result malformed();

    std::istream& in_;
    FileMaker maker_;
    std::vector<char> buffer_;
    std::size_t end_ = 0;         // bytes of buffer_ holding stream data
    std::uint64_t discarded_ = 0; // stream bytes dropped before buffer_[0]
    bool streamEnded_ = false;    // the stream has no more bytes
    bool readFailed_ = false;     // a read of the stream failed
    std::size_t lineBegin_ = 0;   // the current line, line end excluded
    std::size_t lineEnd_ = 0;
    std::size_t next_ = 0; // where the line after it begins
    std::size_t lineNumber_ = 0;
    bool lineEnded_ = true;          // the current line has a line end
    std::size_t expected_ = 0;       // numbers of the record being read
    Result failed_ = Result::Record; // Malformed or Unreadable once failed
    std::size_t recordBegin_ = 0;    // the written text of the last record
    std::size_t recordEnd_ = 0;
    std::size_t malformedLine_ = 0;
    std::string malformedText_;
    std::string malformedDetail_;
};

} // namespace vog::surface
