// A dialog between ads_new_dialog and the end of ads_start_dialog, as the
// parts of the host's dialog driver share it: its tiles' current values and
// modes, their actions, and what a user can do to them.
#pragma once

#include "dcl/dcl.h"
#include "host_api.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace standin::dialog {

struct TileState {
    const dcl::Tile* tile = nullptr; // in the dialog's file
    std::wstring kind;
    std::wstring key;
    std::wstring value;
    bool enabled = true;
    CLIENTFUNC action = nullptr;
    int group = -1;        // the radio cluster of a radio button, or the cluster's own
    std::size_t limit = 0; // most characters a user can type into an edit box; 0: no limit
};

struct Instance {
    std::uintptr_t id = 0;
    std::wstring name;
    std::shared_ptr<const dcl::DclFile> file;
    const dcl::Tile* root = nullptr;
    std::vector<TileState> tiles; // the tiles with a key, in layout order
    std::map<std::wstring, std::size_t> byKey;
    std::vector<std::vector<std::size_t>> groups; // radio buttons of each radio cluster
    CLIENTFUNC defaultAction = nullptr;
    bool started = false;
    bool done = false;
    int status = DLGCANCEL;
    // The tile whose action runs (empty outside actions), and the one whose
    // action last put a message into the error tile: what a dialog left open
    // reports.
    std::wstring acting;
    std::wstring complainedAbout;

    TileState* find(const std::wstring& key);
};

// A user enters a value: an edit box gets it and loses the focus, a toggle
// or radio button is set to it and selected, a button is pressed (the value
// ignored). False, with the reason in complaint, when the user could not do
// it (no such tile, disabled, not a tile that takes input).
bool enterValue(Instance& dialog, const std::wstring& key, const std::wstring& value,
                std::wstring& complaint);

// A user presses a tile: a button is pushed, a toggle flipped, a radio
// button selected.
bool press(Instance& dialog, const std::wstring& key, std::wstring& complaint);

// A line "; dialog NAME: what" on the command line.
void reportDialog(const Instance& dialog, const std::wstring& what);

// A person answers the dialog at the terminal until it is closed; the end
// of the input cancels it.
void answerAtTerminal(Instance& dialog);

} // namespace standin::dialog
