#include "project/project_state.h"

#include "host_api.h"

#include <initializer_list>

namespace vog::project {

const std::array<SettingDef, kSettingCount> kSettingDefs = {{
    {L"dpoints", 512, nullptr},
    {L"dfaults", 512, L""},
    {L"dbndry", 512, L""},
    {L"ufaults", 16, L"0"},
    {L"ubound", 16, L"0"},
    {L"dimfaults", 16, L"3"},
    {L"uelev", 16, L"0"},
    {L"dcw", 16, L"0"},
    {L"diw", 16, L"0"},
    {L"dci", 16, L"1"},
    {L"dii", 16, L"5"},
    {L"dcln", 32, L"KT_Regcontours"},
    {L"diln", 32, L"KT_Indxcontours"},
    {L"dxi", 16, L"1"},
    {L"dzi", 16, L"1"},
    {L"dcround", 2, L"0"},
    {L"dbe", 16, L"0"},
    {L"dsk", 2, L"0"},
    {L"dmln", 32, L"KT_Mesh"},
}};

ProjectState& state() {
    static ProjectState theState;
    return theState;
}

std::optional<std::size_t> settingIndex(std::wstring_view key) {
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (key == kSettingDefs[i].key) return i;
    return std::nullopt;
}

const std::wstring& setting(std::wstring_view key) {
    static const std::wstring none;
    auto index = settingIndex(key);
    return index ? state().values[*index] : none;
}

void setSetting(std::wstring_view key, std::wstring_view value) {
    auto index = settingIndex(key);
    if (!index) return;
    std::size_t room = kSettingDefs[*index].capacity - 1;
    state().values[*index] = std::wstring(value.substr(0, room));
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

bool requireOpenProject(const wchar_t* message) {
    if (isProjectOpen()) return true;
    acedAlert(message);
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

std::optional<std::wstring> projectSiblingPath(std::wstring_view extension) {
    const std::wstring& pointFile = setting(L"dpoints");
    auto path = siblingPath(pointFile, extension);
    if (!path) acedAlert((L"Point file name has no extension: " + pointFile).c_str());
    return path;
}

void resetProjectState() {
    state() = ProjectState{};
}

} // namespace vog::project
