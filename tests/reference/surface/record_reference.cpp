#include "reference/surface/record_reference.h"

#include "base/wide_text.h"
#include "surface/files/point_file.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vogref::surface {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string withoutLineEnd(const std::string& line) {
    if (!line.empty() && line.back() == '\r') return line.substr(0, line.size() - 1);
    return line;
}

} // namespace

void appendFixed6(std::string& out, double value) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

double roundToSixDecimals(double value) {
    if (!std::isfinite(value)) return value;
    char buffer[400];
    auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

bool parseNumber(std::string_view token, double& value) {
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    if (token.empty() || token.front() == '+' || token.front() == '-') return false;
    auto format = std::chars_format::general;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        token.remove_prefix(2);
        if (token.front() == '+' || token.front() == '-') return false;
        format = std::chars_format::hex;
    }
    double parsed = 0;
    auto result = std::from_chars(token.data(), token.data() + token.size(), parsed, format);
    if (result.ec != std::errc() || result.ptr != token.data() + token.size()) return false;
    value = negative ? -parsed : parsed;
    return true;
}

// A line ends at a line feed, a CR LF pair or a lone CR.
bool RecordReader::nextLine() {
    line_.clear();
    lineEnded_ = false;
    int c;
    bool any = false;
    while ((c = in_.get()) != std::char_traits<char>::eof()) {
        any = true;
        if (c == '\n') {
            lineEnded_ = true;
            break;
        }
        if (c == '\r') {
            if (in_.peek() == '\n') in_.get();
            lineEnded_ = true;
            break;
        }
        line_ += static_cast<char>(c);
    }
    if (!any) return false;
    ++lineNumber_;
    position_ = 0;
    if (lineNumber_ == 1 && line_.compare(0, 3, "\xEF\xBB\xBF") == 0) line_.erase(0, 3);
    return true;
}

bool RecordReader::nextToken(std::string_view& token) {
    while (position_ < line_.size() && isSeparator(line_[position_]))
        ++position_;
    if (position_ == line_.size()) return false;
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

std::string RecordReader::malformedDetail() const {
    std::size_t found = 0;
    std::string bad;
    std::string token;
    std::string text = malformedText_ + " ";
    for (char c : text) {
        if (!isSeparator(c)) {
            token += c;
            continue;
        }
        if (token.empty()) continue;
        double value = 0;
        if (parseNumber(token, value) && std::isfinite(value))
            ++found;
        else if (bad.empty())
            bad = token.size() > 40 ? token.substr(0, 40) + "..." : token;
        token.clear();
    }
    std::string detail =
        "(" + std::to_string(expected_) + " numbers expected, " + std::to_string(found) + " found";
    if (!bad.empty()) detail += ", and \"" + bad + "\" is not a number";
    return detail + ")";
}

RecordReader::Result RecordReader::read(std::span<double> values) {
    if (failed_) return Result::Malformed;
    expected_ = values.size();
    // A record is a line of exactly its numbers; blank lines are skipped.
    std::string_view token;
    for (;;) {
        if (!nextLine()) return Result::End;
        if (nextToken(token)) break;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0 && !nextToken(token)) return malformed(lineNumber_, line_);
        if (!parseNumber(token, values[i])) return malformed(lineNumber_, line_);
    }
    const std::size_t lastEnd = position_;
    if (nextToken(token)) return malformed(lineNumber_, line_);
    if (!lineEnded_ && lastEnd == line_.size() && !lastLineUsed_) return Result::End;
    return Result::Record;
}

void RecordReader::rewind() {
    in_.clear();
    in_.seekg(0);
    line_.clear();
    lineNumber_ = 0;
    position_ = 0;
    lineEnded_ = true;
    failed_ = false;
}

PointFileReader::PointFileReader(const std::wstring& path, bool userFile)
    : path_(path), in_(vog::filePath(path), std::ios::binary), records_(in_, userFile) {}

PointFileReader::Result PointFileReader::read(Point3& point) {
    double values[3];
    switch (records_.read(values)) {
    case RecordReader::Result::End:
        return Result::End;
    case RecordReader::Result::Malformed:
        return Result::Malformed;
    case RecordReader::Result::Record:
        break;
    }
    for (double value : values) {
        if (!std::isfinite(value)) {
            records_.reject();
            return Result::Malformed;
        }
    }
    point = {roundToSixDecimals(values[0]), roundToSixDecimals(values[1]),
             roundToSixDecimals(values[2])};
    return Result::Point;
}

std::wstring PointFileReader::malformedMessage() const {
    return vog::surface::malformedRecordMessage(path_, records_.malformedLine(),
                                                records_.malformedText(), L"point",
                                                records_.malformedDetail());
}

TriangleFileReader::TriangleFileReader(const std::wstring& path)
    : path_(path), in_(vog::filePath(path), std::ios::binary), records_(in_) {}

TriangleFileReader::Result TriangleFileReader::read(Triangle& triangle) {
    double values[9];
    switch (records_.read(values)) {
    case RecordReader::Result::End:
        return Result::End;
    case RecordReader::Result::Malformed:
        return Result::Malformed;
    case RecordReader::Result::Record:
        break;
    }
    for (double value : values) {
        if (!std::isfinite(value)) {
            records_.reject();
            return Result::Malformed;
        }
    }
    for (int i = 0; i < 3; ++i)
        triangle.corners[i] = {values[3 * i], values[3 * i + 1], values[3 * i + 2]};
    return Result::Triangle;
}

std::wstring TriangleFileReader::malformedMessage() const {
    return vog::surface::malformedRecordMessage(path_, records_.malformedLine(),
                                                records_.malformedText(), L"triangle",
                                                records_.malformedDetail());
}

void writePointRecord(std::ostream& out, const Point3& point) {
    std::string line;
    appendFixed6(line, point.x);
    line += ' ';
    appendFixed6(line, point.y);
    line += ' ';
    appendFixed6(line, point.z);
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void appendTriangleRecord(std::string& out, const Triangle& triangle) {
    for (int i = 0; i < 3; ++i) {
        const Point3& corner = triangle.corners[i];
        for (double value : {corner.x, corner.y, corner.z}) {
            appendFixed6(out, value);
            out += ' ';
        }
    }
    out.back() = '\n';
}

void writeTriangleRecord(std::ostream& out, const Triangle& triangle) {
    std::string line;
    appendTriangleRecord(line, triangle);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

} // namespace vogref::surface
