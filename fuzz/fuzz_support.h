// What the fuzz targets share: the input as a file, for readers that take a path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vogfuzz {

// Writes the input to this process's scratch file and gives its path.
const std::string& inputAsFile(const uint8_t* data, size_t size, const char* extension);

// The same path as a wide string.
std::wstring widePath(const std::string& path);

} // namespace vogfuzz
