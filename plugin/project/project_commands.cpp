#include "project/project_commands.h"

#include "app/host_result.h"
#include "app/host_seam.h"
#include "project/project_state.h"
#include "project/settings_file.h"

#include <string>

namespace vog::project {

namespace {

// The project state before an open, given back when the new project's
// settings file cannot be read: the project open before (if any) stays open.
struct OpenedBefore {
    std::wstring pointFile = setting(L"dpoints");
    std::wstring openFlag = state().openFlag;

    Status load(Messages& messages) const {
        const Status loaded = loadSettings(messages);
        if (loaded != Status::ok) {
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

bool isString(const resbuf* rb) {
    return rb && rb->restype == RTSTR && rb->resval.rstring;
}

Status openChosenProject(Messages& messages) {
    if (isProjectOpen()) (void)saveSettings(messages); // a failed save has shown its alert
    const OpenedBefore before;
    if (!chooseProjectInDialog()) return Status::cancelled;
    // The dialog refuses a point file name without an extension.
    if (!projectSiblingPath(messages, L".set")) return Status::failed;
    return before.load(messages);
}

Status openNamedProject(Messages& messages, const resbuf* args) {
    if (!isString(args)) {
        messages.alert(L"Usage: (lvogopen \"point-file path\")");
        return Status::failed;
    }
    std::wstring path = args->resval.rstring;
    // Cut to the setting's 511 characters it would name another file, and
    // its settings and surface would be written beside that one.
    if (path.size() >= SettingKey(L"dpoints").def().capacity) {
        messages.alert(L"Point file path is longer than 511 characters: " + path.substr(0, 80) +
                       L"...");
        return Status::failed;
    }
    // A line end in the path would split its line of the settings file.
    if (holdsControlCharacter(path)) {
        messages.alert(L"Point file path holds a control character: " + shownPath(path));
        return Status::failed;
    }
    if (!siblingPath(path, L".set")) {
        messages.alert(L"Point file name has no extension: " + path);
        return Status::failed;
    }
    // The settings or the surface would be written over the points.
    if (namesAProjectFile(path)) {
        messages.alert(L"Point file name has the extension of a project file: " + path);
        return Status::failed;
    }
    if (isProjectOpen()) (void)saveSettings(messages); // a failed save has shown its alert
    const OpenedBefore before;
    setSetting(L"dpoints", path);
    return before.load(messages);
}

Status changeSetting(Messages& messages, const resbuf* args) {
    if (!requireOpenProject(messages, kNoProjectMessageBang)) return Status::failed;
    if (!isString(args) || !isString(args->rbnext)) {
        messages.alert(L"Usage: (vogset \"key\" \"value\")");
        return Status::failed;
    }
    std::wstring_view key = args->resval.rstring;
    std::wstring_view value = args->rbnext->resval.rstring;
    // Any other key, dpoints and dcround among them, changes nothing.
    const std::optional<SettingKey> found = SettingKey::find(key);
    if (!found || !found->def().settable) return Status::ok;
    // A line end in a value would split its line of the settings file, and
    // the rest would be read back as a setting of its own.
    if (holdsControlCharacter(value)) {
        messages.alert(L"Value of " + std::wstring(key) + L" holds a control character: " +
                       shownPath(std::wstring(value)));
        return Status::failed;
    }
    setSetting(*found, value);
    return Status::ok;
}

} // namespace

int vogopenCommand() {
    return app::toHostResult(openChosenProject(app::hostSeam().messages));
}

int lvogopenCommand(const resbuf* args) {
    return app::toHostResult(openNamedProject(app::hostSeam().messages, args));
}

int vogsetCommand(const resbuf* args) {
    return app::toHostResult(changeSetting(app::hostSeam().messages, args));
}

int vogvarCommand() {
    if (!requireOpenProject(app::hostSeam().messages, kNoProjectMessageBang)) {
        acedRetNil();
        return app::toHostResult(Status::failed);
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
    for (std::size_t index : kListedOrder) {
        append(kSettingDefs[index].key);
        append(state().values[index]);
    }
    acedRetList(head);
    acutRelRb(head);
    return app::toHostResult(Status::ok);
}

} // namespace vog::project
