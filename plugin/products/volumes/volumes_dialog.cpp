#include "products/volumes/volumes_dialog.h"

#include "app/dialog_checks.h"
#include "project/project_state.h"
#include "surface/files/triangle_file.h"

#include <cmath>
#include <limits>

namespace vog::products {

namespace {

constexpr const wchar_t* kExistingTile = L"exist_tin";
constexpr const wchar_t* kProposedTile = L"proposed_tin";
constexpr const wchar_t* kFeetTile = L"v_u_feet";
constexpr const wchar_t* kIntervalTile = L"vol_intrvl";
constexpr const wchar_t* kFactorTile = L"compkt";
constexpr const wchar_t* kNumberDefault = L"1.0000";
constexpr std::size_t kFlagTileCapacity = 3; // "1" or "0", up to 2 characters

bool accepted = false;
VolumesRequest results; // written only by the OK action

// The existence check of a surface tile: an empty name is left alone; a name
// whose triangle file does not open empties the tile with a complaint.
void checkSurfaceTile(ads_hdlg dialog, const wchar_t* tile, const wchar_t* complaint) {
    std::wstring file = surfaceFileName(tileText(dialog, tile, kPathTileCapacity));
    if (file == surface::kSurfaceExtension) return; // an empty name
    if (fileOpensForReading(file)) {
        showComplaint(dialog, L"");
    } else {
        showComplaint(dialog, complaint);
        setTileText(dialog, tile, L"");
    }
}

void checkExisting(ads_hdlg dialog) {
    checkSurfaceTile(dialog, kExistingTile, L"Existing surface file does not exist.\n");
}
void checkProposed(ads_hdlg dialog) {
    checkSurfaceTile(dialog, kProposedTile, L"Proposed surface file does not exist.\n");
}

void onExisting(ads_callback_packet* packet) {
    if (leftField(packet)) checkExisting(packet->dialog);
}
void onProposed(ads_callback_packet* packet) {
    if (leftField(packet)) checkProposed(packet->dialog);
}

// The browse buttons put the chosen file into their tile and check it at
// once, so that the "error" tile speaks of the file now showing.
void browseInto(ads_hdlg dialog, const wchar_t* tile, void (*check)(ads_hdlg)) {
    resbuf* chosen = acutNewRb(RTSTR);
    if (!chosen) return;
    if (acedGetFileD(L"Select point file", nullptr, L"dat", 20, chosen) == RTNORM &&
        chosen->restype == RTSTR && chosen->resval.rstring) {
        setTileText(dialog, tile, chosen->resval.rstring);
        check(dialog);
    }
    acutRelRb(chosen);
}

void onBrowseExisting(ads_callback_packet* packet) {
    browseInto(packet->dialog, kExistingTile, checkExisting);
}
void onBrowseProposed(ads_callback_packet* packet) {
    browseInto(packet->dialog, kProposedTile, checkProposed);
}

// Interval and fill factor: a number of 0 or more, else back to "1.0000".
void onNumber(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkField(packet->dialog, packet->tile, FieldCheck::NonNegativeNumber, kNumberDefault);
}

// The numbers are read with the same parser that checked them, so that a
// value in the drawing's units means the same to the check and to the
// computation.
double numberOf(const std::wstring& text) {
    return numericValue(text).value_or(std::numeric_limits<double>::quiet_NaN());
}

void onAccept(ads_callback_packet* packet) {
    ads_hdlg dialog = packet->dialog;
    if (refuseWhileComplaint(dialog, accepted)) return;
    results.existingName = tileText(dialog, kExistingTile, kPathTileCapacity);
    results.proposedName = tileText(dialog, kProposedTile, kPathTileCapacity);
    results.feetFlag = tileText(dialog, kFeetTile, kFlagTileCapacity);
    results.interval = numberOf(tileText(dialog, kIntervalTile, kNumberTileCapacity));
    results.fillFactor = numberOf(tileText(dialog, kFactorTile, kNumberTileCapacity));
    closeAccepted(dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    setTileText(dialog, kIntervalTile, kNumberDefault);
    setTileText(dialog, kFactorTile, kNumberDefault);
    showComplaint(dialog, L"");
    ads_action_tile(dialog, kExistingTile, onExisting);
    ads_action_tile(dialog, kProposedTile, onProposed);
    ads_action_tile(dialog, L"esbrowse", onBrowseExisting);
    ads_action_tile(dialog, L"psbrowse", onBrowseProposed);
    ads_action_tile(dialog, kIntervalTile, onNumber);
    ads_action_tile(dialog, kFactorTile, onNumber);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

} // namespace

std::wstring surfaceFileName(std::wstring_view name) {
    return project::siblingPath(name, surface::kSurfaceExtension)
        .value_or(std::wstring(name) + surface::kSurfaceExtension);
}

bool askVolumesRequest(VolumesRequest& request) {
    if (!showDialog(L"volumes", setUp, accepted)) return false;
    request = results;
    return true;
}

} // namespace vog::products
