#include "products/mesh/mesh_dialog.h"

#include "app/dialog_checks.h"
#include "project/project_state.h"

namespace vog::products {

namespace {

using project::setSetting;
using project::setting;

bool accepted = false;

// A field that fails its check gets back the setting it showed when the
// dialog opened (settings change only on OK).
void check(ads_callback_packet* packet, project::SettingKey key, FieldCheck kind,
           std::size_t capacity = kNumberTileCapacity) {
    if (leftField(packet)) checkField(packet->dialog, key.name(), kind, setting(key), capacity);
}

void onInterval(ads_callback_packet* packet) {
    check(packet, L"dxi", FieldCheck::PositiveSpacing);
}
void onFactor(ads_callback_packet* packet) {
    check(packet, L"dzi", FieldCheck::PositiveSpacing);
}
void onBase(ads_callback_packet* packet) {
    check(packet, L"dbe", FieldCheck::Numeric);
}
void onLayer(ads_callback_packet* packet) {
    check(packet, L"dmln", FieldCheck::LayerName, kLayerTileCapacity);
}

void onSkirt(ads_callback_packet* packet) {
    if (!selectedTile(packet)) return;
    enableWithToggle(packet->dialog, tileText(packet->dialog, L"dsk", 2), {L"dbe"});
}

// Unguarded: the fields are taken as they stand. The layer is read with the
// room its check gave it, so an accepted name is never cut short.
void onAccept(ads_callback_packet* packet) {
    ads_hdlg dialog = packet->dialog;
    setSetting(L"dxi", tileText(dialog, L"dxi", kNumberTileCapacity));
    setSetting(L"dzi", tileText(dialog, L"dzi", kNumberTileCapacity));
    setSetting(L"dsk", tileText(dialog, L"dsk", kNumberTileCapacity));
    setSetting(L"dbe", tileText(dialog, L"dbe", kNumberTileCapacity));
    setSetting(L"dmln", tileText(dialog, L"dmln", kLayerTileCapacity));
    closeAccepted(dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    const project::SettingKey shown[] = {L"dxi", L"dzi", L"dsk", L"dbe", L"dmln"};
    for (project::SettingKey key : shown)
        setTileText(dialog, key.name(), setting(key));
    enableWithToggle(dialog, setting(L"dsk"), {L"dbe"});
    showComplaint(dialog, L"");
    ads_action_tile(dialog, L"dxi", onInterval);
    ads_action_tile(dialog, L"dzi", onFactor);
    ads_action_tile(dialog, L"dsk", onSkirt);
    ads_action_tile(dialog, L"dbe", onBase);
    ads_action_tile(dialog, L"dmln", onLayer);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

} // namespace

bool askMeshSettings() {
    return showDialog(L"mesh", setUp, accepted);
}

} // namespace vog::products
