#pragma once
// The stand-in registry: a plain text file with one value a line,
//   HIVE\key path|value name|data
// where HIVE is HKEY_CURRENT_USER (HKCU) or HKEY_CLASSES_ROOT (HKCR), an empty value name
// stands for the key's default value and the data runs to the end of the line (it may hold
// further "|"). Blank lines and lines starting with "#" are skipped. Key paths, value names
// and hive names compare without regard to case, as in the real registry; when a value is
// listed twice the later line wins, as a later `reg add` would.

#include "platform.h"

#include <string>
#include <string_view>
#include <vector>

namespace pelmix {

struct RegistryEntry {
    Hive hive = Hive::CurrentUser;
    std::string keyPath;
    std::string valueName;
    std::string data;
};

struct RegistryText {
    std::vector<RegistryEntry> entries;
    std::vector<int> badLines; // 1-based numbers of lines that are not registry lines
};

RegistryText parseRegistryText(std::string_view text);

// The entry for `valueName` of `keyPath` under `hive`, or null.
const RegistryEntry* findRegistryEntry(const RegistryText& registry, Hive hive,
                                       std::string_view keyPath, std::string_view valueName);

} // namespace pelmix
