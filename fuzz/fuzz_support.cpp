#include "fuzz_support.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace vogfuzz {

const std::string& inputAsFile(const uint8_t* data, size_t size, const char* extension) {
    static std::map<std::string, std::string> paths;
    std::string& path = paths[extension];
    if (path.empty())
        path = (std::filesystem::temp_directory_path() /
                ("vogfuzz-" + std::to_string(getpid()) + extension))
                   .string();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

std::wstring widePath(const std::string& path) {
    return std::wstring(path.begin(), path.end());
}

} // namespace vogfuzz
