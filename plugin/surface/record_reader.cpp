#include "surface/record_reader.h"

#include "surface/number_text.h"

namespace vog::surface {

namespace {

// The white space that separates numbers, as the C library counts it.
bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string withoutLineEnd(const std::string& line) {
    if (!line.empty() && line.back() == '\r') return line.substr(0, line.size() - 1);
    return line;
}

} // namespace

bool RecordReader::nextLine() {
    if (!pending_.empty()) {
        line_.swap(pending_);
        pending_.clear();
        lineEnded_ = pendingEnded_;
    } else {
        if (!std::getline(in_, line_)) return false;
        // getline stops at a line feed without looking further, so the end
        // of the stream is seen only on a last line that has no line feed.
        lineEnded_ = !in_.eof();
    }
    ++lineNumber_;
    position_ = 0;
    // A carriage return alone (not before the line feed) ends a line too, as
    // in files of older systems: the rest waits for the next call.
    const std::size_t cr = line_.find('\r');
    if (cr != std::string::npos && cr + 1 < line_.size()) {
        pending_.assign(line_, cr + 1);
        pendingEnded_ = lineEnded_;
        line_.resize(cr);
        lineEnded_ = true;
    }
    // Files saved by editors that mark UTF-8 text start with its byte-order
    // mark; it is not part of the first number.
    if (lineNumber_ == 1 && line_.compare(0, 3, "\xEF\xBB\xBF") == 0) line_.erase(0, 3);
    return true;
}

bool RecordReader::nextToken(std::string_view& token, bool midRecord) {
    for (;;) {
        while (position_ < line_.size() && isSeparator(line_[position_]))
            ++position_;
        if (position_ < line_.size()) break;
        if (midRecord && !recordLineKept_) {
            recordLine_ = line_;
            recordLineKept_ = true;
        }
        if (!nextLine()) return false;
    }
    std::size_t start = position_;
    while (position_ < line_.size() && !isSeparator(line_[position_]))
        ++position_;
    token = std::string_view(line_).substr(start, position_ - start);
    return true;
}

RecordReader::Result RecordReader::malformed(std::size_t line, const std::string& text) {
    failed_ = true;
    malformedLine_ = line;
    malformedText_ = withoutLineEnd(text);
    return Result::Malformed;
}

RecordReader::Result RecordReader::read(std::span<double> values) {
    if (failed_) return Result::Malformed;
    // The record's first line is copied only when the record goes on to
    // another line.
    std::size_t firstLine = 0;
    recordLineKept_ = false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string_view token;
        if (!nextToken(token, i > 0)) {
            if (i == 0) return Result::End;
            // The file ends inside the record.
            return malformed(firstLine, recordLineKept_ ? recordLine_ : line_);
        }
        if (i == 0) firstLine = lineNumber_;
        if (!parseNumber(token, values[i])) return malformed(lineNumber_, line_);
    }
    // The last number ran into the end of the file.
    if (!lineEnded_ && position_ == line_.size()) return Result::End;
    return Result::Record;
}

void RecordReader::rewind() {
    in_.clear();
    in_.seekg(0);
    line_.clear();
    pending_.clear();
    lineNumber_ = 0;
    position_ = 0;
    lineEnded_ = true;
    failed_ = false;
}

} // namespace vog::surface
