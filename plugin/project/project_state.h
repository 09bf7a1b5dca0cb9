// The single open project: the open flag, the point file and the eighteen
// further settings, held as the wide strings the user gave (the settings
// file and vogvar show them as they are), shared by every command and every
// open drawing while the plug-in is loaded. The commands read them typed,
// through settings().
#pragma once

#include "base/seam.h"
#include "project/settings_table.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vog::project {

struct ProjectState {
    std::wstring openFlag; // "Y" when a project is open
    std::array<std::wstring, kSettingCount> values;
};

ProjectState& state();

// The current text of a setting.
const std::wstring& setting(SettingKey key);

// Stores a text, cut to the setting's capacity (capacity - 1 characters).
void setSetting(SettingKey key, std::wstring_view value);

// The settings typed, converted from their current texts.
Settings settings();

// Every setting except dpoints gets its default.
void applyDefaults();

bool isProjectOpen();
void markProjectOpen();

// The guard of every command that needs a project: when none is open it shows
// the message in an alert box and answers false.
constexpr const wchar_t* kNoProjectMessage = L"You must open a project first.";
constexpr const wchar_t* kNoProjectMessageBang = L"You must open a project first!";
bool requireOpenProject(Messages& messages, const wchar_t* message);

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
std::optional<std::wstring> projectSiblingPath(Messages& messages, std::wstring_view extension);

// Back to the state at plug-in load: closed, every setting empty.
void resetProjectState();

} // namespace vog::project
