#pragma once
// The few operating-system services the installer needs. Two builds provide them:
// platform_win32.cpp (the real registry, message box and shell) and platform_standin.cpp
// (a text-file registry and answers from the environment, for this platform and the tests).
// Exactly one of them is linked into a pelmix executable.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmix {

enum class Hive { CurrentUser, ClassesRoot };

// Every registry string is read into a buffer of this many bytes, its terminating NUL
// included; a longer value counts as unreadable.
inline constexpr std::size_t registryValueLimit = 255;

// The string value `valueName` (empty: the key's default value) of `keyPath` under `hive`.
// Nothing when the key cannot be opened, the value is missing, is not a string, or does not
// fit registryValueLimit.
std::optional<std::string> readRegistryString(Hive hive, const std::string& keyPath,
                                              const std::string& valueName);

enum class WriteMode { Append, Replace };

// Writes `text` as narrow text whose line feeds end up as CR LF on disk. When the file cannot
// be opened nothing is written; false then, and also when writing or closing fails.
bool writeTextFile(const std::string& path, std::string_view text, WriteMode mode);

// The modal Yes/No question without owner window; true only for Yes.
bool askYesNo(const std::string& text, const std::string& caption);

// Starts `file` with the verb open, `parameters` and show mode SW_SHOW, without waiting.
// True when the start was handed to the system.
bool startProgram(const std::string& file, const std::string& parameters);

} // namespace pelmix
