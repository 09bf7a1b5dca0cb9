#include "surface/files/triangle_copy.h"

#include "host_api.h"
#include "base/wide_text.h"
#include "surface/files/triangle_file.h"

#include <filesystem>
#include <fstream>

namespace vog::surface {

namespace {

// The copy is written this much at a time.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// The file is exactly what a copy of it would write.
bool isWrittenForm(const std::wstring& path) {
    TriangleFileReader in(path);
    if (!in.isOpen()) return false;
    std::uint64_t bytes = 0;
    Triangle triangle;
    TriangleFileReader::Result result;
    while ((result = in.read(triangle)) == TriangleFileReader::Result::Triangle) {
        if (!in.recordIsWrittenLine()) return false;
        bytes += in.writtenRecordText().size() + 1;
    }
    // Nothing but the records: no blank lines, no text after the last one.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(filePath(path), error);
    return result == TriangleFileReader::Result::End && !error && size == bytes;
}

void removeFile(const std::wstring& path) {
    std::error_code error;
    std::filesystem::remove(filePath(path), error);
}

} // namespace

int moveTriangleFile(const std::wstring& source, const std::wstring& target, bool knownWritten) {
    if (knownWritten || isWrittenForm(source)) {
        std::error_code error;
        std::filesystem::rename(filePath(source), filePath(target), error);
        if (!error) return 0;
    }
    const int result = copyTriangleFile(source, target);
    removeFile(source);
    return result;
}

int copyTriangleFile(const std::wstring& source, const std::wstring& target) {
    TriangleFileReader in(source);
    if (!in.isOpen()) {
        acedAlert(L"Error opening triangle file.");
        return RTERROR;
    }
    std::ofstream out(filePath(target), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        acedAlert(L"Error opening output file.");
        return RTERROR;
    }
    Triangle triangle;
    TriangleFileReader::Result result;
    std::string lines;
    lines.reserve(kBlockSize + 1024);
    while ((result = in.read(triangle)) == TriangleFileReader::Result::Triangle) {
        // A record in the writer's own form is kept as it stands: writing
        // its numbers again would give the same text (isFixed6Text).
        const std::string_view written = in.writtenRecordText();
        if (written.empty()) {
            appendTriangleRecord(lines, triangle);
        } else {
            lines.append(written);
            lines += '\n';
        }
        if (lines.size() >= kBlockSize) {
            out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
            lines.clear();
        }
    }
    if (result == TriangleFileReader::Result::Malformed) {
        acedAlert(in.malformedMessage().c_str());
        return RTERROR;
    }
    if (result == TriangleFileReader::Result::Unreadable) {
        acedAlert(L"Error opening triangle file.");
        return RTERROR;
    }
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    out.close();
    if (out.fail()) {
        acedAlert((L"Error writing " + target + L".").c_str());
        return RTERROR;
    }
    return 0;
}

} // namespace vog::surface
