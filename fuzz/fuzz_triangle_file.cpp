// The triangle file reader on any bytes.
#include "fuzz_support.h"
#include "surface/files/triangle_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = vogfuzz::inputAsFile(data, size, ".tin");
    vog::surface::TriangleFileReader reader(vogfuzz::widePath(path));
    vog::surface::Triangle t;
    for (;;) {
        auto result = reader.read(t);
        if (result == vog::surface::TriangleFileReader::Result::End ||
            result == vog::surface::TriangleFileReader::Result::Unreadable)
            break;
        if (result == vog::surface::TriangleFileReader::Result::Malformed) {
            if (reader.malformedMessage().empty()) __builtin_trap();
            break;
        }
    }
    return 0;
}
