// What every dialog of the plug-in shares: showing a dialog from "vog.dcl",
// reading and writing its tiles, the field checks that run when the user
// leaves a field, their messages in the "error" tile, and the accept and
// cancel handlers.
#pragma once

#include "host_api.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace vog {

// ---------------------------------------------------------------- messages
inline constexpr const wchar_t* kMustBeNumeric = L"Value must be numeric.";
inline constexpr const wchar_t* kMustBePositiveNumber = L"Value must be a positive number.";
inline constexpr const wchar_t* kMustBeNonNegativeNumber = L"Value must be a nonnegative number.";
inline constexpr const wchar_t* kMustBePositive = L"Value must be positive";
inline constexpr const wchar_t* kMustBeNonBlank = L"Value must be non-blank";
inline constexpr const wchar_t* kLayerNameCharacters = L"Value must contain A-Z,a-z,0-9,-,_,$ only";

// Tile read capacities, the terminator included.
inline constexpr std::size_t kNumberTileCapacity = 15;
inline constexpr std::size_t kLayerTileCapacity = 31;
inline constexpr std::size_t kPathTileCapacity = 512;

inline constexpr const wchar_t* kDialogFile = L"vog.dcl";
inline constexpr const wchar_t* kErrorTile = L"error";

// ---------------------------------------------------------------- the shared checks
// The value of a text that the host parses as a distance in the drawing's
// current linear units; none when it does not parse.
std::optional<double> numericValue(std::wstring_view text);

// True when the name is not empty and every character is a letter A-Z or
// a-z, a digit, "-", "_" or "$".
bool isLayerName(std::wstring_view name);

// True when the named file opens for reading (it is closed again at once).
// A path with a control character, or one that names a folder, a FIFO or a
// device, is not opened and gives false.
bool fileOpensForReading(std::wstring_view path);

// The kinds of field check.
enum class FieldCheck {
    Numeric,           // any number
    PositiveNumber,    // a number > 0 (intervals)
    NonNegativeNumber, // a number >= 0 (widths)
    PositiveSpacing,   // a number > 0, with separate messages (mesh spacing and scale)
    LayerName,         // non-blank, then the layer-name characters
};

// The message a field of this kind shows for the text, or nullptr when the
// text passes.
const wchar_t* fieldComplaint(FieldCheck kind, std::wstring_view text);

// ---------------------------------------------------------------- tiles
// The tile's value, read with room for capacity characters (terminator
// included).
std::wstring tileText(ads_hdlg dialog, const wchar_t* key, std::size_t capacity);
void setTileText(ads_hdlg dialog, const wchar_t* key, std::wstring_view text);

// The "error" tile: a message, or the empty string for no complaint.
void showComplaint(ads_hdlg dialog, const wchar_t* message);
bool complaintShowing(ads_hdlg dialog);

// Enables or disables tiles (mode 0 enables, mode 1 disables).
void enableTiles(ads_hdlg dialog, std::initializer_list<const wchar_t*> keys, bool enabled);
// The tiles that depend on a toggle: enabled exactly when its value is "1".
void enableWithToggle(ads_hdlg dialog, std::wstring_view toggleValue,
                      std::initializer_list<const wchar_t*> keys);

// The callback reasons the handlers act on.
inline bool leftField(const ads_callback_packet* packet) {
    return packet && packet->reason == CBR_LOST_FOCUS;
}
inline bool selectedTile(const ads_callback_packet* packet) {
    return packet && packet->reason == CBR_SELECT;
}

// A field check when the user leaves a field: reads the tile key with the
// given capacity; when the check fails puts fallback back into the tile and
// shows the message, when it passes clears the "error" tile. True when it
// passed.
bool checkField(ads_hdlg dialog, const wchar_t* key, FieldCheck kind, std::wstring_view fallback,
                std::size_t capacity = kNumberTileCapacity);

// ---------------------------------------------------------------- accept and cancel
// The guard of the dialogs that refuse to close while a complaint shows:
// true (and the accepted flag cleared) when the dialog must stay open.
bool refuseWhileComplaint(ads_hdlg dialog, bool& accepted);
// Sets the accepted flag and closes the dialog with status 1.
void closeAccepted(ads_hdlg dialog, bool& accepted);
// Clears the accepted flag and closes the dialog with status 0.
void closeCancelled(ads_hdlg dialog, bool& accepted);

// ---------------------------------------------------------------- showing a dialog
// Shows the named dialog of "vog.dcl": clears the accepted flag, loads the
// file, creates the dialog without a default handler, lets setup fill the
// tiles, set their modes and register the handlers, runs the dialog and
// unloads the file. Answers the accepted flag as the handlers left it; a
// dialog that cannot be shown counts as cancelled.
bool showDialog(const wchar_t* name, const std::function<void(ads_hdlg)>& setup, bool& accepted);

} // namespace vog
