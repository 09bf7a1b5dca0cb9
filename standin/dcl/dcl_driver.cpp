// The host's dialog functions: loading dialog files, creating dialogs from
// their definitions, tile values, modes and actions, and running a dialog
// until one of its actions closes it. A dialog is answered by the answer
// queued for its name, by a person at the terminal, or else accepted with its
// initial values as if Enter had been pressed.
#include "dcl/dcl_instance.h"
#include "dcl/dialogs.h"
#include "host/standin.h"

#include <algorithm>
#include <cwchar>
#include <deque>
#include <filesystem>
#include <iostream>
#include <utility>

namespace standin {

namespace {

namespace fs = std::filesystem;
using dialog::Instance;
using dialog::TileState;

struct DriverState {
    std::map<int, std::shared_ptr<const dcl::DclFile>> files;
    int nextFileId = 1;
    std::map<std::uintptr_t, std::unique_ptr<Instance>> dialogs;
    std::uintptr_t nextDialogId = 1;
    std::map<std::wstring, std::deque<DialogAnswer>> answers;
    std::vector<std::wstring> folders;
    std::istream* input = nullptr;
};

DriverState& driver() {
    static auto* state = new DriverState;
    return *state;
}

Instance* instanceOf(ads_hdlg handle) {
    auto id = reinterpret_cast<std::uintptr_t>(handle);
    auto found = driver().dialogs.find(id);
    return found == driver().dialogs.end() ? nullptr : found->second.get();
}

ads_hdlg handleOf(const Instance& dialog) {
    return reinterpret_cast<ads_hdlg>(dialog.id);
}

void print(const std::wstring& line) {
    freshLine();
    writeOutput(line + L"\n");
}

// Where a dialog file named without a folder is looked for: beside each
// loaded application, in the current folder, then in the added folders.
std::vector<fs::path> candidatePaths(const std::wstring& name) {
    fs::path file = toUtf8(name);
    if (!file.has_extension()) file += ".dcl";
    if (file.is_absolute()) return {file};
    std::vector<fs::path> paths;
    for (const auto& app : applications()) {
        fs::path folder = fs::path(toUtf8(app->path)).parent_path();
        if (!folder.empty()) paths.push_back(folder / file);
    }
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    paths.push_back(ec ? file : here / file);
    for (const std::wstring& folder : driver().folders)
        paths.push_back(fs::path(toUtf8(folder)) / file);
    return paths;
}

// ---------------------------------------------------------------- tile states
std::size_t editLimit(const dcl::Tile& tile) {
    std::wstring text = tile.attribute(L"edit_limit");
    if (text.empty()) return 0;
    long n = std::wcstol(text.c_str(), nullptr, 10);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

bool startsDisabled(const dcl::Tile& tile) {
    return tile.attribute(L"is_enabled") == L"false";
}

// Collects the keyed tiles of a subtree; group is the radio cluster the
// subtree's radio buttons belong to.
void collectTiles(Instance& d, const dcl::Tile& tile, int group, bool disabled) {
    disabled = disabled || startsDisabled(tile);
    int ownGroup = group;
    if (dcl::isRadioCluster(tile.kind)) {
        ownGroup = static_cast<int>(d.groups.size());
        d.groups.emplace_back();
    }
    if (tile.has(L"key")) {
        TileState s;
        s.tile = &tile;
        s.kind = tile.kind;
        s.key = tile.attribute(L"key");
        s.enabled = !disabled;
        s.limit = tile.kind == L"edit_box" ? editLimit(tile) : 0;
        if (tile.kind == L"toggle" || tile.kind == L"radio_button")
            s.value = tile.attribute(L"value", L"0");
        else if (tile.kind == L"text")
            s.value = tile.attribute(L"value", tile.attribute(L"label"));
        else
            s.value = tile.attribute(L"value");
        if (tile.kind == L"radio_button") s.group = group;
        if (dcl::isRadioCluster(tile.kind)) s.group = ownGroup;
        d.byKey[s.key] = d.tiles.size();
        if (s.group >= 0 && tile.kind == L"radio_button")
            d.groups[s.group].push_back(d.tiles.size());
        d.tiles.push_back(std::move(s));
    }
    for (const dcl::Tile& child : tile.children)
        collectTiles(d, child, tile.kind == L"radio_button" ? group : ownGroup, disabled);
}

TileState* clusterOfGroup(Instance& d, int group) {
    for (TileState& s : d.tiles)
        if (dcl::isRadioCluster(s.kind) && s.group == group) return &s;
    return nullptr;
}

// Selects one radio button of its cluster and clears the others.
void selectRadio(Instance& d, TileState& button) {
    if (button.group >= 0) {
        for (std::size_t i : d.groups[button.group])
            d.tiles[i].value = L"0";
        if (TileState* cluster = clusterOfGroup(d, button.group)) cluster->value = button.key;
    }
    button.value = L"1";
}

void setValue(Instance& d, TileState& s, const std::wstring& value) {
    if (s.kind == L"radio_button") {
        if (value == L"1") {
            selectRadio(d, s);
        } else {
            s.value = value;
            if (TileState* cluster = s.group >= 0 ? clusterOfGroup(d, s.group) : nullptr)
                if (cluster->value == s.key) cluster->value.clear();
        }
    } else if (dcl::isRadioCluster(s.kind)) {
        for (std::size_t i : d.groups[s.group])
            d.tiles[i].value = L"0";
        s.value.clear();
        if (TileState* button = d.find(value); button && button->group == s.group)
            selectRadio(d, *button);
    } else {
        s.value = value;
    }
}

void setMode(Instance& d, const dcl::Tile& tile, bool enabled) {
    if (tile.has(L"key"))
        if (TileState* s = d.find(tile.attribute(L"key"))) s->enabled = enabled;
    for (const dcl::Tile& child : tile.children)
        setMode(d, child, enabled);
}

// ---------------------------------------------------------------- actions
bool isAcceptTile(const TileState& s) {
    return s.key == L"accept" || s.tile->attribute(L"is_default") == L"true";
}
bool isCancelTile(const TileState& s) {
    return s.key == L"cancel" || s.tile->attribute(L"is_cancel") == L"true";
}

// Runs the action of a tile as the host does after a user's input: the
// tile's own action, else the dialog's default action, else the built-in
// closing of the OK and Cancel buttons.
void fire(Instance& d, const TileState& s, const std::wstring& key, const std::wstring& value,
          int reason, CLIENTFUNC action) {
    if (!action) action = d.defaultAction;
    if (!action) {
        if (dcl::isButton(s.kind) && isAcceptTile(s))
            ads_done_dialog(handleOf(d), DLGOK);
        else if (dcl::isButton(s.kind) && isCancelTile(s))
            ads_done_dialog(handleOf(d), DLGCANCEL);
        return;
    }
    // The packet's texts are copies: an action may change the tile meanwhile.
    std::vector<ACHAR> keyText(key.begin(), key.end());
    keyText.push_back(L'\0');
    std::vector<ACHAR> valueText(value.begin(), value.end());
    valueText.push_back(L'\0');
    ads_callback_packet packet{};
    packet.dialog = handleOf(d);
    packet.tile = keyText.data();
    packet.value = valueText.data();
    packet.client_data = nullptr;
    packet.reason = reason;
    const std::wstring outer = std::exchange(d.acting, key);
    action(&packet);
    d.acting = outer;
}

void fireRadio(Instance& d, TileState& button) {
    selectRadio(d, button);
    TileState* cluster = button.group >= 0 ? clusterOfGroup(d, button.group) : nullptr;
    if (!button.action && cluster && cluster->action)
        fire(d, *cluster, cluster->key, button.key, CBR_SELECT, cluster->action);
    else
        fire(d, button, button.key, button.value, CBR_SELECT, button.action);
}

bool usable(Instance& d, const std::wstring& key, TileState*& s, std::wstring& complaint) {
    s = d.find(key);
    if (!s)
        complaint = L"no tile " + key;
    else if (!s->enabled)
        complaint = L"tile " + key + L" is disabled";
    return s && s->enabled;
}

// Why a dialog is still open: the message in its error tile on one line, and
// the tile whose check put it there; empty when the error tile is empty.
std::wstring openReason(Instance& d) {
    const TileState* error = d.find(L"error");
    if (!error) return L"";
    std::wstring message;
    for (wchar_t c : error->value)
        message += (c == L'\n' || c == L'\r' || c == L'\t') ? L' ' : c;
    const std::size_t end = message.find_last_not_of(L' ');
    if (end == std::wstring::npos) return L"";
    message.erase(end + 1);
    std::wstring reason = L"; error \"" + message + L"\"";
    if (!d.complainedAbout.empty()) reason += L" from tile " + d.complainedAbout;
    return reason;
}

void close(Instance& d, const std::wstring& what) {
    if (d.done) return;
    print(L"; dialog " + d.name + L" still open after " + what + L": cancelled" + openReason(d));
    std::wstring complaint;
    if (d.find(L"cancel") && dialog::press(d, L"cancel", complaint) && d.done) return;
    d.done = true;
    d.status = DLGCANCEL;
}

void answerFromScript(Instance& d, const DialogAnswer& answer) {
    for (const auto& [key, value] : answer.values) {
        if (d.done) return;
        std::wstring complaint;
        if (!dialog::enterValue(d, key, value, complaint)) dialog::reportDialog(d, complaint);
    }
    if (d.done) return;
    std::wstring complaint;
    if (!dialog::press(d, answer.press, complaint)) dialog::reportDialog(d, complaint);
    close(d, L"scripted answers");
}

} // namespace

// ---------------------------------------------------------------- shared with the terminal
namespace dialog {

TileState* Instance::find(const std::wstring& key) {
    auto found = byKey.find(key);
    return found == byKey.end() ? nullptr : &tiles[found->second];
}

void reportDialog(const Instance& d, const std::wstring& what) {
    if (!what.empty()) print(L"; dialog " + d.name + L": " + what);
}

bool enterValue(Instance& d, const std::wstring& key, const std::wstring& value,
                std::wstring& complaint) {
    TileState* s = nullptr;
    if (!usable(d, key, s, complaint)) return false;
    if (s->kind == L"edit_box") {
        std::wstring typed = value;
        if (s->limit && typed.size() > s->limit) typed.resize(s->limit);
        s->value = typed;
        fire(d, *s, s->key, s->value, CBR_LOST_FOCUS, s->action);
    } else if (s->kind == L"toggle") {
        if (value != L"0" && value != L"1") {
            complaint = L"toggle " + key + L" takes \"0\" or \"1\", not \"" + value + L"\"";
            return false;
        }
        s->value = value;
        fire(d, *s, s->key, s->value, CBR_SELECT, s->action);
    } else if (s->kind == L"radio_button") {
        if (value != L"1") {
            complaint = L"radio button " + key + L" can only be selected (\"1\")";
            return false;
        }
        fireRadio(d, *s);
    } else if (dcl::isRadioCluster(s->kind)) {
        TileState* button = d.find(value);
        if (!button || button->group != s->group || button->kind != L"radio_button") {
            complaint = L"radio cluster " + key + L" has no button " + value;
            return false;
        }
        if (!button->enabled) {
            complaint = L"tile " + value + L" is disabled";
            return false;
        }
        fireRadio(d, *button);
    } else if (dcl::isButton(s->kind)) {
        fire(d, *s, s->key, s->value, CBR_SELECT, s->action);
    } else if (s->kind == L"list_box" || s->kind == L"popup_list" || s->kind == L"slider") {
        s->value = value;
        fire(d, *s, s->key, s->value, CBR_SELECT, s->action);
    } else {
        complaint = L"tile " + key + L" (" + s->kind + L") takes no input";
        return false;
    }
    return true;
}

bool press(Instance& d, const std::wstring& key, std::wstring& complaint) {
    TileState* s = nullptr;
    if (!usable(d, key, s, complaint)) return false;
    if (s->kind == L"toggle") return enterValue(d, key, s->value == L"1" ? L"0" : L"1", complaint);
    if (s->kind == L"radio_button") return enterValue(d, key, L"1", complaint);
    if (!dcl::isButton(s->kind)) {
        complaint = L"tile " + key + L" (" + s->kind + L") cannot be pressed";
        return false;
    }
    fire(d, *s, s->key, s->value, CBR_SELECT, s->action);
    return true;
}

} // namespace dialog

// ---------------------------------------------------------------- the test and host interface
void queueDialogAnswer(const std::wstring& dialog, DialogAnswer answer) {
    driver().answers[dialog].push_back(std::move(answer));
}

std::size_t pendingDialogAnswers(const std::wstring& dialog) {
    auto found = driver().answers.find(dialog);
    return found == driver().answers.end() ? 0 : found->second.size();
}

void addDialogFolder(const std::wstring& folder) {
    driver().folders.push_back(folder);
}

void setTerminalInput(std::istream* input) {
    driver().input = input;
}
std::istream& terminalInput() {
    return driver().input ? *driver().input : std::cin;
}

std::size_t loadedDialogFiles() {
    return driver().files.size();
}
std::size_t openDialogs() {
    return driver().dialogs.size();
}

void resetDialogs() {
    DriverState& s = driver();
    s.files.clear();
    s.dialogs.clear();
    s.answers.clear();
    s.folders.clear();
    s.input = nullptr;
    resetFileAnswers();
}

} // namespace standin

using standin::driver;
using standin::instanceOf;

int ads_load_dialog(const ACHAR* dclfile, int* dcl_id) {
    if (dcl_id) *dcl_id = -1;
    if (!dclfile || !dcl_id || !*dclfile) return RTERROR;
    std::error_code ec;
    for (const auto& path : standin::candidatePaths(dclfile)) {
        if (!std::filesystem::is_regular_file(path, ec)) continue;
        auto file = std::make_shared<standin::dcl::DclFile>();
        std::wstring error;
        if (!standin::dcl::readDclFile(standin::fromUtf8(path.string()), *file, error)) {
            standin::print(L"; error in dialog file: " + error);
            return RTERROR;
        }
        *dcl_id = driver().nextFileId++;
        driver().files[*dcl_id] = std::move(file);
        return RTNORM;
    }
    standin::print(L"; dialog file " + std::wstring(dclfile) + L" not found");
    return RTERROR;
}

int ads_unload_dialog(int dcl_id) {
    return driver().files.erase(dcl_id) ? RTNORM : RTERROR;
}

int ads_new_dialog(const ACHAR* dlgname, int dcl_id, CLIENTFUNC def_callback, ads_hdlg* hdlg) {
    if (hdlg) *hdlg = nullptr;
    if (!dlgname || !hdlg) return RTERROR;
    auto file = driver().files.find(dcl_id);
    if (file == driver().files.end()) return RTERROR;
    auto found = file->second->dialogs.find(dlgname);
    if (found == file->second->dialogs.end()) {
        standin::print(L"; dialog " + std::wstring(dlgname) + L" is not defined in " +
                       file->second->path);
        return RTERROR;
    }
    auto d = std::make_unique<standin::dialog::Instance>();
    d->id = driver().nextDialogId++;
    d->name = dlgname;
    d->file = file->second;
    d->root = &found->second;
    d->defaultAction = def_callback;
    standin::collectTiles(*d, *d->root, -1, false);
    // A radio cluster's value names its selected button.
    for (standin::dialog::TileState& s : d->tiles)
        if (standin::dcl::isRadioCluster(s.kind) && !s.value.empty())
            standin::setValue(*d, s, s.value);
    *hdlg = standin::handleOf(*d);
    driver().dialogs[d->id] = std::move(d);
    return RTNORM;
}

int ads_start_dialog(ads_hdlg hdlg, int* status) {
    standin::dialog::Instance* d = instanceOf(hdlg);
    if (status) *status = DLGCANCEL;
    if (!d || d->started) return RTERROR;
    d->started = true;
    if (!d->done) {
        auto& queue = driver().answers[d->name];
        if (!queue.empty()) {
            standin::DialogAnswer answer = std::move(queue.front());
            queue.pop_front();
            standin::answerFromScript(*d, answer);
        } else if (standin::isInteractive()) {
            standin::dialog::answerAtTerminal(*d);
        } else {
            std::wstring complaint;
            if (!standin::dialog::press(*d, L"accept", complaint))
                standin::dialog::reportDialog(*d, complaint);
            standin::close(*d, L"accepting its initial values");
        }
        if (!d->done) {
            d->done = true;
            d->status = DLGCANCEL;
        }
    }
    if (status) *status = d->status;
    driver().dialogs.erase(d->id);
    return RTNORM;
}

int ads_done_dialog(ads_hdlg hdlg, int status) {
    standin::dialog::Instance* d = instanceOf(hdlg);
    if (!d) return RTERROR;
    if (!d->done) {
        d->done = true;
        d->status = status;
    }
    return RTNORM;
}

int ads_set_tile(ads_hdlg hdlg, const ACHAR* key, const ACHAR* value) {
    standin::dialog::Instance* d = instanceOf(hdlg);
    if (!d || !key || !value) return RTERROR;
    standin::dialog::TileState* s = d->find(key);
    if (!s) return RTERROR;
    standin::setValue(*d, *s, value);
    if (s->key == L"error") d->complainedAbout = *value ? d->acting : L"";
    return RTNORM;
}

int ads_get_tile(ads_hdlg hdlg, const ACHAR* key, ACHAR* value, int maxlen) {
    if (value && maxlen > 0) value[0] = L'\0';
    standin::dialog::Instance* d = instanceOf(hdlg);
    if (!d || !key || !value || maxlen <= 0) return RTERROR;
    standin::dialog::TileState* s = d->find(key);
    if (!s) return RTERROR;
    std::size_t n = std::min(s->value.size(), static_cast<std::size_t>(maxlen - 1));
    std::wmemcpy(value, s->value.data(), n);
    value[n] = L'\0';
    return RTNORM;
}

int ads_mode_tile(ads_hdlg hdlg, const ACHAR* key, short mode) {
    standin::dialog::Instance* d = instanceOf(hdlg);
    if (!d || !key || mode < MODE_ENABLE || mode > 4) return RTERROR;
    standin::dialog::TileState* s = d->find(key);
    if (!s) return RTERROR;
    if (mode == MODE_ENABLE || mode == MODE_DISABLE)
        standin::setMode(*d, *s->tile, mode == MODE_ENABLE);
    return RTNORM;
}

int ads_action_tile(ads_hdlg hdlg, const ACHAR* key, CLIENTFUNC tilefunc) {
    standin::dialog::Instance* d = instanceOf(hdlg);
    if (!d || !key) return RTERROR;
    standin::dialog::TileState* s = d->find(key);
    if (!s) return RTERROR;
    s->action = tilefunc;
    return RTNORM;
}
