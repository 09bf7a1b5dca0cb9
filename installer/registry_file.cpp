#include "registry_file.h"

#include <cctype>
#include <optional>

namespace pelmix {

namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::optional<Hive> hiveNamed(std::string_view name) {
    if (sameIgnoringCase(name, "HKEY_CURRENT_USER") || sameIgnoringCase(name, "HKCU"))
        return Hive::CurrentUser;
    if (sameIgnoringCase(name, "HKEY_CLASSES_ROOT") || sameIgnoringCase(name, "HKCR"))
        return Hive::ClassesRoot;
    return std::nullopt;
}

std::optional<RegistryEntry> parseLine(std::string_view line) {
    const std::size_t firstBar = line.find('|');
    if (firstBar == std::string_view::npos) return std::nullopt;
    const std::size_t secondBar = line.find('|', firstBar + 1);
    if (secondBar == std::string_view::npos) return std::nullopt;

    const std::string_view fullKey = line.substr(0, firstBar);
    const std::size_t hiveEnd = fullKey.find('\\');
    if (hiveEnd == std::string_view::npos || hiveEnd + 1 == fullKey.size()) return std::nullopt;
    const std::optional<Hive> hive = hiveNamed(fullKey.substr(0, hiveEnd));
    if (!hive) return std::nullopt;

    RegistryEntry entry;
    entry.hive = *hive;
    entry.keyPath = fullKey.substr(hiveEnd + 1);
    entry.valueName = line.substr(firstBar + 1, secondBar - firstBar - 1);
    entry.data = line.substr(secondBar + 1);
    return entry;
}

} // namespace

RegistryText parseRegistryText(std::string_view text) {
    RegistryText registry;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        if (std::optional<RegistryEntry> entry = parseLine(line))
            registry.entries.push_back(std::move(*entry));
        else
            registry.badLines.push_back(number);
    }
    return registry;
}

const RegistryEntry* findRegistryEntry(const RegistryText& registry, Hive hive,
                                       std::string_view keyPath, std::string_view valueName) {
    const RegistryEntry* found = nullptr;
    for (const RegistryEntry& entry : registry.entries)
        if (entry.hive == hive && sameIgnoringCase(entry.keyPath, keyPath) &&
            sameIgnoringCase(entry.valueName, valueName))
            found = &entry;
    return found;
}

} // namespace pelmix
