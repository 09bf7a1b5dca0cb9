// Conversions between the plug-in's wide strings and the byte strings of the
// platform (file names, single-byte file contents): UTF-8 both ways.
#pragma once

#include "utf8_codec.h"

#include <filesystem>
#include <string_view>

namespace vog {

using utf8::fromUtf8;
using utf8::toUtf8;

// A path given as a wide string, ready for the platform's file functions.
std::filesystem::path filePath(std::wstring_view path);

} // namespace vog
