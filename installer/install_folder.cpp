#include "install_folder.h"

namespace pelmix {

std::optional<std::string> installFolderFromValue(std::string_view value) {
    if (value.empty()) return std::nullopt;
    std::string folder(value);
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

std::string loaderFilePath(const std::string& folder) {
    return folder + "aVogLoader.lsp";
}

std::string scriptFilePath(const std::string& folder) {
    return folder + "gocad.scr";
}

} // namespace pelmix
