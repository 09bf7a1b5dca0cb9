// The profile command's edge exchange file on any bytes.
#include "fuzz_support.h"
#include "products/common/edge_exchange.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = vogfuzz::inputAsFile(data, size, ".asc");
    vog::products::EdgeTable table;
    auto result = vog::products::readEdgeExchange(vogfuzz::widePath(path), table);
    if (result == vog::products::EdgeReadResult::Read && table.edges.size() + 2 > table.countPass)
        __builtin_trap(); // never more distinct edges than records
    return 0;
}
