#include "surface/record_reader.h"

#include "surface/number_text.h"

#include <array>
#include <cstring>

namespace vog::surface {

namespace {

// The stream is read this much at a time; a longer line grows the buffer.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// The white space that separates numbers, as the C library counts it.
constexpr std::array<bool, 256> kSeparators = [] {
    std::array<bool, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        table[c] = true;
    return table;
}();

bool isSeparator(char c) {
    return kSeparators[static_cast<unsigned char>(c)];
}

} // namespace

void RecordReader::refill(std::size_t keep, std::size_t& start, std::size_t& scan) {
    char* data = buffer_.data();
    if (keep > 0) {
        std::memmove(data, data + keep, end_ - keep);
        end_ -= keep;
        discarded_ += keep;
        start -= keep;
        scan -= keep;
        next_ -= keep;
        // The current line is gone; nothing reads it before the next one.
        lineBegin_ = lineEnd_ = position_ = recordBegin_ = recordEnd_ = 0;
    }
    if (buffer_.size() - end_ < kBlockSize) buffer_.resize(end_ + kBlockSize);
    const std::size_t wanted = buffer_.size() - end_;
    in_.read(buffer_.data() + end_, static_cast<std::streamsize>(wanted));
    const auto got = static_cast<std::size_t>(in_.gcount());
    end_ += got;
    // A read stops short only at the end of the stream (or on an error,
    // which ends the data all the same).
    if (got < wanted) streamEnded_ = true;
}

bool RecordReader::nextLine() {
    std::size_t start = next_;
    std::size_t scan = start;
    std::size_t stop = 0;  // end of the line's text
    std::size_t after = 0; // start of the line after it
    bool ended = true;
    for (;;) {
        const char* data = buffer_.data();
        const void* lf = scan < end_ ? std::memchr(data + scan, '\n', end_ - scan) : nullptr;
        const std::size_t lfAt =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : end_;
        const void* cr = lfAt > scan ? std::memchr(data + scan, '\r', lfAt - scan) : nullptr;
        if (cr) {
            // A carriage return ends the line: with the line feed after it
            // as one line end, alone (as in files of older systems) as a
            // line end of its own. The byte after it decides which.
            const auto crAt = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
            if (crAt + 1 < end_ || streamEnded_) {
                stop = crAt;
                after = crAt + 1 < end_ && data[crAt + 1] == '\n' ? crAt + 2 : crAt + 1;
                break;
            }
            scan = crAt;
        } else if (lf) {
            stop = lfAt;
            after = lfAt + 1;
            break;
        } else if (streamEnded_) {
            if (start == end_) {
                lineBegin_ = lineEnd_ = position_ = next_ = end_;
                return false;
            }
            // The last line has no line end.
            stop = end_;
            after = end_;
            ended = false;
            break;
        } else {
            scan = end_;
        }
        refill(start, start, scan);
    }
    ++lineNumber_;
    lineBegin_ = start;
    lineEnd_ = stop;
    next_ = after;
    position_ = start;
    lineEnded_ = ended;
    // Files saved by editors that mark UTF-8 text start with its byte-order
    // mark; it is not part of the first number.
    if (lineNumber_ == 1 && stop - start >= 3 &&
        std::memcmp(buffer_.data() + start, "\xEF\xBB\xBF", 3) == 0) {
        lineBegin_ += 3;
        position_ += 3;
    }
    return true;
}

bool RecordReader::skipToToken(bool midRecord) {
    for (;;) {
        const char* data = buffer_.data();
        while (position_ < lineEnd_ && isSeparator(data[position_]))
            ++position_;
        if (position_ < lineEnd_) return true;
        if (midRecord && !recordLineKept_) {
            recordLine_ = currentLine();
            recordLineKept_ = true;
        }
        if (!nextLine()) return false;
    }
}

RecordReader::Result RecordReader::malformed(std::size_t line, const std::string& text) {
    failed_ = true;
    malformedLine_ = line;
    malformedText_ = text;
    return Result::Malformed;
}

RecordReader::Result RecordReader::read(std::span<double> values) {
    recordBegin_ = recordEnd_ = 0;
    if (failed_) return Result::Malformed;
    // The record's first line is copied only when the record goes on to
    // another line.
    std::size_t firstLine = 0;
    std::size_t firstToken = 0;
    std::size_t previousEnd = 0;
    bool written = true; // so far as the writer writes it
    recordLineKept_ = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!skipToToken(i > 0)) {
            if (i == 0) return Result::End;
            // The file ends inside the record.
            return malformed(firstLine, recordLineKept_ ? recordLine_ : currentLine());
        }
        const char* data = buffer_.data();
        if (i == 0) {
            firstLine = lineNumber_;
            firstToken = position_;
        } else if (written) {
            written = position_ == previousEnd + 1 && data[previousEnd] == ' ';
        }
        // Numbers in the writer's six-decimal form are read in one pass.
        const char* lineEnd = data + lineEnd_;
        const char* fixed = readFixed6Text(data + position_, lineEnd, values[i]);
        if (fixed && (fixed == lineEnd || isSeparator(*fixed))) {
            position_ = static_cast<std::size_t>(fixed - data);
        } else {
            written = false;
            const std::size_t start = position_;
            while (position_ < lineEnd_ && !isSeparator(data[position_]))
                ++position_;
            if (!parseNumber(std::string_view(data + start, position_ - start), values[i]))
                return malformed(lineNumber_, currentLine());
        }
        previousEnd = position_;
    }
    // The last number ran into the end of the file.
    if (!lineEnded_ && position_ == lineEnd_) return Result::End;
    if (written && !recordLineKept_) {
        recordBegin_ = firstToken;
        recordEnd_ = position_;
    }
    return Result::Record;
}

void RecordReader::rewind() {
    in_.clear();
    in_.seekg(0);
    end_ = 0;
    discarded_ = 0;
    streamEnded_ = false;
    lineBegin_ = lineEnd_ = next_ = position_ = 0;
    recordBegin_ = recordEnd_ = 0;
    lineNumber_ = 0;
    lineEnded_ = true;
    failed_ = false;
}

} // namespace vog::surface
