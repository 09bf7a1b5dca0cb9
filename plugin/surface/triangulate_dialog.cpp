#include "surface/triangulate_dialog.h"

#include "app/dialog_checks.h"
#include "project/project_state.h"

namespace vog::surface {

namespace {

#ifdef _WIN32
constexpr wchar_t kFolderSeparator = L'\\';
#else
constexpr wchar_t kFolderSeparator = L'/';
#endif

// Capacities of the accepted values, the terminator included.
constexpr std::size_t kToggleCapacity = 2;
constexpr std::size_t kLimitCapacity = 16;

constexpr const wchar_t* kNoFaultFile = L"Fault line file does not exist.\n";
constexpr const wchar_t* kNoBoundaryFile = L"Boundary/void file does not exist.\n";

bool accepted = false;
// The elevation limits behind mine and maxe while the dialog is open.
ElevationRange shownLimits;

// One of the two optional input files: its tiles, its setting and the texts
// of its checks and file dialog.
struct InputFile {
    const wchar_t* tile;
    project::SettingKey setting;
    const wchar_t* missing;
    const wchar_t* title;
    const wchar_t* extension;
};

constexpr InputFile kFaultFile{L"fault_file", L"dfaults", kNoFaultFile, L"Select Fault File",
                               L"flt"};
constexpr InputFile kBoundaryFile{L"bound_file", L"dbndry", kNoBoundaryFile,
                                  L"Select Boundary/Void File", L"bnd"};

// An empty field is left alone; a file that does not open is complained
// about and the field gets the setting back. False after a complaint.
bool checkInputFile(ads_hdlg dialog, const InputFile& file) {
    std::wstring path = tileText(dialog, file.tile, kPathTileCapacity);
    if (path.empty()) return true;
    if (fileOpensForReading(path)) {
        showComplaint(dialog, L"");
        return true;
    }
    showComplaint(dialog, file.missing);
    setTileText(dialog, file.tile, project::setting(file.setting));
    return false;
}

void browseInputFile(ads_hdlg dialog, const InputFile& file) {
    resbuf* chosen = acutNewRb(RTSTR);
    if (!chosen) return;
    const std::wstring folder = pointFileFolder(project::setting(L"dpoints"));
    // 20: any extension may be typed, and the default names a folder.
    // The button only fills its field: the field is checked when it loses
    // the focus and at OK, so browsing neither clears the complaint of
    // another field nor lets OK through with it.
    if (acedGetFileD(file.title, folder.c_str(), file.extension, 20, chosen) == RTNORM &&
        chosen->restype == RTSTR && chosen->resval.rstring)
        setTileText(dialog, file.tile, chosen->resval.rstring);
    acutRelRb(chosen);
}

void onElevationToggle(ads_callback_packet* packet) {
    if (!selectedTile(packet)) return;
    enableWithToggle(packet->dialog, packet->value, {L"mine", L"maxe"});
}

void onMinimum(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkField(packet->dialog, L"mine", FieldCheck::Numeric, shownLimits.mine);
}

void onMaximum(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkField(packet->dialog, L"maxe", FieldCheck::Numeric, shownLimits.maxe);
}

void onFaultToggle(ads_callback_packet* packet) {
    if (!selectedTile(packet)) return;
    enableWithToggle(packet->dialog, packet->value, {L"dim2", L"dim3", L"fault_file", L"ffbrowse"});
}

void onFaultFile(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkInputFile(packet->dialog, kFaultFile);
}

void onFaultBrowse(ads_callback_packet* packet) {
    browseInputFile(packet->dialog, kFaultFile);
}

void onBoundaryToggle(ads_callback_packet* packet) {
    if (!selectedTile(packet)) return;
    enableWithToggle(packet->dialog, packet->value, {L"bound_file", L"bfbrowse"});
}

void onBoundaryFile(ads_callback_packet* packet) {
    if (!leftField(packet)) return;
    checkInputFile(packet->dialog, kBoundaryFile);
}

void onBoundaryBrowse(ads_callback_packet* packet) {
    browseInputFile(packet->dialog, kBoundaryFile);
}

// The field checks once more at OK, for the fields in use: a value typed or
// browsed without leaving its field has not been checked yet. False after
// the first complaint, which the failed field shows.
bool fieldsPassAtOk(ads_hdlg dialog) {
    if (tileText(dialog, L"uelev", kToggleCapacity) == L"1") {
        if (!checkField(dialog, L"mine", FieldCheck::Numeric, shownLimits.mine)) return false;
        if (!checkField(dialog, L"maxe", FieldCheck::Numeric, shownLimits.maxe)) return false;
    }
    if (tileText(dialog, L"ufaults", kToggleCapacity) == L"1" &&
        !checkInputFile(dialog, kFaultFile))
        return false;
    if (tileText(dialog, L"ubound", kToggleCapacity) == L"1" &&
        !checkInputFile(dialog, kBoundaryFile))
        return false;
    return true;
}

void onAccept(ads_callback_packet* packet) {
    ads_hdlg dialog = packet->dialog;
    if (refuseWhileComplaint(dialog, accepted)) return;
    if (!fieldsPassAtOk(dialog)) {
        accepted = false;
        return;
    }
    project::setSetting(L"dpoints", tileText(dialog, L"point_file", kPathTileCapacity));
    project::setSetting(L"uelev", tileText(dialog, L"uelev", kToggleCapacity));
    shownLimits.mine = tileText(dialog, L"mine", kLimitCapacity);
    shownLimits.maxe = tileText(dialog, L"maxe", kLimitCapacity);
    project::setSetting(L"ufaults", tileText(dialog, L"ufaults", kToggleCapacity));
    project::setSetting(L"dfaults", tileText(dialog, L"fault_file", kPathTileCapacity));
    project::setSetting(L"ubound", tileText(dialog, L"ubound", kToggleCapacity));
    project::setSetting(L"dbndry", tileText(dialog, L"bound_file", kPathTileCapacity));
    closeAccepted(dialog, accepted);
}

void onCancel(ads_callback_packet* packet) {
    closeCancelled(packet->dialog, accepted);
}

void setUp(ads_hdlg dialog) {
    using project::setting;
    setTileText(dialog, L"point_file", setting(L"dpoints"));
    enableTiles(dialog, {L"point_file"}, false);

    const bool useLimits = project::settings().limitElevations;
    setTileText(dialog, L"uelev", useLimits ? L"1" : L"0");
    setTileText(dialog, L"mine", shownLimits.mine);
    setTileText(dialog, L"maxe", shownLimits.maxe);
    enableTiles(dialog, {L"mine", L"maxe"}, useLimits);

    // The file tiles start disabled only for "0"; dim2 and dim3 keep the
    // state the dialog file gives them until the toggle is used.
    const bool faultsOff = setting(L"ufaults") == L"0";
    setTileText(dialog, L"ufaults", setting(L"ufaults"));
    setTileText(dialog, L"fault_file", setting(L"dfaults"));
    enableTiles(dialog, {L"fault_file", L"ffbrowse"}, !faultsOff);

    const bool boundaryOff = setting(L"ubound") == L"0";
    setTileText(dialog, L"ubound", setting(L"ubound"));
    setTileText(dialog, L"bound_file", setting(L"dbndry"));
    enableTiles(dialog, {L"bound_file", L"bfbrowse"}, !boundaryOff);
    showComplaint(dialog, L"");

    ads_action_tile(dialog, L"uelev", onElevationToggle);
    ads_action_tile(dialog, L"mine", onMinimum);
    ads_action_tile(dialog, L"maxe", onMaximum);
    ads_action_tile(dialog, L"ufaults", onFaultToggle);
    ads_action_tile(dialog, L"fault_file", onFaultFile);
    ads_action_tile(dialog, L"ffbrowse", onFaultBrowse);
    ads_action_tile(dialog, L"ubound", onBoundaryToggle);
    ads_action_tile(dialog, L"bound_file", onBoundaryFile);
    ads_action_tile(dialog, L"bfbrowse", onBoundaryBrowse);
    ads_action_tile(dialog, L"accept", onAccept);
    ads_action_tile(dialog, L"cancel", onCancel);
}

} // namespace

std::wstring pointFileFolder(const std::wstring& pointFile) {
    const std::size_t separator = pointFile.rfind(kFolderSeparator);
    return separator == std::wstring::npos ? std::wstring() : pointFile.substr(0, separator);
}

std::wstring drawingDecimalText(double value) {
    ACHAR text[64];
    if (acdbRToS(value, 2, -1, text) != RTNORM) return {};
    return text;
}

bool askTriangulationOptions(ElevationRange& limits) {
    shownLimits = limits;
    if (!showDialog(L"triangulate", setUp, accepted)) return false;
    limits = shownLimits;
    return true;
}

} // namespace vog::surface
