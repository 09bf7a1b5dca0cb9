#include "products/contours/contours_dialog.h"

#include "app/dialog_checks.h"
#include "project/project_state.h"

#include <array>

namespace vog::products {

namespace {

using project::setSetting;
using project::setting;

bool accepted = false;
// What start and end showed when the dialog opened: a field that fails its
// check gets it back.
std::wstring proposedStart;
std::wstring proposedEnd;
ContourRange acceptedRange;

// A height in the drawing's decimal notation and current precision.
std::wstring heightText(double value) {
    std::array<ACHAR, 64> text{};
    if (acdbRToS(value, 2, -1, text.data(), text.size()) != RTNORM) return {};
    return text.data();
}

void checkLayer(ads_callback_packet* packet, const wchar_t* tile, project::SettingKey key) {
    if (!leftField(packet)) return;
    checkField(packet->dialog, tile, FieldCheck::LayerName, setting(key), kLayerTileCapacity);
}

void onStart(ads_callback_packet* packet) {
    if (leftField(packet)) checkField(packet->dialog, L"start", FieldCheck::Numeric, proposedStart);
}
void onEnd(ads_callback_packet* packet) {
    if (leftField(packet)) checkField(packet->dialog, L"end", FieldCheck::Numeric, proposedEnd);
}
void onInterval(ads_callback_packet* packet) {
    if (leftField(packet))
        checkField(packet->dialog, L"interval", FieldCheck::PositiveNumber, setting(L"dci"));
}
void onIndexInterval(ads_callback_packet* packet) {
    if (leftField(packet))
        checkField(packet->dialog, L"iinterval", FieldCheck::PositiveNumber, setting(L"dii"));
}
void onContourWidth(ads_callback_packet* packet) {
    if (leftField(packet))
        checkField(packet->dialog, L"dcw", FieldCheck::NonNegativeNumber, setting(L"dcw"));
}
void onIndexWidth(ads_callback_packet* packet) {
    if (leftField(packet))
        checkField(packet->dialog, L"diw", FieldCheck::NonNegativeNumber, setting(L"diw"));
}
void onLayer(ads_callback_packet* packet) {
    checkLayer(packet, L"layer", L"dcln");
}
void onIndexLayer(ads_callback_packet* packet) {
    checkLayer(packet, L"ilayer", L"diln");
}

// Unguarded: the fields are taken as they stand.
void onAccept(ads_callback_packet* packet) {
    ads_hdlg dialog = packet->dialog;
    acceptedRange.start = tileText(dialog, L"start", kNumberTileCapacity);
    acceptedRange.end = tileText(dialog, L"end", kNumberTileCapacity);
    if (tileText(dialog, L"NoRounding", 2) == L"1") setSetting(L"dcround", L"0");
    if (tileText(dialog, L"SomeRounding", 2) == L"1") setSetting(L"dcround", L"1");
    setSetting(L"dci", tileText(dialog, L"interval", kNumberTileCapacity));
    setSetting(L"dii", tileText(dialog, L"iinterval", kNumberTileCapacity));
    setSetting(L"dcw", tileText(dialog, L"dcw", kNumberTileCapacity));
    setSetting(L"diw", tileText(dialog, L"diw", kNumberTileCapacity));
    setSetting(L"dcln", tileText(dialog, L"layer", kLayerTileCapacity));
    setSetting(L"diln", tileText(dialog, L"ilayer", kLayerTileCapacity));
    closeAccepted(dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    bool straight = !project::settings().roundContours;
    setTileText(dialog, L"start", proposedStart);
    setTileText(dialog, L"end", proposedEnd);
    setTileText(dialog, L"NoRounding", straight ? L"1" : L"0");
    setTileText(dialog, L"SomeRounding", straight ? L"0" : L"1");
    setTileText(dialog, L"interval", setting(L"dci"));
    setTileText(dialog, L"iinterval", setting(L"dii"));
    setTileText(dialog, L"dcw", setting(L"dcw"));
    setTileText(dialog, L"diw", setting(L"diw"));
    setTileText(dialog, L"layer", setting(L"dcln"));
    setTileText(dialog, L"ilayer", setting(L"diln"));
    showComplaint(dialog, L"");

    ads_action_tile(dialog, L"start", onStart);
    ads_action_tile(dialog, L"end", onEnd);
    ads_action_tile(dialog, L"interval", onInterval);
    ads_action_tile(dialog, L"iinterval", onIndexInterval);
    ads_action_tile(dialog, L"dcw", onContourWidth);
    ads_action_tile(dialog, L"diw", onIndexWidth);
    // The layer checks answer to the settings' keys as well as to the tiles'.
    ads_action_tile(dialog, L"layer", onLayer);
    ads_action_tile(dialog, L"dcln", onLayer);
    ads_action_tile(dialog, L"ilayer", onIndexLayer);
    ads_action_tile(dialog, L"diln", onIndexLayer);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

} // namespace

bool askContourSettings(double lowest, double highest, ContourRange& range) {
    proposedStart = heightText(lowest);
    proposedEnd = heightText(highest);
    acceptedRange = ContourRange{};
    if (!showDialog(L"contours", setUp, accepted)) return false;
    range = acceptedRange;
    return true;
}

} // namespace vog::products
