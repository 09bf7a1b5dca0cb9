#include "surface/files/sort_work_files.h"

#include "base/wide_text.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vog::surface {

std::wstring tempFolder() {
    const char* temp = std::getenv("TEMP");
    if (temp && *temp) return fromUtf8(temp);
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = ".";
    return fromUtf8(folder.string());
}

SortWorkFiles sortWorkFiles() {
    std::filesystem::path folder = filePath(tempFolder());
    return {fromUtf8((folder / "sortwk1.txt").string()),
            fromUtf8((folder / "sortwk2.txt").string())};
}

} // namespace vog::surface
