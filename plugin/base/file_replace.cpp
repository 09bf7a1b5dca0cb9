#include "base/file_replace.h"

#include "base/wide_text.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vog {

bool replaceFile(const std::wstring& path, std::string_view bytes) {
    std::filesystem::path target = filePath(path);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    bool written = false;
    // Whatever holds the temporary name (a file left by a crash, or a link
    // to some other file) is removed, never written through.
    std::error_code ec;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(temporary, ec)))
        std::filesystem::remove(temporary, ec);
    bool created = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        created = out.is_open();
        if (out) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
            written = !out.fail();
        }
    }
    if (written) {
        std::filesystem::rename(temporary, target, ec);
        if (!ec) return true;
    }
    // Only what this call made goes; a directory in the way stays.
    if (created) std::filesystem::remove(temporary, ec);
    return false;
}

} // namespace vog
