#include "surface/files/triangle_copy.h"

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
    const TriangleWalk walk = forEachTriangle(in, [&](const Triangle&) {
        if (!in.recordIsWrittenLine()) return false;
        bytes += in.writtenRecordText().size() + 1;
        return true;
    });
    // Nothing but the records: no blank lines, no text after the last one.
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(filePath(path), error);
    return walk == TriangleWalk::complete && !error && size == bytes;
}

void removeFile(const std::wstring& path) {
    std::error_code error;
    std::filesystem::remove(filePath(path), error);
}

} // namespace

Status moveTriangleFile(const std::wstring& source, const std::wstring& target, Messages& messages,
                        bool knownWritten) {
    if (knownWritten || isWrittenForm(source)) {
        std::error_code error;
        std::filesystem::rename(filePath(source), filePath(target), error);
        if (!error) return Status::ok;
    }
    const Status result = copyTriangleFile(source, target, messages);
    removeFile(source);
    return result;
}

Status copyTriangleFile(const std::wstring& source, const std::wstring& target,
                        Messages& messages) {
    TriangleFileReader in(source);
    if (!in.isOpen()) {
        messages.alert(L"Error opening triangle file.");
        return Status::failed;
    }
    std::ofstream out(filePath(target), std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        messages.alert(L"Error opening output file.");
        return Status::failed;
    }
    std::string lines;
    lines.reserve(kBlockSize + 1024);
    const TriangleWalk walk = forEachTriangle(in, [&](const Triangle& triangle) {
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
        return true;
    });
    if (walk == TriangleWalk::malformed) {
        messages.alert(in.malformedMessage());
        return Status::failed;
    }
    if (walk == TriangleWalk::unreadable) {
        messages.alert(L"Error opening triangle file.");
        return Status::failed;
    }
    out.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    out.close();
    if (out.fail()) {
        messages.alert(L"Error writing " + target + L".");
        return Status::failed;
    }
    return Status::ok;
}

} // namespace vog::surface
