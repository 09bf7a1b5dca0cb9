// The point file reader on any bytes: it ends, or names a malformed line.
#include "fuzz_support.h"
#include "surface/files/point_file.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = vogfuzz::inputAsFile(data, size, ".xyz");
    vog::surface::PointFileReader reader(vogfuzz::widePath(path));
    vog::surface::Point3 p;
    for (;;) {
        auto result = reader.read(p);
        if (result == vog::surface::PointFileReader::Result::End ||
            result == vog::surface::PointFileReader::Result::Unreadable)
            break;
        if (result == vog::surface::PointFileReader::Result::Malformed) {
            if (reader.malformedMessage().empty()) __builtin_trap();
            break;
        }
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) __builtin_trap();
    }
    return 0;
}
