// The "vogopen" dialog: the point file of the project to open, typed into
// point_file or chosen with the browse button pfbrowse.
#include "app/dialog_checks.h"
#include "project/project_commands.h"
#include "project/project_state.h"

namespace vog::project {

namespace {

constexpr const wchar_t* kPointFileTile = L"point_file";
constexpr const wchar_t* kNoFileMessage = L"File does not exist.\n";
constexpr const wchar_t* kNoExtensionMessage = L"Point file name has no extension.\n";
constexpr const wchar_t* kProjectFileMessage =
    L"Point file name has the extension of a project file.\n";

bool accepted = false;

// The field check of point_file: an empty field is left alone; a file that
// does not open empties the field with a complaint.
void checkPointFile(ads_hdlg dialog) {
    std::wstring path = tileText(dialog, kPointFileTile, kPathTileCapacity);
    if (path.empty()) return;
    if (fileOpensForReading(path)) {
        showComplaint(dialog, L"");
    } else {
        showComplaint(dialog, kNoFileMessage);
        setTileText(dialog, kPointFileTile, L"");
    }
}

void onPointFile(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkPointFile(packet->dialog);
}

void onBrowse(ads_callback_packet* packet) {
    resbuf* chosen = acutNewRb(RTSTR);
    if (!chosen) return;
    if (acedGetFileD(L"Select Point File", nullptr, L"dat", 4, chosen) == RTNORM) {
        if (chosen->restype == RTSTR && chosen->resval.rstring) {
            setTileText(packet->dialog, kPointFileTile, chosen->resval.rstring);
            checkPointFile(packet->dialog);
        }
        markProjectOpen();
    }
    acutRelRb(chosen);
}

// Guarded accept. An empty field closes the dialog like cancel. A path
// without any "." names no settings file: it is refused in the dialog rather
// than replacing the open project's point file with a project that cannot be
// saved.
void onAccept(ads_callback_packet* packet) {
    ads_hdlg dialog = packet->dialog;
    if (refuseWhileComplaint(dialog, accepted)) return;
    std::wstring path = tileText(dialog, kPointFileTile, kPathTileCapacity);
    if (path.empty()) {
        closeCancelled(dialog, accepted);
        return;
    }
    if (!siblingPath(path, L".set")) {
        showComplaint(dialog, kNoExtensionMessage);
        accepted = false;
        return;
    }
    // The settings or the surface would be written over the points.
    if (namesAProjectFile(path)) {
        showComplaint(dialog, kProjectFileMessage);
        accepted = false;
        return;
    }
    // Typed and accepted without leaving the field: a line end in the path
    // would split its line of the settings file.
    if (holdsControlCharacter(path)) {
        showComplaint(dialog, kNoFileMessage);
        setTileText(dialog, kPointFileTile, L"");
        accepted = false;
        return;
    }
    setSetting(L"dpoints", path);
    closeAccepted(dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    setTileText(dialog, kPointFileTile, setting(L"dpoints"));
    showComplaint(dialog, L"");
    ads_action_tile(dialog, kPointFileTile, onPointFile);
    ads_action_tile(dialog, L"pfbrowse", onBrowse);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

} // namespace

bool chooseProjectInDialog() {
    return showDialog(L"vogopen", setUp, accepted);
}

} // namespace vog::project
