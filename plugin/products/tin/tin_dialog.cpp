#include "products/tin/tin_dialog.h"

#include "app/dialog_checks.h"

namespace vog::products {

namespace {

constexpr const wchar_t* kDefaultTinLayer = L"KT_Tin";
constexpr std::size_t kTinLayerCapacity = 512;

bool accepted = false;

void onTinLayer(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkField(packet->dialog, L"tinlayer", FieldCheck::LayerName, tinLayerName(),
               kLayerTileCapacity);
}

// Unguarded: the field is taken as it stands.
void onAccept(ads_callback_packet* packet) {
    std::wstring layer = tileText(packet->dialog, L"tinlayer", kLayerTileCapacity);
    tinLayerName() = layer.substr(0, kTinLayerCapacity - 1);
    closeAccepted(packet->dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    setTileText(dialog, L"tinlayer", tinLayerName());
    showComplaint(dialog, L"");
    ads_action_tile(dialog, L"tinlayer", onTinLayer);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

} // namespace

std::wstring& tinLayerName() {
    static std::wstring layer;
    return layer;
}

void useDefaultTinLayerWhenEmpty() {
    std::wstring& layer = tinLayerName();
    if (layer.empty()) layer = kDefaultTinLayer;
}

bool askTinLayer() {
    return showDialog(L"showtin", setUp, accepted);
}

} // namespace vog::products
