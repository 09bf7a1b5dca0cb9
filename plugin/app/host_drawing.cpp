#include "app/host_drawing.h"

#include "host_api.h"

#include <cwctype>

namespace vog::app {

namespace {

using products::Made;
using products::PolylineKind;

// Submits the list with acdbEntMake and releases it.
Made submit(resbuf* list) {
    if (!list) return Made::notBuilt;
    const int result = acdbEntMake(list);
    acutRelRb(list);
    return result == RTNORM ? Made::made : Made::refused;
}

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

// (0 "LAYER") (6 "CONTINUOUS") (8 name) (62 colour); the host's verdict on
// the record is not asked for.
Made HostDrawing::layer(const std::wstring& name, int colour) {
    resbuf* list =
        acutBuildList(RTDXF0, L"LAYER", 6, L"CONTINUOUS", 8, name.c_str(), 62, colour, RTNONE);
    if (!list) return Made::notBuilt;
    (void)submit(list);
    return Made::made;
}

// A flat polyline: (0 "POLYLINE") (8 layer) (10 start) (40 width) (41 width)
// (66 1). A space polyline: (0 "POLYLINE") (8 layer) (10 start) (66 1)
// (70 8).
Made HostDrawing::polyline(PolylineKind kind, const std::wstring& layer,
                           const surface::Point3& start, double width) {
    ads_point p = {start.x, start.y, start.z};
    if (kind == PolylineKind::flat)
        return submit(acutBuildList(RTDXF0, L"POLYLINE", 8, layer.c_str(), 10, p, 40, width, 41,
                                    width, 66, 1, RTNONE));
    return submit(
        acutBuildList(RTDXF0, L"POLYLINE", 8, layer.c_str(), 10, p, 66, 1, 70, 8, RTNONE));
}

// (0 "VERTEX") (10 at), with (70 32) for a space polyline.
Made HostDrawing::vertex(PolylineKind kind, const surface::Point3& at) {
    ads_point p = {at.x, at.y, at.z};
    if (kind == PolylineKind::flat) return submit(acutBuildList(RTDXF0, L"VERTEX", 10, p, RTNONE));
    return submit(acutBuildList(RTDXF0, L"VERTEX", 10, p, 70, 32, RTNONE));
}

Made HostDrawing::polylineEnd() {
    return submit(acutBuildList(RTDXF0, L"SEQEND", RTNONE));
}

// (0 "3DFACE") (8 layer) (10 a) (11 b) (12 c) (13 a)
Made HostDrawing::face(const std::wstring& layer, const surface::Point3& a,
                       const surface::Point3& b, const surface::Point3& c) {
    ads_point p1 = {a.x, a.y, a.z};
    ads_point p2 = {b.x, b.y, b.z};
    ads_point p3 = {c.x, c.y, c.z};
    return submit(
        acutBuildList(RTDXF0, L"3DFACE", 8, layer.c_str(), 10, p1, 11, p2, 12, p3, 13, p1, RTNONE));
}

// Every entity of the drawing on the layer, in selection order; the
// selection is freed.
void HostDrawing::eraseLayer(const std::wstring& layer) {
    const bool pattern = layer.find_first_of(kPatternCharacters) != std::wstring::npos;
    resbuf* filter = pattern ? nullptr : acutBuildList(8, layer.c_str(), RTNONE);
    if (!pattern && !filter) return;
    ads_name selection = {0, 0};
    const int selected = acedSSGet(L"X", nullptr, nullptr, filter, selection);
    acutRelRb(filter);
    if (selected != RTNORM) return; // nothing on the layer
    Adesk::Int32 count = 0;
    if (acedSSLength(selection, &count) != RTNORM) count = 0;
    for (Adesk::Int32 i = 0; i < count; ++i) {
        ads_name entity = {0, 0};
        if (acedSSName(selection, i, entity) != RTNORM) continue;
        if (onLayer(entity, layer)) acdbEntDel(entity);
    }
    acedSSFree(selection);
}

void HostDrawing::reportFailure(const std::wstring& text) {
    acdbFail(text.c_str());
}

products::Drawing& hostDrawing() {
    static HostDrawing drawing;
    return drawing;
}

} // namespace vog::app
