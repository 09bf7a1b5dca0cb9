// Boundary/void and fault-line files on any bytes, in both layouts.
#include "fuzz_support.h"
#include "surface/files/segment_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = vogfuzz::inputAsFile(data, size, ".seg");
    for (auto layout : {vog::surface::SegmentLayout::Plan, vog::surface::SegmentLayout::Spatial}) {
        auto contents =
            vog::surface::readSegmentFile(vogfuzz::widePath(path), layout, L"fault line");
        if (contents.status == vog::surface::SegmentFileContents::Status::Malformed &&
            contents.message.empty())
            __builtin_trap();
    }
    return 0;
}
