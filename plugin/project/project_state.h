// The single open project: the open flag, the point file and the eighteen
// further settings, all held as wide strings, shared by every command and
// every open drawing while the plug-in is loaded.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vog::project {

// One named setting: its key in the settings file, in vogset and in vogvar,
// its capacity in wide characters including the terminator, and the default
// applied when a project without a settings file is opened (nullptr: never
// defaulted).
struct SettingDef {
    const wchar_t* key;
    std::size_t capacity;
    const wchar_t* defaultValue;
};

constexpr std::size_t kSettingCount = 19;

// The settings in the order of the settings file.
extern const std::array<SettingDef, kSettingCount> kSettingDefs;

struct ProjectState {
    std::wstring openFlag; // "Y" when a project is open
    std::array<std::wstring, kSettingCount> values;
};

ProjectState& state();

// Index of a key in kSettingDefs (exact, case-sensitive), or nullopt.
std::optional<std::size_t> settingIndex(std::wstring_view key);

// The current value of a setting; the key must be one of the nineteen.
const std::wstring& setting(std::wstring_view key);

// Stores a value, cut to the setting's capacity (capacity - 1 characters).
void setSetting(std::wstring_view key, std::wstring_view value);

// Every setting except dpoints gets its default.
void applyDefaults();

bool isProjectOpen();
void markProjectOpen();

// The guard of every command that needs a project: when none is open it shows
// the message in an alert box and answers false.
constexpr const wchar_t* kNoProjectMessage = L"You must open a project first.";
constexpr const wchar_t* kNoProjectMessageBang = L"You must open a project first!";
bool requireOpenProject(const wchar_t* message);

// True when the text holds a control character (a line end, a tab, ...): a
// value with a line end would split its line of the settings file.
bool holdsControlCharacter(std::wstring_view text);

// A sibling file of a point file: the path cut at the last "." of its file
// name with the extension appended; nullopt when the file name has no "."
// (a "." in a folder name does not count).
std::optional<std::wstring> siblingPath(std::wstring_view pointFile, std::wstring_view extension);

// True when the point file's own name is that of one of its sibling files
// (".set", ".tin", ".ttin", ".ftin"): the project would write over it.
bool namesAProjectFile(std::wstring_view pointFile);

// The sibling of the open project's point file; when its name has no "." the
// alert "Point file name has no extension: <path>" is shown and nullopt given.
std::optional<std::wstring> projectSiblingPath(std::wstring_view extension);

// Back to the state at plug-in load: closed, every setting empty.
void resetProjectState();

} // namespace vog::project
