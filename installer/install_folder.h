#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pelmix {

// The add-on's installation folder D as used for every file name: the registry value with a
// trailing backslash added when it has none (file names are appended to D directly).
// Nothing for an empty value, which names no folder.
std::optional<std::string> installFolderFromValue(std::string_view value);

// The add-on's LISP loader file in D.
std::string loaderFilePath(const std::string& folder);

// The start-up script in D.
std::string scriptFilePath(const std::string& folder);

} // namespace pelmix
