#include "project/project_commands.h"

#include "project/project_state.h"
#include "project/settings_file.h"

#include <array>
#include <string>
#include <vector>

namespace vog::project {

namespace {

// The project state before an open, given back when the new project's
// settings file cannot be read: the project open before (if any) stays open.
struct OpenedBefore {
    std::wstring pointFile = setting(L"dpoints");
    std::wstring openFlag = state().openFlag;

    int load() const {
        const int loaded = loadSettings();
        if (loaded != RTNORM) {
            setSetting(L"dpoints", pointFile);
            state().openFlag = openFlag;
        }
        return loaded;
    }
};

// The whole path, with its control characters shown as "?".
std::wstring shownPath(std::wstring path) {
    for (wchar_t& c : path)
        if (c < 0x20 || c == 0x7F) c = L'?';
    return path;
}

const std::array<const wchar_t*, 17> kSettableKeys = {
    L"uelev", L"dfaults", L"dbndry", L"ufaults", L"ubound", L"dimfaults", L"dcw", L"diw", L"dci",
    L"dii",   L"dcln",    L"diln",   L"dxi",     L"dzi",    L"dbe",       L"dsk", L"dmln"};

const std::array<const wchar_t*, 18> kListedKeys = {
    L"dpoints",   L"dfaults", L"dbndry", L"uelev", L"ufaults", L"ubound",
    L"dimfaults", L"dcw",     L"diw",    L"dci",   L"dii",     L"dcln",
    L"diln",      L"dxi",     L"dzi",    L"dbe",   L"dsk",     L"dmln"};

bool isString(const resbuf* rb) {
    return rb && rb->restype == RTSTR && rb->resval.rstring;
}

} // namespace

int vogopenCommand() {
    if (isProjectOpen()) saveSettings();
    const OpenedBefore before;
    if (!chooseProjectInDialog()) return RTCAN;
    // The dialog refuses a point file name without an extension.
    if (!projectSiblingPath(L".set")) return RTERROR;
    return before.load();
}

int lvogopenCommand(const resbuf* args) {
    if (!isString(args)) {
        acedAlert(L"Usage: (lvogopen \"point-file path\")");
        return RTERROR;
    }
    std::wstring path = args->resval.rstring;
    // Cut to the setting's 511 characters it would name another file, and
    // its settings and surface would be written beside that one.
    if (path.size() >= 512) {
        acedAlert((L"Point file path is longer than 511 characters: " + path.substr(0, 80) + L"...")
                      .c_str());
        return RTERROR;
    }
    // A line end in the path would split its line of the settings file.
    if (holdsControlCharacter(path)) {
        acedAlert((L"Point file path holds a control character: " + shownPath(path)).c_str());
        return RTERROR;
    }
    if (!siblingPath(path, L".set")) {
        acedAlert((L"Point file name has no extension: " + path).c_str());
        return RTERROR;
    }
    // The settings or the surface would be written over the points.
    if (namesAProjectFile(path)) {
        acedAlert((L"Point file name has the extension of a project file: " + path).c_str());
        return RTERROR;
    }
    if (isProjectOpen()) saveSettings();
    const OpenedBefore before;
    setSetting(L"dpoints", path);
    return before.load();
}

int vogsetCommand(const resbuf* args) {
    if (!requireOpenProject(kNoProjectMessageBang)) return RTERROR;
    if (!isString(args) || !isString(args->rbnext)) {
        acedAlert(L"Usage: (vogset \"key\" \"value\")");
        return RTERROR;
    }
    std::wstring_view key = args->resval.rstring;
    std::wstring_view value = args->rbnext->resval.rstring;
    for (const wchar_t* settable : kSettableKeys) {
        if (key != settable) continue;
        // A line end in a value would split its line of the settings file,
        // and the rest would be read back as a setting of its own.
        if (holdsControlCharacter(value)) {
            acedAlert((L"Value of " + std::wstring(key) + L" holds a control character: " +
                       shownPath(std::wstring(value)))
                          .c_str());
            return RTERROR;
        }
        setSetting(key, value);
        break;
    }
    return RTNORM;
}

int vogvarCommand() {
    if (!requireOpenProject(kNoProjectMessageBang)) {
        acedRetNil();
        return RTERROR;
    }
    // The list is built item by item: acutBuildList takes a fixed argument
    // list, and 36 strings are chained the same way it would chain them.
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    auto append = [&](const std::wstring& text) {
        resbuf* item = acutBuildList(RTSTR, text.c_str(), RTNONE);
        if (!item) return;
        if (tail)
            tail->rbnext = item;
        else
            head = item;
        tail = item;
    };
    for (const wchar_t* key : kListedKeys) {
        append(key);
        append(setting(key));
    }
    acedRetList(head);
    acutRelRb(head);
    return RTNORM;
}

} // namespace vog::project
