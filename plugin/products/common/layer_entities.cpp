#include "products/common/layer_entities.h"

#include "host_api.h"

#include <cwctype>

namespace vog::products {

namespace {

// Layer names are the same whatever their letter case.
bool sameLayerName(const wchar_t* a, const std::wstring& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    return a[i] == L'\0' && i == b.size();
}

// Characters that the host's selection filter reads as patterns rather than
// as themselves.
constexpr const wchar_t* kPatternCharacters = L"*?,#@.~[]`";

// A name holding pattern characters would select other layers and miss its
// own, so the whole drawing is selected instead; either way only entities
// whose own layer is the name are deleted.
bool onLayer(const ads_name entity, const std::wstring& layer) {
    resbuf* data = acdbEntGet(entity);
    bool found = false;
    for (const resbuf* rb = data; rb; rb = rb->rbnext) {
        if (rb->restype == 8) {
            found = rb->resval.rstring && sameLayerName(rb->resval.rstring, layer);
            break;
        }
    }
    acutRelRb(data);
    return found;
}

} // namespace

int eraseLayerEntities(const std::wstring& layer) {
    bool pattern = layer.find_first_of(kPatternCharacters) != std::wstring::npos;
    resbuf* filter = pattern ? nullptr : acutBuildList(8, layer.c_str(), RTNONE);
    if (!pattern && !filter) return RTNORM;
    ads_name selection = {0, 0};
    int selected = acedSSGet(L"X", nullptr, nullptr, filter, selection);
    acutRelRb(filter);
    if (selected != RTNORM) return RTNORM; // nothing on the layer
    Adesk::Int32 count = 0;
    if (acedSSLength(selection, &count) != RTNORM) count = 0;
    for (Adesk::Int32 i = 0; i < count; ++i) {
        ads_name entity = {0, 0};
        if (acedSSName(selection, i, entity) != RTNORM) continue;
        if (onLayer(entity, layer)) acdbEntDel(entity);
    }
    acedSSFree(selection);
    return RTNORM;
}

} // namespace vog::products
