#include "host/file_replace.h"

#include "host/wide_text.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace vog {

bool replaceFile(const std::wstring& path, std::string_view bytes) {
    std::filesystem::path target = filePath(path);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            out.close();
            written = !out.fail();
        }
    }
    std::error_code ec;
    if (written) {
        std::filesystem::rename(temporary, target, ec);
        if (!ec) return true;
    }
    std::filesystem::remove(temporary, ec);
    return false;
}

} // namespace vog
