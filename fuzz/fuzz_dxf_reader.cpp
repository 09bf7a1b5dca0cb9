// Reading a drawing file, and writing what was read.
#include "fuzz_support.h"
#include "host/standin.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = vogfuzz::inputAsFile(data, size, ".dxf");
    standin::DrawingDatabase db;
    std::string error;
    if (!standin::readDxf(db, path, error)) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    standin::writeDxf(db, "/dev/null", error);
    standin::writeSvg(db, "/dev/null", error);
    return 0;
}
