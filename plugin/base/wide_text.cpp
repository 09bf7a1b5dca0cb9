#include "base/wide_text.h"

namespace vog {

std::filesystem::path filePath(std::wstring_view path) {
    return std::filesystem::path(toUtf8(path));
}

} // namespace vog
