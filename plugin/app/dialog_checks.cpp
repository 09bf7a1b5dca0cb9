#include "app/dialog_checks.h"

#include "base/wide_text.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace vog {

namespace {

constexpr std::wstring_view kLayerCharacters =
    L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_0123456789$";

} // namespace

std::optional<double> numericValue(std::wstring_view text) {
    std::wstring terminated(text);
    ads_real value = 0;
    if (acdbDisToF(terminated.c_str(), -1, &value) != RTNORM) return std::nullopt;
    return value;
}

bool isLayerName(std::wstring_view name) {
    return !name.empty() && name.find_first_not_of(kLayerCharacters) == std::wstring_view::npos;
}

bool fileOpensForReading(std::wstring_view path) {
    if (path.empty()) return false;
    // A path with a line end would split its line of the settings file.
    for (wchar_t c : path)
        if (c < 0x20 || c == 0x7F) return false;
    // A folder opens like a file on some platforms but holds no data; a FIFO
    // without a writer would keep the open waiting; a device is no file.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(filePath(path), ec)) return false;
    std::ifstream in(filePath(path), std::ios::binary);
    return static_cast<bool>(in);
}

const wchar_t* fieldComplaint(FieldCheck kind, std::wstring_view text) {
    if (kind == FieldCheck::LayerName) {
        if (text.empty()) return kMustBeNonBlank;
        return isLayerName(text) ? nullptr : kLayerNameCharacters;
    }
    std::optional<double> value = numericValue(text);
    switch (kind) {
    case FieldCheck::Numeric:
        return value ? nullptr : kMustBeNumeric;
    case FieldCheck::PositiveNumber:
        return value && *value > 0 ? nullptr : kMustBePositiveNumber;
    case FieldCheck::NonNegativeNumber:
        return value && *value >= 0 ? nullptr : kMustBeNonNegativeNumber;
    case FieldCheck::PositiveSpacing:
        if (!value) return kMustBeNumeric;
        return *value > 0 ? nullptr : kMustBePositive;
    case FieldCheck::LayerName:
        break;
    }
    return nullptr;
}

std::wstring tileText(ads_hdlg dialog, const wchar_t* key, std::size_t capacity) {
    if (capacity == 0) return {};
    std::vector<ACHAR> buffer(capacity, L'\0');
    if (ads_get_tile(dialog, key, buffer.data(), static_cast<int>(capacity)) != RTNORM) return {};
    buffer.back() = L'\0';
    return buffer.data();
}

void setTileText(ads_hdlg dialog, const wchar_t* key, std::wstring_view text) {
    std::wstring terminated(text);
    ads_set_tile(dialog, key, terminated.c_str());
}

void showComplaint(ads_hdlg dialog, const wchar_t* message) {
    ads_set_tile(dialog, kErrorTile, message ? message : L"");
}

bool complaintShowing(ads_hdlg dialog) {
    // One character is enough to tell an empty tile from a message.
    return !tileText(dialog, kErrorTile, 2).empty();
}

void enableTiles(ads_hdlg dialog, std::initializer_list<const wchar_t*> keys, bool enabled) {
    for (const wchar_t* key : keys)
        ads_mode_tile(dialog, key, enabled ? MODE_ENABLE : MODE_DISABLE);
}

void enableWithToggle(ads_hdlg dialog, std::wstring_view toggleValue,
                      std::initializer_list<const wchar_t*> keys) {
    enableTiles(dialog, keys, toggleValue == L"1");
}

bool checkField(ads_hdlg dialog, const wchar_t* key, FieldCheck kind, std::wstring_view fallback,
                std::size_t capacity) {
    const wchar_t* complaint = fieldComplaint(kind, tileText(dialog, key, capacity));
    if (complaint) setTileText(dialog, key, fallback);
    showComplaint(dialog, complaint);
    return complaint == nullptr;
}

bool refuseWhileComplaint(ads_hdlg dialog, bool& accepted) {
    if (!complaintShowing(dialog)) return false;
    accepted = false;
    return true;
}

void closeAccepted(ads_hdlg dialog, bool& accepted) {
    accepted = true;
    ads_done_dialog(dialog, DLGOK);
}

void closeCancelled(ads_hdlg dialog, bool& accepted) {
    accepted = false;
    ads_done_dialog(dialog, DLGCANCEL);
}

bool showDialog(const wchar_t* name, const std::function<void(ads_hdlg)>& setup, bool& accepted) {
    accepted = false;
    int file = -1;
    if (ads_load_dialog(kDialogFile, &file) != RTNORM) return false;
    ads_hdlg dialog = nullptr;
    if (ads_new_dialog(name, file, NULLCB, &dialog) == RTNORM && dialog) {
        if (setup) setup(dialog);
        int status = DLGCANCEL;
        ads_start_dialog(dialog, &status);
    }
    ads_unload_dialog(file);
    return accepted;
}

} // namespace vog
