#include "project/project_state.h"

#include <initializer_list>

namespace vog::project {

ProjectState& state() {
    static ProjectState theState;
    return theState;
}

const std::wstring& setting(SettingKey key) {
    return state().values[key.index()];
}

void setSetting(SettingKey key, std::wstring_view value) {
    const std::size_t room = key.def().capacity - 1;
    state().values[key.index()] = std::wstring(value.substr(0, room));
}

Settings settings() {
    return typedSettings(state().values);
}

void applyDefaults() {
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (kSettingDefs[i].defaultValue) state().values[i] = kSettingDefs[i].defaultValue;
}

bool isProjectOpen() {
    return state().openFlag == L"Y";
}

void markProjectOpen() {
    state().openFlag = L"Y";
}

bool requireOpenProject(Messages& messages, const wchar_t* message) {
    if (isProjectOpen()) return true;
    messages.alert(message);
    return false;
}

bool holdsControlCharacter(std::wstring_view text) {
    for (wchar_t c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

std::optional<std::wstring> siblingPath(std::wstring_view pointFile, std::wstring_view extension) {
    // The extension belongs to the file name: a "." in a folder's name does
    // not count, or the siblings would land beside another project's.
#ifdef _WIN32
    const std::size_t nameStart = pointFile.find_last_of(L"\\/");
#else
    const std::size_t nameStart = pointFile.rfind(L'/');
#endif
    std::size_t dot = pointFile.rfind(L'.');
    if (dot == std::wstring_view::npos) return std::nullopt;
    if (nameStart != std::wstring_view::npos && dot < nameStart) return std::nullopt;
    std::wstring path(pointFile.substr(0, dot));
    path += extension;
    return path;
}

bool namesAProjectFile(std::wstring_view pointFile) {
    for (const wchar_t* extension : {L".set", L".tin", L".ttin", L".ftin"})
        if (siblingPath(pointFile, extension) == pointFile) return true;
    return false;
}

std::optional<std::wstring> projectSiblingPath(Messages& messages, std::wstring_view extension) {
    const std::wstring& pointFile = setting(L"dpoints");
    auto path = siblingPath(pointFile, extension);
    if (!path) messages.alert(L"Point file name has no extension: " + pointFile);
    return path;
}

void resetProjectState() {
    state() = ProjectState{};
}

} // namespace vog::project
