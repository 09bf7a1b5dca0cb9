#include "products/common/entity_output.h"

namespace vog::products {

int makeEntity(resbuf* list) {
    if (!list) return RTERROR;
    int result = acdbEntMake(list);
    acutRelRb(list);
    return result;
}

bool makeLayerRecord(const std::wstring& name, int colour) {
    resbuf* list =
        acutBuildList(RTDXF0, L"LAYER", 6, L"CONTINUOUS", 8, name.c_str(), 62, colour, RTNONE);
    if (!list) return false;
    makeEntity(list);
    return true;
}

} // namespace vog::products
