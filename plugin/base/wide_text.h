// Conversions between the plug-in's wide strings and the byte strings of the
// platform (file names, single-byte file contents): UTF-8 both ways.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vog {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

// A path given as a wide string, ready for the platform's file functions.
std::filesystem::path filePath(std::wstring_view path);

} // namespace vog
