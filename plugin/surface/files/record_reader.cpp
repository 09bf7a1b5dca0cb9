#include "surface/files/record_reader.h"

#include "surface/files/number_text.h"

#include <array>
#include <cmath>
#include <cstring>

namespace vog::surface {

namespace {

// The stream is read this much at a time; a longer line grows the buffer.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// Of a token that is not a number, the message shows this much.
constexpr std::size_t kShownTokenBytes = 40;

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

void openDataFile(std::ifstream& in, const std::filesystem::path& path) {
    // A folder opens like a file and then fails every read; a FIFO without
    // a writer would keep the open waiting; a device is no survey.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return;
    in.open(path, std::ios::binary);
}

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
        lineBegin_ = lineEnd_ = recordBegin_ = recordEnd_ = 0;
    }
    if (buffer_.size() - end_ < kBlockSize) buffer_.resize(end_ + kBlockSize);
    const std::size_t wanted = buffer_.size() - end_;
    in_.read(buffer_.data() + end_, static_cast<std::streamsize>(wanted));
    const auto got = static_cast<std::size_t>(in_.gcount());
    end_ += got;
    // A read stops short at the end of the stream, or when it fails: then
    // the file is unreadable, whatever it held before.
    if (in_.bad()) readFailed_ = true;
    if (got < wanted) streamEnded_ = true;
}

bool RecordReader::nextLine() {
    std::size_t start = next_;
    std::size_t scan = start;
    std::size_t stop = 0;  // end of the line's text
    std::size_t after = 0; // start of the line after it
    bool ended = true;
    for (;;) {
        if (readFailed_) return false;
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
                lineBegin_ = lineEnd_ = next_ = end_;
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
    lineEnded_ = ended;
    // Files saved by editors that mark UTF-8 text start with its byte-order
    // mark; it is not part of the first number.
    if (lineNumber_ == 1 && stop - start >= 3 &&
        std::memcmp(buffer_.data() + start, "\xEF\xBB\xBF", 3) == 0)
        lineBegin_ += 3;
    return true;
}

RecordReader::Result RecordReader::malformed() {
    failed_ = Result::Malformed;
    malformedLine_ = lineNumber_;
    malformedText_ = currentLine();
    // What the line holds instead: its numbers, and the first token that is
    // not one.
    const char* data = buffer_.data();
    std::size_t found = 0;
    std::string notANumber;
    for (std::size_t position = lineBegin_;;) {
        while (position < lineEnd_ && isSeparator(data[position]))
            ++position;
        if (position == lineEnd_) break;
        const std::size_t start = position;
        while (position < lineEnd_ && !isSeparator(data[position]))
            ++position;
        const std::string_view token(data + start, position - start);
        double value = 0;
        if (parseNumber(token, value) && std::isfinite(value))
            ++found;
        else if (notANumber.empty())
            notANumber = token.size() > kShownTokenBytes
                             ? std::string(token.substr(0, kShownTokenBytes)) + "..."
                             : std::string(token);
    }
    malformedDetail_ = "(" + std::to_string(expected_) +
                       (expected_ == 1 ? " number expected, " : " numbers expected, ") +
                       std::to_string(found) + " found";
    if (!notANumber.empty()) malformedDetail_ += ", and \"" + notANumber + "\" is not a number";
    malformedDetail_ += ")";
    return failed_;
}

void RecordReader::reject() {
    malformed();
}

RecordReader::Result RecordReader::read(std::span<double> values) {
    recordBegin_ = recordEnd_ = 0;
    if (failed_ != Result::Record) return failed_;
    expected_ = values.size();
    const char* data = nullptr;
    std::size_t position = 0;
    for (;;) {
        if (!nextLine()) {
            if (readFailed_) return failed_ = Result::Unreadable;
            return Result::End;
        }
        data = buffer_.data();
        position = lineBegin_;
        while (position < lineEnd_ && isSeparator(data[position]))
            ++position;
        // Blank lines hold no record.
        if (position < lineEnd_) break;
    }
    const char* lineEnd = data + lineEnd_;
    const std::size_t firstToken = position;
    bool written = true; // so far as the writer writes it
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            const std::size_t previousEnd = position;
            while (position < lineEnd_ && isSeparator(data[position]))
                ++position;
            // Too few numbers on the line.
            if (position == lineEnd_) return malformed();
            written = written && position == previousEnd + 1 && data[previousEnd] == ' ';
        }
        // Numbers in the writer's six-decimal form are read in one pass.
        const char* fixed = readFixed6Text(data + position, lineEnd, values[i]);
        if (fixed && (fixed == lineEnd || isSeparator(*fixed))) {
            position = static_cast<std::size_t>(fixed - data);
        } else {
            written = false;
            const std::size_t start = position;
            while (position < lineEnd_ && !isSeparator(data[position]))
                ++position;
            if (!parseNumber(std::string_view(data + start, position - start), values[i]))
                return malformed();
        }
    }
    const std::size_t lastEnd = position;
    while (position < lineEnd_ && isSeparator(data[position]))
        ++position;
    // More numbers, or anything else, after the record.
    if (position < lineEnd_) return malformed();
    // The last number ran into the end of the file.
    if (!lineEnded_ && lastEnd == lineEnd_ && maker_ == FileMaker::System) return Result::End;
    if (written) {
        recordBegin_ = firstToken;
        recordEnd_ = lastEnd;
    }
    return Result::Record;
}

void RecordReader::rewind() {
    in_.clear();
    in_.seekg(0);
    end_ = 0;
    discarded_ = 0;
    streamEnded_ = false;
    readFailed_ = false;
    lineBegin_ = lineEnd_ = next_ = 0;
    recordBegin_ = recordEnd_ = 0;
    lineNumber_ = 0;
    lineEnded_ = true;
    failed_ = Result::Record;
}

} // namespace vog::surface
